#include "TempFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <unistd.h>

#include <Environment.h>
#include <StorageDefs.h>

#include "PathHelpers.h"

namespace BPrivate {

namespace {

std::mutex sLock;
std::string* sFolder = nullptr;

void RemovePrivateFolder()
{
    std::lock_guard guard(sLock);
    if (sFolder == nullptr)
        return;
    std::error_code error;
    std::filesystem::remove_all(*sFolder, error);
}

bool ValidPrefix(const char* prefix)
{
    return prefix != nullptr && std::strchr(prefix, '/') == nullptr
        && std::strlen(prefix) < B_FILE_NAME_LENGTH - 7;
}

} // namespace

std::string TempFiles::SharedFolder()
{
    const char* tmp = Environment::Get("TMPDIR");
    return tmp != nullptr && tmp[0] == '/' ? CleanPath(tmp) : "/tmp";
}

status_t TempFiles::PrivateFolder(std::string* path)
{
    std::lock_guard guard(sLock);
    if (sFolder == nullptr) {
        std::string pattern = JoinPath(SharedFolder(), "brenvik-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr)
            return StatusFromErrno(errno);
        sFolder = new std::string(pattern);
        std::atexit(RemovePrivateFolder);
    }
    *path = *sFolder;
    return B_OK;
}

status_t TempFiles::CreateFile(const char* prefix, std::string* path, int* fd)
{
    if (!ValidPrefix(prefix) || path == nullptr || fd == nullptr)
        return B_BAD_VALUE;
    std::string folder;
    status_t status = PrivateFolder(&folder);
    if (status != B_OK)
        return status;
    std::string pattern = JoinPath(folder, std::string(prefix) + "XXXXXX");
    int result = mkostemp(pattern.data(), O_CLOEXEC);
    if (result < 0)
        return StatusFromErrno(errno);
    *fd = result;
    *path = pattern;
    return B_OK;
}

status_t TempFiles::CreateFolder(const char* prefix, std::string* path)
{
    if (!ValidPrefix(prefix) || path == nullptr)
        return B_BAD_VALUE;
    std::string folder;
    status_t status = PrivateFolder(&folder);
    if (status != B_OK)
        return status;
    std::string pattern = JoinPath(folder, std::string(prefix) + "XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr)
        return StatusFromErrno(errno);
    *path = pattern;
    return B_OK;
}

} // namespace BPrivate
