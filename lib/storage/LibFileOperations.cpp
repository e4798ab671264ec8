#include "LibFileOperations.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <BlockingPoint.h>
#include <Environment.h>
#include <Mime.h>
#include <Node.h>
#include <Path.h>

#include "LibEntry.h"
#include "LibStringIterator.h"
#include "LibTreeCopy.h"

namespace {

// The path without trailing slashes ("/" stays "/").
std::string Trimmed(const char* path)
{
    std::string text(path);
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::string LeafOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPartOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& leaf)
{
    return folder.back() == '/' ? folder + leaf : folder + "/" + leaf;
}

// Where a copy or move of `source` to `destination` lands: inside the
// destination when it is a folder (a link to a folder counts, as with the
// cp and mv tools), else at the destination itself.
std::string TargetFor(const std::string& source, const std::string& destination)
{
    struct stat info;
    if (stat(destination.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return Join(destination, LeafOf(source));
    return destination;
}

bool ValidItemPath(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return false;
    std::string trimmed = Trimmed(path);
    std::string leaf = LeafOf(trimmed);
    return trimmed != "/" && leaf != "." && leaf != "..";
}

void ReportCopy(const char* operation, const LibTreeCopy& copy, status_t status)
{
    for (const std::string& warning : copy.Warnings())
        std::fprintf(stderr, "%s: %s\n", operation, warning.c_str());
    if (status != B_OK)
        std::fprintf(stderr, "%s: %s\n", operation, copy.ErrorText().c_str());
}

bool RemoveTree(const std::string& path)
{
    BPrivate::thread_checkpoint();
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(info.st_mode))
        return unlink(path.c_str()) == 0 || errno == ENOENT;
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr)
        return false;
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.push_back(entry->d_name);
    }
    closedir(dir);
    bool removed = true;
    for (const std::string& name : names)
        removed = RemoveTree(Join(path, name)) && removed;
    return rmdir(path.c_str()) == 0 && removed;
}

int64 SizeOf(const std::string& path, bool includeAttributes)
{
    BPrivate::thread_checkpoint();
    BNode node(path.c_str());
    off_t size = 0;
    if (node.InitCheck() != B_OK || node.GetSize(&size) != B_OK)
        return 0;
    int64 total = size;
    if (includeAttributes) {
        char name[B_ATTR_NAME_LENGTH];
        attr_info info;
        while (node.GetNextAttrName(name) == B_OK) {
            if (node.GetAttrInfo(name, &info) == B_OK)
                total += info.size;
        }
    }
    if (!node.IsDirectory())
        return total;
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr)
        return total;
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.push_back(entry->d_name);
    }
    closedir(dir);
    for (const std::string& name : names)
        total += SizeOf(Join(path, name), includeAttributes);
    return total;
}

std::string RandomLinkName()
{
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::random_device random;
    std::string name = ".brenvik-link-";
    for (int i = 0; i < 10; i++)
        name += kDigits[random() % 36];
    return name;
}

} // namespace

bool LibCopy(const char* source, const char* destination)
{
    if (!ValidItemPath(source) || destination == nullptr || destination[0] == '\0')
        return false;
    std::string from = Trimmed(source);
    LibTreeCopy copy;
    status_t status = copy.Copy(from, TargetFor(from, Trimmed(destination)));
    ReportCopy("LibCopy", copy, status);
    return status == B_OK;
}

bool LibMove(const char* source, const char* destination)
{
    if (!ValidItemPath(source) || destination == nullptr || destination[0] == '\0')
        return false;
    std::string from = Trimmed(source);
    std::string target = TargetFor(from, Trimmed(destination));
    struct stat sourceInfo;
    struct stat targetInfo;
    if (lstat(from.c_str(), &sourceInfo) != 0)
        return false;
    if (lstat(target.c_str(), &targetInfo) == 0 && targetInfo.st_dev == sourceInfo.st_dev
        && targetInfo.st_ino == sourceInfo.st_ino)
        return false;
    if (rename(from.c_str(), target.c_str()) == 0)
        return true;
    if (errno != EXDEV)
        return false;
    // Another file system: copy, type, and only then remove the source, so
    // that a failed copy never loses the item.
    LibTreeCopy copy;
    status_t status = copy.MoveByCopy(from, target);
    ReportCopy("LibMove", copy, status);
    return status == B_OK;
}

bool LibUnlink(const char* path)
{
    if (!ValidItemPath(path))
        return false;
    return RemoveTree(Trimmed(path));
}

bool Libmimeset(const char* path)
{
    if (!ValidItemPath(path) || !LibExists(path))
        return false;
    // An item that has a type keeps it (as with "mimeset -f").
    return update_mime_info(Trimmed(path).c_str(), true, true, B_UPDATE_MIME_INFO_NO_FORCE) == B_OK;
}

bool LibSymLink(const char* target, const char* linkPath)
{
    if (target == nullptr || target[0] == '\0' || linkPath == nullptr || linkPath[0] == '\0')
        return false;
    std::string link = Trimmed(linkPath);
    struct stat info;
    // Only a real folder receives the link inside it: an existing link is
    // the entry to replace, even when it points at a folder.
    if (lstat(link.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::string leaf = LeafOf(Trimmed(target));
        if (leaf.empty() || leaf == "/" || leaf == "." || leaf == "..")
            return false;
        link = Join(link, leaf);
    }
    std::string folder = FolderPartOf(link);
    for (int attempt = 0; attempt < 10; attempt++) {
        std::string temporary = Join(folder, RandomLinkName());
        if (symlink(target, temporary.c_str()) != 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        if (rename(temporary.c_str(), link.c_str()) == 0)
            return true;
        unlink(temporary.c_str());
        return false;
    }
    return false;
}

bool LibFindEnvFile(const char* variable, const char* fileName, BPath& path)
{
    if (variable == nullptr || fileName == nullptr || fileName[0] == '\0')
        return false;
    const char* value = BPrivate::Environment::Get(variable);
    if (value == nullptr)
        return false;
    LibStringIterator folders(value);
    LibString folder;
    // The first folder is skipped on purpose (see the header).
    folders.GetNextField(':', folder);
    while (folders.GetNextField(':', folder)) {
        if (std::strlen(folder) == 0)
            continue;
        LibString candidate(folder);
        candidate.Concat("/");
        candidate.Concat(fileName);
        if (LibExists(candidate))
            return path.SetTo(candidate) == B_OK;
    }
    return false;
}

int64 LibEntrySize(const char* path, const bool& includeAttributes)
{
    if (path == nullptr || path[0] == '\0')
        return 0;
    return SizeOf(path, includeAttributes);
}
