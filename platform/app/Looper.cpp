#include <Looper.h>

#include <BlockingPoint.h>
#include <Messenger.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

#include "LooperList.h"
#include "MessageDelivery.h"
#include "Port.h"

namespace {

// Internal codes: end the loop (posted by Quit from another thread), and wake
// the loop so that it notices a new pulse interval.
constexpr uint32 kQuitLooper = '_QLP';
constexpr uint32 kPulseChanged = '_PCH';

struct LooperEntry {
    BLooper* looper;
    port_id port;
    std::shared_ptr<BLocker> locker;
    bool isWindow;
};

struct LooperList {
    std::mutex lock;
    std::vector<LooperEntry> loopers;
};

LooperList& List()
{
    static LooperList* list = new LooperList;
    return *list;
}

} // namespace

namespace BPrivate {

void LooperAccess::Add(BLooper* looper, port_id port)
{
    LooperList& list = List();
    std::lock_guard guard(list.lock);
    list.loopers.push_back({ looper, port, looper->fLocker, false });
}

void LooperAccess::Remove(BLooper* looper)
{
    LooperList& list = List();
    std::lock_guard guard(list.lock);
    std::erase_if(list.loopers, [&](const LooperEntry& entry) { return entry.looper == looper; });
}

BLooper* LooperAccess::Find(port_id port, std::shared_ptr<BLocker>* locker)
{
    LooperList& list = List();
    std::lock_guard guard(list.lock);
    for (LooperEntry& entry : list.loopers) {
        if (entry.port == port) {
            if (locker != nullptr)
                *locker = entry.locker;
            return entry.looper;
        }
    }
    return nullptr;
}

bool LooperAccess::IsAlive(const BLooper* looper)
{
    LooperList& list = List();
    std::lock_guard guard(list.lock);
    return std::any_of(list.loopers.begin(), list.loopers.end(),
        [&](const LooperEntry& entry) { return entry.looper == looper; });
}

BLooper* LooperAccess::ForThread(thread_id thread)
{
    LooperList& list = List();
    std::lock_guard guard(list.lock);
    for (LooperEntry& entry : list.loopers) {
        if (entry.looper->fThread == thread)
            return entry.looper;
    }
    return nullptr;
}

std::vector<BLooper*> LooperAccess::All()
{
    LooperList& list = List();
    std::lock_guard guard(list.lock);
    std::vector<BLooper*> loopers;
    for (LooperEntry& entry : list.loopers)
        loopers.push_back(entry.looper);
    return loopers;
}

BHandler* LooperAccess::FindHandler(BLooper* looper, int32 token)
{
    std::lock_guard guard(looper->fHandlerLock);
    for (BHandler* handler : looper->fHandlers) {
        if (handler->Token() == token)
            return handler;
    }
    return nullptr;
}

BHandler* LooperAccess::FindHandler(port_id port, int32 token, BLooper** looper)
{
    LooperList& list = List();
    std::lock_guard guard(list.lock);
    for (LooperEntry& entry : list.loopers) {
        if (entry.port != port)
            continue;
        if (looper != nullptr)
            *looper = entry.looper;
        std::lock_guard handlers(entry.looper->fHandlerLock);
        for (BHandler* handler : entry.looper->fHandlers) {
            if (handler->Token() == token)
                return handler;
        }
        return nullptr;
    }
    if (looper != nullptr)
        *looper = nullptr;
    return nullptr;
}

thread_id LooperAccess::ThreadOf(port_id port)
{
    LooperList& list = List();
    std::lock_guard guard(list.lock);
    for (LooperEntry& entry : list.loopers) {
        if (entry.port == port)
            return entry.looper->fThread;
    }
    return -1;
}

port_id LooperAccess::PortOf(const BLooper* looper)
{
    return looper->PortId();
}

std::vector<port_id> LooperAccess::WindowPorts()
{
    LooperList& list = List();
    std::lock_guard guard(list.lock);
    std::vector<port_id> ports;
    for (LooperEntry& entry : list.loopers) {
        if (entry.looper->fIsWindow)
            ports.push_back(entry.port);
    }
    return ports;
}

BLooper* LooperAccess::WindowAt(int32 index)
{
    LooperList& list = List();
    std::lock_guard guard(list.lock);
    for (LooperEntry& entry : list.loopers) {
        if (entry.looper->fIsWindow && index-- == 0)
            return entry.looper;
    }
    return nullptr;
}

} // namespace BPrivate

using BPrivate::LooperAccess;
using BPrivate::MessageDelivery;
using BPrivate::Port;

BLooper::BLooper(const char* name, int32 priority, int32 portCapacity)
    : BHandler(name)
    , fPort(Port::Create(portCapacity, name))
    , fLocker(std::make_shared<BLocker>(name != nullptr ? name : "looper"))
    , fPriority(priority)
{
    // A new looper belongs to the thread that made it until Run().
    fLocker->Lock();
    SetLooper(this);
    fHandlers.push_back(this);
    LooperAccess::Add(this, fPort->Id());
}

BLooper::~BLooper()
{
    BPrivate::NoUnwindScope noUnwind;
    std::deque<std::unique_ptr<BMessage>> left = fPort->Close();
    for (auto& message : left)
        AnswerUnrepliedMessage(message.get());
    LooperAccess::Remove(this);
    {
        std::lock_guard guard(fHandlerLock);
        for (BHandler* handler : fHandlers)
            handler->SetLooper(nullptr);
        fHandlers.clear();
    }
    // The lock object outlives the looper for threads still waiting on it;
    // they find the looper gone once they get it.
    std::shared_ptr<BLocker> locker = fLocker;
    while (locker->IsLocked())
        locker->Unlock();
}

status_t BLooper::PostMessage(uint32 command)
{
    BMessage message(command);
    return PostMessage(&message, this, nullptr);
}

status_t BLooper::PostMessage(BMessage* message)
{
    return PostMessage(message, this, nullptr);
}

status_t BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo)
{
    BMessage message(command);
    return PostMessage(&message, handler, replyTo);
}

status_t BLooper::PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo)
{
    if (message == nullptr)
        return B_BAD_VALUE;
    if (handler != nullptr && handler->Looper() != this)
        return B_MISMATCHED_VALUES;
    BMessenger target;
    target.SetTo(Team(), PortId(), handler != nullptr ? handler->Token() : B_PREFERRED_TOKEN);
    // Posting never waits: a looper posting to its own full queue would wait
    // for itself.
    return target.SendMessage(message, replyTo, 0);
}

void BLooper::DispatchMessage(BMessage* message, BHandler* handler)
{
    if (message->what == B_QUIT_REQUESTED && handler == this) {
        if (QuitRequested())
            Quit();
        return;
    }
    handler->MessageReceived(message);
}

void BLooper::MessageReceived(BMessage* message)
{
    BHandler::MessageReceived(message);
}

BMessage* BLooper::CurrentMessage() const
{
    return fCurrentMessage.get();
}

BMessage* BLooper::DetachCurrentMessage()
{
    return fCurrentMessage.release();
}

bool BLooper::IsMessageWaiting() const
{
    return fPort->CountMessages() > 0;
}

void BLooper::AddHandler(BHandler* handler)
{
    if (handler == nullptr || handler->Looper() == this)
        return;
    if (handler->Looper() != nullptr)
        handler->Looper()->RemoveHandler(handler);
    std::lock_guard guard(fHandlerLock);
    handler->SetLooper(this);
    fHandlers.push_back(handler);
}

bool BLooper::RemoveHandler(BHandler* handler)
{
    if (handler == nullptr || handler == this)
        return false;
    std::lock_guard guard(fHandlerLock);
    auto found = std::find(fHandlers.begin(), fHandlers.end(), handler);
    if (found == fHandlers.end())
        return false;
    fHandlers.erase(found);
    handler->SetLooper(nullptr);
    if (fPreferred == handler)
        fPreferred = nullptr;
    return true;
}

int32 BLooper::CountHandlers() const
{
    std::lock_guard guard(fHandlerLock);
    return int32(fHandlers.size());
}

BHandler* BLooper::HandlerAt(int32 index) const
{
    std::lock_guard guard(fHandlerLock);
    if (index < 0 || index >= int32(fHandlers.size()))
        return nullptr;
    return fHandlers[size_t(index)];
}

int32 BLooper::IndexOf(BHandler* handler) const
{
    std::lock_guard guard(fHandlerLock);
    auto found = std::find(fHandlers.begin(), fHandlers.end(), handler);
    return found == fHandlers.end() ? -1 : int32(found - fHandlers.begin());
}

BHandler* BLooper::PreferredHandler() const
{
    return fPreferred;
}

void BLooper::SetPreferredHandler(BHandler* handler)
{
    if (handler != nullptr && handler->Looper() != this)
        return;
    fPreferred = handler;
}

thread_id BLooper::Run()
{
    if (fRunCalled)
        return B_ALREADY_RUNNING;
    fRunCalled = true;
    const char* name = Name();
    fThread = spawn_thread(ThreadEntry, name != nullptr ? name : "looper", fPriority, this);
    if (fThread < 0)
        return fThread;
    thread_id thread = fThread;
    resume_thread(thread);
    Unlock();
    return thread;
}

status_t BLooper::ThreadEntry(void* looper)
{
    static_cast<BLooper*>(looper)->Loop(true);
    return B_OK;
}

void BLooper::LoopStarted() { }

void BLooper::Loop(bool deleteOnQuit)
{
    Lock();
    LoopStarted();
    Unlock();

    while (!fTerminating) {
        bigtime_t interval = fPulseInterval;
        bigtime_t deadline = interval > 0 ? fNextPulse : B_INFINITE_TIMEOUT;
        std::unique_ptr<BMessage> message;
        status_t status = fPort->Read(&message, deadline);
        if (status == B_OK) {
            HandleMessage(std::move(message));
            fPort->HandledOne();
        } else if (status == B_TIMED_OUT || status == B_WOULD_BLOCK) {
            if (interval > 0 && system_time() >= fNextPulse) {
                fNextPulse = system_time() + interval;
                Lock();
                DispatchPulse();
                Unlock();
            }
        } else {
            break;
        }
    }

    Lock();
    CloseAndDelete(deleteOnQuit);
}

void BLooper::HandleMessage(std::unique_ptr<BMessage> message)
{
    if (message->what == kQuitLooper) {
        fTerminating = true;
        return;
    }
    if (message->what == kPulseChanged) {
        fNextPulse = system_time() + fPulseInterval;
        return;
    }

    Lock();
    fCurrentMessage = std::move(message);
    MessageDelivery& delivery = MessageDelivery::Of(*fCurrentMessage);
    delivery.wasDelivered = true;
    BHandler* handler = ResolveTarget(delivery.target);
    if (handler != nullptr)
        DispatchMessage(fCurrentMessage.get(), handler);
    if (fCurrentMessage) {
        AnswerUnrepliedMessage(fCurrentMessage.get());
        fCurrentMessage.reset();
    }
    Unlock();
}

BHandler* BLooper::ResolveTarget(int32 token)
{
    if (token == B_NULL_TOKEN || token == B_PREFERRED_TOKEN)
        return fPreferred != nullptr ? fPreferred : this;
    // A message for a handler that has left the looper is dropped.
    return LooperAccess::FindHandler(this, token);
}

void BLooper::AnswerUnrepliedMessage(BMessage* message)
{
    const MessageDelivery* delivery = MessageDelivery::Find(*message);
    if (delivery == nullptr || !delivery->replyRequired || delivery->replyDone)
        return;
    BMessage reply(B_NO_REPLY);
    message->SendReply(&reply);
}

void BLooper::CloseAndDelete(bool deleteThis)
{
    std::deque<std::unique_ptr<BMessage>> left = fPort->Close();
    for (auto& message : left)
        AnswerUnrepliedMessage(message.get());
    LooperAccess::Remove(this);
    if (deleteThis) {
        delete this;
        return;
    }
    Unlock();
}

void BLooper::Quit()
{
    if (!IsLocked())
        Lock();

    if (!fRunCalled || fThread < 0) {
        // Never run: nothing else can be using it.
        delete this;
        return;
    }
    if (find_thread(nullptr) == fThread) {
        // The loop deletes the looper once the current message is handled.
        fTerminating = true;
        return;
    }

    thread_id thread = fThread;
    std::shared_ptr<BLocker> locker = fLocker;
    RequestLoopEnd();
    while (locker->IsLocked())
        locker->Unlock();
    wait_for_thread(thread, nullptr);
}

bool BLooper::QuitRequested()
{
    return true;
}

bool BLooper::Lock()
{
    return fLocker->Lock();
}

void BLooper::Unlock()
{
    fLocker->Unlock();
}

bool BLooper::IsLocked() const
{
    return fLocker->IsLocked();
}

status_t BLooper::LockWithTimeout(bigtime_t timeout)
{
    return fLocker->LockWithTimeout(timeout);
}

thread_id BLooper::Thread() const
{
    return fThread;
}

team_id BLooper::Team() const
{
    return getpid();
}

BLooper* BLooper::LooperForThread(thread_id thread)
{
    return LooperAccess::ForThread(thread);
}

thread_id BLooper::LockingThread() const
{
    return fLocker->LockingThread();
}

int32 BLooper::CountLocks() const
{
    return fLocker->CountLocks();
}

int32 BLooper::CountLockRequests() const
{
    return fLocker->CountLockRequests();
}

sem_id BLooper::Sem() const
{
    return fLocker->Sem();
}

void BLooper::SetPulseInterval(bigtime_t interval)
{
    fPulseInterval = interval > 0 ? interval : 0;
    std::unique_ptr<BMessage> wake(new BMessage(kPulseChanged));
    fPort->Write(std::move(wake), 0);
}

bigtime_t BLooper::PulseInterval() const
{
    return fPulseInterval;
}

void BLooper::DispatchPulse() { }

status_t BLooper::RequestLoopEnd()
{
    return fPort->Write(std::make_unique<BMessage>(kQuitLooper), B_INFINITE_TIMEOUT);
}

port_id BLooper::PortId() const
{
    return fPort->Id();
}
