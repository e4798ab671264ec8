#include <EntryRef.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

entry_ref::entry_ref()
    : device(dev_t(-1))
    , directory(ino_t(-1))
    , name(nullptr)
{
}

entry_ref::entry_ref(dev_t dev, ino_t dir, const char* leaf)
    : device(dev)
    , directory(dir)
    , name(nullptr)
{
    set_name(leaf);
}

entry_ref::entry_ref(const entry_ref& other)
    : device(other.device)
    , directory(other.directory)
    , name(nullptr)
{
    set_name(other.name);
}

entry_ref::~entry_ref()
{
    std::free(name);
}

status_t entry_ref::set_name(const char* leaf)
{
    char* copy = nullptr;
    if (leaf != nullptr) {
        copy = strdup(leaf);
        if (copy == nullptr)
            return B_NO_MEMORY;
    }
    std::free(name);
    name = copy;
    return B_OK;
}

bool entry_ref::operator==(const entry_ref& other) const
{
    if (device != other.device || directory != other.directory)
        return false;
    if (name == nullptr || other.name == nullptr)
        return name == other.name;
    return std::strcmp(name, other.name) == 0;
}

bool entry_ref::operator!=(const entry_ref& other) const
{
    return !(*this == other);
}

bool entry_ref::operator<(const entry_ref& other) const
{
    if (device != other.device)
        return device < other.device;
    if (directory != other.directory)
        return directory < other.directory;
    if (name == nullptr || other.name == nullptr)
        return name == nullptr && other.name != nullptr;
    return std::strcmp(name, other.name) < 0;
}

entry_ref& entry_ref::operator=(const entry_ref& other)
{
    if (this != &other) {
        device = other.device;
        directory = other.directory;
        set_name(other.name);
    }
    return *this;
}

namespace {

struct FolderKey {
    dev_t device;
    ino_t directory;
    bool operator<(const FolderKey& other) const
    {
        return device != other.device ? device < other.device : directory < other.directory;
    }
};

struct FolderPaths {
    std::mutex lock;
    std::map<FolderKey, std::string> paths;
};

FolderPaths& Folders()
{
    static FolderPaths* folders = new FolderPaths;
    return *folders;
}

} // namespace

namespace BPrivate {

void RememberFolderPath(dev_t device, ino_t directory, const char* path)
{
    if (path == nullptr)
        return;
    FolderPaths& folders = Folders();
    std::lock_guard guard(folders.lock);
    folders.paths[FolderKey { device, directory }] = path;
}

bool FolderPathForRef(dev_t device, ino_t directory, char* path, size_t size)
{
    FolderPaths& folders = Folders();
    std::lock_guard guard(folders.lock);
    auto found = folders.paths.find(FolderKey { device, directory });
    if (found == folders.paths.end() || found->second.size() >= size)
        return false;
    std::memcpy(path, found->second.c_str(), found->second.size() + 1);
    return true;
}

status_t RefForPath(const char* path, entry_ref* ref)
{
    if (path == nullptr || ref == nullptr || path[0] == '\0')
        return B_BAD_VALUE;
    std::string full;
    if (path[0] != '/') {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof(cwd)) == nullptr)
            return StatusFromErrno(errno);
        full = std::string(cwd) + "/" + path;
    } else {
        full = path;
    }
    while (full.size() > 1 && full.back() == '/')
        full.pop_back();
    size_t slash = full.find_last_of('/');
    std::string folder = slash == 0 ? "/" : full.substr(0, slash);
    std::string leaf = full.substr(slash + 1);
    if (leaf.empty())
        leaf = ".";

    char resolved[PATH_MAX];
    if (realpath(folder.c_str(), resolved) == nullptr)
        return StatusFromErrno(errno);
    struct stat info;
    if (stat(resolved, &info) != 0)
        return StatusFromErrno(errno);
    if (!S_ISDIR(info.st_mode))
        return B_NOT_A_DIRECTORY;
    RememberFolderPath(info.st_dev, info.st_ino, resolved);
    ref->device = info.st_dev;
    ref->directory = info.st_ino;
    return ref->set_name(leaf.c_str());
}

} // namespace BPrivate
