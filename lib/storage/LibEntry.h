#pragma once

// Small helpers around entries and paths: existence, folder creation, unique
// temporary names, entry references and their paths, and the settings
// folder.

#include <EntryRef.h>
#include <SupportDefs.h>

class BMessage;
class BPath;
class LibString;
class LibStringList;

// Whether something is at the path. A symbolic link counts as existing even
// when its target is missing: a dangling link still occupies the name.
bool LibExists(const char* path);

// Creates the folder and every missing folder above it, with permissions
// 0775 (less the umask). True when the folder was made; false when something
// already exists at the path (nothing is changed then) or when a folder could
// not be made. The second form also appends each folder it made, outermost
// first, to `created`, so that an uninstaller can remove exactly those.
bool Libmkdir(const char* path);
bool Libmkdir(const char* path, LibStringList& created);

// Changes the process's working folder to the path when it is a folder;
// returns whether it did. The working folder is shared by every thread: no
// helper of this library calls it.
bool LibChangeDirectory(const char* path);

// Appends to `path` a new leaf name that begins with `prefix`, then the
// values of a process-wide counter (1 to 10000, then 1 again), the process id
// and the current second, then six random characters, and creates an empty
// file of that name (mode 0600, never through a link) to reserve it. An
// empty path is first set to the process's private temporary folder.
// Returns false, with `path` unset, when no name could be reserved.
bool LibUniqueName(BPath& path, const char* prefix);

// The reference of the entry at the path; a final symbolic link is not
// followed. A missing leaf in an existing folder gives the reference the
// entry would have.
bool LibGetEntryRef(const char* path, entry_ref& ref);
// The full path of a reference; false when the reference is unusable.
bool LibGetFullPath(const entry_ref& ref, LibString& path);
bool LibGetFullPath(const entry_ref& ref, BPath& path);
// The reference of the folder that holds the entry; an empty reference when
// the reference is unusable.
entry_ref LibGetParentRef(const entry_ref& ref);
// The folder that holds the running application's executable (not the
// process's working folder). False when no application is running.
bool LibGetWorkingDirectory(BPath& path);
// The reference's path with `leaf` appended.
bool LibGetPath(const entry_ref& ref, const char* leaf, BPath& path);
// The folder part of a path ("/" for an entry at the root).
bool LibGetParentPath(const char* path, LibString& parent);
// The leaf name of a path, copied into `buffer` of `size` bytes; false, with
// an empty buffer, when it does not fit.
bool LibGetChildName(const char* path, char* buffer, size_t size = B_FILE_NAME_LENGTH);
// The path chosen in a save panel: its "directory" reference with its
// "name" appended, once leading and trailing spaces are stripped from the
// name. Returns the length of the stripped name (0 when the message lacks a
// usable name or folder; `path` is then unset).
int32 LibGetFilePath(const BMessage& message, BPath& path);
// The user's settings folder (standard folder "User Settings").
bool LibGetSettingsPath(LibString& path);
// The same into `buffer` of `size` bytes; false, with an empty buffer, when
// it does not fit.
bool LibGetSettingsPath(char* buffer, const size_t& size);
