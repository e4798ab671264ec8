#pragma once

// Where the running program's own executable file is, for code above the
// platform that looks for files installed beside it.

#include <SupportDefs.h>

#include <string>

namespace BPrivate {

// The absolute path of the running program's executable. B_ERROR when the
// system cannot say (no /proc), B_ENTRY_NOT_FOUND when the file has been
// removed since the program started.
[[nodiscard]] status_t GetExecutablePath(std::string* path);

} // namespace BPrivate
