#pragma once

// The MIME database behind BMimeType: a small store of our own, one text
// file per type, so that it works on any file system (it needs no extended
// attributes) and never touches the desktop's shared-mime-info or
// mimeapps.list files.
//
// Where: $XDG_DATA_HOME/brenvik/mime in the user scope, and
// $BRENVIK_ROOT/var/lib/brenvik/mime in the system scope. In the user scope
// the system store is read as well (after the user's own), so that programs
// installed for everybody are found.
//
// A type "text/x-velk" lives in "<store>/text.d/x-velk.mime" (a supertype
// "text" in "<store>/text.mime"), names in lower case, since MIME types
// compare without regard to case. Each file holds "key=value" lines; a value
// escapes a backslash as "\\" and a newline as "\n". A file is replaced
// atomically (written beside it, then renamed), so a reader never sees half
// of one.

#include <map>
#include <string>
#include <vector>

#include <SupportDefs.h>

namespace BPrivate {

// The fields of one type: each key holds one or more values.
typedef std::map<std::string, std::vector<std::string>> MimeRecord;

class MimeDatabase {
public:
    // The store this process writes to, and the stores it reads, in order.
    static std::string WritableFolder();
    static std::vector<std::string> ReadableFolders();

    // The record of a type (from the first store that has it);
    // B_ENTRY_NOT_FOUND when no store knows the type.
    static status_t Read(const char* type, MimeRecord* record);
    // Replaces the record of a type in the writable store.
    static status_t Write(const char* type, const MimeRecord& record);
    static status_t Remove(const char* type);

    // The file of a type inside a store.
    static std::string FileFor(const std::string& folder, const char* type);

    static std::string Encode(const MimeRecord& record);
    static MimeRecord Decode(const std::string& text);
};

} // namespace BPrivate
