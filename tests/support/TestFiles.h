#pragma once

// Small files for tests: writing and reading them whole with plain POSIX
// calls (not the storage kit under test), and asking what is at a path
// without following a link.

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace brenvik::test {

// Creates or truncates `path` with `contents`; false if any step failed,
// closing included.
inline bool WriteFile(const std::string& path, const std::string& contents, mode_t mode = 0644)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    bool ok = write(fd, contents.data(), contents.size()) == ssize_t(contents.size());
    return close(fd) == 0 && ok;
}

// The whole contents of `path`, or `ifMissing` when it cannot be opened.
inline std::string ReadFile(const std::string& path, const std::string& ifMissing = "<missing>")
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ifMissing;
    std::string contents;
    char buffer[4096];
    ssize_t length;
    while ((length = read(fd, buffer, sizeof(buffer))) > 0)
        contents.append(buffer, size_t(length));
    close(fd);
    return contents;
}

inline bool Exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

inline bool IsFolder(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

inline bool IsLink(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

} // namespace brenvik::test
