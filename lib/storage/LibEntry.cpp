#include "LibEntry.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <AppInfo.h>
#include <Application.h>
#include <Entry.h>
#include <FindDirectory.h>
#include <Message.h>
#include <Path.h>
#include <TempFiles.h>

#include "LibString.h"
#include "LibStringList.h"

namespace {

// The counter part of unique names. It runs 1, 2, ..., 10000 and then starts
// at 1 again; atomic, because names are made on several threads.
std::atomic<long> sUniqueCounter { 0 };

long NextUniqueCounter()
{
    long current = sUniqueCounter.load();
    long next;
    do {
        next = current >= 10000 ? 1 : current + 1;
    } while (!sUniqueCounter.compare_exchange_weak(current, next));
    return next;
}

bool MakeFolders(const char* path, LibStringList* created)
{
    if (path == nullptr || path[0] == '\0' || LibExists(path))
        return false;
    BPath target(path);
    if (target.InitCheck() != B_OK)
        return false;
    // Walk up to the first folder that exists, then create downwards.
    std::vector<std::string> missing;
    BPath current(target);
    while (!LibExists(current.Path())) {
        missing.push_back(current.Path());
        BPath parent;
        if (current.GetParent(&parent) != B_OK)
            return false;
        current = parent;
    }
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
        if (mkdir(folder->c_str(), 0775) != 0)
            return false;
        if (created != nullptr)
            created->Add(folder->c_str());
    }
    return true;
}

} // namespace

bool LibExists(const char* path)
{
    struct stat info;
    return path != nullptr && path[0] != '\0' && lstat(path, &info) == 0;
}

bool Libmkdir(const char* path)
{
    return MakeFolders(path, nullptr);
}

bool Libmkdir(const char* path, LibStringList& created)
{
    return MakeFolders(path, &created);
}

bool LibChangeDirectory(const char* path)
{
    struct stat info;
    if (path == nullptr || stat(path, &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    return chdir(path) == 0;
}

bool LibUniqueName(BPath& path, const char* prefix)
{
    if (prefix == nullptr || std::strchr(prefix, '/') != nullptr) {
        path.Unset();
        return false;
    }
    if (path.InitCheck() != B_OK || path.Path()[0] == '\0') {
        // Our own temporary files go into the process's private folder, not
        // into the shared one that "Common Temporary" names.
        std::string temp;
        if (BPrivate::TempFiles::PrivateFolder(&temp) != B_OK || path.SetTo(temp.c_str()) != B_OK) {
            path.Unset();
            return false;
        }
    }
    BPath folder(path);
    // The counter, process id and second keep the traditional shape of the
    // name; the random tail (mkstemp's) makes it unguessable, and creating
    // the file with O_EXCL reserves it, so the name is safe even in a folder
    // that others can write to.
    for (int attempt = 0; attempt < 100; attempt++) {
        std::string leaf = std::string(prefix) + std::to_string(NextUniqueCounter())
            + std::to_string(long(getpid())) + std::to_string(long(time(nullptr))) + "XXXXXX";
        if (leaf.size() >= B_FILE_NAME_LENGTH)
            break;
        std::string candidate = std::string(folder.Path()) + "/" + leaf;
        int fd = mkostemp(candidate.data(), O_CLOEXEC);
        if (fd >= 0) {
            close(fd);
            return path.SetTo(candidate.c_str()) == B_OK;
        }
        if (errno != EEXIST)
            break;
    }
    path.Unset();
    return false;
}

bool LibGetEntryRef(const char* path, entry_ref& ref)
{
    if (path == nullptr || path[0] == '\0')
        return false;
    return get_ref_for_path(path, &ref) == B_OK;
}

bool LibGetFullPath(const entry_ref& ref, BPath& path)
{
    return path.SetTo(&ref) == B_OK;
}

bool LibGetFullPath(const entry_ref& ref, LibString& path)
{
    BPath full;
    if (!LibGetFullPath(ref, full))
        return false;
    path = full.Path();
    return true;
}

entry_ref LibGetParentRef(const entry_ref& ref)
{
    BPath path(&ref);
    BPath parent;
    entry_ref result;
    if (path.InitCheck() != B_OK || path.GetParent(&parent) != B_OK
        || get_ref_for_path(parent.Path(), &result) != B_OK)
        return entry_ref();
    return result;
}

bool LibGetWorkingDirectory(BPath& path)
{
    app_info info;
    if (be_app == nullptr || be_app->GetAppInfo(&info) != B_OK)
        return false;
    BPath executable(&info.ref);
    return executable.InitCheck() == B_OK && executable.GetParent(&path) == B_OK;
}

bool LibGetPath(const entry_ref& ref, const char* leaf, BPath& path)
{
    if (path.SetTo(&ref) != B_OK)
        return false;
    return leaf == nullptr || leaf[0] == '\0' || path.Append(leaf) == B_OK;
}

bool LibGetParentPath(const char* path, LibString& parent)
{
    BPath full(path);
    BPath folder;
    if (full.InitCheck() != B_OK || full.GetParent(&folder) != B_OK)
        return false;
    parent = folder.Path();
    return true;
}

bool LibGetChildName(const char* path, char* buffer, size_t size)
{
    if (buffer == nullptr || size == 0)
        return false;
    buffer[0] = '\0';
    BPath full(path);
    if (full.InitCheck() != B_OK)
        return false;
    size_t length = std::strlen(full.Leaf());
    if (length >= size)
        return false;
    std::memcpy(buffer, full.Leaf(), length + 1);
    return true;
}

int32 LibGetFilePath(const BMessage& message, BPath& path)
{
    entry_ref folder;
    const char* name = nullptr;
    path.Unset();
    if (message.FindRef("directory", &folder) != B_OK || message.FindString("name", &name) != B_OK)
        return 0;
    LibString leaf(name);
    leaf.StripLeadingSpaces();
    leaf.StripTrailingSpaces();
    int32 length = int32(std::strlen(leaf));
    if (length == 0 || path.SetTo(&folder) != B_OK || path.Append(leaf) != B_OK) {
        path.Unset();
        return 0;
    }
    return length;
}

bool LibGetSettingsPath(LibString& path)
{
    BPath settings;
    if (find_directory(B_USER_SETTINGS_DIRECTORY, &settings) != B_OK)
        return false;
    path = settings.Path();
    return true;
}

bool LibGetSettingsPath(char* buffer, const size_t& size)
{
    if (buffer == nullptr || size == 0)
        return false;
    buffer[0] = '\0';
    LibString path;
    if (!LibGetSettingsPath(path) || std::strlen(path) >= size)
        return false;
    std::strcpy(buffer, path);
    return true;
}
