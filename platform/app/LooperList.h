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
    static BHandler* FindHandler(BLooper* looper, int32 token);
    static port_id PortOf(const BLooper* looper);
    static bool IsWindow(const BLooper* looper);
};

} // namespace BPrivate
