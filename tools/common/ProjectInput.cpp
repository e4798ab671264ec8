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

std::string PathInFolder(const std::string& source, const std::string& folder)
{
    std::error_code error;
    fs::path item = ResolvedItem(source, error);
    fs::path root = fs::weakly_canonical(fs::absolute(folder, error), error);
    if (error || !StartsWith(item, root))
        return {};
    fs::path relative = item.lexically_relative(root);
    return relative.empty() || relative == "." ? std::string() : relative.string();
}

bool ParseSourceDateEpoch(const char* value, std::optional<int64>* epoch, std::string* error)
{
    epoch->reset();
    if (value == nullptr || value[0] == '\0')
        return true;
    std::string text(value);
    if (text.find_first_not_of("0123456789") != std::string::npos) {
        *error = "SOURCE_DATE_EPOCH is \"" + text + "\", not a number of seconds since 1970";
        return false;
    }
    std::string digits = text.substr(std::min(text.find_first_not_of('0'), text.size() - 1));
    if (digits.size() > 10 || std::stoull(digits) > UINT32_MAX) {
        *error
            = "SOURCE_DATE_EPOCH is \"" + text + "\", later than a zip entry can hold (4294967295)";
        return false;
    }
    *epoch = int64(std::stoull(digits));
    return true;
}

bool IsAtOrBelow(const std::string& path, const std::string& item)
{
    std::error_code error;
    fs::path resolved = ResolvedItem(path, error);
    fs::path root = ResolvedItem(item, error);
    return !error && StartsWith(resolved, root);
}

} // namespace brenvik
