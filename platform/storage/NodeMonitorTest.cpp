#include <NodeMonitor.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include <AppDefs.h>
#include <Looper.h>

#include "MountWatcher.h"

namespace {

using BPrivate::MountWatcher;
using BPrivate::VolumeRecord;

VolumeRecord Volume(dev_t device, const char* mountPoint, bool listed = true)
{
    VolumeRecord volume;
    volume.device = device;
    volume.mountPoint = mountPoint;
    volume.name = mountPoint;
    volume.listed = listed;
    return volume;
}

// Made-up device numbers that no real volume has.
constexpr dev_t kFakeRoot = 0x7ffffff0;
constexpr dev_t kFakeStick = 0x7ffffff1;
constexpr dev_t kFakeOther = 0x7ffffff2;

// Keeps the node monitor messages about one device. (Messages about the
// machine's real volumes may come too: the watch starts from the real
// mount table.)
class RecordingLooper : public BLooper {
public:
    explicit RecordingLooper(dev_t wanted = kFakeStick)
        : BLooper("recorder")
        , fWanted(int32(wanted))
    {
    }

    void MessageReceived(BMessage* message) override
    {
        if (message->what != B_NODE_MONITOR) {
            BLooper::MessageReceived(message);
            return;
        }
        int32 device
            = message->GetInt32(message->HasInt32("new device") ? "new device" : "device", -1);
        if (device != fWanted)
            return;
        std::lock_guard guard(fLock);
        fOpcodes.push_back(message->GetInt32("opcode", -1));
        fDevices.push_back(device);
        fChanged.notify_all();
    }

    // The first `count` opcodes and devices, once they have come.
    bool WaitFor(size_t count, std::vector<int32>* opcodes, std::vector<int32>* devices)
    {
        std::unique_lock guard(fLock);
        bool arrived = fChanged.wait_for(
            guard, std::chrono::seconds(10), [&] { return fOpcodes.size() >= count; });
        *opcodes = fOpcodes;
        *devices = fDevices;
        return arrived;
    }

private:
    int32 fWanted;
    std::mutex fLock;
    std::condition_variable fChanged;
    std::vector<int32> fOpcodes;
    std::vector<int32> fDevices;
};

TEST(MountWatcherTest, ChangesListMountsThenUnmounts)
{
    std::vector<VolumeRecord> before
        = { Volume(1, "/"), Volume(2, "/media/a"), Volume(3, "/proc", false) };
    std::vector<VolumeRecord> after
        = { Volume(1, "/"), Volume(4, "/media/b"), Volume(5, "/sys", false) };
    auto messages = MountWatcher::Changes(before, after);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0]->what, uint32(B_NODE_MONITOR));
    EXPECT_EQ(messages[0]->GetInt32("opcode", 0), B_DEVICE_MOUNTED);
    EXPECT_EQ(messages[0]->GetInt32("new device", 0), 4);
    EXPECT_TRUE(messages[0]->HasInt32("device"));
    EXPECT_TRUE(messages[0]->HasInt64("directory"));
    EXPECT_EQ(messages[1]->GetInt32("opcode", 0), B_DEVICE_UNMOUNTED);
    EXPECT_EQ(messages[1]->GetInt32("device", 0), 2);
    EXPECT_TRUE(MountWatcher::Changes(after, after).empty());
}

TEST(NodeMonitorTest, MountAndUnmountReachTheWatcher)
{
    auto* looper = new RecordingLooper;
    looper->Run();
    BMessenger target(looper);
    ASSERT_EQ(watch_node(nullptr, B_WATCH_MOUNT, target), B_OK);

    // Stand-ins for what the thread reads after the kernel's notices.
    MountWatcher::Update({ Volume(kFakeRoot, "/") });
    MountWatcher::Update({ Volume(kFakeRoot, "/"), Volume(kFakeStick, "/media/stick") });
    MountWatcher::Update({ Volume(kFakeRoot, "/") });

    std::vector<int32> opcodes;
    std::vector<int32> devices;
    ASSERT_TRUE(looper->WaitFor(2, &opcodes, &devices));
    EXPECT_EQ(opcodes, (std::vector<int32> { B_DEVICE_MOUNTED, B_DEVICE_UNMOUNTED }));
    EXPECT_EQ(devices, (std::vector<int32> { int32(kFakeStick), int32(kFakeStick) }));

    ASSERT_EQ(stop_watching(target), B_OK);
    MountWatcher::Update({ Volume(kFakeRoot, "/"), Volume(kFakeOther, "/media/other") });
    looper->Lock();
    looper->Quit();
}

TEST(NodeMonitorTest, WatchEndsWhenTheTargetIsGone)
{
    auto* looper = new RecordingLooper;
    looper->Run();
    BMessenger target(looper);
    ASSERT_EQ(watch_node(nullptr, B_WATCH_MOUNT, target), B_OK);
    looper->Lock();
    looper->Quit();
    MountWatcher::Update({ Volume(kFakeRoot, "/") });
    MountWatcher::Update({ Volume(kFakeRoot, "/"), Volume(kFakeOther, "/media/other") });
    // The dead target has been dropped already.
    EXPECT_EQ(MountWatcher::RemoveTarget(target), B_BAD_VALUE);
}

TEST(NodeMonitorTest, OnlyMountWatchingIsSupported)
{
    auto* looper = new RecordingLooper;
    looper->Run();
    BMessenger target(looper);
    node_ref node(1, 2);
    EXPECT_EQ(watch_node(&node, B_WATCH_STAT, target), B_UNSUPPORTED);
    EXPECT_EQ(watch_node(nullptr, B_WATCH_NAME | B_WATCH_MOUNT, target), B_UNSUPPORTED);
    EXPECT_EQ(watch_node(nullptr, B_WATCH_MOUNT, BMessenger()), B_BAD_VALUE);
    EXPECT_EQ(stop_watching(target), B_OK);
    looper->Lock();
    looper->Quit();
}

} // namespace
