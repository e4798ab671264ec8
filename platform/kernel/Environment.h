#pragma once

// Reading the environment: every variable that the programs (the installer,
// the de-installer and the libraries beneath them) read goes through
// Environment::Get, so that one rule decides which values are believed.
//
// - A process whose real and effective user or group ids differ (a set-id
//   program), or that the kernel marks for secure execution
//   (getauxval(AT_SECURE)), ignores the variables that steer where it reads
//   and writes: every BRENVIK_* and XDG_* variable, HOME, TMPDIR and
//   ZDOTDIR. Its folders then come from the password database entry of the
//   effective user (StorageScope::Home), its temporary folder is /tmp, its
//   scope follows the effective user. Nor does it believe PATH: the
//   programs it runs are looked for along a fixed list of the system's
//   folders (SearchPath), and the programs it starts get that list as PATH.
// - A process of root that sudo started (SUDO_UID is set) ignores
//   BRENVIK_UI_SCRIPT and BRENVIK_ACTIONS_LOG: `sudo -E` must not let its
//   caller click through a root installation's window, nor have its actions
//   written to a file instead of done.
//
// Every other variable (DISPLAY, LANG, ...) is read as it is.

#include <sys/types.h>

namespace BPrivate {

class Environment {
public:
    // What the rule looks at.
    struct Process {
        uid_t realUid = 0;
        uid_t effectiveUid = 0;
        gid_t realGid = 0;
        gid_t effectiveGid = 0;
        // getauxval(AT_SECURE): the kernel ran the program set-id or with
        // new capabilities, or a security module asked for it.
        bool secureExecution = false;
        // SUDO_UID is set.
        bool startedBySudo = false;
    };

    // The running process.
    static Process Current();

    // Whether the process ignores the variables that steer its folders.
    static bool IsSecure(const Process& process);

    // Whether such a process believes the variable `name`.
    static bool Trusts(const char* name, const Process& process);

    // The variable's value when it is set and believed, else nullptr.
    static const char* Get(const char* name);

    // The folders programs are looked for in: PATH when it is set and
    // believed, otherwise the system's own folders (kSystemSearchPath).
    static const char* SearchPath();
    static constexpr const char* kSystemSearchPath
        = "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin";
};

} // namespace BPrivate
