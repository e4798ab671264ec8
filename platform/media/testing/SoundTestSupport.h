#pragma once

// Helpers for the sound tests here and in the library: sound files made in
// memory, and waiting for a condition with a deadline.

#include <OS.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace brenvik::test {

inline void PutLittle(std::vector<uint8>& out, uint32 value, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out.push_back(uint8(value >> (8 * i)));
}

inline void PutBig(std::vector<uint8>& out, uint32 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; i--)
        out.push_back(uint8(value >> (8 * i)));
}

// A chunk of a RIFF file: its id, its body, and the size it declares when
// that is not the body's (a file cut short declares more than it has).
struct RiffChunk {
    const char* id;
    std::vector<uint8> body;
    uint32 declared = UINT32_MAX;
};

// A RIFF WAVE file of these chunks; a whole chunk of odd size is padded.
inline std::vector<uint8> MakeRiff(const std::vector<RiffChunk>& chunks)
{
    std::vector<uint8> out = { 'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E' };
    for (const RiffChunk& chunk : chunks) {
        out.insert(out.end(), chunk.id, chunk.id + 4);
        bool whole = chunk.declared == UINT32_MAX;
        PutLittle(out, whole ? uint32(chunk.body.size()) : chunk.declared, 4);
        out.insert(out.end(), chunk.body.begin(), chunk.body.end());
        if (whole && chunk.body.size() % 2 != 0)
            out.push_back(0);
    }
    uint32 size = uint32(out.size() - 8);
    for (int i = 0; i < 4; i++)
        out[4 + size_t(i)] = uint8(size >> (8 * i));
    return out;
}

// The body of a "fmt " chunk, every field as given.
inline std::vector<uint8> FmtBody(
    uint16 tag, uint16 channels, uint32 rate, uint16 blockAlign, uint16 bits)
{
    std::vector<uint8> body;
    PutLittle(body, tag, 2);
    PutLittle(body, channels, 2);
    PutLittle(body, rate, 4);
    PutLittle(body, rate * blockAlign, 4);
    PutLittle(body, blockAlign, 2);
    PutLittle(body, bits, 2);
    return body;
}

// A RIFF WAVE file: format tag 1 (PCM) or 3 (float), `bits` per sample
// stored in whole bytes.
inline std::vector<uint8> MakeWave(
    uint16 tag, uint16 channels, uint32 rate, uint16 bits, const std::vector<uint8>& samples)
{
    uint16 blockAlign = uint16(channels * ((bits + 7) / 8));
    return MakeRiff(
        { { "fmt ", FmtBody(tag, channels, rate, blockAlign, bits) }, { "data", samples } });
}

// 16-bit little-endian samples as bytes.
inline std::vector<uint8> ShortSamples(const std::vector<int16>& values)
{
    std::vector<uint8> out;
    for (int16 value : values)
        PutLittle(out, uint16(value), 2);
    return out;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Sound in tests never reaches a loudspeaker: SDL's "dummy" driver plays
// into nothing at the real pace, and a driver name SDL does not know
// stands for a machine without a sound card.
constexpr const char* kQuietDriver = "dummy";
constexpr const char* kNoSoundCard = "no-such-driver";

// Restarts the process's audio output on `driver` (one of the two above).
void UseAudioDriver(const char* driver);

} // namespace brenvik::test
