#pragma once

// The lock around changes that two installers (or an installer and a
// de-installer) must not make at the same time: edits of the shared start-up
// scripts and writes of install records. Two runs appending to ~/.profile at
// once would otherwise lose one of the edits.
//
// It is flock(2) on the file "lock" in Brenvik's state folder,
// $XDG_DATA_HOME/brenvik in the user scope and /var/lib/brenvik (below
// BRENVIK_ROOT) in the system scope. Within one process the lock is counted,
// so code that already holds it can call code that takes it again; the
// threads of one process take turns.

#include <string>

#include <OS.h>
#include <SupportDefs.h>

class InstallLock {
public:
    static constexpr bigtime_t kDefaultTimeout = 30000000;

    // Waits up to `timeout` microseconds for the lock; InitCheck says
    // whether it was taken (B_TIMED_OUT when another process held it all
    // that time).
    explicit InstallLock(bigtime_t timeout = kDefaultTimeout);
    ~InstallLock();

    InstallLock(const InstallLock&) = delete;
    InstallLock& operator=(const InstallLock&) = delete;

    status_t InitCheck() const { return fStatus; }

    // The state folder of the current scope, and the lock file in it.
    static std::string StateFolder();
    static std::string LockPath();

private:
    status_t fStatus;
};
