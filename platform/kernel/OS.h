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

// System information. get_system_info fills the structure from Linux
// (/proc/meminfo, /proc/cpuinfo, /proc/stat, sysfs and uname); pages are
// B_PAGE_SIZE (4096) bytes whatever the machine's own page size, and clock
// speeds are in Hz (0 when unknown, as the bus clock always is on Linux).

#define B_MAX_CPU_COUNT 64

typedef enum cpu_types {
    B_CPU_UNKNOWN = 0,
    B_CPU_PPC_601 = 1,
    B_CPU_PPC_603 = 2,
    B_CPU_PPC_603e = 3,
    B_CPU_PPC_604 = 4,
    B_CPU_PPC_604e = 5,
    B_CPU_PPC_686 = 13,
    B_CPU_AMD_29K = 14,
    B_CPU_X86 = 15,
    B_CPU_MC6502 = 16,
    B_CPU_Z80 = 17,
    B_CPU_ALPHA = 18,
    B_CPU_MIPS = 19,
    B_CPU_HPPA = 20,
    B_CPU_M68K = 21,
    B_CPU_ARM = 22,
    B_CPU_SH = 23,
    B_CPU_SPARC = 24,

    // x86 processors: vendor base + (family << 4) + model.
    B_CPU_INTEL_X86 = 0x1000,
    B_CPU_INTEL_PENTIUM = 0x1051,
    B_CPU_INTEL_PENTIUM75 = 0x1052,
    B_CPU_INTEL_PENTIUM_486_OVERDRIVE = 0x1053,
    B_CPU_INTEL_PENTIUM_MMX = 0x1054,
    B_CPU_INTEL_PENTIUM_MMX_MODEL_8 = 0x1058,
    B_CPU_INTEL_PENTIUM75_486_OVERDRIVE = 0x1059,
    B_CPU_INTEL_PENTIUM_PRO = 0x1061,
    B_CPU_INTEL_PENTIUM_II = 0x1063,
    B_CPU_INTEL_PENTIUM_II_MODEL_5 = 0x1065,
    B_CPU_INTEL_CELERON = 0x1066,
    B_CPU_INTEL_PENTIUM_III = 0x1067,
    B_CPU_AMD_X86 = 0x1100,
    B_CPU_AMD_K5_MODEL0 = 0x1150,
    B_CPU_AMD_K5_MODEL1 = 0x1151,
    B_CPU_AMD_K5_MODEL2 = 0x1152,
    B_CPU_AMD_K5_MODEL3 = 0x1153,
    B_CPU_AMD_K6_MODEL6 = 0x1156,
    B_CPU_AMD_K6_MODEL7 = 0x1157,
    B_CPU_AMD_K6_MODEL8 = 0x1158,
    B_CPU_AMD_K6_MODEL9 = 0x1159,
    B_CPU_CYRIX_X86 = 0x1200,
    B_CPU_CYRIX_GXm = 0x1254,
    B_CPU_CYRIX_6x86MX = 0x1260,
    B_CPU_IDT_X86 = 0x1300,
    B_CPU_IDT_WINCHIP_C6 = 0x1354,
    B_CPU_IDT_WINCHIP_2 = 0x1358,
    B_CPU_RISE_X86 = 0x1400,
    B_CPU_RISE_mP6 = 0x1450,
    B_CPU_X86_VENDOR_MASK = 0x1F00
} cpu_type;

typedef enum platform_types {
    B_BEBOX_PLATFORM = 0,
    B_MAC_PLATFORM,
    B_AT_CLONE_PLATFORM,
    B_ENIAC_PLATFORM,
    B_APPLE_II_PLATFORM,
    B_CRAY_PLATFORM,
    B_LISA_PLATFORM,
    B_TI_994A_PLATFORM,
    B_TIMEX_SINCLAIR_PLATFORM,
    B_ORAC_1_PLATFORM,
    B_HAL_PLATFORM,
    B_BESM_6_PLATFORM,
    B_MK_61_PLATFORM,
    B_NINTENDO_64_PLATFORM
} platform_type;

typedef struct {
    bigtime_t active_time; // microseconds the processor has been busy since boot
} cpu_info;

typedef int32 machine_id[2];

typedef struct {
    machine_id id;
    bigtime_t boot_time; // microseconds since 1970-01-01
    int32 cpu_count;
    enum cpu_types cpu_type;
    int32 cpu_revision;
    cpu_info cpu_infos[B_MAX_CPU_COUNT];
    int64 cpu_clock_speed;
    int64 bus_clock_speed;
    enum platform_types platform_type;
    int32 max_pages;
    int32 used_pages;
    int32 page_faults;
    int32 max_sems;
    int32 used_sems;
    int32 max_ports;
    int32 used_ports;
    int32 max_threads;
    int32 used_threads;
    int32 max_teams;
    int32 used_teams;
    char kernel_name[256];
    char kernel_build_date[B_OS_NAME_LENGTH];
    char kernel_build_time[B_OS_NAME_LENGTH];
    int64 kernel_version;
} system_info;

status_t get_system_info(system_info* info);
