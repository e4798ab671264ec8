#include "MountWatcher.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <AppDefs.h>
#include <BlockingPoint.h>
#include <Descriptor.h>
#include <NodeMonitor.h>

#include "MountTable.h"
#include "PathHelpers.h"

namespace BPrivate {

namespace {

struct WatcherState {
    std::mutex lock;
    std::vector<BMessenger> targets;
    std::vector<VolumeRecord> volumes;
    thread_id thread = -1;
};

WatcherState& State()
{
    // Never destroyed: the thread may still run while the program exits.
    static WatcherState* state = new WatcherState;
    return *state;
}

std::vector<VolumeRecord> ReadVolumes()
{
    std::vector<VolumeRecord> volumes;
    VolumeTable::Current(&volumes);
    return volumes;
}

std::unique_ptr<BMessage> MountedMessage(const VolumeRecord& volume)
{
    auto message = std::make_unique<BMessage>(B_NODE_MONITOR);
    message->AddInt32("opcode", B_DEVICE_MOUNTED);
    message->AddInt32("new device", int32(volume.device));
    // Where it was mounted: the folder above the mount point, on its volume.
    std::string folder;
    std::string leaf;
    SplitPath(volume.mountPoint, &folder, &leaf);
    struct stat info;
    bool known = !folder.empty() && stat(folder.c_str(), &info) == 0;
    message->AddInt32("device", known ? int32(info.st_dev) : -1);
    message->AddInt64("directory", known ? int64(info.st_ino) : -1);
    return message;
}

void Send(std::vector<std::unique_ptr<BMessage>> messages)
{
    if (messages.empty())
        return;
    std::vector<BMessenger> targets;
    {
        std::lock_guard guard(State().lock);
        targets = State().targets;
    }
    std::vector<BMessenger> gone;
    for (const BMessenger& target : targets) {
        for (const std::unique_ptr<BMessage>& message : messages) {
            // A target whose looper has gone without stop_watching() is
            // dropped, as the watch ends with its target on BeOS.
            if (target.SendMessage(message.get(), (BHandler*)nullptr, 1000000) == B_BAD_PORT_ID) {
                gone.push_back(target);
                break;
            }
        }
    }
    std::lock_guard guard(State().lock);
    for (const BMessenger& target : gone) {
        auto found = std::find(State().targets.begin(), State().targets.end(), target);
        if (found != State().targets.end())
            State().targets.erase(found);
    }
}

// Whether the watcher thread should end because nobody watches any more.
bool NobodyWatches()
{
    WatcherState& state = State();
    std::lock_guard guard(state.lock);
    if (!state.targets.empty() || state.thread != find_thread(nullptr))
        return false;
    state.thread = -1;
    return true;
}

status_t WatchThread(void*)
{
    // The descriptor is closed however the thread ends (it is killed to
    // stop it).
    Descriptor file(open(MountTable::kPath, O_RDONLY | O_CLOEXEC));
    if (!file.IsValid())
        return StatusFromErrno(errno);
    int fd = file.Get();
    for (;;) {
        status_t status = WaitForDescriptor(fd, POLLPRI, B_INFINITE_TIMEOUT);
        if (status != B_OK)
            return status;
        // The notice stays raised until the file is read again.
        char buffer[4096];
        lseek(fd, 0, SEEK_SET);
        while (read(fd, buffer, sizeof(buffer)) > 0) { }
        MountWatcher::Update(ReadVolumes());
        if (NobodyWatches())
            return B_OK;
    }
}

} // namespace

std::vector<std::unique_ptr<BMessage>> MountWatcher::Changes(
    const std::vector<VolumeRecord>& before, const std::vector<VolumeRecord>& after)
{
    std::map<dev_t, const VolumeRecord*> old;
    std::map<dev_t, const VolumeRecord*> now;
    for (const VolumeRecord& volume : before) {
        if (volume.listed)
            old[volume.device] = &volume;
    }
    for (const VolumeRecord& volume : after) {
        if (volume.listed)
            now[volume.device] = &volume;
    }
    std::vector<std::unique_ptr<BMessage>> messages;
    for (const VolumeRecord& volume : after) {
        if (volume.listed && old.count(volume.device) == 0)
            messages.push_back(MountedMessage(volume));
    }
    for (const VolumeRecord& volume : before) {
        if (volume.listed && now.count(volume.device) == 0) {
            auto message = std::make_unique<BMessage>(B_NODE_MONITOR);
            message->AddInt32("opcode", B_DEVICE_UNMOUNTED);
            message->AddInt32("device", int32(volume.device));
            messages.push_back(std::move(message));
        }
    }
    return messages;
}

void MountWatcher::Update(const std::vector<VolumeRecord>& volumes)
{
    std::vector<VolumeRecord> before;
    {
        std::lock_guard guard(State().lock);
        before = State().volumes;
        State().volumes = volumes;
    }
    Send(Changes(before, volumes));
}

status_t MountWatcher::AddTarget(const BMessenger& target)
{
    if (!target.IsValid())
        return B_BAD_VALUE;
    WatcherState& state = State();
    std::lock_guard guard(state.lock);
    if (std::find(state.targets.begin(), state.targets.end(), target) == state.targets.end())
        state.targets.push_back(target);
    if (state.thread >= 0)
        return B_OK;
    state.volumes = ReadVolumes();
    thread_id thread = spawn_thread(WatchThread, "mount watcher", B_LOW_PRIORITY, nullptr);
    if (thread < 0)
        return thread;
    state.thread = thread;
    return resume_thread(thread);
}

status_t MountWatcher::RemoveTarget(const BMessenger& target)
{
    WatcherState& state = State();
    thread_id thread = -1;
    {
        std::lock_guard guard(state.lock);
        auto found = std::find(state.targets.begin(), state.targets.end(), target);
        if (found == state.targets.end())
            return B_BAD_VALUE;
        state.targets.erase(found);
        if (state.targets.empty()) {
            thread = state.thread;
            state.thread = -1;
        }
    }
    if (thread >= 0) {
        kill_thread(thread);
        wait_for_thread(thread, nullptr);
    }
    return B_OK;
}

} // namespace BPrivate
