#pragma once

// LibNode: a node with typed attribute accessors, and a way to keep a whole
// file, zipped, inside one attribute.
//
// Every write first removes the attribute, so a shorter value never leaves
// old bytes behind. Attribute types: strings are B_STRING_TYPE without the
// terminating NUL, 32-bit integers B_INT32_TYPE (4 bytes, machine order),
// bools B_BOOL_TYPE (1 byte), messages and zipped files B_RAW_TYPE.
//
// One attribute holds at most 64 KiB on Linux (often less, see the storage
// kit's NodeAttributes.h); a write that does not fit fails with an error.

#include <Node.h>

class BEntry;
class BMessage;
class LibString;

class LibNode : public BNode {
public:
    LibNode();
    LibNode(const char* path);
    LibNode(const entry_ref* ref);
    LibNode(const BEntry* entry);
    ~LibNode() override;

    // The platform's write result: bytes written, or an error.
    ssize_t WriteStringAttr(const char* name, const char* text);
    // The platform's read result. A missing attribute gives
    // B_ENTRY_NOT_FOUND and leaves `text` as it was.
    ssize_t ReadStringAttr(const char* name, LibString& text) const;

    ssize_t WriteInt32Attr(const char* name, const int32& value);
    // True when exactly four bytes were read; `value` is untouched otherwise.
    bool ReadInt32Attr(const char* name, int32& value) const;

    ssize_t WriteBoolAttr(const char* name, const bool& value);
    // True when exactly one byte was read.
    bool ReadBoolAttr(const char* name, bool& value) const;

    // The message in its flattened form.
    ssize_t WriteMessageAttr(const char* name, const BMessage& message);
    // False when the attribute is missing or does not hold a message; the
    // message is then left untouched.
    bool ReadMessageAttr(const char* name, BMessage& message) const;

    // Stores the file at `path`, zipped (its one entry named by the file's
    // leaf name), in the attribute. False when the file does not exist, the
    // archive cannot be made or the attribute cannot hold it.
    bool CompressFile(const char* name, const char* path);
    // Recreates the stored file at `destination` (moved there as by
    // LibMove, then typed). With `unzip` the archive is extracted first;
    // without, the archive itself is placed at the destination. True, doing
    // nothing, when the node has no such attribute.
    bool UncompressFile(const char* name, const char* destination, const bool& unzip);

private:
    bool ReadWhole(const char* name, type_code* type, std::vector<uint8>* data) const;
};
