#include <SoundFile.h>

#include <Errors.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BPrivate {

namespace {

using Format = media_raw_audio_format;

constexpr uint16 kWaveFormatPcm = 1;
constexpr uint16 kWaveFormatFloat = 3;
constexpr uint16 kWaveFormatExtensible = 0xfffe;
// The frames a player takes from a file-made sound in one buffer.
constexpr size_t kFramesPerBuffer = 1024;

uint16 Little16(const uint8* p)
{
    return uint16(p[0] | p[1] << 8);
}

uint32 Little32(const uint8* p)
{
    return uint32(p[0]) | uint32(p[1]) << 8 | uint32(p[2]) << 16 | uint32(p[3]) << 24;
}

uint16 Big16(const uint8* p)
{
    return uint16(p[0] << 8 | p[1]);
}

uint32 Big32(const uint8* p)
{
    return uint32(p[0]) << 24 | uint32(p[1]) << 16 | uint32(p[2]) << 8 | uint32(p[3]);
}

// A chunk of a RIFF or IFF file: its four-character id and its body, cut
// to the bytes the file really has.
struct Chunk {
    const uint8* id;
    const uint8* body;
    size_t size;
};

// Walks the chunks of a RIFF (little-endian sizes) or IFF (big-endian)
// container, calling `visit` for each until it returns false.
template <typename Visit>
void ForEachChunk(const uint8* data, size_t size, bool bigEndian, Visit visit)
{
    for (size_t position = 12; position < size && size - position >= 8;) {
        const uint8* header = data + position;
        size_t declared = bigEndian ? Big32(header + 4) : Little32(header + 4);
        size_t body = position + 8;
        // Files written while still recording often state a size that runs
        // past the end; such a chunk ends with the file.
        size_t available = std::min(declared, size - body);
        if (!visit(Chunk { header, data + body, available }))
            return;
        if (declared > size - body)
            return;
        position = body + declared + (declared & 1);
    }
}

// Stores the samples of `frames` frames, `container` bytes per sample in the
// file, converting 24-bit samples (which the media kit has no code for) to
// left-adjusted 32-bit ones.
void StoreSamples(const uint8* from, size_t frames, const Format& format, size_t container,
    bool bigEndian, DecodedSound* out)
{
    size_t samples = frames * format.channel_count;
    size_t sampleSize = AudioSampleSize(format.format);
    out->samples.resize(samples * sampleSize);
    if (container == sampleSize) {
        if (!out->samples.empty())
            std::memcpy(out->samples.data(), from, out->samples.size());
        return;
    }
    uint8* to = out->samples.data();
    for (size_t i = 0; i < samples; i++, from += 3, to += 4) {
        // Kept in the file's byte order: the low byte is zero.
        if (bigEndian) {
            to[0] = from[0], to[1] = from[1], to[2] = from[2], to[3] = 0;
        } else {
            to[0] = 0, to[1] = from[0], to[2] = from[1], to[3] = from[2];
        }
    }
}

status_t FinishSound(const uint8* samples, size_t bytes, size_t maxFrames, Format format,
    size_t container, bool bigEndian, DecodedSound* out)
{
    format.byte_order = bigEndian ? B_MEDIA_BIG_ENDIAN : B_MEDIA_LITTLE_ENDIAN;
    if (!IsPlayableAudioFormat(format))
        return B_NOT_SUPPORTED;
    size_t frameBytes = container * format.channel_count;
    size_t frames = std::min(bytes / frameBytes, maxFrames);
    format.buffer_size = kFramesPerBuffer * AudioSampleSize(format.format) * format.channel_count;
    out->format = format;
    StoreSamples(samples, frames, format, container, bigEndian, out);
    return B_OK;
}

// The sample format of WAVE data: `tag` is the format tag (or the
// extensible layout's sub-format), `container` the bytes per sample.
uint32 WaveSampleFormat(uint16 tag, size_t container, uint16 bits)
{
    if (bits == 0 || bits > container * 8)
        return 0;
    if (tag == kWaveFormatPcm) {
        switch (container) {
        case 1:
            return Format::B_AUDIO_UCHAR;
        case 2:
            return Format::B_AUDIO_SHORT;
        case 3:
        case 4:
            return Format::B_AUDIO_INT;
        }
    } else if (tag == kWaveFormatFloat) {
        if (container == 4)
            return Format::B_AUDIO_FLOAT;
        if (container == 8)
            return Format::B_AUDIO_DOUBLE;
    }
    return 0;
}

status_t DecodeWave(const uint8* data, size_t size, DecodedSound* out)
{
    Format format = Format::wildcard;
    size_t container = 0;
    status_t status = B_BAD_DATA;
    bool haveFormat = false;
    ForEachChunk(data, size, false, [&](const Chunk& chunk) {
        if (std::memcmp(chunk.id, "fmt ", 4) == 0) {
            if (chunk.size < 16)
                return false;
            uint16 tag = Little16(chunk.body);
            uint16 channels = Little16(chunk.body + 2);
            uint16 blockAlign = Little16(chunk.body + 12);
            uint16 bits = Little16(chunk.body + 14);
            if (tag == kWaveFormatExtensible && chunk.size >= 40)
                tag = Little16(chunk.body + 24);
            container = channels == 0 ? 0 : blockAlign / channels;
            if (channels == 0 || blockAlign % channels != 0) {
                status = B_BAD_DATA;
                return false;
            }
            format.channel_count = channels;
            format.frame_rate = float(Little32(chunk.body + 4));
            format.format = WaveSampleFormat(tag, container, bits);
            haveFormat = true;
            status = format.format == 0 ? B_NOT_SUPPORTED : B_BAD_DATA;
            return format.format != 0;
        }
        if (std::memcmp(chunk.id, "data", 4) == 0) {
            if (haveFormat)
                status
                    = FinishSound(chunk.body, chunk.size, SIZE_MAX, format, container, false, out);
            return false;
        }
        return true;
    });
    return status;
}

// An 80-bit IEEE extended number, as AIFF stores its frame rate.
double ReadExtended(const uint8* p)
{
    int exponent = ((p[0] & 0x7f) << 8 | p[1]) - 16383 - 63;
    uint64 mantissa = 0;
    for (int i = 0; i < 8; i++)
        mantissa = mantissa << 8 | p[2 + i];
    if (exponent < -16383 - 63 + 1 || exponent > 64)
        return 0.0;
    double value = std::ldexp(double(mantissa), exponent);
    return (p[0] & 0x80) != 0 ? -value : value;
}

// The sample format and byte order of AIFF-C compression `type`.
bool AiffSampleFormat(const uint8* type, uint16 bits, uint32* format, bool* bigEndian)
{
    size_t container = (bits + 7u) / 8u;
    static const uint32 kIntegers[] = { 0, Format::B_AUDIO_CHAR, Format::B_AUDIO_SHORT,
        Format::B_AUDIO_INT, Format::B_AUDIO_INT };
    *bigEndian = true;
    if (type == nullptr || std::memcmp(type, "NONE", 4) == 0 || std::memcmp(type, "twos", 4) == 0
        || std::memcmp(type, "sowt", 4) == 0) {
        *bigEndian = type == nullptr || std::memcmp(type, "sowt", 4) != 0;
        *format = bits >= 1 && container <= 4 ? kIntegers[container] : 0;
    } else if (strncasecmp(reinterpret_cast<const char*>(type), "fl32", 4) == 0) {
        *format = Format::B_AUDIO_FLOAT;
    } else if (strncasecmp(reinterpret_cast<const char*>(type), "fl64", 4) == 0) {
        *format = Format::B_AUDIO_DOUBLE;
    } else {
        *format = 0;
    }
    return *format != 0;
}

status_t DecodeAiff(const uint8* data, size_t size, bool compressed, DecodedSound* out)
{
    Format format = Format::wildcard;
    size_t frames = 0;
    size_t container = 0;
    bool bigEndian = true;
    bool haveFormat = false;
    status_t status = B_BAD_DATA;
    ForEachChunk(data, size, true, [&](const Chunk& chunk) {
        if (std::memcmp(chunk.id, "COMM", 4) == 0) {
            if (chunk.size < (compressed ? 22u : 18u))
                return false;
            uint16 bits = Big16(chunk.body + 6);
            format.channel_count = Big16(chunk.body);
            frames = Big32(chunk.body + 2);
            double rate = ReadExtended(chunk.body + 8);
            format.frame_rate = rate > 0.0 && rate <= 384000.0 ? float(rate) : 0.0f;
            haveFormat = AiffSampleFormat(
                compressed ? chunk.body + 18 : nullptr, bits, &format.format, &bigEndian);
            container = format.format == Format::B_AUDIO_INT ? (bits + 7u) / 8u
                                                             : AudioSampleSize(format.format);
            status = haveFormat ? B_BAD_DATA : B_NOT_SUPPORTED;
            return haveFormat;
        }
        if (std::memcmp(chunk.id, "SSND", 4) == 0) {
            if (!haveFormat || chunk.size < 8)
                return false;
            size_t offset = Big32(chunk.body);
            if (offset > chunk.size - 8)
                return false;
            status = FinishSound(chunk.body + 8 + offset, chunk.size - 8 - offset, frames, format,
                container, bigEndian, out);
            return false;
        }
        return true;
    });
    return status;
}

bool IsHeaderless(const std::string& name)
{
    size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    const char* extension = name.c_str() + dot + 1;
    return strcasecmp(extension, "raw") == 0 || strcasecmp(extension, "pcm") == 0;
}

} // namespace

status_t DecodeSoundFile(const uint8* data, size_t size, const std::string& name, DecodedSound* out)
{
    *out = DecodedSound();
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0)
        return DecodeWave(data, size, out);
    if (size >= 12 && std::memcmp(data, "FORM", 4) == 0
        && (std::memcmp(data + 8, "AIFF", 4) == 0 || std::memcmp(data + 8, "AIFC", 4) == 0)) {
        return DecodeAiff(data, size, data[11] == 'C', out);
    }
    if (IsHeaderless(name)) {
        Format format = { 44100.0f, 2, Format::B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, 0 };
        return FinishSound(data, size, SIZE_MAX, format, 2, false, out);
    }
    return B_BAD_DATA;
}

status_t ReadSoundFile(const char* path, DecodedSound* out)
{
    if (path == nullptr)
        return B_BAD_VALUE;
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return StatusFromErrno(errno);
    struct stat info;
    status_t status = B_OK;
    if (fstat(fd, &info) != 0)
        status = StatusFromErrno(errno);
    else if (!S_ISREG(info.st_mode))
        status = B_BAD_DATA;
    else if (size_t(info.st_size) > kMaxSoundFileSize)
        status = B_NO_MEMORY;
    std::vector<uint8> data;
    if (status == B_OK) {
        data.resize(size_t(info.st_size));
        size_t done = 0;
        while (done < data.size()) {
            ssize_t got = read(fd, data.data() + done, data.size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += size_t(got);
        }
        data.resize(done);
    }
    close(fd);
    if (status != B_OK)
        return status;
    const char* slash = std::strrchr(path, '/');
    return DecodeSoundFile(data.data(), data.size(), slash != nullptr ? slash + 1 : path, out);
}

} // namespace BPrivate
