#include <Locker.h>

#include <BlockingPoint.h>

#include <algorithm>
#include <vector>

namespace {

// The lockers the current thread holds, so that they can be released when
// the thread ends with some still held (for example after kill_thread). A
// plain pointer: the exit hook runs from another thread-local object's
// destructor, when a thread-local vector might already be gone. The hook
// frees it.
thread_local std::vector<BLocker*>* tHeld = nullptr;

std::vector<BLocker*>& Held()
{
    if (tHeld == nullptr)
        tHeld = new std::vector<BLocker*>;
    return *tHeld;
}

void Forget(BLocker* locker)
{
    if (tHeld == nullptr)
        return;
    auto found = std::find(tHeld->begin(), tHeld->end(), locker);
    if (found != tHeld->end())
        tHeld->erase(found);
}

} // namespace

struct LockerRelease {
    static void OnThreadExit(thread_id /*thread*/)
    {
        std::vector<BLocker*>* held = tHeld;
        tHeld = nullptr;
        if (held == nullptr)
            return;
        for (BLocker* locker : *held)
            locker->ReleaseAll();
        delete held;
    }
};

namespace {

struct RegisterExitHook {
    RegisterExitHook() { BPrivate::AddThreadExitHook(&LockerRelease::OnThreadExit); }
} sRegisterExitHook;

} // namespace

BLocker::BLocker()
    : BLocker("some BLocker", true)
{
}

BLocker::BLocker(const char* name)
    : BLocker(name, true)
{
}

BLocker::BLocker(bool benaphoreStyle)
    : BLocker("some BLocker", benaphoreStyle)
{
}

BLocker::BLocker(const char* name, bool /*benaphoreStyle*/)
    : fName(name != nullptr ? name : "")
{
    // Make sure the exit hook is registered even when this translation unit's
    // static initialisation has not yet run (lockers in other static objects).
    BPrivate::AddThreadExitHook(&LockerRelease::OnThreadExit);
}

BLocker::~BLocker()
{
    std::lock_guard guard(fLock);
    if (fOwner >= 0 && fOwner == find_thread(nullptr))
        Forget(this);
}

bool BLocker::Lock()
{
    return LockWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BLocker::LockWithTimeout(bigtime_t timeout)
{
    thread_id self = find_thread(nullptr);
    std::unique_lock guard(fLock);
    if (fOwner == self) {
        fCount++;
        return B_OK;
    }
    bigtime_t deadline = B_INFINITE_TIMEOUT;
    if (timeout != B_INFINITE_TIMEOUT) {
        bigtime_t now = system_time();
        deadline = timeout > B_INFINITE_TIMEOUT - now ? B_INFINITE_TIMEOUT : now + timeout;
    }
    status_t status;
    {
        BPrivate::ScopedIncrement request(fRequests);
        status
            = BPrivate::WaitInterruptibly(fCondition, guard, deadline, [&] { return fOwner < 0; });
    }
    if (status != B_OK)
        return status;
    fOwner = self;
    fCount = 1;
    Held().push_back(this);
    return B_OK;
}

void BLocker::Unlock()
{
    std::unique_lock guard(fLock);
    if (fOwner != find_thread(nullptr) || fCount <= 0)
        return;
    if (--fCount > 0)
        return;
    fOwner = -1;
    Forget(this);
    guard.unlock();
    fCondition.notify_one();
}

void BLocker::ReleaseAll()
{
    {
        std::lock_guard guard(fLock);
        fOwner = -1;
        fCount = 0;
    }
    fCondition.notify_one();
}

thread_id BLocker::LockingThread() const
{
    std::lock_guard guard(fLock);
    return fOwner;
}

bool BLocker::IsLocked() const
{
    thread_id self = find_thread(nullptr);
    std::lock_guard guard(fLock);
    return fOwner == self;
}

int32 BLocker::CountLocks() const
{
    std::lock_guard guard(fLock);
    return fCount;
}

int32 BLocker::CountLockRequests() const
{
    std::lock_guard guard(fLock);
    return fRequests + (fOwner >= 0 ? 1 : 0);
}

sem_id BLocker::Sem() const
{
    return -1;
}

const char* BLocker::Name() const
{
    return fName.c_str();
}
