// update_mime_info: the in-process "mimeset".

#include <Mime.h>

#include <filesystem>
#include <sys/stat.h>

#include <Entry.h>
#include <Node.h>
#include <NodeInfo.h>

#include "TypeSniffer.h"

namespace {

status_t UpdateNode(const std::string& path, bool force)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return B_ENTRY_NOT_FOUND;
    // Linux keeps no user attributes on links; their type is implied.
    if (S_ISLNK(info.st_mode))
        return B_OK;
    BNode node(path.c_str());
    BNodeInfo nodeInfo(&node);
    status_t status = nodeInfo.InitCheck();
    if (status != B_OK)
        return status;
    char existing[B_MIME_TYPE_LENGTH];
    if (!force && nodeInfo.GetType(existing) == B_OK)
        return B_OK;
    std::string type;
    status = BPrivate::TypeSniffer::SniffPath(path.c_str(), &type);
    if (status != B_OK)
        return status;
    return nodeInfo.SetType(type.c_str());
}

status_t UpdateTree(const std::string& path, bool force)
{
    status_t result = UpdateNode(path, force);
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return result;
    // The folder's entries by name below the path already made absolute
    // (no entry's path resolved again, link by link).
    std::error_code error;
    for (std::filesystem::directory_iterator entry(path, error), end; !error && entry != end;
         entry.increment(error)) {
        status_t status = UpdateTree(path + "/" + entry->path().filename().string(), force);
        if (result == B_OK)
            result = status;
    }
    return result;
}

} // namespace

status_t update_mime_info(const char* path, int recursive, int /*synchronous*/, int force)
{
    if (path == nullptr)
        return B_BAD_VALUE;
    BEntry entry(path);
    if (entry.InitCheck() != B_OK)
        return entry.InitCheck();
    if (!entry.Exists())
        return B_ENTRY_NOT_FOUND;
    if (recursive)
        return UpdateTree(entry.PathString(), force != B_UPDATE_MIME_INFO_NO_FORCE);
    return UpdateNode(entry.PathString(), force != B_UPDATE_MIME_INFO_NO_FORCE);
}
