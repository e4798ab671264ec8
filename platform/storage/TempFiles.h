#pragma once

// Safe temporary files. Everything temporary goes into one private folder
// per process, made with mkdtemp(3) (mode 0700) under $TMPDIR (or /tmp) and
// removed with its contents when the program ends normally. Files inside it
// are made with mkstemp(3). No name is ever predictable, so nobody else on a
// shared machine can plant a link where we are about to write.
//
// find_directory(B_COMMON_TEMP_DIRECTORY) does not return the private
// folder but the shared one it lies in: a configuration may name "Common
// Temporary" as a destination, and what is installed there must outlive this
// process and be found again by the de-installer.

#include <string>

#include <SupportDefs.h>

namespace BPrivate {

class TempFiles {
public:
    // The machine's temporary folder: $TMPDIR when it is an absolute path,
    // otherwise /tmp.
    static std::string SharedFolder();

    // The process's private temporary folder, made on first use.
    static status_t PrivateFolder(std::string* path);

    // A new, empty file "<prefix>XXXXXX" in the private folder, open for
    // reading and writing (close-on-exec). The caller closes `fd`.
    static status_t CreateFile(const char* prefix, std::string* path, int* fd);

    // A new, empty folder "<prefix>XXXXXX" in the private folder.
    static status_t CreateFolder(const char* prefix, std::string* path);
};

} // namespace BPrivate
