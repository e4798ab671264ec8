#include <Messenger.h>

#include <AppDefs.h>
#include <Application.h>
#include <Handler.h>
#include <Looper.h>

#include <cstring>
#include <unistd.h>

#include "LooperList.h"
#include "MessageDelivery.h"
#include "Port.h"

using BPrivate::LooperAccess;
using BPrivate::MessageDelivery;
using BPrivate::Port;

BMessenger be_app_messenger;

namespace {

struct ReplyAddress {
    port_id port = -1;
    int32 token = B_NULL_TOKEN;
    team_id team = -1;
};

// Copies the message into the port's queue with its delivery information.
status_t Deliver(port_id portId, int32 token, const BMessage& message, const ReplyAddress& reply,
    bool replyRequired, bigtime_t timeout, bool replaceQueued = false)
{
    std::shared_ptr<Port> port = Port::Find(portId);
    if (!port)
        return B_BAD_PORT_ID;
    auto copy = std::make_unique<BMessage>(message);
    MessageDelivery& delivery = MessageDelivery::Of(*copy);
    delivery.target = token;
    delivery.replyPort = reply.port;
    delivery.replyToken = reply.token;
    delivery.replyTeam = reply.team;
    delivery.replyRequired = replyRequired;
    if (const MessageDelivery* original = MessageDelivery::Find(message)) {
        delivery.isReply = original->isReply;
        delivery.wasDropped = original->wasDropped;
        delivery.dropPoint = original->dropPoint;
        delivery.dropOffset = original->dropOffset;
    }
    if (replaceQueued)
        return port->WriteReplacing(std::move(copy), timeout);
    return port->Write(std::move(copy), timeout);
}

ReplyAddress AddressOf(const BMessenger& messenger)
{
    ReplyAddress address;
    if (messenger.IsValid()) {
        address.port = messenger.Port();
        address.token = messenger.Token();
        address.team = messenger.Team();
    }
    return address;
}

} // namespace

BMessenger::BMessenger()
    : fPort(-1)
    , fHandlerToken(B_NULL_TOKEN)
    , fTeam(-1)
{
}

BMessenger::BMessenger(const char* signature, team_id team, status_t* result)
    : BMessenger()
{
    status_t status = SetTo(signature, team);
    if (result != nullptr)
        *result = status;
}

BMessenger::BMessenger(const BHandler* handler, const BLooper* looper, status_t* result)
    : BMessenger()
{
    status_t status = SetTo(handler, looper);
    if (result != nullptr)
        *result = status;
}

BMessenger::BMessenger(const BMessenger& other) = default;

BMessenger::~BMessenger() = default;

BMessenger& BMessenger::operator=(const BMessenger& other) = default;

bool BMessenger::operator==(const BMessenger& other) const
{
    return fPort == other.fPort && fHandlerToken == other.fHandlerToken;
}

bool BMessenger::operator<(const BMessenger& other) const
{
    if (fPort != other.fPort)
        return fPort < other.fPort;
    return fHandlerToken < other.fHandlerToken;
}

status_t BMessenger::SetTo(const char* signature, team_id team)
{
    *this = BMessenger();
    if (signature == nullptr)
        return B_BAD_TYPE;
    if (team >= 0 && team != getpid())
        return B_BAD_TEAM_ID;
    port_id port = BPrivate::Port::FindSignature(signature);
    if (port < 0)
        return B_BAD_VALUE;
    fPort = port;
    fHandlerToken = B_PREFERRED_TOKEN;
    fTeam = getpid();
    return B_OK;
}

status_t BMessenger::SetTo(const BHandler* handler, const BLooper* looper)
{
    *this = BMessenger();
    if (handler == nullptr && looper == nullptr)
        return B_BAD_VALUE;
    if (handler != nullptr) {
        BLooper* handlerLooper = handler->Looper();
        if (handlerLooper == nullptr)
            return B_BAD_HANDLER;
        if (looper != nullptr && looper != handlerLooper)
            return B_MISMATCHED_VALUES;
        fPort = LooperAccess::PortOf(handlerLooper);
        fHandlerToken = handler->Token();
    } else {
        fPort = LooperAccess::PortOf(looper);
        fHandlerToken = B_PREFERRED_TOKEN;
    }
    fTeam = getpid();
    return B_OK;
}

void BMessenger::SetTo(team_id team, port_id port, int32 token)
{
    fTeam = team;
    fPort = port;
    fHandlerToken = token;
}

bool BMessenger::IsTargetLocal() const
{
    return fTeam == getpid();
}

BHandler* BMessenger::Target(BLooper** looper) const
{
    if (fHandlerToken == B_PREFERRED_TOKEN) {
        if (looper != nullptr)
            *looper = LooperAccess::Find(fPort);
        return nullptr;
    }
    return LooperAccess::FindHandler(fPort, fHandlerToken, looper);
}

bool BMessenger::LockTarget() const
{
    return LockTargetWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BMessenger::LockTargetWithTimeout(bigtime_t timeout) const
{
    std::shared_ptr<BLocker> locker;
    BLooper* looper = LooperAccess::Find(fPort, &locker);
    if (looper == nullptr)
        return B_BAD_VALUE;
    status_t status = locker->LockWithTimeout(timeout);
    if (status != B_OK)
        return status;
    // The looper may have quit while we waited for its lock; its lock object
    // outlives it, so this check is safe.
    if (LooperAccess::Find(fPort) != looper) {
        locker->Unlock();
        return B_BAD_VALUE;
    }
    return B_OK;
}

status_t BMessenger::SendMessage(uint32 command, BHandler* replyTo) const
{
    BMessage message(command);
    return SendMessage(&message, replyTo, B_INFINITE_TIMEOUT);
}

status_t BMessenger::SendMessage(BMessage* message, BHandler* replyTo, bigtime_t timeout) const
{
    if (message == nullptr)
        return B_BAD_VALUE;
    BMessenger replyMessenger;
    if (replyTo != nullptr)
        replyMessenger.SetTo(replyTo);
    else
        replyMessenger = be_app_messenger;
    return SendMessage(message, replyMessenger, timeout);
}

status_t BMessenger::SendMessage(BMessage* message, BMessenger replyTo, bigtime_t timeout) const
{
    if (message == nullptr)
        return B_BAD_VALUE;
    if (fPort < 0)
        return B_BAD_PORT_ID;
    return Deliver(fPort, fHandlerToken, *message, AddressOf(replyTo), false, timeout);
}

status_t BPrivate::SendReplacingQueued(
    const BMessenger& target, BMessage* message, bigtime_t timeout)
{
    if (message == nullptr)
        return B_BAD_VALUE;
    if (target.Port() < 0)
        return B_BAD_PORT_ID;
    return Deliver(
        target.Port(), target.Token(), *message, AddressOf(be_app_messenger), false, timeout, true);
}

status_t BMessenger::SendMessage(uint32 command, BMessage* reply) const
{
    BMessage message(command);
    return SendMessage(&message, reply, B_INFINITE_TIMEOUT, B_INFINITE_TIMEOUT);
}

status_t BMessenger::SendMessage(
    BMessage* message, BMessage* reply, bigtime_t deliveryTimeout, bigtime_t replyTimeout) const
{
    if (message == nullptr || reply == nullptr)
        return B_BAD_VALUE;
    if (fPort < 0)
        return B_BAD_PORT_ID;
    // Sending to our own looper and waiting would wait for ever.
    if (LooperAccess::ThreadOf(fPort) == find_thread(nullptr))
        return B_MESSAGE_TO_SELF;

    std::shared_ptr<BPrivate::Port> replyPort = BPrivate::Port::Create(1, "reply");
    ReplyAddress address;
    address.port = replyPort->Id();
    address.team = getpid();
    status_t status = Deliver(fPort, fHandlerToken, *message, address, true, deliveryTimeout);
    if (status != B_OK) {
        replyPort->Close();
        return status;
    }

    bigtime_t deadline = B_INFINITE_TIMEOUT;
    if (replyTimeout != B_INFINITE_TIMEOUT) {
        bigtime_t now = system_time();
        deadline
            = replyTimeout > B_INFINITE_TIMEOUT - now ? B_INFINITE_TIMEOUT : now + replyTimeout;
    }
    std::unique_ptr<BMessage> answer;
    status = replyPort->Read(&answer, deadline);
    replyPort->Close();
    if (status != B_OK)
        return status == B_WOULD_BLOCK ? B_TIMED_OUT : status;
    *reply = *answer;
    // Keep what a reply needs to be answered in turn.
    if (const MessageDelivery* delivery = MessageDelivery::Find(*answer))
        MessageDelivery::Of(*reply) = *delivery;
    return B_OK;
}

bool BMessenger::IsValid() const
{
    return fPort >= 0 && BPrivate::Port::Find(fPort) != nullptr;
}
