#pragma once

// Path arithmetic shared by the storage kit. Paths are plain byte strings:
// any byte but NUL and '/' may appear in a name (quotes, newlines, a leading
// '-'), and nothing here ever hands a path to a shell.

#include <string>

#include <SupportDefs.h>

namespace BPrivate {

// Makes `path` absolute against the process's working folder.
status_t AbsolutePath(const char* path, std::string* absolute);

// Cleans an absolute path without looking at the disk: repeated slashes
// collapse, "." components and a trailing slash go. ".." is kept, because
// only the file system knows what it means once symbolic links are involved.
std::string CleanPath(const std::string& path);

// Whether a clean path still has a ".." component.
bool HasParentReference(const std::string& cleanPath);

// Splits a clean absolute path into its folder and leaf. "/" gives "/" and
// an empty leaf; "/a" gives "/" and "a".
void SplitPath(const std::string& path, std::string* folder, std::string* leaf);

// The leaf of a clean absolute path (empty for "/").
std::string LeafOf(const std::string& path);

// The folder of a path once cleaned (CleanPath): "/" for "/" and "/a",
// "/a" for "/a//b/".
std::string FolderOf(const std::string& path);

// folder + "/" + leaf, without doubling the slash after "/".
std::string JoinPath(const std::string& folder, const std::string& leaf);

// realpath(3) with a status result.
status_t RealPath(const std::string& path, std::string* resolved);

// Resolves every component of an absolute path except its leaf, which need
// not exist: the folder must. Symbolic links in the folder part are
// followed; ".." is resolved on disk. A leaf of ".." is resolved as well.
status_t ResolveFolderOf(const std::string& path, std::string* resolved);

// Follows the final component while it is a symbolic link (the path's folder
// already resolved). A dangling link ends at its missing target.
status_t FollowLinks(const std::string& path, std::string* target);

// Checks a single entry name: not empty, no '/', and short enough for the
// file system (B_NAME_TOO_LONG beyond 255 bytes).
status_t CheckEntryName(const std::string& name);

// Whether `path` is `folder` itself or lies below it (both clean, absolute).
bool PathIsInside(const std::string& path, const std::string& folder);

} // namespace BPrivate
