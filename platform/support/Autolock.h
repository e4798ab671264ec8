#pragma once

#include <Locker.h>

// Locks a BLocker, a BLooper or anything else with Lock() and Unlock() for
// the life of the object.
class BAutolock {
public:
    BAutolock(BLocker* locker)
        : BAutolock(locker, 0)
    {
    }
    BAutolock(BLocker& locker)
        : BAutolock(&locker, 0)
    {
    }

    template <typename Lockable>
    requires requires(Lockable* lockable)
    {
        lockable->Lock();
        lockable->Unlock();
    }
    BAutolock(Lockable* lockable, int = 0)
        : fObject(lockable)
        , fUnlock([](void* object) { static_cast<Lockable*>(object)->Unlock(); })
    {
        fLocked = lockable != nullptr && lockable->Lock();
    }

    ~BAutolock() { Unlock(); }

    BAutolock(const BAutolock&) = delete;
    BAutolock& operator=(const BAutolock&) = delete;

    bool IsLocked() const { return fLocked; }

    void Unlock()
    {
        if (fLocked) {
            fLocked = false;
            fUnlock(fObject);
        }
    }

private:
    void* fObject;
    void (*fUnlock)(void*);
    bool fLocked = false;
};
