#pragma once

// app_info and the roster. The application kit fills app_info for the
// running program; BRoster (finding and launching applications by
// signature) needs the MIME database and the actions service, so it is
// implemented in platform/process, above the storage kit.

#include <EntryRef.h>
#include <Message.h>
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

class BRoster {
public:
    BRoster();
    ~BRoster();

    // Whether an application with this signature is known to the system
    // (installed, not necessarily running); fills app with its executable.
    status_t FindApp(const char* signature, entry_ref* app) const;
    // The preferred application of a file's type.
    status_t FindApp(entry_ref* ref, entry_ref* app) const;
    bool IsRunning(const char* signature) const;
    status_t GetAppInfo(const char* signature, app_info* info) const;
    status_t GetRunningAppInfo(team_id team, app_info* info) const;

    // Starts the program (or opens the document with its preferred
    // application) named by ref; returns at once.
    status_t Launch(const entry_ref* ref, const BMessage* initialMessage = nullptr,
        team_id* appTeam = nullptr) const;
    status_t Launch(
        const char* mimeType, BMessage* initialMessage = nullptr, team_id* appTeam = nullptr) const;
};

extern const BRoster* be_roster;
