#pragma once

// Turning a sound's raw samples into what a player mixes: interleaved 32-bit
// floats between -1 and 1, at the player's channel count and frame rate.

#include <MediaDefs.h>

#include <vector>

namespace BPrivate {

// Whole frames in `bytes` bytes of sound in `format` (0 for an unusable
// format). A partial frame at the end is not counted.
size_t AudioFrameCount(const media_raw_audio_format& format, size_t bytes);

// Converts `sampleCount` samples in sample format `format` and byte order
// `byteOrder` (0 means the host's) to floats: unsigned bytes around 128,
// signed integers divided by 2^(bits - 1), floats as they are except that
// values which are not numbers become silence. Unknown formats give silence.
void DecodeAudioSamples(
    const void* data, size_t sampleCount, uint32 format, uint32 byteOrder, float* out);

// Converts interleaved float frames from one channel count and frame rate
// to another. At most `maxSamples` samples are produced; the rest of the
// sound is cut off. B_BAD_VALUE when a side has no channels or rate,
// B_NOT_SUPPORTED when the conversion cannot be made.
status_t ConvertAudioLayout(const std::vector<float>& in, uint32 inChannels, float inRate,
    uint32 outChannels, float outRate, size_t maxSamples, std::vector<float>* out);

// The whole path: `bytes` of raw sound in `source` to floats in the channel
// count and frame rate of `target` (its sample format does not matter), at
// most `maxSamples` samples.
status_t ConvertSoundForPlayback(const void* data, size_t bytes,
    const media_raw_audio_format& source, const media_raw_audio_format& target, size_t maxSamples,
    std::vector<float>* out);

} // namespace BPrivate
