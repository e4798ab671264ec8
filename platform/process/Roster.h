#pragma once

// The roster: finding and launching applications by signature. It needs the
// MIME database and the actions service, so it lives here, above the storage
// kit; app_info (AppInfo.h), which the application kit fills for the running
// program, comes with it as on BeOS.

#include <AppInfo.h>
#include <EntryRef.h>
#include <Message.h>
#include <OS.h>

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
