#include "ZipItemCheck.h"

#include "ZipEntryPath.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace BPrivate {

namespace {

struct FoundLink {
    std::vector<std::string> path;
    std::string target;
};

// Collects the links of the tree at path, whose components (from the folder
// the item is extracted into) are components.
status_t CollectLinks(const std::string& path, std::vector<std::string>& components,
    std::vector<FoundLink>* links, std::string* problem)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) {
        *problem = "cannot examine \"" + path + "\": " + std::strerror(errno);
        return StatusFromErrno(errno);
    }
    if (S_ISLNK(st.st_mode)) {
        std::string target(size_t(std::max<off_t>(st.st_size, 0)) + 1, '\0');
        ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || size_t(length) >= target.size()) {
            *problem = "cannot read the link \"" + path + "\"";
            return B_IO_ERROR;
        }
        target.resize(size_t(length));
        links->push_back({ components, target });
        return B_OK;
    }
    if (!S_ISDIR(st.st_mode))
        return B_OK;
    DIR* folder = opendir(path.c_str());
    if (folder == nullptr) {
        *problem = "cannot read the folder \"" + path + "\": " + std::strerror(errno);
        return StatusFromErrno(errno);
    }
    std::vector<std::string> children;
    while (dirent* entry = readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            children.emplace_back(entry->d_name);
    }
    closedir(folder);
    for (const std::string& child : children) {
        components.push_back(child);
        status_t status = CollectLinks(path + "/" + child, components, links, problem);
        components.pop_back();
        if (status != B_OK)
            return status;
    }
    return B_OK;
}

std::string LeafOf(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

status_t CheckItemLinks(const char* sourcePath, std::string* problem)
{
    if (sourcePath == nullptr)
        return B_BAD_VALUE;
    std::vector<std::string> components { LeafOf(sourcePath) };
    std::vector<FoundLink> found;
    status_t status = CollectLinks(sourcePath, components, &found, problem);
    if (status != B_OK)
        return status;
    std::map<std::string, std::string> links;
    for (const FoundLink& link : found)
        links[JoinComponents(link.path, link.path.size())] = link.target;
    for (const FoundLink& link : found) {
        LinkVerdict verdict = CheckLinkTarget(link.path, link.target, links);
        if (verdict != LinkVerdict::kInside) {
            *problem = "the link \"" + JoinComponents(link.path, link.path.size()) + "\" "
                + DescribeLinkVerdict(verdict, link.target) + "; the installer would refuse it";
            return B_NOT_ALLOWED;
        }
    }
    return B_OK;
}

} // namespace BPrivate
