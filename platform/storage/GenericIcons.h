#pragma once

// The generic icons the file manager shows for items that have no icon of
// their own and whose type has none: a document, a folder, a program and a
// link, drawn in the B_CMAP8 system palette (index 255 transparent).

#include <Mime.h>

namespace BPrivate {

enum generic_icon { kDocumentIcon, kFolderIcon, kApplicationIcon, kLinkIcon };

// Fills IconBytes(size) bytes.
void GenericIcon(generic_icon kind, icon_size size, uint8* bits);

} // namespace BPrivate
