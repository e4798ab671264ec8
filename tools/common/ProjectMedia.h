#pragma once

// The pictures and sounds of an installer project, turned into the nested
// records that the configuration carries: the about image as an archived
// 32-bit bitmap, the opening sound as an "audio_data" record.

#include <string>

#include <nlohmann/json.hpp>

#include <Message.h>

namespace brenvik {

// The largest about image accepted, in pixels a side (the about view shows
// 150 by 200), and the largest sound, in bytes of samples: both live inside
// the configuration record, which the installer reads whole.
constexpr int32 kMaxAboutImageSide = 1024;
constexpr size_t kMaxSoundBytes = 8 * 1024 * 1024;

// Reads a picture (any format the translation kit reads: PNG, JPEG, GIF,
// BMP) into an archived bitmap ("class" "BBitmap", "_frame", "_cspace" 8,
// "_bmflags" 1, "_rowbytes", "_data"). Transparent pixels are laid over the
// panel grey, since the colour space has no alpha. On failure `error` says
// why.
bool ReadAboutImage(const std::string& path, BMessage* bitmap, std::string* error);

// Reads a sound into an "audio_data" record ("data", "frame_rate",
// "channel_count", "format", "byte_order", "buffer_size"). A WAV or AIFF file
// describes itself and is read by the media kit; any other file is
// taken as raw samples described by `rawFormat` (an object with optional
// "frame_rate", "channel_count", "format", "byte_order"; null for the
// defaults 22050 Hz, one channel, 16-bit signed, little-endian). Problems in
// rawFormat are reported as "field: reason".
bool ReadSound(const std::string& path, const nlohmann::ordered_json* rawFormat, BMessage* audio,
    std::string* error);

} // namespace brenvik
