#pragma once

// The extractor's rule for symbolic links, for tools that make archives: an
// item whose links the installer would refuse can be refused before it is
// ever archived, with the same words.

#include <SupportDefs.h>

#include <string>

namespace BPrivate {

// Checks every symbolic link of the item at sourcePath (the item itself
// when it is a link, and every link below it when it is a folder; no link
// is followed) as ZipExtractor will when the item is extracted into a
// folder: a target must be relative, resolve inside that folder (through
// the item's other links as well) and not loop. B_NOT_ALLOWED with problem
// naming the first link refused; B_OK when there is none. Another error
// when the item cannot be read.
status_t CheckItemLinks(const char* sourcePath, std::string* problem);

} // namespace BPrivate
