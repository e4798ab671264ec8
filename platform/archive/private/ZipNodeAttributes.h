#pragma once

// The BeOS attributes of a file on disk, for the zip layer: read from a node
// that is being archived and written onto a node that is being extracted,
// through the storage kit's xattr format (NodeAttributes.h), which also
// mirrors a node's "BEOS:TYPE" into "user.mime_type".

#include "ZipExtraFields.h"

#include <vector>

namespace BPrivate {

// Every attribute of the open node, in the order of their names. A file
// system without user xattrs simply has none.
status_t ReadNodeAttributes(int fd, std::vector<ZipAttribute>* attributes);

// Writes one attribute; the status says why it could not be kept
// (B_NOT_SUPPORTED without user xattrs, B_DEVICE_FULL when the file system
// has no room for it, B_NAME_TOO_LONG, B_BUFFER_OVERFLOW for a value larger
// than one xattr can hold).
status_t WriteNodeAttribute(int fd, const ZipAttribute& attribute);

} // namespace BPrivate
