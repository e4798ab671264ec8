#include "TrustedFolders.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <PathHelpers.h>

namespace {

// As the kernel's own limit on links followed in one lookup.
constexpr int kMaxLinks = 40;

bool TrustedUser(uid_t uid)
{
    return uid == 0 || uid == geteuid();
}

bool TrustedGroup(gid_t gid)
{
    return gid == 0 || gid == getegid();
}

// Whether an access control list may give another user more than the mode
// shows (its mask is then the group bits).
bool HasAccessList(const std::string& path)
{
    return lgetxattr(path.c_str(), "system.posix_acl_access", nullptr, 0) > 0;
}

std::string Owner(uid_t uid)
{
    return "user " + std::to_string(uid);
}

// Why the entry may be changed by another user than root, or "".
std::string ForeignReason(const std::string& path, const struct stat& info)
{
    if (!TrustedUser(info.st_uid))
        return S_ISLNK(info.st_mode) ? "it is a link that belongs to " + Owner(info.st_uid)
                                     : "it belongs to " + Owner(info.st_uid);
    if (S_ISLNK(info.st_mode))
        return "";
    bool othersWrite = (info.st_mode & S_IWOTH) != 0;
    bool groupWrites
        = (info.st_mode & S_IWGRP) != 0 && (!TrustedGroup(info.st_gid) || HasAccessList(path));
    if (!othersWrite && !groupWrites)
        return "";
    // Others may add entries to a sticky folder of root's, never change
    // those of root's in it.
    if (S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0)
        return "";
    return othersWrite ? "every user may write in it" : "other users than root may write in it";
}

std::deque<std::string> Components(const std::string& path)
{
    std::deque<std::string> components;
    size_t start = 0;
    while (start < path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        if (slash > start)
            components.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return components;
}

} // namespace

status_t TrustedFolders::Check(const std::string& path, std::string* component, std::string* reason)
{
    component->clear();
    reason->clear();
    if (path.empty() || path[0] != '/') {
        *component = path;
        *reason = "it is not an absolute path";
        return B_NOT_ALLOWED;
    }
    std::string current = "/";
    struct stat info;
    if (lstat(current.c_str(), &info) != 0) {
        *component = current;
        *reason = std::strerror(errno);
        return B_NOT_ALLOWED;
    }
    if (std::string why = ForeignReason(current, info); !why.empty()) {
        *component = current;
        *reason = why;
        return B_NOT_ALLOWED;
    }
    std::deque<std::string> pending = Components(path);
    int links = 0;
    while (!pending.empty()) {
        std::string name = pending.front();
        pending.pop_front();
        if (name == ".")
            continue;
        if (name == "..") {
            // `current` holds no link, so its parent is the lexical one.
            std::string folder;
            std::string leaf;
            BPrivate::SplitPath(current, &folder, &leaf);
            current = folder;
            continue;
        }
        std::string next = BPrivate::JoinPath(current, name);
        if (lstat(next.c_str(), &info) != 0) {
            int error = errno;
            // What is missing the pass makes, below a folder that passed;
            // what is not a folder it refuses by itself.
            if (error == ENOENT || error == ENOTDIR)
                return B_OK;
            *component = next;
            *reason = std::strerror(error);
            return B_NOT_ALLOWED;
        }
        if (std::string why = ForeignReason(next, info); !why.empty()) {
            *component = next;
            *reason = why;
            return B_NOT_ALLOWED;
        }
        if (S_ISLNK(info.st_mode)) {
            if (++links > kMaxLinks) {
                *component = next;
                *reason = std::strerror(ELOOP);
                return B_NOT_ALLOWED;
            }
            std::string target(size_t(info.st_size > 0 ? info.st_size : 4095) + 1, '\0');
            ssize_t length = readlink(next.c_str(), target.data(), target.size());
            if (length < 0 || size_t(length) >= target.size()) {
                *component = next;
                *reason = "its target cannot be read";
                return B_NOT_ALLOWED;
            }
            target.resize(size_t(length));
            std::deque<std::string> followed = Components(target);
            pending.insert(pending.begin(), followed.begin(), followed.end());
            if (!target.empty() && target[0] == '/')
                current = "/";
            continue;
        }
        if (!S_ISDIR(info.st_mode))
            return B_OK;
        current = next;
    }
    return B_OK;
}
