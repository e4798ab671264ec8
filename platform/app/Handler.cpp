#include <Handler.h>

#include <Looper.h>
#include <atomic>

#include "MessageDelivery.h"

namespace {

std::atomic<int32> sNextToken { 1 };

} // namespace

BHandler::BHandler(const char* name)
    : fToken(sNextToken.fetch_add(1))
    , fName(name != nullptr ? name : "")
{
}

BHandler::BHandler(BMessage* archive)
    : BArchivable(archive)
    , fToken(sNextToken.fetch_add(1))
{
    const char* name = nullptr;
    if (archive != nullptr && archive->FindString("_name", &name) == B_OK)
        fName = name;
}

BHandler::~BHandler()
{
    if (fLooper != nullptr && fLooper != this)
        fLooper->RemoveHandler(this);
}

status_t BHandler::Archive(BMessage* archive, bool deep) const
{
    status_t status = BArchivable::Archive(archive, deep);
    if (status != B_OK)
        return status;
    if (!fName.empty())
        status = archive->AddString("_name", fName.c_str());
    return status;
}

BArchivable* BHandler::Instantiate(BMessage* archive)
{
    if (!validate_instantiation(archive, "BHandler"))
        return nullptr;
    return new BHandler(archive);
}

void BHandler::MessageReceived(BMessage* message)
{
    if (fNextHandler != nullptr) {
        fNextHandler->MessageReceived(message);
        return;
    }
    if (message != nullptr && message->IsSourceWaiting()) {
        BMessage reply(B_MESSAGE_NOT_UNDERSTOOD);
        message->SendReply(&reply);
    }
}

BLooper* BHandler::Looper() const
{
    return fLooper;
}

void BHandler::SetName(const char* name)
{
    fName = name != nullptr ? name : "";
}

const char* BHandler::Name() const
{
    return fName.empty() ? nullptr : fName.c_str();
}

void BHandler::SetNextHandler(BHandler* handler)
{
    if (handler == this)
        return;
    fNextHandler = handler;
}

BHandler* BHandler::NextHandler() const
{
    return fNextHandler;
}

bool BHandler::LockLooper()
{
    BLooper* looper = fLooper;
    if (looper == nullptr || !looper->Lock())
        return false;
    // The handler may have moved to another looper while we waited.
    if (fLooper != looper) {
        looper->Unlock();
        return false;
    }
    return true;
}

status_t BHandler::LockLooperWithTimeout(bigtime_t timeout)
{
    BLooper* looper = fLooper;
    if (looper == nullptr)
        return B_BAD_VALUE;
    status_t status = looper->LockWithTimeout(timeout);
    if (status != B_OK)
        return status;
    if (fLooper != looper) {
        looper->Unlock();
        return B_MISMATCHED_VALUES;
    }
    return B_OK;
}

void BHandler::UnlockLooper()
{
    if (fLooper != nullptr)
        fLooper->Unlock();
}

void BHandler::SetLooper(BLooper* looper)
{
    fLooper = looper;
}
