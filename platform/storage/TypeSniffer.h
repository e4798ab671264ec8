#pragma once

// In-process type detection (what the "mimeset" tool does on BeOS): a node's
// MIME type from its kind and the first bytes of its contents.
//
// - symbolic links, folders and volume roots get the BeOS pseudo types
//   "application/x-vnd.Be-symlink", "-directory" and "-volume";
// - ELF programs are "application/x-vnd.Be-elfexecutable": ET_EXEC files,
//   and ET_DYN files that name a program interpreter (PT_INTERP), which is
//   how Debian builds every position-independent program. A shared library
//   (ET_DYN without an interpreter) is "application/x-sharedlib", so that
//   nothing tries to run it;
// - images (PNG, JPEG, GIF, BMP), archives (zip, gzip, tar), PDF, WAVE and
//   BeOS resource files by their signatures;
// - text (no NUL, valid UTF-8, few control characters) is "text/plain", or
//   "text/x-shellscript" when it starts with "#!";
// - anything else, and an empty file, is "application/octet-stream".

#include <string>

#include <SupportDefs.h>

namespace BPrivate {

class TypeSniffer {
public:
    // How many leading bytes SniffData looks at.
    static constexpr size_t kSniffSize = 4096;

    // The type of a node (the final link is not followed).
    static status_t SniffPath(const char* path, std::string* type);

    // The type of file contents. Only the first bytes matter; for ELF files
    // the program headers must be within them for PT_INTERP to be seen
    // (SniffPath reads them wherever they are).
    static const char* SniffData(const void* data, size_t size);

    // Whether ELF contents with these program headers ask for an
    // interpreter. `data` holds the ELF header at its start; `headers` the
    // program header table.
    static bool ElfHasInterpreter(
        const void* header, size_t headerSize, const void* headers, size_t headersSize);
};

} // namespace BPrivate
