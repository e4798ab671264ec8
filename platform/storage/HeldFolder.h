#pragma once

// Folders reached through handles, for work that must not be turned aside
// by a name changed under it: a folder below one that is held open is
// opened without following any symbolic link and without leaving it
// (openat2 with RESOLVE_BENEATH|RESOLVE_NO_SYMLINKS where the kernel has it,
// otherwise one component at a time with O_NOFOLLOW), and what is then made,
// renamed or removed in it is named relative to its handle.

#include <functional>
#include <string>
#include <sys/stat.h>

#include <Descriptor.h>
#include <SupportDefs.h>

namespace BPrivate {

// Opens the folder `relative` ("a/b/c"; empty for `base` itself) below the
// folder held by `base`. A component that is a link, or not a folder, is
// refused (B_NOT_ALLOWED, B_NOT_A_DIRECTORY); so are empty, "." and ".."
// components.
status_t OpenFolderBeneath(int base, const std::string& relative, Descriptor* folder);

// Opens an absolute folder path. The links on its way are resolved once,
// then the resolved path is walked from "/" following none, so the folder
// held is the one the path named at that moment, never one a link swapped
// in afterwards leads to.
status_t OpenFolderPath(const std::string& path, Descriptor* folder);

// The folder of an absolute path, held (OpenFolderPath), and the path's
// leaf.
status_t OpenParentOf(const std::string& path, Descriptor* parent, std::string* leaf);

// Makes the folder `name` in the one held by `parent` and opens it without
// following a link. *made says whether this call made it: a folder that was
// there already is opened as well, for the caller to judge. A link or
// anything but a folder at the name is refused. `afterMake`, when given, is
// called between the mkdir and the open (where a test puts what a racing
// user would).
status_t MakeFolderAt(int parent, const std::string& name, mode_t mode, Descriptor* folder,
    bool* made, const std::function<void()>& afterMake = {});

// Removes `name` from the folder held by `parent` and, for a folder,
// everything in it first; links are removed, never followed.
status_t RemoveTreeAt(int parent, const std::string& name);

// A path the kernel resolves through the handle itself (/proc/self/fd/N),
// for code that takes only paths; `leaf` is appended when given.
std::string HeldPath(int fd, const std::string& leaf = std::string());

// Whether `path` leads (through the links on its way as they are now) to
// the folder held by `folder`, and not to one put at its name since.
bool PathLeadsTo(const std::string& path, int folder);

// Tests only: whether openat2 is tried (it is, by default).
void SetHeldFolderUsesOpenat2(bool use);

} // namespace BPrivate
