#pragma once

// Helpers shared by the storage library's tests: small files, and the odd
// names that every file operation must handle.

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <TestSandbox.h>

namespace lib_storage_test {

inline bool WriteFile(const std::string& path, const std::string& contents, mode_t mode = 0644)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    bool ok = write(fd, contents.data(), contents.size()) == ssize_t(contents.size());
    return close(fd) == 0 && ok;
}

inline std::string ReadFile(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "<missing>";
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

// A name a shell would have mangled or run.
struct OddName {
    const char* label;
    std::string name;
};

// Names holding a double quote, a command substitution, backticks, a
// newline, a leading '-', and the longest component the file system allows.
inline std::vector<OddName> OddNames()
{
    return {
        { "Plain", "plain name" },
        { "DoubleQuote", "say \"hello\"" },
        { "CommandSubstitution", "$(touch x)" },
        { "Backticks", "`touch x`; rm -rf x" },
        { "Newline", "first line\nsecond line" },
        { "LeadingDash", "-rf" },
        { "Backslash", "back\\slash 'single'" },
        { "LongestComponent", std::string(250, 'n') + "-long" },
    };
}

// A folder path built of `depth` components of 250 characters each, well
// past any fixed command buffer (and past B_PATH_NAME_LENGTH).
inline std::string DeepFolder(const std::string& base, int depth)
{
    std::string path = base;
    for (int i = 0; i < depth; i++) {
        path += "/" + std::string(249, char('a' + i)) + std::to_string(i);
        mkdir(path.c_str(), 0755);
    }
    return path;
}

} // namespace lib_storage_test
