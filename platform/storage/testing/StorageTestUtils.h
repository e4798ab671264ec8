#pragma once

// Small helpers shared by the storage kit's tests.

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <TestFiles.h>
#include <TestSandbox.h>

namespace storage_test {

using brenvik::test::Exists;
using brenvik::test::WriteFile;

// A file that cannot be read reads as empty here.
inline std::string ReadFile(const std::string& path)
{
    return brenvik::test::ReadFile(path, "");
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
