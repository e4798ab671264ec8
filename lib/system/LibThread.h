#pragma once

#include <Messenger.h>
#include <OS.h>

// Runs one overridable operation, Action(), on a thread of its own. When the
// operation ends, the messenger target (if any) receives kLibThreadDone with
// the thread's "name" and Action()'s result as "status".
class LibThread {
public:
    static constexpr uint32 kLibThreadDone = 'LThC';

    LibThread();
    virtual status_t Action();
    // Deletes the target and kills the thread if it still runs; it then waits
    // for the thread to end, so that the thread never outlives the object.
    virtual ~LibThread();

    LibThread(const LibThread&) = delete;
    LibThread& operator=(const LibThread&) = delete;

    virtual status_t Suspend();
    virtual status_t Resume();
    virtual status_t Kill();
    // Takes ownership of target. Starts a thread of that name and priority
    // running Action(); with wait true, returns when it has ended (and the
    // end message has been sent). Returns the status of the platform call
    // that started or waited for the thread, or B_BUSY while an earlier
    // thread of this object still runs.
    virtual status_t Go(
        const char* name, BMessenger* target, const long& priority, const bool& wait);
    // "Running", "Ready", ... on standard error.
    virtual void PrintToStream();

    // The thread's state as the platform reports it (B_THREAD_RUNNING ...),
    // 0 when there is no running thread.
    int32 Status();
    status_t SetPriority(long priority);
    thread_id Thread() const { return fThread; }

protected:
    // The messenger the thread reports to (null for none).
    BMessenger* Target() const { return fTarget; }

    static status_t StaticAction(void* object);
    status_t StartAction();

private:
    thread_id fThread;
    BMessenger* fTarget;
};
