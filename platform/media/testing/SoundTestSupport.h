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

// A RIFF WAVE file: format tag 1 (PCM) or 3 (float), `bits` per sample
// stored in whole bytes.
inline std::vector<uint8> MakeWave(
    uint16 tag, uint16 channels, uint32 rate, uint16 bits, const std::vector<uint8>& samples)
{
    uint16 blockAlign = uint16(channels * ((bits + 7) / 8));
    std::vector<uint8> out = { 'R', 'I', 'F', 'F' };
    PutLittle(out, uint32(4 + 8 + 16 + 8 + samples.size()), 4);
    out.insert(out.end(), { 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ' });
    PutLittle(out, 16, 4);
    PutLittle(out, tag, 2);
    PutLittle(out, channels, 2);
    PutLittle(out, rate, 4);
    PutLittle(out, rate * blockAlign, 4);
    PutLittle(out, blockAlign, 2);
    PutLittle(out, bits, 2);
    out.insert(out.end(), { 'd', 'a', 't', 'a' });
    PutLittle(out, uint32(samples.size()), 4);
    out.insert(out.end(), samples.begin(), samples.end());
    if (samples.size() % 2 != 0)
        out.push_back(0);
    return out;
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
