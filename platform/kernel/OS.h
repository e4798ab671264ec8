#pragma once

// Threads, semaphores and team information of the BeOS kernel kit, on POSIX
// threads.
//
// What kill_thread guarantees here: POSIX threads cannot be stopped from
// outside at an arbitrary instruction, so a killed thread stops at the next
// blocking point of our own layer (locks, semaphores, message queues,
// snooze, wait_for_thread, alerts, child processes run by the storage kit) or
// at an explicit check (BPrivate::thread_checkpoint() in long loops). A
// thread blocked at such a point when it is killed wakes at once. It then
// unwinds its stack: every destructor runs, so memory owned by RAII holders is
// freed and every std::mutex or BAutolock scope is left. Any BLocker that the
// thread still holds when it ends (killed or not) is released for it. A
// thread that computes without reaching a blocking point or a check is
// stopped only when it reaches one. suspend_thread takes effect at the same
// points.

#include <SupportDefs.h>

typedef int32 thread_id;
typedef int32 team_id;
typedef int32 sem_id;
typedef int32 port_id;
typedef int32 area_id;

typedef status_t (*thread_func)(void*);

#define B_OS_NAME_LENGTH 32
#define B_PAGE_SIZE 4096
#define B_INFINITE_TIMEOUT (9223372036854775807LL)

#define B_CURRENT_TEAM 0
#define B_SYSTEM_TEAM 1

enum {
    B_IDLE_PRIORITY = 0,
    B_LOWEST_ACTIVE_PRIORITY = 1,
    B_LOW_PRIORITY = 5,
    B_NORMAL_PRIORITY = 10,
    B_DISPLAY_PRIORITY = 15,
    B_URGENT_DISPLAY_PRIORITY = 20,
    B_REAL_TIME_DISPLAY_PRIORITY = 100,
    B_URGENT_PRIORITY = 110,
    B_REAL_TIME_PRIORITY = 120
};

typedef enum {
    B_THREAD_RUNNING = 1,
    B_THREAD_READY,
    B_THREAD_RECEIVING,
    B_THREAD_ASLEEP,
    B_THREAD_SUSPENDED,
    B_THREAD_WAITING
} thread_state;

typedef struct {
    thread_id thread;
    team_id team;
    char name[B_OS_NAME_LENGTH];
    thread_state state;
    int32 priority;
    sem_id sem;
    bigtime_t user_time;
    bigtime_t kernel_time;
    void* stack_base;
    void* stack_end;
} thread_info;

typedef struct {
    team_id team;
    int32 thread_count;
    int32 image_count;
    int32 area_count;
    thread_id debugger_nub_thread;
    port_id debugger_nub_port;
    int32 argc;
    char args[64];
    uid_t uid;
    gid_t gid;
} team_info;

// Flags of acquire_sem_etc.
enum {
    B_CAN_INTERRUPT = 0x01,
    B_CHECK_PERMISSION = 0x04,
    B_TIMEOUT = 0x08,
    B_RELATIVE_TIMEOUT = 0x08,
    B_ABSOLUTE_TIMEOUT = 0x10,
    B_DO_NOT_RESCHEDULE = 0x02
};

// Threads. spawn_thread creates the thread suspended; resume_thread starts it.
thread_id spawn_thread(thread_func function, const char* name, int32 priority, void* data);
status_t resume_thread(thread_id thread);
status_t suspend_thread(thread_id thread);
status_t kill_thread(thread_id thread);
status_t wait_for_thread(thread_id thread, status_t* exitValue);
status_t rename_thread(thread_id thread, const char* newName);
status_t set_thread_priority(thread_id thread, int32 newPriority);
[[noreturn]] void exit_thread(status_t status);
thread_id find_thread(const char* name);
status_t get_thread_info(thread_id thread, thread_info* info);
status_t get_next_thread_info(team_id team, int32* cookie, thread_info* info);

// Teams: this process is the only team.
status_t get_team_info(team_id team, team_info* info);

// Semaphores.
sem_id create_sem(int32 count, const char* name);
status_t delete_sem(sem_id sem);
status_t acquire_sem(sem_id sem);
status_t acquire_sem_etc(sem_id sem, int32 count, uint32 flags, bigtime_t timeout);
status_t release_sem(sem_id sem);
status_t release_sem_etc(sem_id sem, int32 count, uint32 flags);
status_t get_sem_count(sem_id sem, int32* threadCount);

// Time, in microseconds.
bigtime_t system_time();
status_t snooze(bigtime_t microseconds);
status_t snooze_until(bigtime_t time, int timeBase);

#define B_SYSTEM_TIMEBASE 0
