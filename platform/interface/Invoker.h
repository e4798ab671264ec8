#pragma once

// BInvoker: something that sends a message to a target when it is invoked
// (a control, a menu item, an alert's asynchronous form).

#include <AppDefs.h>
#include <Message.h>
#include <Messenger.h>

#include <memory>

class BHandler;
class BLooper;

class BInvoker {
public:
    BInvoker();
    BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper = nullptr);
    BInvoker(BMessage* message, BMessenger target);
    virtual ~BInvoker();
    BInvoker(const BInvoker&) = delete;
    BInvoker& operator=(const BInvoker&) = delete;

    // Adopts the message.
    virtual status_t SetMessage(BMessage* message);
    BMessage* Message() const;
    uint32 Command() const;

    virtual status_t SetTarget(const BHandler* handler, const BLooper* looper = nullptr);
    virtual status_t SetTarget(BMessenger messenger);
    bool IsTargetLocal() const;
    BHandler* Target(BLooper** looper = nullptr) const;
    BMessenger Messenger() const;

    virtual status_t SetHandlerForReply(BHandler* handler);
    BHandler* HandlerForReply() const;

    // Sends a copy of `message` (or of the invoker's own message) to the
    // target. B_BAD_VALUE without a message, an error of the messenger
    // without a valid target.
    virtual status_t Invoke(BMessage* message = nullptr);
    status_t InvokeNotify(BMessage* message, uint32 kind = B_CONTROL_INVOKED);

    status_t SetTimeout(bigtime_t timeout);
    bigtime_t Timeout() const;

protected:
    uint32 InvokeKind(bool* notify = nullptr);
    void BeginInvokeNotify(uint32 kind = B_CONTROL_INVOKED);
    void EndInvokeNotify();

private:
    std::unique_ptr<BMessage> fMessage;
    BMessenger fMessenger;
    BHandler* fReplyTo = nullptr;
    bigtime_t fTimeout = B_INFINITE_TIMEOUT;
    uint32 fNotifyKind = 0;
};
