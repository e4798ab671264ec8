#pragma once

#include <Messenger.h>
#include <OS.h>

#include <atomic>

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
    // thread of this object still runs Action(). An earlier thread whose
    // Action() has returned is only delivering its end message: Go waits for
    // it to end, so that a Go made on receipt of that message starts anew.
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

    // Sends a progress report to the target (nothing without one; B_OK).
    // An earlier report with the same command that the target has not
    // handled yet is taken out of its queue first, so however fast reports
    // come they hold one place there and the newest is never dropped. Waits
    // only while the target's queue is full of other messages, and stops
    // waiting when the thread is killed.
    status_t SendProgress(BMessage* message);

    static status_t StaticAction(void* object);
    status_t StartAction();

    // Kills the thread if it still runs and waits for it to end (not from
    // the thread itself). A derived class whose Action() uses members of its
    // own calls this first thing in its destructor, before those members go.
    void StopAndWait();

private:
    thread_id fThread;
    BMessenger* fTarget;
    // Set on the worker thread when Action() has returned.
    std::atomic<bool> fActionEnded;
};
