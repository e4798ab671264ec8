#pragma once

// A second, independent reading of an archive's central directory: what each
// entry name looks like as stored. libzip quietly turns a NUL byte inside a
// name into a space, so such a name would be written under another name than
// the archive gives; this reading tells it apart.

#include "ZipByteSource.h"

#include <string>
#include <vector>

namespace BPrivate {

struct ZipStoredName {
    uint16 length = 0;
    bool hasNul = false;
};

// The stored names in central-directory order. B_BAD_DATA (with a reason)
// when the directory cannot be found or runs past the archive.
status_t ReadCentralNames(
    ZipByteSource& source, std::vector<ZipStoredName>* names, std::string* reason);

} // namespace BPrivate
