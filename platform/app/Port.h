#pragma once

// A port: a bounded queue of messages with a process-wide id. Every looper
// reads from one; messengers address loopers by port id through the one
// locked table here, so a message to a port that has been closed fails with
// B_BAD_PORT_ID and never reaches freed memory. A port can also be a
// service: its messages are handed to a function on the sender's thread
// (used for desktop services reached by signature).

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include <Message.h>
#include <OS.h>

namespace BPrivate {

class Port {
public:
    typedef std::function<status_t(std::unique_ptr<BMessage>)> ServiceFunction;

    static std::shared_ptr<Port> Create(int32 capacity, const char* name);
    static std::shared_ptr<Port> CreateService(ServiceFunction function, const char* name);
    static std::shared_ptr<Port> Find(port_id id);

    // Signatures of running applications and services.
    static void RegisterSignature(const char* signature, port_id port);
    static void UnregisterSignature(const char* signature, port_id port);
    static port_id FindSignature(const char* signature);

    ~Port();

    port_id Id() const { return fId; }
    const std::string& Name() const { return fName; }

    // Appends a message. Blocks while the queue is full, until `timeout`
    // (relative, B_INFINITE_TIMEOUT to wait for ever; 0 fails at once with
    // B_WOULD_BLOCK). B_BAD_PORT_ID once the port is closed.
    status_t Write(std::unique_ptr<BMessage> message, bigtime_t timeout = B_INFINITE_TIMEOUT);

    // Like Write(), but first takes out of the queue every message with the
    // same command for the same handler whose sender does not wait for a
    // reply: for reports where only the newest matters, so that a burst of
    // them holds one place in the queue and never crowds out other messages.
    status_t WriteReplacing(
        std::unique_ptr<BMessage> message, bigtime_t timeout = B_INFINITE_TIMEOUT);

    // Takes the oldest message. B_TIMED_OUT (or B_WOULD_BLOCK for a zero
    // timeout) when none came in time, B_BAD_PORT_ID once closed and empty.
    // `deadline` is absolute (system_time()) or B_INFINITE_TIMEOUT.
    status_t Read(std::unique_ptr<BMessage>* message, bigtime_t deadline = B_INFINITE_TIMEOUT);

    // Closes the port: it leaves the table, writers and readers wake and
    // fail, and the messages still queued are handed back so the owner can
    // answer synchronous senders.
    std::deque<std::unique_ptr<BMessage>> Close();

    bool IsClosed() const;
    int32 CountMessages() const;

    // Messages queued or taken by Read() and not yet reported handled by
    // HandledOne(): a reader that has taken a message but not yet acted on
    // it (waiting for its looper's lock, say) still holds unhandled work.
    int32 CountUnhandled() const;
    void HandledOne();

private:
    Port(int32 capacity, const char* name);

    status_t Append(std::unique_ptr<BMessage> message, bigtime_t timeout, bool replace);
    void RemoveReplacedBy(const BMessage& message);

    mutable std::mutex fLock;
    std::condition_variable_any fCondition;
    std::deque<std::unique_ptr<BMessage>> fQueue;
    int32 fCapacity;
    int32 fTaken = 0;
    bool fClosed = false;
    port_id fId = -1;
    std::string fName;
    ServiceFunction fService;
};

} // namespace BPrivate
