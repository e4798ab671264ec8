#pragma once

// Reads a small file the engine was handed (an install record, an answer
// file) whole: only a regular file, never blocking on a pipe or a device,
// and never more than `limit` bytes.

#include <string>

#include <SupportDefs.h>

// B_OK with the bytes; B_BAD_TYPE for anything but a regular file,
// B_BAD_DATA for one larger than `limit`, the open's own error otherwise.
status_t ReadSmallFile(const std::string& path, size_t limit, std::string* bytes);
