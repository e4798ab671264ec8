// watch_node and stop_watching on the mount watcher.

#include <NodeMonitor.h>

#include "MountWatcher.h"

status_t watch_node(const node_ref* node, uint32 flags, BMessenger target)
{
    if (!target.IsValid())
        return B_BAD_VALUE;
    if (flags == B_STOP_WATCHING)
        return BPrivate::MountWatcher::RemoveTarget(target);
    // Only mounts can be watched; a watch of single nodes would silently
    // never report anything, which is worse than saying so.
    if (node != nullptr || (flags & B_WATCH_ALL) != 0)
        return B_UNSUPPORTED;
    if ((flags & B_WATCH_MOUNT) == 0)
        return B_BAD_VALUE;
    return BPrivate::MountWatcher::AddTarget(target);
}

status_t watch_node(
    const node_ref* node, uint32 flags, const BHandler* handler, const BLooper* looper)
{
    return watch_node(node, flags, BMessenger(handler, looper));
}

status_t stop_watching(BMessenger target)
{
    status_t status = BPrivate::MountWatcher::RemoveTarget(target);
    // Ending a watch that did not exist is not an error worth reporting.
    return status == B_BAD_VALUE ? B_OK : status;
}

status_t stop_watching(const BHandler* handler, const BLooper* looper)
{
    return stop_watching(BMessenger(handler, looper));
}
