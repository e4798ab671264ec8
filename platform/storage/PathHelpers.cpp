#include "PathHelpers.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <EntryRef.h>

namespace BPrivate {

namespace {

// Linux stops resolving after 40 links; so do we.
constexpr int kMaxLinkHops = 40;

} // namespace

status_t AbsolutePath(const char* path, std::string* absolute)
{
    if (path == nullptr || path[0] == '\0')
        return B_BAD_VALUE;
    if (path[0] == '/') {
        *absolute = path;
        return B_OK;
    }
    std::string folder(PATH_MAX, '\0');
    while (getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE)
            return StatusFromErrno(errno);
        folder.resize(folder.size() * 2);
    }
    folder.resize(folder.find('\0'));
    *absolute = JoinPath(folder, path);
    return B_OK;
}

std::string CleanPath(const std::string& path)
{
    std::string clean;
    clean.reserve(path.size());
    size_t position = 0;
    while (position < path.size()) {
        size_t end = path.find('/', position);
        if (end == std::string::npos)
            end = path.size();
        std::string_view part(path.data() + position, end - position);
        if (!part.empty() && part != ".") {
            clean += '/';
            clean += part;
        }
        position = end + 1;
    }
    return clean.empty() ? std::string("/") : clean;
}

bool HasParentReference(const std::string& cleanPath)
{
    size_t position = 0;
    while ((position = cleanPath.find("/..", position)) != std::string::npos) {
        size_t after = position + 3;
        if (after == cleanPath.size() || cleanPath[after] == '/')
            return true;
        position = after;
    }
    return false;
}

void SplitPath(const std::string& path, std::string* folder, std::string* leaf)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        *folder = "";
        *leaf = path;
        return;
    }
    *folder = slash == 0 ? std::string("/") : path.substr(0, slash);
    *leaf = path.substr(slash + 1);
}

std::string LeafOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path)
{
    std::string folder;
    std::string leaf;
    SplitPath(CleanPath(path), &folder, &leaf);
    return folder;
}

std::string JoinPath(const std::string& folder, const std::string& leaf)
{
    if (leaf.empty())
        return folder;
    if (folder.empty() || folder.back() == '/')
        return folder + leaf;
    return folder + "/" + leaf;
}

status_t RealPath(const std::string& path, std::string* resolved)
{
    char* result = realpath(path.c_str(), nullptr);
    if (result == nullptr)
        return StatusFromErrno(errno);
    *resolved = result;
    std::free(result);
    return B_OK;
}

status_t ResolveFolderOf(const std::string& path, std::string* resolved)
{
    std::string clean = CleanPath(path);
    if (clean == "/") {
        *resolved = clean;
        return B_OK;
    }
    std::string folder;
    std::string leaf;
    SplitPath(clean, &folder, &leaf);
    if (leaf == "..")
        return RealPath(clean, resolved);
    status_t status = CheckEntryName(leaf);
    if (status != B_OK)
        return status;
    std::string realFolder;
    status = RealPath(folder, &realFolder);
    if (status != B_OK)
        return status;
    struct stat info;
    if (stat(realFolder.c_str(), &info) != 0)
        return StatusFromErrno(errno);
    if (!S_ISDIR(info.st_mode))
        return B_NOT_A_DIRECTORY;
    *resolved = JoinPath(realFolder, leaf);
    return B_OK;
}

status_t FollowLinks(const std::string& path, std::string* target)
{
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinkHops; hop++) {
        struct stat info;
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            *target = current;
            return B_OK;
        }
        std::vector<char> buffer(size_t(info.st_size > 0 ? info.st_size : PATH_MAX) + 1);
        ssize_t length = readlink(current.c_str(), buffer.data(), buffer.size());
        if (length < 0)
            return StatusFromErrno(errno);
        if (size_t(length) >= buffer.size())
            return B_BUFFER_OVERFLOW;
        std::string linkText(buffer.data(), size_t(length));
        if (linkText.empty())
            return B_BAD_DATA;
        std::string folder;
        std::string leaf;
        SplitPath(current, &folder, &leaf);
        std::string next = linkText[0] == '/' ? linkText : JoinPath(folder, linkText);
        status_t status = ResolveFolderOf(next, &current);
        if (status != B_OK)
            return status;
    }
    return B_LINK_LIMIT;
}

status_t CheckEntryName(const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return B_BAD_VALUE;
    if (name.size() >= B_FILE_NAME_LENGTH)
        return B_NAME_TOO_LONG;
    return B_OK;
}

bool PathIsInside(const std::string& path, const std::string& folder)
{
    if (folder == "/")
        return !path.empty() && path[0] == '/';
    if (path.compare(0, folder.size(), folder) != 0)
        return false;
    return path.size() == folder.size() || path[folder.size()] == '/';
}

} // namespace BPrivate
