// Thread and team information, read from our own records and from Linux.

#include <OS.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "ThreadRecord.h"

namespace {

bigtime_t CpuTime(const BPrivate::ThreadRecord& record)
{
    clockid_t clock;
    if (!record.hasHandle || pthread_getcpuclockid(record.handle, &clock) != 0)
        return 0;
    timespec now {};
    if (clock_gettime(clock, &now) != 0)
        return 0;
    return bigtime_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void FillInfo(BPrivate::ThreadRecord& record, thread_info* info)
{
    std::memset(info, 0, sizeof(*info));
    info->thread = record.id;
    info->team = getpid();
    std::string name = record.Name();
    std::strncpy(info->name, name.c_str(), B_OS_NAME_LENGTH - 1);
    info->state = record.state.load();
    info->priority = record.priority.load();
    info->sem = -1;
    // Linux accounts user and system time of a thread together.
    info->user_time = CpuTime(record);
    info->kernel_time = 0;
}

int32 CountTasks()
{
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr)
        return 1;
    int32 count = 0;
    while (dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] != '.')
            count++;
    }
    closedir(tasks);
    return count;
}

} // namespace

status_t get_thread_info(thread_id thread, thread_info* info)
{
    if (info == nullptr)
        return B_BAD_VALUE;
    auto record = BPrivate::FindThreadRecord(thread);
    if (!record)
        return B_BAD_THREAD_ID;
    std::lock_guard guard(record->lock);
    if (record->exited)
        return B_BAD_THREAD_ID;
    // The record's lock is not recursive: fill without Name()'s locking.
    std::memset(info, 0, sizeof(*info));
    info->thread = record->id;
    info->team = getpid();
    std::strncpy(info->name, record->name.c_str(), B_OS_NAME_LENGTH - 1);
    info->state = record->state.load();
    info->priority = record->priority.load();
    info->sem = -1;
    info->user_time = CpuTime(*record);
    return B_OK;
}

status_t get_next_thread_info(team_id team, int32* cookie, thread_info* info)
{
    if (cookie == nullptr || info == nullptr)
        return B_BAD_VALUE;
    if (team != B_CURRENT_TEAM && team != getpid())
        return B_BAD_TEAM_ID;
    // The cookie is the last id returned; ids only grow, so the next live
    // thread is the one with the smallest larger id.
    BPrivate::CurrentThreadRecord();
    for (auto& record : BPrivate::AllThreadRecords()) {
        if (record->id <= *cookie)
            continue;
        {
            std::lock_guard guard(record->lock);
            if (record->exited)
                continue;
        }
        FillInfo(*record, info);
        *cookie = record->id;
        return B_OK;
    }
    return B_BAD_VALUE;
}

status_t get_team_info(team_id team, team_info* info)
{
    if (info == nullptr)
        return B_BAD_VALUE;
    if (team != B_CURRENT_TEAM && team != getpid())
        return B_BAD_TEAM_ID;
    std::memset(info, 0, sizeof(*info));
    info->team = getpid();
    info->thread_count = CountTasks();
    info->image_count = 1;
    info->debugger_nub_thread = -1;
    info->debugger_nub_port = -1;
    info->uid = getuid();
    info->gid = getgid();

    int fd = open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char buffer[sizeof(info->args)];
        ssize_t length = read(fd, buffer, sizeof(buffer) - 1);
        close(fd);
        if (length > 0) {
            for (ssize_t i = 0; i < length; i++) {
                if (buffer[i] == '\0') {
                    info->argc++;
                    buffer[i] = i + 1 < length ? ' ' : '\0';
                }
            }
            buffer[length] = '\0';
            std::memcpy(info->args, buffer, size_t(length) + 1);
        }
    }
    return B_OK;
}
