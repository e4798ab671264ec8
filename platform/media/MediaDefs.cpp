#include <MediaDefs.h>

#include <cmath>

const media_raw_audio_format media_raw_audio_format::wildcard = { 0.0f, 0, 0, 0, 0 };

bool operator==(const media_raw_audio_format& a, const media_raw_audio_format& b)
{
    return a.frame_rate == b.frame_rate && a.channel_count == b.channel_count
        && a.format == b.format && a.byte_order == b.byte_order && a.buffer_size == b.buffer_size;
}

namespace BPrivate {

size_t AudioSampleSize(uint32 format)
{
    switch (format) {
    case media_raw_audio_format::B_AUDIO_UCHAR:
    case media_raw_audio_format::B_AUDIO_CHAR:
        return 1;
    case media_raw_audio_format::B_AUDIO_SHORT:
        return 2;
    case media_raw_audio_format::B_AUDIO_INT:
    case media_raw_audio_format::B_AUDIO_FLOAT:
        return 4;
    case media_raw_audio_format::B_AUDIO_DOUBLE:
        return 8;
    default:
        return 0;
    }
}

bool IsPlayableAudioFormat(const media_raw_audio_format& format)
{
    return AudioSampleSize(format.format) != 0 && format.byte_order <= B_MEDIA_LITTLE_ENDIAN
        && format.channel_count >= 1 && format.channel_count <= kMaxAudioChannels
        && std::isfinite(format.frame_rate) && format.frame_rate >= kMinAudioFrameRate
        && format.frame_rate <= kMaxAudioFrameRate;
}

} // namespace BPrivate
