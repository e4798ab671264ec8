#pragma once

// BMessenger: a thread-safe address of a looper (and of one of its handlers),
// usable from any thread. It names its target by the looper's port and the
// handler's token, never by pointer, so a message sent to a looper that has
// gone fails with B_BAD_PORT_ID instead of touching freed memory.

#include <Message.h>
#include <OS.h>

class BHandler;
class BLooper;

class BMessenger {
public:
    BMessenger();
    // A running application by signature. Besides this program itself, a few
    // services of the desktop are reachable this way (the file manager
    // "application/x-vnd.Be-TRAK"); any other signature gives an invalid
    // messenger and B_BAD_VALUE in result.
    explicit BMessenger(const char* signature, team_id team = -1, status_t* result = nullptr);
    BMessenger(
        const BHandler* handler, const BLooper* looper = nullptr, status_t* result = nullptr);
    BMessenger(const BMessenger& other);
    ~BMessenger();

    BMessenger& operator=(const BMessenger& other);
    bool operator==(const BMessenger& other) const;
    bool operator!=(const BMessenger& other) const { return !(*this == other); }
    bool operator<(const BMessenger& other) const;

    status_t SetTo(const char* signature, team_id team = -1);
    status_t SetTo(const BHandler* handler, const BLooper* looper = nullptr);

    bool IsTargetLocal() const;
    // The target handler and its looper, when they still exist. The pointers
    // may go stale at once unless the caller holds the looper's lock.
    BHandler* Target(BLooper** looper) const;
    bool LockTarget() const;
    status_t LockTargetWithTimeout(bigtime_t timeout) const;

    status_t SendMessage(uint32 command, BHandler* replyTo = nullptr) const;
    status_t SendMessage(BMessage* message, BHandler* replyTo = nullptr,
        bigtime_t timeout = B_INFINITE_TIMEOUT) const;
    status_t SendMessage(
        BMessage* message, BMessenger replyTo, bigtime_t timeout = B_INFINITE_TIMEOUT) const;
    // Synchronous forms: wait for the target's reply (B_NO_REPLY when the
    // target drops the message without answering).
    status_t SendMessage(uint32 command, BMessage* reply) const;
    status_t SendMessage(BMessage* message, BMessage* reply,
        bigtime_t deliveryTimeout = B_INFINITE_TIMEOUT,
        bigtime_t replyTimeout = B_INFINITE_TIMEOUT) const;

    bool IsValid() const;
    team_id Team() const { return fTeam; }

    // The three numbers a flattened messenger ('MSNG') holds.
    port_id Port() const { return fPort; }
    int32 Token() const { return fHandlerToken; }
    void SetTo(team_id team, port_id port, int32 token);

private:
    port_id fPort;
    int32 fHandlerToken;
    team_id fTeam;
};

// The application's messenger (valid once a BApplication exists).
extern BMessenger be_app_messenger;

namespace BPrivate {

// Sends like target.SendMessage(message, nullptr, timeout), but a message
// with the same command for the same handler that is still waiting in the
// target's queue (and whose sender does not wait for a reply) is taken out
// first. Meant for progress reports from a worker thread, where only the
// newest counts: however fast they come, they hold one place in the queue,
// so the target's own posts still find room, and the newest report is never
// dropped. Blocks (until `timeout`, or until the thread is killed) only while
// the queue is full of other messages.
status_t SendReplacingQueued(
    const BMessenger& target, BMessage* message, bigtime_t timeout = B_INFINITE_TIMEOUT);

} // namespace BPrivate
