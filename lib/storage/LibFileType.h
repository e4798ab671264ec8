#pragma once

// File types of nodes, and the file manager's view of an item.

#include <EntryRef.h>
#include <SupportDefs.h>

// The node's type into `type` (at least B_MIME_TYPE_LENGTH bytes). A node
// without a stored type gets the one its contents show (nothing is written);
// a folder is "application/x-vnd.Be-directory" and a link
// "application/x-vnd.Be-symlink". With `descriptive` the buffer then receives
// a kind instead: "Folder", "Symbolic Link", "Be Application" (an
// executable program) or "Unknown". False, with "Unknown" or an empty
// buffer, when the entry cannot be read.
bool LibGetMimeType(const entry_ref& ref, char* type, const bool& descriptive);

// Sets the node's type.
bool LibSetMimeType(const char* path, const char* type);

// Sets the node's type and the application that opens it; a null signature
// means the running application.
bool LibSetFileType(const char* path, const char* type, const char* signature);

// Asks the desktop's file manager to open the item (a folder opens in a
// window). False when the path does not exist or the request failed.
bool LibOpenEntry(const char* path);
// Asks the desktop's file manager to show the item's information.
bool LibInfoEntry(const char* path);
