#include <AudioConversion.h>

#include <ByteOrder.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace BPrivate {

namespace {

// SDL is handed the sound in pieces of at most this many floats (whole
// frames), so that a long sound never needs one huge call.
constexpr size_t kConversionSamples = 4096;
// SDL 2.26 flushes the end of a resampled stream only when its staging
// buffer happens to hold data, so the tail of a sound whose length falls on
// that buffer's boundary is lost. This much silence after the sound always
// pushes the real end through; the output is then cut to its true length.
constexpr size_t kTailFrames = 4096;

template <typename T> T ReadSample(const uint8* from, bool swap)
{
    T value;
    std::memcpy(&value, from, sizeof(T));
    if (!swap)
        return value;
    uint8 bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    std::reverse(bytes, bytes + sizeof(T));
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

float Finite(double value)
{
    return std::isfinite(value) ? float(value) : 0.0f;
}

float DecodeOne(const uint8* from, uint32 format, bool swap)
{
    switch (format) {
    case media_raw_audio_format::B_AUDIO_UCHAR:
        return (float(from[0]) - 128.0f) / 128.0f;
    case media_raw_audio_format::B_AUDIO_CHAR:
        return float(int8(from[0])) / 128.0f;
    case media_raw_audio_format::B_AUDIO_SHORT:
        return float(ReadSample<int16>(from, swap)) / 32768.0f;
    case media_raw_audio_format::B_AUDIO_INT:
        return float(double(ReadSample<int32>(from, swap)) / 2147483648.0);
    case media_raw_audio_format::B_AUDIO_FLOAT:
        return Finite(ReadSample<float>(from, swap));
    case media_raw_audio_format::B_AUDIO_DOUBLE:
        return Finite(ReadSample<double>(from, swap));
    default:
        return 0.0f;
    }
}

int RoundedRate(float rate)
{
    return int(std::lround(rate));
}

// Feeds the whole input through SDL's converter and collects what comes
// out, up to the limit.
status_t RunAudioStream(SDL_AudioStream* stream, const std::vector<float>& in, uint32 inChannels,
    size_t maxSamples, std::vector<float>* out)
{
    const size_t chunk = std::max<size_t>(kConversionSamples / inChannels, 1) * inChannels;
    const std::vector<float> silence(kTailFrames * inChannels, 0.0f);
    std::vector<float> piece;
    auto drain = [&]() -> bool {
        for (int available; (available = SDL_AudioStreamAvailable(stream)) > 0;) {
            piece.resize(size_t(available) / sizeof(float));
            int got = SDL_AudioStreamGet(stream, piece.data(), available);
            if (got <= 0)
                return got == 0;
            size_t count = std::min(size_t(got) / sizeof(float), maxSamples - out->size());
            out->insert(out->end(), piece.begin(), piece.begin() + ptrdiff_t(count));
        }
        return true;
    };
    auto feed = [&](const std::vector<float>& samples) -> bool {
        for (size_t offset = 0; offset < samples.size() && out->size() < maxSamples;) {
            size_t count = std::min(chunk, samples.size() - offset);
            if (SDL_AudioStreamPut(stream, samples.data() + offset, int(count * sizeof(float))) != 0
                || !drain()) {
                return false;
            }
            offset += count;
        }
        return true;
    };
    if (!feed(in) || !feed(silence))
        return B_ERROR;
    if (SDL_AudioStreamFlush(stream) != 0 || !drain())
        return B_ERROR;
    return B_OK;
}

} // namespace

size_t AudioFrameCount(const media_raw_audio_format& format, size_t bytes)
{
    size_t frameSize = AudioSampleSize(format.format) * format.channel_count;
    return frameSize == 0 ? 0 : bytes / frameSize;
}

void DecodeAudioSamples(
    const void* data, size_t sampleCount, uint32 format, uint32 byteOrder, float* out)
{
    size_t sampleSize = AudioSampleSize(format);
    if (sampleSize == 0) {
        std::fill(out, out + sampleCount, 0.0f);
        return;
    }
    uint32 order = byteOrder == 0 ? uint32(B_MEDIA_HOST_ENDIAN) : byteOrder;
    bool swap = order != uint32(B_MEDIA_HOST_ENDIAN);
    const uint8* bytes = static_cast<const uint8*>(data);
    for (size_t i = 0; i < sampleCount; i++)
        out[i] = DecodeOne(bytes + i * sampleSize, format, swap);
}

status_t ConvertAudioLayout(const std::vector<float>& in, uint32 inChannels, float inRate,
    uint32 outChannels, float outRate, size_t maxSamples, std::vector<float>* out)
{
    out->clear();
    int inHz = RoundedRate(inRate);
    int outHz = RoundedRate(outRate);
    if (inChannels == 0 || outChannels == 0 || inHz <= 0 || outHz <= 0 || inChannels > 255
        || outChannels > 255) {
        return B_BAD_VALUE;
    }
    if (inChannels == outChannels && inHz == outHz) {
        out->assign(in.begin(), in.begin() + ptrdiff_t(std::min(in.size(), maxSamples)));
        return B_OK;
    }
    SDL_AudioStream* stream = SDL_NewAudioStream(
        AUDIO_F32SYS, Uint8(inChannels), inHz, AUDIO_F32SYS, Uint8(outChannels), outHz);
    if (stream == nullptr)
        return B_NOT_SUPPORTED;
    // The true length of the converted sound, in samples.
    size_t inFrames = in.size() / size_t(inChannels);
    double frames = std::ceil(double(inFrames) * outHz / inHz);
    size_t length = std::min(size_t(frames) * outChannels, maxSamples);
    status_t status = RunAudioStream(stream, in, inChannels, length, out);
    SDL_FreeAudioStream(stream);
    if (status != B_OK)
        out->clear();
    return status;
}

status_t ConvertSoundForPlayback(const void* data, size_t bytes,
    const media_raw_audio_format& source, const media_raw_audio_format& target, size_t maxSamples,
    std::vector<float>* out)
{
    out->clear();
    if (!IsPlayableAudioFormat(source) || target.channel_count == 0)
        return B_BAD_VALUE;
    size_t frames = AudioFrameCount(source, bytes);
    // Never decode more of the source than can reach the output: with the
    // frame rate going down by at most 384000 to 1, this bounds the work.
    double ratio = double(target.frame_rate) / double(source.frame_rate);
    size_t maxFrames = maxSamples / target.channel_count;
    double wantedFrames = double(maxFrames) / std::max(ratio, 1e-6) + 16.0;
    if (double(frames) > wantedFrames)
        frames = size_t(wantedFrames);
    std::vector<float> decoded(frames * source.channel_count);
    DecodeAudioSamples(data, decoded.size(), source.format, source.byte_order, decoded.data());
    return ConvertAudioLayout(decoded, source.channel_count, source.frame_rate,
        target.channel_count, target.frame_rate, maxSamples, out);
}

} // namespace BPrivate
