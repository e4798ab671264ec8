#pragma once

// Whether a system installation (root) may write into a folder without
// another user being able to turn the write elsewhere. A user who owns a
// folder on the way, or may write in one, can swap what lies below it for a
// link or a folder of her own, and root would then write where she chose.
//
// Every existing component of the path is examined from "/" down with
// lstat, never following a link on the way:
// - it must belong to root or to the user the program runs as (the
//   effective user; root in a real system installation);
// - nobody else may write in it: no write bit for others, no write bit for
//   a group other than root's (or the effective user's), no access control
//   list that could grant another user the write; a folder with the sticky
//   bit that belongs to root (as /tmp) is the exception: others may make
//   entries in it, but each entry the path goes through must itself belong
//   to root, like every other component;
// - a symbolic link must belong to root (or the effective user) too; its
//   target is then examined the same way.
// The first missing component ends the walk: the rest is made by the pass,
// below a folder that has passed.

#include <string>

#include <SupportDefs.h>

class TrustedFolders {
public:
    // B_OK when the folder may be written into. Otherwise B_NOT_ALLOWED,
    // and *component (the path of the first component that fails) and
    // *reason (in English, as strerror's texts) say why.
    static status_t Check(const std::string& path, std::string* component, std::string* reason);
};
