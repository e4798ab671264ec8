#include "LibThread.h"

#include <BlockingPoint.h>

#include <cstdio>

LibThread::LibThread()
    : fThread(-1)
    , fTarget(nullptr)
    , fActionEnded(false)
{
}

LibThread::~LibThread()
{
    StopAndWait();
    delete fTarget;
}

void LibThread::StopAndWait()
{
    if (fThread < 0 || fThread == find_thread(nullptr))
        return;
    // Killing alone would leave a thread that may still be running Action()
    // on this object until its next blocking point; wait for it to be gone.
    BPrivate::NoUnwindScope noUnwind;
    if (kill_thread(fThread) == B_OK)
        wait_for_thread(fThread, nullptr);
}

status_t LibThread::Action()
{
    return B_OK;
}

status_t LibThread::Suspend()
{
    return suspend_thread(fThread);
}

status_t LibThread::Resume()
{
    return resume_thread(fThread);
}

status_t LibThread::Kill()
{
    return kill_thread(fThread);
}

status_t LibThread::SetPriority(long priority)
{
    return set_thread_priority(fThread, int32(priority));
}

status_t LibThread::Go(const char* name, BMessenger* target, const long& priority, const bool& wait)
{
    thread_info info;
    if (fThread >= 0 && get_thread_info(fThread, &info) == B_OK) {
        if (!fActionEnded.load() || fThread == find_thread(nullptr)) {
            delete target;
            return B_BUSY;
        }
        // Only the end message is left to it.
        wait_for_thread(fThread, nullptr);
    }
    delete fTarget;
    fTarget = target;

    fActionEnded = false;
    fThread = spawn_thread(StaticAction, name, int32(priority), this);
    if (fThread < 0)
        return fThread;
    if (wait)
        return wait_for_thread(fThread, nullptr);
    return resume_thread(fThread);
}

status_t LibThread::StaticAction(void* object)
{
    return static_cast<LibThread*>(object)->StartAction();
}

status_t LibThread::StartAction()
{
    status_t result = Action();
    fActionEnded = true;
    if (fTarget != nullptr) {
        thread_info info;
        if (get_thread_info(find_thread(nullptr), &info) != B_OK)
            info.name[0] = '\0';
        BMessage done(kLibThreadDone);
        done.AddString("name", info.name);
        done.AddInt32("status", result);
        fTarget->SendMessage(&done, static_cast<BHandler*>(nullptr), B_INFINITE_TIMEOUT);
    }
    return result;
}

status_t LibThread::SendProgress(BMessage* message)
{
    if (fTarget == nullptr)
        return B_OK;
    return BPrivate::SendReplacingQueued(*fTarget, message);
}

int32 LibThread::Status()
{
    thread_info info;
    if (fThread < 0 || get_thread_info(fThread, &info) != B_OK)
        return 0;
    return info.state;
}

void LibThread::PrintToStream()
{
    const char* word;
    switch (Status()) {
    case B_THREAD_RUNNING:
        word = "Running\n";
        break;
    case B_THREAD_READY:
        word = "Ready\n";
        break;
    case B_THREAD_RECEIVING:
        word = "Receiving\n";
        break;
    case B_THREAD_ASLEEP:
        word = "Asleep\n";
        break;
    case B_THREAD_SUSPENDED:
        word = "Suspended\n";
        break;
    case B_THREAD_WAITING:
        word = "Waiting\n";
        break;
    default:
        word = "Unknown\n";
        break;
    }
    std::fputs(word, stderr);
}
