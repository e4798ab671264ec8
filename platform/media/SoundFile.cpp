#include <SoundFile.h>

#include <Errors.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BPrivate {

namespace {

using Format = media_raw_audio_format;

const char* const kWaveKind = "WAV";
const char* const kAiffKind = "AIFF";

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
// to the bytes the file really has (`cut` when that is fewer than declared).
struct Chunk {
    const uint8* id;
    const uint8* body;
    size_t size;
    bool cut;
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
        if (!visit(Chunk { header, data + body, available, available < declared }))
            return;
        if (declared > size - body)
            return;
        position = body + declared + (declared & 1);
    }
}

// A frame rate as a person would write it: whole rates without decimals.
std::string RateText(double rate)
{
    if (std::isfinite(rate) && rate == std::floor(rate) && std::fabs(rate) < 1e15)
        return std::to_string(int64(rate));
    char text[32];
    std::snprintf(text, sizeof(text), "%g", rate);
    return text;
}

// Says why a file is refused, in words for the person who chose it: each
// text follows "the WAV file" (or "the AIFF file"). Nothing is kept when the
// caller did not ask.
class Refusal {
public:
    Refusal(const char* kind, std::string* reason)
        : fKind(kind)
        , fReason(reason)
    {
    }

    status_t Say(status_t status, const std::string& what) const
    {
        if (fReason != nullptr)
            *fReason = std::string("the ") + fKind + " file" + what;
        return status;
    }

    // A channel count or rate (as the header gives it) that we cannot play.
    status_t Unplayable(status_t status, uint32 channels, double rate) const
    {
        std::string format = "'s format (" + std::to_string(channels)
            + (channels == 1 ? " channel at " : " channels at ") + RateText(rate)
            + " Hz) cannot be played: it needs ";
        if (channels >= 1 && channels <= kMaxAudioChannels && rate > kMaxAudioFrameRate)
            return Say(
                status, format + "a rate of at most " + RateText(kMaxAudioFrameRate) + " Hz");
        return Say(status,
            format + "1 to " + std::to_string(kMaxAudioChannels)
                + " channels and a rate of at least " + RateText(kMinAudioFrameRate) + " Hz");
    }

    // A chunk that is too short to hold what it must: damaged, or cut off
    // with the file.
    status_t Short(const Chunk& chunk, const char* what) const
    {
        return Say(
            B_BAD_DATA, chunk.cut ? std::string(" is cut short") : std::string("'s ") + what);
    }

private:
    const char* fKind;
    std::string* fReason;
};

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

// What a header says about the samples that follow it: their format, the
// frame rate as written (before it is checked), the bytes each sample takes
// in the file and their byte order.
struct SampleLayout {
    Format format = Format::wildcard;
    double rate = 0.0;
    size_t container = 0;
    bool bigEndian = false;
};

// Keeps the whole frames of `bytes` bytes of samples, at most `maxFrames`.
status_t FinishSound(const uint8* samples, size_t bytes, size_t maxFrames, SampleLayout layout,
    const Refusal& refusal, DecodedSound* out)
{
    Format format = layout.format;
    format.byte_order = layout.bigEndian ? B_MEDIA_BIG_ENDIAN : B_MEDIA_LITTLE_ENDIAN;
    if (!IsPlayableAudioFormat(format))
        return refusal.Unplayable(B_NOT_SUPPORTED, format.channel_count, layout.rate);
    size_t frameBytes = layout.container * format.channel_count;
    size_t frames = std::min(bytes / frameBytes, maxFrames);
    if (maxFrames != SIZE_MAX && frames < maxFrames)
        out->cutShort = true;
    format.buffer_size = kFramesPerBuffer * AudioSampleSize(format.format) * format.channel_count;
    out->format = format;
    StoreSamples(samples, frames, format, layout.container, layout.bigEndian, out);
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

bool FitsPlayableRange(uint32 channels, double rate)
{
    return channels >= 1 && channels <= kMaxAudioChannels && rate >= kMinAudioFrameRate
        && rate <= kMaxAudioFrameRate;
}

// Reads the "fmt " chunk; false (with `status` set) when it refuses the file.
bool ReadWaveFormat(
    const Chunk& chunk, const Refusal& refusal, SampleLayout* layout, status_t* status)
{
    if (chunk.size < 16) {
        *status = refusal.Short(chunk, "format description is too short");
        return false;
    }
    uint16 tag = Little16(chunk.body);
    uint16 channels = Little16(chunk.body + 2);
    uint32 rate = Little32(chunk.body + 4);
    uint16 blockAlign = Little16(chunk.body + 12);
    uint16 bits = Little16(chunk.body + 14);
    if (tag == kWaveFormatExtensible && chunk.size >= 40)
        tag = Little16(chunk.body + 24);
    layout->rate = rate;
    if (channels == 0 || blockAlign % channels != 0) {
        *status = FitsPlayableRange(channels, rate)
            ? refusal.Say(B_BAD_DATA,
                "'s frames (" + std::to_string(blockAlign) + " bytes) do not split into its "
                    + std::to_string(channels) + " channels")
            : refusal.Unplayable(B_BAD_DATA, channels, rate);
        return false;
    }
    layout->container = blockAlign / channels;
    layout->format.channel_count = channels;
    layout->format.frame_rate = float(rate);
    layout->format.format = WaveSampleFormat(tag, layout->container, bits);
    if (layout->format.format != 0)
        return true;
    if (bits == 0 || bits > layout->container * 8) {
        *status = refusal.Say(B_NOT_SUPPORTED,
            "'s samples (" + std::to_string(bits) + " bits) do not fit its frames of "
                + std::to_string(blockAlign) + " bytes for " + std::to_string(channels)
                + " channels");
    } else {
        *status = refusal.Say(B_NOT_SUPPORTED,
            "'s samples (encoding " + std::to_string(tag) + ", " + std::to_string(bits)
                + " bits) are not 8, 16, 24 or 32-bit PCM or 32 or 64-bit float");
    }
    return false;
}

status_t DecodeWave(const uint8* data, size_t size, const Refusal& refusal, DecodedSound* out)
{
    SampleLayout layout;
    status_t status = B_OK;
    bool haveFormat = false;
    bool decided = false;
    ForEachChunk(data, size, false, [&](const Chunk& chunk) {
        out->cutShort = out->cutShort || chunk.cut;
        if (std::memcmp(chunk.id, "fmt ", 4) == 0) {
            haveFormat = ReadWaveFormat(chunk, refusal, &layout, &status);
            decided = !haveFormat;
            return haveFormat;
        }
        if (std::memcmp(chunk.id, "data", 4) == 0) {
            status = haveFormat
                ? FinishSound(chunk.body, chunk.size, SIZE_MAX, layout, refusal, out)
                : refusal.Say(B_BAD_DATA, " has no format before its samples");
            decided = true;
            return false;
        }
        return true;
    });
    if (!decided)
        status = refusal.Say(B_BAD_DATA, out->cutShort ? " is cut short" : " has no samples");
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

// An AIFF-C compression type as text, with anything unprintable shown as '?'.
std::string TypeText(const uint8* type)
{
    std::string text = "NONE";
    if (type != nullptr) {
        for (int i = 0; i < 4; i++)
            text[size_t(i)] = type[i] >= 0x20 && type[i] < 0x7f ? char(type[i]) : '?';
    }
    return text;
}

status_t DecodeAiff(
    const uint8* data, size_t size, bool compressed, const Refusal& refusal, DecodedSound* out)
{
    SampleLayout layout;
    layout.bigEndian = true;
    size_t frames = 0;
    bool haveFormat = false;
    bool decided = false;
    status_t status = B_OK;
    ForEachChunk(data, size, true, [&](const Chunk& chunk) {
        out->cutShort = out->cutShort || chunk.cut;
        if (std::memcmp(chunk.id, "COMM", 4) == 0) {
            decided = true;
            if (chunk.size < (compressed ? 22u : 18u)) {
                status = refusal.Short(chunk, "format description is too short");
                return false;
            }
            uint16 bits = Big16(chunk.body + 6);
            const uint8* type = compressed ? chunk.body + 18 : nullptr;
            layout.format.channel_count = Big16(chunk.body);
            frames = Big32(chunk.body + 2);
            layout.rate = ReadExtended(chunk.body + 8);
            layout.format.frame_rate = layout.rate > 0.0 && layout.rate <= kMaxAudioFrameRate
                ? float(layout.rate)
                : 0.0f;
            haveFormat = AiffSampleFormat(type, bits, &layout.format.format, &layout.bigEndian);
            layout.container = layout.format.format == Format::B_AUDIO_INT
                ? (bits + 7u) / 8u
                : AudioSampleSize(layout.format.format);
            if (!haveFormat) {
                status = refusal.Say(B_NOT_SUPPORTED,
                    "'s samples (type \"" + TypeText(type) + "\", " + std::to_string(bits)
                        + " bits) are not 8 to 32-bit PCM or 32 or 64-bit float");
            }
            decided = !haveFormat;
            return haveFormat;
        }
        if (std::memcmp(chunk.id, "SSND", 4) == 0) {
            decided = true;
            if (!haveFormat) {
                status = refusal.Say(B_BAD_DATA, " has no format before its samples");
                return false;
            }
            size_t offset = chunk.size < 8 ? 0 : Big32(chunk.body);
            if (chunk.size < 8 || offset > chunk.size - 8) {
                status = refusal.Short(chunk, "samples begin past their end");
                return false;
            }
            status = FinishSound(
                chunk.body + 8 + offset, chunk.size - 8 - offset, frames, layout, refusal, out);
            return false;
        }
        return true;
    });
    if (!decided)
        status = refusal.Say(B_BAD_DATA, out->cutShort ? " is cut short" : " has no samples");
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

const char* SoundFileKind(const uint8* data, size_t size)
{
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0)
        return kWaveKind;
    if (size >= 12 && std::memcmp(data, "FORM", 4) == 0
        && (std::memcmp(data + 8, "AIFF", 4) == 0 || std::memcmp(data + 8, "AIFC", 4) == 0))
        return kAiffKind;
    return nullptr;
}

status_t DecodeSoundFile(
    const uint8* data, size_t size, const std::string& name, DecodedSound* out, std::string* reason)
{
    *out = DecodedSound();
    const char* kind = SoundFileKind(data, size);
    if (kind == kWaveKind)
        return DecodeWave(data, size, Refusal(kind, reason), out);
    if (kind == kAiffKind)
        return DecodeAiff(data, size, data[11] == 'C', Refusal(kind, reason), out);
    if (IsHeaderless(name)) {
        SampleLayout layout;
        layout.format = { 44100.0f, 2, Format::B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, 0 };
        layout.rate = 44100.0;
        layout.container = 2;
        return FinishSound(data, size, SIZE_MAX, layout, Refusal("headerless", reason), out);
    }
    if (reason != nullptr)
        *reason = "the file is not a WAV or AIFF sound";
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
