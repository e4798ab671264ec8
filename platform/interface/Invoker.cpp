#include <Invoker.h>

#include <AppDefs.h>
#include <Handler.h>
#include <Looper.h>

BInvoker::BInvoker() = default;

BInvoker::BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper)
    : fMessage(message)
{
    SetTarget(handler, looper);
}

BInvoker::BInvoker(BMessage* message, BMessenger target)
    : fMessage(message)
    , fMessenger(target)
{
}

BInvoker::~BInvoker() = default;

status_t BInvoker::SetMessage(BMessage* message)
{
    if (fMessage.get() == message)
        return B_OK;
    fMessage.reset(message);
    return B_OK;
}

BMessage* BInvoker::Message() const
{
    return fMessage.get();
}

uint32 BInvoker::Command() const
{
    return fMessage != nullptr ? fMessage->what : 0;
}

status_t BInvoker::SetTarget(const BHandler* handler, const BLooper* looper)
{
    fMessenger = BMessenger();
    if (handler == nullptr && looper == nullptr)
        return B_OK;
    status_t status = B_OK;
    BMessenger messenger(handler, looper, &status);
    if (status == B_OK)
        fMessenger = messenger;
    return status;
}

status_t BInvoker::SetTarget(BMessenger messenger)
{
    fMessenger = messenger;
    return B_OK;
}

bool BInvoker::IsTargetLocal() const
{
    return fMessenger.IsTargetLocal();
}

BHandler* BInvoker::Target(BLooper** looper) const
{
    return fMessenger.Target(looper);
}

BMessenger BInvoker::Messenger() const
{
    return fMessenger;
}

status_t BInvoker::SetHandlerForReply(BHandler* handler)
{
    fReplyTo = handler;
    return B_OK;
}

BHandler* BInvoker::HandlerForReply() const
{
    return fReplyTo;
}

status_t BInvoker::Invoke(BMessage* message)
{
    if (message == nullptr)
        message = Message();
    if (message == nullptr)
        return B_BAD_VALUE;
    return fMessenger.SendMessage(message, fReplyTo, fTimeout);
}

status_t BInvoker::InvokeNotify(BMessage* message, uint32 kind)
{
    BeginInvokeNotify(kind);
    status_t status = Invoke(message);
    EndInvokeNotify();
    return status;
}

status_t BInvoker::SetTimeout(bigtime_t timeout)
{
    fTimeout = timeout;
    return B_OK;
}

bigtime_t BInvoker::Timeout() const
{
    return fTimeout;
}

uint32 BInvoker::InvokeKind(bool* notify)
{
    if (notify != nullptr)
        *notify = fNotifyKind != 0;
    return fNotifyKind != 0 ? fNotifyKind : B_CONTROL_INVOKED;
}

void BInvoker::BeginInvokeNotify(uint32 kind)
{
    fNotifyKind = kind;
}

void BInvoker::EndInvokeNotify()
{
    fNotifyKind = 0;
}
