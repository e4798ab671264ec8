#pragma once

// The node monitor. Only volume mounting is watched on Linux: watch_node
// with a NULL node and B_WATCH_MOUNT makes every mount and unmount of a
// volume (one the volume roster lists) arrive at the target as a
// B_NODE_MONITOR ('NDMN') message with "opcode" B_DEVICE_MOUNTED ("new
// device", "device", "directory") or B_DEVICE_UNMOUNTED ("device"). Watching
// single nodes is not supported (B_UNSUPPORTED).

#include <AppDefs.h> // B_NODE_MONITOR and the "opcode" values
#include <Messenger.h>
#include <StorageDefs.h>

// watch_node flags.
#define B_STOP_WATCHING 0x0000
#define B_WATCH_NAME 0x0001
#define B_WATCH_STAT 0x0002
#define B_WATCH_ATTR 0x0004
#define B_WATCH_DIRECTORY 0x0008
#define B_WATCH_ALL 0x000F
#define B_WATCH_MOUNT 0x0010

status_t watch_node(const node_ref* node, uint32 flags, BMessenger target);
status_t watch_node(
    const node_ref* node, uint32 flags, const BHandler* handler, const BLooper* looper = nullptr);

// Ends every watch of the target.
status_t stop_watching(BMessenger target);
status_t stop_watching(const BHandler* handler, const BLooper* looper = nullptr);
