#include "LibTeam.h"

#include <functional>

namespace {

// Calls `visit` once for each thread of the team, at most as many times as
// the team had threads when the walk began.
status_t ForEachThread(const team_id& team, const std::function<void(const thread_info&)>& visit)
{
    team_info teamInfo;
    status_t status = get_team_info(team, &teamInfo);
    if (status != B_OK)
        return status;
    int32 cookie = 0;
    thread_info info;
    for (int32 i = 0; i < teamInfo.thread_count; i++) {
        if (get_next_thread_info(team, &cookie, &info) != B_OK)
            break;
        visit(info);
    }
    return B_OK;
}

} // namespace

status_t lib_suspend_team(const team_id& team)
{
    thread_id self = find_thread(nullptr);
    return ForEachThread(team, [self](const thread_info& info) {
        if (info.thread == self)
            return;
        switch (info.state) {
        case B_THREAD_RUNNING:
        case B_THREAD_READY:
        case B_THREAD_ASLEEP:
        case B_THREAD_WAITING:
            suspend_thread(info.thread);
            break;
        default:
            break;
        }
    });
}

status_t lib_resume_team(const team_id& team)
{
    return ForEachThread(team, [](const thread_info& info) {
        if (info.state == B_THREAD_SUSPENDED)
            resume_thread(info.thread);
    });
}

long double lib_team_cpu_time(const team_id& team)
{
    long double seconds = 0;
    ForEachThread(team, [&seconds](const thread_info& info) {
        seconds += (long double)info.user_time / 1000000.0L;
    });
    return seconds;
}
