#pragma once

// app_info: what the application kit knows of a running program (its
// thread, team, port, flags, executable and signature), and the application
// flags. On BeOS these come with Roster.h, which includes this header; the
// roster itself is implemented above the storage kit, in platform/process.

#include <EntryRef.h>
#include <OS.h>

struct app_info {
    app_info();

    thread_id thread;
    team_id team;
    port_id port;
    uint32 flags;
    entry_ref ref;
    char signature[B_MIME_TYPE_LENGTH];
};

// Application flags (also the 'APPF' resource).
#define B_SINGLE_LAUNCH (0x0)
#define B_MULTIPLE_LAUNCH (0x1)
#define B_EXCLUSIVE_LAUNCH (0x2)
#define B_LAUNCH_MASK (0x3)
#define B_BACKGROUND_APP (0x4)
#define B_ARGV_ONLY (0x8)
