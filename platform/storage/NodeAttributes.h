#pragma once

// BeOS attributes stored as Linux extended attributes.
//
// The format is the one Haiku's own tools use on Linux, so that files
// written by either can be read by the other:
// - the xattr name is "user.haiku." followed by the attribute name, with '/'
//   written as the two characters "%\" and '%' as "%%";
// - the value is the 4-byte type code in little-endian order followed by the
//   attribute's bytes (an empty attribute is just the type).
// A node's MIME type ("BEOS:TYPE") is mirrored, as a bare string without a
// NUL, into "user.mime_type", the freedesktop.org convention that other
// Linux programs read.
//
// One xattr holds at most 64 KiB (XATTR_SIZE_MAX) on Linux, and many file
// systems allow much less (ext4 without the ea_inode feature keeps all of a
// file's xattrs in one 4 KiB block). A value that does not fit is refused
// with an error; nothing is cut short silently. File systems without user
// xattrs give B_NOT_SUPPORTED.

#include <string>
#include <vector>

#include <SupportDefs.h>

namespace BPrivate {

// How the storage kit reaches a node: through an open descriptor, or, when
// there is none (symbolic links, nodes it may not open), through its path,
// which is then never followed.
struct NodeTarget {
    int fd = -1;
    const char* path = nullptr;
};

class NodeAttributes {
public:
    // The extended-attribute namespace that holds every attribute the
    // storage kit keeps (attributes, the MIME mirror, creation times).
    static constexpr const char* kNamespace = "user.";
    static constexpr const char* kPrefix = "user.haiku.";
    static constexpr const char* kMimeMirror = "user.mime_type";
    static constexpr size_t kMaxXattrSize = 65536;
    static constexpr size_t kMaxValueSize = kMaxXattrSize - 4;

    // Attribute name <-> xattr name. Encoding fails with B_BAD_VALUE for an
    // empty name and B_NAME_TOO_LONG when the xattr name would pass the
    // kernel's 255-byte limit; decoding fails for names outside our prefix
    // or with a broken escape.
    static status_t EncodeName(const char* name, std::string* xattrName);
    static bool DecodeName(const char* xattrName, std::string* name);

    // The whole of a typed attribute.
    static status_t Read(
        const NodeTarget& target, const char* name, type_code* type, std::vector<uint8>* data);
    static status_t Write(
        const NodeTarget& target, const char* name, type_code type, const void* data, size_t size);
    static status_t Remove(const NodeTarget& target, const char* name);
    // The names of every attribute, in the file system's order.
    static status_t List(const NodeTarget& target, std::vector<std::string>* names);

    // Raw extended attributes, by full xattr name.
    static status_t ReadRaw(
        const NodeTarget& target, const char* xattrName, std::vector<uint8>* value);
    static status_t WriteRaw(
        const NodeTarget& target, const char* xattrName, const void* value, size_t size);
    static status_t RemoveRaw(const NodeTarget& target, const char* xattrName);

private:
    static status_t Status(int error);
};

} // namespace BPrivate
