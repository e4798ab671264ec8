// The parts of BMessage that concern delivery: where a message came from,
// whether it was dropped, and replies.

#include "MessageDelivery.h"

#include <AppDefs.h>
#include <Handler.h>
#include <Looper.h>
#include <Messenger.h>

#include <unistd.h>

#include "Port.h"

namespace BPrivate {

MessageDelivery& MessageDelivery::Of(BMessage& message)
{
    if (!message.fDelivery)
        message.fDelivery = std::make_unique<MessageDelivery>();
    return *message.fDelivery;
}

const MessageDelivery* MessageDelivery::Find(const BMessage& message)
{
    return message.fDelivery.get();
}

} // namespace BPrivate

using BPrivate::MessageDelivery;

bool BMessage::WasDelivered() const
{
    return fDelivery && fDelivery->wasDelivered;
}

bool BMessage::IsSourceWaiting() const
{
    return fDelivery && fDelivery->replyRequired && !fDelivery->replyDone;
}

bool BMessage::IsSourceRemote() const
{
    // Every sender lives in this process.
    return false;
}

BMessenger BMessage::ReturnAddress() const
{
    BMessenger messenger;
    if (fDelivery && fDelivery->replyPort >= 0)
        messenger.SetTo(fDelivery->replyTeam, fDelivery->replyPort, fDelivery->replyToken);
    return messenger;
}

const BMessage* BMessage::Previous() const
{
    return nullptr;
}

bool BMessage::WasDropped() const
{
    return fDelivery && fDelivery->wasDropped;
}

BPoint BMessage::DropPoint(BPoint* offset) const
{
    if (!fDelivery)
        return BPoint(0, 0);
    if (offset != nullptr)
        *offset = fDelivery->dropOffset;
    return fDelivery->dropPoint;
}

bool BMessage::IsReply() const
{
    return fDelivery && fDelivery->isReply;
}

status_t BMessage::SendReply(uint32 command, BHandler* replyTo)
{
    BMessage reply(command);
    return SendReply(&reply, replyTo, B_INFINITE_TIMEOUT);
}

status_t BMessage::SendReply(BMessage* reply, BHandler* replyTo, bigtime_t timeout)
{
    BMessenger replyMessenger;
    if (replyTo != nullptr)
        replyMessenger.SetTo(replyTo);
    return SendReply(reply, replyMessenger, timeout);
}

status_t BMessage::SendReply(BMessage* reply, BMessenger replyTo, bigtime_t timeout)
{
    if (reply == nullptr)
        return B_BAD_VALUE;
    if (!fDelivery || fDelivery->replyPort < 0)
        return B_BAD_REPLY;
    if (fDelivery->replyDone)
        return B_DUPLICATE_REPLY;
    fDelivery->replyDone = true;

    std::shared_ptr<BPrivate::Port> port = BPrivate::Port::Find(fDelivery->replyPort);
    if (!port)
        return B_BAD_PORT_ID;
    auto copy = std::make_unique<BMessage>(*reply);
    MessageDelivery& delivery = MessageDelivery::Of(*copy);
    delivery.isReply = true;
    delivery.target = fDelivery->replyToken;
    if (replyTo.IsValid()) {
        delivery.replyPort = replyTo.Port();
        delivery.replyToken = replyTo.Token();
        delivery.replyTeam = replyTo.Team();
    }
    return port->Write(std::move(copy), timeout);
}

status_t BMessage::SendReply(uint32 command, BMessage* replyToReply)
{
    BMessage reply(command);
    return SendReply(&reply, replyToReply, B_INFINITE_TIMEOUT, B_INFINITE_TIMEOUT);
}

status_t BMessage::SendReply(
    BMessage* reply, BMessage* replyToReply, bigtime_t sendTimeout, bigtime_t replyTimeout)
{
    if (reply == nullptr || replyToReply == nullptr)
        return B_BAD_VALUE;
    if (!fDelivery || fDelivery->replyPort < 0)
        return B_BAD_REPLY;
    if (fDelivery->replyDone)
        return B_DUPLICATE_REPLY;
    BMessenger target;
    target.SetTo(fDelivery->replyTeam, fDelivery->replyPort, fDelivery->replyToken);
    fDelivery->replyDone = true;
    auto copy = *reply;
    MessageDelivery::Of(copy).isReply = true;
    return target.SendMessage(&copy, replyToReply, sendTimeout, replyTimeout);
}
