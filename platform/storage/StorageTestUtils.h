#pragma once

// Small helpers shared by the storage kit's tests.

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <TestSandbox.h>

namespace storage_test {

inline bool WriteFile(const std::string& path, const std::string& contents)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = write(fd, contents.data(), contents.size()) == ssize_t(contents.size());
    close(fd);
    return ok;
}

inline std::string ReadFile(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "";
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

// Whether the sandbox's file system keeps user extended attributes at all.
inline bool SandboxKeepsXattrs()
{
    std::string probe = brenvik::test::MakeTempFolder("xattr-probe") + "/probe";
    if (!WriteFile(probe, ""))
        return false;
    bool ok = setxattr(probe.c_str(), "user.probe", "x", 1, 0) == 0;
    unlink(probe.c_str());
    return ok;
}

} // namespace storage_test

#define SKIP_WITHOUT_XATTRS()                                                                      \
    do {                                                                                           \
        if (!storage_test::SandboxKeepsXattrs())                                                   \
            GTEST_SKIP() << "the sandbox's file system keeps no user extended attributes";         \
    } while (false)
