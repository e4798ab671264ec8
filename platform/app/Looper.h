#pragma once

// BLooper: a thread with a message queue (its port) that hands each message
// to a handler. One thread per looper. A new looper is locked by the thread
// that made it; Run() starts its thread and unlocks it. Quit() ends the
// thread and deletes the looper.

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include <AppDefs.h>
#include <Handler.h>
#include <Locker.h>
#include <Message.h>
#include <OS.h>

namespace BPrivate {
class Port;
class LooperAccess;
} // namespace BPrivate

class BLooper : public BHandler {
public:
    explicit BLooper(const char* name = nullptr, int32 priority = B_NORMAL_PRIORITY,
        int32 portCapacity = B_LOOPER_PORT_DEFAULT_CAPACITY);
    ~BLooper() override;

    // Posting: the message is copied; the caller keeps it. Returns at once:
    // B_WOULD_BLOCK when the queue is full.
    status_t PostMessage(uint32 command);
    status_t PostMessage(BMessage* message);
    status_t PostMessage(uint32 command, BHandler* handler, BHandler* replyTo = nullptr);
    status_t PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo = nullptr);

    virtual void DispatchMessage(BMessage* message, BHandler* handler);
    void MessageReceived(BMessage* message) override;

    // The message being handled now (owned by the looper), or null.
    BMessage* CurrentMessage() const;
    // Takes the current message over: the caller deletes it.
    BMessage* DetachCurrentMessage();
    bool IsMessageWaiting() const;

    void AddHandler(BHandler* handler);
    bool RemoveHandler(BHandler* handler);
    int32 CountHandlers() const;
    BHandler* HandlerAt(int32 index) const;
    int32 IndexOf(BHandler* handler) const;

    BHandler* PreferredHandler() const;
    void SetPreferredHandler(BHandler* handler);

    virtual thread_id Run();
    // Must be called with the looper locked. From another thread it waits
    // until the looper's thread has ended; from the looper's own thread the
    // looper is deleted as soon as the current message has been handled.
    // Either way the looper is gone afterwards.
    virtual void Quit();
    virtual bool QuitRequested();

    bool Lock();
    void Unlock();
    bool IsLocked() const;
    status_t LockWithTimeout(bigtime_t timeout);
    thread_id Thread() const;
    team_id Team() const;
    static BLooper* LooperForThread(thread_id thread);
    thread_id LockingThread() const;
    int32 CountLocks() const;
    int32 CountLockRequests() const;
    sem_id Sem() const;

protected:
    // Windows mark themselves so that the application can ask them to quit.
    void MarkAsWindow() { fIsWindow = true; }
    bool IsWindow() const { return fIsWindow; }

    // Periodic work: every `interval` microseconds while the loop runs (0
    // stops it), DispatchPulse() is called on the looper's thread with the
    // looper locked.
    void SetPulseInterval(bigtime_t interval);
    bigtime_t PulseInterval() const;
    virtual void DispatchPulse();

    // Runs the message loop on the calling thread until the looper quits
    // (BApplication::Run uses it). Returns with the looper deleted unless
    // `deleteOnQuit` is false.
    void Loop(bool deleteOnQuit);
    // Called once on the looper's thread, locked, before the first message.
    virtual void LoopStarted();

    // The port's id, for messengers.
    port_id PortId() const;

    // Asks the loop to end after the messages already queued; does not wait.
    status_t RequestLoopEnd();
    bool WasRunCalled() const { return fRunCalled; }
    void SetRunThread(thread_id thread)
    {
        fThread = thread;
        fRunCalled = true;
    }

private:
    friend class BMessenger;
    friend class BPrivate::LooperAccess;

    void HandleMessage(std::unique_ptr<BMessage> message);
    BHandler* ResolveTarget(int32 token);
    void AnswerUnrepliedMessage(BMessage* message);
    void CloseAndDelete(bool deleteThis);
    static status_t ThreadEntry(void* looper);

    std::shared_ptr<BPrivate::Port> fPort;
    std::shared_ptr<BLocker> fLocker;
    std::vector<BHandler*> fHandlers;
    mutable std::mutex fHandlerLock;
    BHandler* fPreferred = nullptr;
    std::unique_ptr<BMessage> fCurrentMessage;
    std::atomic<thread_id> fThread { -1 };
    int32 fPriority;
    std::atomic<bool> fRunCalled { false };
    bool fTerminating = false;
    std::atomic<bool> fIsWindow { false };
    std::atomic<bigtime_t> fPulseInterval { 0 };
    bigtime_t fNextPulse = 0;
};
