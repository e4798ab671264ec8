#include "Port.h"

#include <BlockingPoint.h>

#include "MessageDelivery.h"

#include <map>
#include <unordered_map>

namespace BPrivate {

namespace {

struct PortTable {
    std::mutex lock;
    std::unordered_map<port_id, std::shared_ptr<Port>> ports;
    std::multimap<std::string, port_id> signatures;
    port_id nextId = 1;
};

PortTable& Table()
{
    // Never destroyed: loopers may still close their ports while the program
    // exits.
    static PortTable* table = new PortTable;
    return *table;
}

bigtime_t DeadlineAfter(bigtime_t timeout)
{
    if (timeout == B_INFINITE_TIMEOUT)
        return B_INFINITE_TIMEOUT;
    bigtime_t now = system_time();
    return timeout > B_INFINITE_TIMEOUT - now ? B_INFINITE_TIMEOUT : now + timeout;
}

} // namespace

Port::Port(int32 capacity, const char* name)
    : fCapacity(capacity > 0 ? capacity : 1)
    , fName(name != nullptr ? name : "")
{
}

Port::~Port() = default;

std::shared_ptr<Port> Port::Create(int32 capacity, const char* name)
{
    std::shared_ptr<Port> port(new Port(capacity, name));
    PortTable& table = Table();
    std::lock_guard guard(table.lock);
    port->fId = table.nextId++;
    if (table.nextId <= 0)
        table.nextId = 1;
    table.ports[port->fId] = port;
    return port;
}

std::shared_ptr<Port> Port::CreateService(ServiceFunction function, const char* name)
{
    std::shared_ptr<Port> port = Create(1, name);
    std::lock_guard guard(port->fLock);
    port->fService = std::move(function);
    return port;
}

std::shared_ptr<Port> Port::Find(port_id id)
{
    PortTable& table = Table();
    std::lock_guard guard(table.lock);
    auto found = table.ports.find(id);
    return found == table.ports.end() ? nullptr : found->second;
}

void Port::RegisterSignature(const char* signature, port_id port)
{
    if (signature == nullptr)
        return;
    PortTable& table = Table();
    std::lock_guard guard(table.lock);
    table.signatures.emplace(signature, port);
}

void Port::UnregisterSignature(const char* signature, port_id port)
{
    if (signature == nullptr)
        return;
    PortTable& table = Table();
    std::lock_guard guard(table.lock);
    auto range = table.signatures.equal_range(signature);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == port) {
            table.signatures.erase(it);
            return;
        }
    }
}

port_id Port::FindSignature(const char* signature)
{
    if (signature == nullptr)
        return B_BAD_VALUE;
    PortTable& table = Table();
    std::lock_guard guard(table.lock);
    // The most recently registered instance answers.
    auto range = table.signatures.equal_range(signature);
    port_id found = B_NAME_NOT_FOUND;
    for (auto it = range.first; it != range.second; ++it) {
        if (table.ports.count(it->second) != 0)
            found = it->second;
    }
    return found;
}

status_t Port::Write(std::unique_ptr<BMessage> message, bigtime_t timeout)
{
    return Append(std::move(message), timeout, false);
}

status_t Port::WriteReplacing(std::unique_ptr<BMessage> message, bigtime_t timeout)
{
    return Append(std::move(message), timeout, true);
}

status_t Port::Append(std::unique_ptr<BMessage> message, bigtime_t timeout, bool replace)
{
    if (!message)
        return B_BAD_VALUE;
    std::unique_lock guard(fLock);
    if (fClosed)
        return B_BAD_PORT_ID;
    if (fService) {
        ServiceFunction service = fService;
        guard.unlock();
        return service(std::move(message));
    }
    if (replace)
        RemoveReplacedBy(*message);
    if (int32(fQueue.size()) >= fCapacity && timeout == 0)
        return B_WOULD_BLOCK;
    status_t status = WaitInterruptibly(fCondition, guard, DeadlineAfter(timeout),
        [&] { return fClosed || int32(fQueue.size()) < fCapacity; });
    if (fClosed)
        return B_BAD_PORT_ID;
    if (status != B_OK)
        return status;
    fQueue.push_back(std::move(message));
    guard.unlock();
    fCondition.notify_all();
    return B_OK;
}

void Port::RemoveReplacedBy(const BMessage& message)
{
    const MessageDelivery* delivery = MessageDelivery::Find(message);
    int32 target = delivery != nullptr ? delivery->target : B_NULL_TOKEN;
    std::erase_if(fQueue, [&](const std::unique_ptr<BMessage>& queued) {
        if (queued->what != message.what)
            return false;
        const MessageDelivery* other = MessageDelivery::Find(*queued);
        if (other == nullptr)
            return target == B_NULL_TOKEN;
        // A synchronous sender waits for an answer to its own message.
        return other->target == target && !other->replyRequired && !other->isReply;
    });
}

status_t Port::Read(std::unique_ptr<BMessage>* message, bigtime_t deadline)
{
    std::unique_lock guard(fLock);
    if (fQueue.empty() && !fClosed && deadline != B_INFINITE_TIMEOUT && deadline <= system_time())
        return B_WOULD_BLOCK;
    status_t status = WaitInterruptibly(
        fCondition, guard, deadline, [&] { return fClosed || !fQueue.empty(); });
    if (fQueue.empty())
        return fClosed ? B_BAD_PORT_ID : status;
    *message = std::move(fQueue.front());
    fQueue.pop_front();
    fTaken++;
    guard.unlock();
    fCondition.notify_all();
    return B_OK;
}

std::deque<std::unique_ptr<BMessage>> Port::Close()
{
    {
        PortTable& table = Table();
        std::lock_guard guard(table.lock);
        table.ports.erase(fId);
        for (auto it = table.signatures.begin(); it != table.signatures.end();) {
            if (it->second == fId)
                it = table.signatures.erase(it);
            else
                ++it;
        }
    }
    std::deque<std::unique_ptr<BMessage>> left;
    {
        std::lock_guard guard(fLock);
        fClosed = true;
        left.swap(fQueue);
    }
    fCondition.notify_all();
    return left;
}

bool Port::IsClosed() const
{
    std::lock_guard guard(fLock);
    return fClosed;
}

int32 Port::CountMessages() const
{
    std::lock_guard guard(fLock);
    return int32(fQueue.size());
}

int32 Port::CountUnhandled() const
{
    std::lock_guard guard(fLock);
    return int32(fQueue.size()) + fTaken;
}

void Port::HandledOne()
{
    std::lock_guard guard(fLock);
    if (fTaken > 0)
        fTaken--;
}

} // namespace BPrivate
