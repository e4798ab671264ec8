#include "InstallLock.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/file.h>
#include <unistd.h>

#include <Descriptor.h>
#include <OS.h>
#include <StorageScope.h>

using BPrivate::StorageScope;

namespace {

// Threads of this process take turns by this mutex (polled: a timed lock
// would be invisible to the thread sanitizer).
std::recursive_mutex sMutex;
int sDepth = 0;
int sDescriptor = -1;

// Between two tries for a lock another holds; snooze is a point where a
// killed thread wakes.
constexpr bigtime_t kRetryInterval = 20000;

status_t OpenAndLock(bigtime_t timeout)
{
    std::string path = InstallLock::LockPath();
    std::error_code error;
    std::filesystem::create_directories(InstallLock::StateFolder(), error);
    BPrivate::Descriptor fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.IsValid())
        return errno == ENOENT ? B_ENTRY_NOT_FOUND : B_PERMISSION_DENIED;
    bigtime_t deadline = system_time() + timeout;
    while (flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return B_ERROR;
        if (system_time() >= deadline)
            return B_TIMED_OUT;
        snooze(kRetryInterval);
    }
    sDescriptor = fd.Release();
    return B_OK;
}

bool LockProcess(bigtime_t timeout)
{
    bigtime_t deadline = system_time() + timeout;
    while (!sMutex.try_lock()) {
        if (system_time() >= deadline)
            return false;
        snooze(kRetryInterval);
    }
    return true;
}

} // namespace

InstallLock::InstallLock(bigtime_t timeout)
    : fStatus(B_TIMED_OUT)
{
    if (!LockProcess(timeout))
        return;
    if (sDepth == 0) {
        fStatus = OpenAndLock(timeout);
        if (fStatus != B_OK) {
            sMutex.unlock();
            return;
        }
    }
    sDepth++;
    fStatus = B_OK;
}

InstallLock::~InstallLock()
{
    if (fStatus != B_OK)
        return;
    if (--sDepth == 0) {
        close(sDescriptor);
        sDescriptor = -1;
    }
    sMutex.unlock();
}

std::string InstallLock::StateFolder()
{
    if (StorageScope::Current() == BPrivate::B_USER_SCOPE)
        return StorageScope::XdgFolder("XDG_DATA_HOME", ".local/share") + "/brenvik";
    return StorageScope::SystemRoot() + "/var/lib/brenvik";
}

std::string InstallLock::LockPath()
{
    return StateFolder() + "/lock";
}
