#pragma once

// Watches the mount table for the node monitor: a thread of its own (made
// with spawn_thread) waits for the kernel's change notice on
// /proc/self/mountinfo (poll with POLLPRI), compares the volumes before and
// after, and sends one message per mounted or unmounted volume to every
// target.

#include <memory>
#include <vector>

#include <Message.h>
#include <Messenger.h>

#include "VolumeTable.h"

namespace BPrivate {

class MountWatcher {
public:
    // Adds or removes a target; the thread runs while there is one.
    static status_t AddTarget(const BMessenger& target);
    static status_t RemoveTarget(const BMessenger& target);

    // The messages that describe the change from `before` to `after`
    // (listed volumes only), mounts first.
    static std::vector<std::unique_ptr<BMessage>> Changes(
        const std::vector<VolumeRecord>& before, const std::vector<VolumeRecord>& after);

    // Compares `volumes` with the last table seen and sends the changes, as
    // the thread does after a notice. Tests use it to feed sample tables.
    static void Update(const std::vector<VolumeRecord>& volumes);
};

} // namespace BPrivate
