#pragma once

// The process-wide list of live loopers, by port. Internal to the
// application kit: messengers use it to find (and lock) their target safely.

#include <memory>
#include <vector>

#include <Locker.h>
#include <OS.h>

class BHandler;
class BLooper;

namespace BPrivate {

class LooperAccess {
public:
    static void Add(BLooper* looper, port_id port);
    static void Remove(BLooper* looper);

    // The live looper reading `port`, with its lock object (which outlives
    // the looper, so a waiting locker never touches freed memory).
    static BLooper* Find(port_id port, std::shared_ptr<BLocker>* locker = nullptr);
    static bool IsAlive(const BLooper* looper);
    static BLooper* ForThread(thread_id thread);
    // Live loopers in the order they were made.
    static std::vector<BLooper*> All();

    // The handler with this token in the looper (the looper itself included).
    // The caller must know the looper is alive (its own thread, or its lock).
    static BHandler* FindHandler(BLooper* looper, int32 token);
    // The same for the looper reading `port`, looked up under the list's lock
    // so that a looper quitting meanwhile is never touched.
    static BHandler* FindHandler(port_id port, int32 token, BLooper** looper);
    // The thread of the looper reading `port`, or -1.
    static thread_id ThreadOf(port_id port);
    static port_id PortOf(const BLooper* looper);
    // The ports of the live loopers that are windows, in the order they were
    // made, and the window at an index (a pointer that stays valid only while
    // the window's lock is held, as on BeOS).
    static std::vector<port_id> WindowPorts();
    static BLooper* WindowAt(int32 index);
};

} // namespace BPrivate
