#pragma once

// Checks on the files a project names besides its payload (the licence, the
// about image, the opening sound), made before a byte of them is read: each
// must be a regular file of a sensible size. A folder, a named pipe or a
// device would otherwise be read as nothing, for ever, or as far as memory
// goes.

#include <SupportDefs.h>

#include <optional>
#include <string>

namespace brenvik {

// The largest licence text: it lives in the configuration record, which the
// installer reads whole.
constexpr uint64 kMaxLicenseBytes = 1024 * 1024;
// The largest files read as the about image and the opening sound.
constexpr uint64 kMaxPictureFileBytes = 16 * 1024 * 1024;
constexpr uint64 kMaxSoundFileBytes = 16 * 1024 * 1024;

// Whether path names a regular file (links followed) of at most maxBytes;
// otherwise error says what it is instead.
bool CheckInputFile(const std::string& path, uint64 maxBytes, std::string* error);

// Whether the payload item at source lies inside folder (the project's).
bool IsInsideFolder(const std::string& source, const std::string& folder);

// The path of the payload item at source relative to folder (the
// project's), as "payload/Notes.app"; empty when it lies outside the folder
// or is the folder itself.
std::string PathInFolder(const std::string& source, const std::string& folder);

// Reads SOURCE_DATE_EPOCH, the convention of reproducible builds: `value`
// (nullptr or empty when the variable is not set) is the latest time, in
// seconds since 1970, that a build may write; a later time is written as
// this one. False, with error saying why, when it is not a whole number of
// seconds from 0 to 4294967295 (the last second a zip entry can hold).
bool ParseSourceDateEpoch(const char* value, std::optional<int64>* epoch, std::string* error);

// Whether path is the item at item, or lies below it. Neither path's own
// last component is resolved when it is a link: the link itself is the item.
bool IsAtOrBelow(const std::string& path, const std::string& item);

} // namespace brenvik
