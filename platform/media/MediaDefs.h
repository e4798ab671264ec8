#pragma once

// The media kit's description of raw (uncompressed, interleaved) audio, with
// the platform's numeric codes for sample formats and byte orders. Stored
// sound messages carry these numbers, so they must not change.

#include <SupportDefs.h>

#include <cstddef>

enum media_type {
    B_MEDIA_NO_TYPE = -1,
    B_MEDIA_UNKNOWN_TYPE = 0,
    B_MEDIA_RAW_AUDIO = 1,
    B_MEDIA_RAW_VIDEO = 2,
    B_MEDIA_VBL = 3,
    B_MEDIA_TIMECODE = 4,
    B_MEDIA_MIDI = 5,
    B_MEDIA_TEXT = 6,
    B_MEDIA_HTML = 7,
    B_MEDIA_MULTISTREAM = 8,
    B_MEDIA_PARAMETERS = 9,
    B_MEDIA_ENCODED_AUDIO = 10,
    B_MEDIA_ENCODED_VIDEO = 11,
};

enum {
    B_MEDIA_BIG_ENDIAN = 1,
    B_MEDIA_LITTLE_ENDIAN = 2,
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    B_MEDIA_HOST_ENDIAN = B_MEDIA_BIG_ENDIAN,
#else
    B_MEDIA_HOST_ENDIAN = B_MEDIA_LITTLE_ENDIAN,
#endif
};

struct media_raw_audio_format {
    // The low four bits of a format code give the bytes of one sample.
    enum {
        B_AUDIO_FLOAT = 0x24,
        // Not known to the original platform; later systems added it.
        B_AUDIO_DOUBLE = 0x28,
        B_AUDIO_INT = 0x4,
        B_AUDIO_SHORT = 0x2,
        B_AUDIO_UCHAR = 0x11,
        B_AUDIO_CHAR = 0x1,
        B_AUDIO_SIZE_MASK = 0xf,
    };

    // Any value: a zero in a field leaves it open.
    static const media_raw_audio_format wildcard;

    float frame_rate;
    uint32 channel_count;
    uint32 format;
    uint32 byte_order;
    size_t buffer_size;
};

bool operator==(const media_raw_audio_format& a, const media_raw_audio_format& b);
inline bool operator!=(const media_raw_audio_format& a, const media_raw_audio_format& b)
{
    return !(a == b);
}

namespace BPrivate {

// The most channels, and the range of frame rates, that we play.
constexpr uint32 kMaxAudioChannels = 8;
constexpr float kMinAudioFrameRate = 1.0f;
constexpr float kMaxAudioFrameRate = 384000.0f;

// Bytes of one sample (0 for an unknown format code).
size_t AudioSampleSize(uint32 format);

// Whether a format describes sound we can play: a known sample format, a
// byte order of 1 or 2 (0 is taken as the host's order), between 1 and 8
// channels and a frame rate between 1 Hz and 384 kHz.
bool IsPlayableAudioFormat(const media_raw_audio_format& format);

} // namespace BPrivate
