#include "ProjectInput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace brenvik {

namespace {

std::string Megabytes(uint64 bytes)
{
    return std::to_string(bytes / (1024 * 1024)) + " MB";
}

} // namespace

bool CheckInputFile(const std::string& path, uint64 maxBytes, std::string* error)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        *error = errno == ENOENT ? "\"" + path + "\" does not exist"
                                 : "cannot read \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode))
        *error = "\"" + path + "\" is a folder, not a file";
    else if (!S_ISREG(info.st_mode))
        *error = "\"" + path + "\" is not a regular file (a pipe, a device or a socket)";
    else if (uint64(info.st_size) > maxBytes)
        *error = "\"" + path + "\" is larger than " + Megabytes(maxBytes);
    else
        return true;
    return false;
}

namespace {

namespace fs = std::filesystem;

// The path with every folder above its last component resolved.
fs::path ResolvedItem(const std::string& path, std::error_code& error)
{
    fs::path item = fs::absolute(path, error).lexically_normal();
    if (item.has_filename() == false)
        item = item.parent_path();
    return fs::weakly_canonical(item.parent_path(), error) / item.filename();
}

bool StartsWith(const fs::path& path, const fs::path& prefix)
{
    auto [end, _] = std::mismatch(prefix.begin(), prefix.end(), path.begin(), path.end());
    return end == prefix.end();
}

} // namespace

bool IsInsideFolder(const std::string& source, const std::string& folder)
{
    std::error_code error;
    fs::path item = ResolvedItem(source, error);
    fs::path root = fs::weakly_canonical(fs::absolute(folder, error), error);
    return !error && StartsWith(item, root);
}

bool IsAtOrBelow(const std::string& path, const std::string& item)
{
    std::error_code error;
    fs::path resolved = ResolvedItem(path, error);
    fs::path root = ResolvedItem(item, error);
    return !error && StartsWith(resolved, root);
}

} // namespace brenvik
