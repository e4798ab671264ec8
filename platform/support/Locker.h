#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include <OS.h>

// A recursive lock: the thread that holds it may lock it again, and must
// unlock it as often. Waiting for it is a blocking point of the thread layer,
// and a thread that ends while holding a BLocker has it released for it (see
// OS.h), so a killed thread never leaves a lock held.
class BLocker {
public:
    BLocker();
    explicit BLocker(const char* name);
    BLocker(bool benaphoreStyle);
    BLocker(const char* name, bool benaphoreStyle);
    virtual ~BLocker();

    BLocker(const BLocker&) = delete;
    BLocker& operator=(const BLocker&) = delete;

    bool Lock();
    status_t LockWithTimeout(bigtime_t timeout);
    void Unlock();

    thread_id LockingThread() const;
    bool IsLocked() const;
    int32 CountLocks() const;
    int32 CountLockRequests() const;
    sem_id Sem() const;
    const char* Name() const;

private:
    friend struct LockerRelease;
    void ReleaseAll();

    mutable std::mutex fLock;
    std::condition_variable_any fCondition;
    thread_id fOwner = -1;
    int32 fCount = 0;
    int32 fRequests = 0;
    std::string fName;
};
