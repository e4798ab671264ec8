#pragma once

// Reading sound files into raw audio a BSound can hold: RIFF WAVE, AIFF and
// AIFF-C, and headerless CD-format files. Every length read from the file is
// checked against the bytes that are really there.

#include <MediaDefs.h>

#include <string>
#include <vector>

namespace BPrivate {

// Files larger than this are not read as sounds.
constexpr size_t kMaxSoundFileSize = size_t(128) * 1024 * 1024;

struct DecodedSound {
    media_raw_audio_format format = media_raw_audio_format::wildcard;
    // The samples in `format`, whole frames only.
    std::vector<uint8> samples;
    // Whether the file ends before the samples it declares (a recording
    // that was never finished, a copy that stopped): what is there is kept.
    bool cutShort = false;
};

// The kind of self-describing sound file that the bytes begin like: "WAV"
// or "AIFF" (AIFF-C included); nullptr for anything else.
const char* SoundFileKind(const uint8* data, size_t size);

// Decodes a whole sound file held in memory. `name` (the file's leaf name)
// only matters for headerless files, which are recognised by their
// extension. B_BAD_DATA for a damaged file, B_NOT_SUPPORTED for an encoding
// we cannot play (compressed WAVE and AIFF-C data, for example). When the
// file is refused and `reason` is given, it says why in words for the
// person who chose the file ("the WAV file has no samples").
status_t DecodeSoundFile(const uint8* data, size_t size, const std::string& name, DecodedSound* out,
    std::string* reason = nullptr);

// Reads and decodes the file at `path`.
status_t ReadSoundFile(const char* path, DecodedSound* out);

} // namespace BPrivate
