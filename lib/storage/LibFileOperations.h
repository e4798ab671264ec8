#pragma once

// Copying, moving, removing, linking, archiving and typing files.
//
// Everything is done in this process, through the storage kit, never by a
// command line: any byte but NUL and '/' may appear in a name (quotes, '$',
// backticks, newlines, a leading '-'), and paths may be as long as the
// kernel allows. Every step is checked and a failure is reported by the
// result. The BeOS attributes of files and folders (with their types) travel
// with every copy, move and archive. No function changes the process's
// working folder. Long copies pass the thread layer's checkpoints, so a
// worker that runs one can still be killed.
//
// Where the destination of a copy, move or link is an existing folder, the
// item goes inside it under its own name, as with the cp, mv and ln tools.

#include <SupportDefs.h>

#include <string>

class BPath;

// Copies the file, folder (with everything below it) or symbolic link at
// `source` to `destination`, replacing a file of the same name there and
// merging into a folder of the same name. Data, permissions (less the
// umask, without set-id bits), modification and access times, the creation
// time and every attribute are copied; links are copied as links. Files are
// written under a temporary name and renamed into place, so a failed copy
// never leaves a half-written file where the destination was. Attributes the
// destination's file system cannot hold are reported on standard error and
// do not fail the copy.
bool LibCopy(const char* source, const char* destination);

// Moves an item. Within one file system it is renamed (everything is kept);
// across file systems it is copied as by LibCopy, typed (Libmimeset), and
// the source is removed only once the copy has fully succeeded.
bool LibMove(const char* source, const char* destination);

// Removes the item; a folder goes with everything below it. Links are
// removed, never followed. True when nothing is left at the path (a missing
// path is not an error).
bool LibUnlink(const char* path);

// Gives the item, and everything below a folder, a file type where it has
// none, from its contents (the type detector). Existing types are kept.
bool Libmimeset(const char* path);

// Makes `linkPath` a symbolic link to `target`, replacing a file or link
// that is there (an existing link is replaced, not followed). When linkPath
// is a folder, the link is made inside it under the target's leaf name.
bool LibSymLink(const char* target, const char* linkPath);

// Writes the zip archive `zipPath` of the item at `source` (recursively),
// at compression level 0 (stored) to 9. The archive's paths begin with the
// item's leaf name; each entry keeps its times, mode, owner and attributes.
// An existing file at zipPath is replaced.
bool LibZip(const char* zipPath, const BPath& source, const int& level);

// Extracts the zip archive, which holds one item (as LibZip writes them),
// into the folder that holds the archive, replacing an existing item of the
// same name. Extraction is safe: no entry can be written outside that
// folder, and links on disk are never followed out of it. Times, modes and
// attributes are restored.
bool LibUnzip(const char* zipPath);

// Writes the tar archive `archivePath` of the item at `source`. A relative
// source is taken from the archive's folder, as the archive's paths are.
// Attributes travel as extended attributes in the archive. Runs the system's
// tar program with an argument vector.
bool LibTar(const char* source, const char* archivePath);

// Moves the item to the trash of its volume (the home folder's trash on the
// boot volume), recording where it came from so that a desktop can restore
// it. When the trash already holds that name, the item becomes
// "<name> copy", then "<name> copy 1", "<name> copy 2", ...; with `replace`
// it takes its own name and the trashed item of that name is removed.
bool LibTrash(const BPath& path, const bool& replace);
// The same, telling where the item went (the trash's "files/<name>"; its
// record is "info/<name>.trashinfo" beside that folder).
bool LibTrash(const BPath& path, const bool& replace, BPath* trashedAs);

// Reading the trash back. The record of an item in a trash's "files" folder
// ("info/<name>.trashinfo" beside that folder), or "" for a path that is
// not in one.
std::string LibTrashRecordOf(const std::string& trashed);
// The original path that a trash record names, or "" when it names none or
// is not a plain file of a trash record's size (it is never followed
// through a link).
std::string LibTrashedFrom(const std::string& recordPath);
// The newest item of the trash folder `trashFiles` whose record names
// `original`, or "" when there is none.
std::string LibFindInTrash(const std::string& trashFiles, const std::string& original);

// Renames the item aside in its own folder (it is not copied): to the first
// free name of "<name> copy", "<name> copy 1", "<name> copy 2", ...
bool LibDuplicate(const char* path);

// Looks for `fileName` in the ':'-separated folders of the environment
// variable `variable`. The first folder of the list is deliberately never
// searched (it is "." on the platform these installers were written for).
bool LibFindEnvFile(const char* variable, const char* fileName, BPath& path);

// The size in bytes of the item: its data, plus the size of each of its
// attributes with `includeAttributes`, plus, for a folder, the sizes of
// everything below it, computed the same way. Links are not followed. 0
// when the item cannot be opened.
int64 LibEntrySize(const char* path, const bool& includeAttributes);
