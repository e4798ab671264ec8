#pragma once

// The end of the install pass: running what the configuration marks
// "auto_launch", then the completion message with the product's closing
// words, the offer to restart and the opening of the installation folder.
//
// Programs (executables, including position-independent ones) start
// detached in a session of their own, in their folder, with standard input
// from /dev/null; documents open with the desktop's default application;
// scripts run with /bin/sh (or the interpreter of their "#!" line) in their
// folder, and the pass waits for them. Everything goes through the actions
// service, so that BRENVIK_ACTIONS_LOG records it instead in tests. In the
// system scope the installer runs as root: programs and documents are then
// not started (they would run as root on a user's display); the log and the
// completion message say so. A product item is asked about ("Later"/"Run")
// when it has a reason of its own.
//
// The completion message never claims success for what failed: when
// anything failed, it lists the failures under "Installation Complete"
// instead of saying "Installation successfully completed.". A restart is
// offered only when logind allows one; otherwise the message asks the user
// to restart later.

#include <functional>
#include <string>
#include <vector>

#include <Message.h>

#include <TextIds.h>

#include "CompletionDialogs.h"

class InstallCompletion {
public:
    struct Launch {
        enum Outcome { kStarted, kRan, kDeclined, kFailed, kSkipped };
        std::string path;
        Outcome outcome = kFailed;
        // A script's exit status (-1 for anything else).
        int exitStatus = -1;
    };

    using LogSink = std::function<void(const std::string& line)>;

    // The configuration after the placing loop: each item's "file_name" is
    // where it now lies. Lines for the install log go to `log`.
    InstallCompletion(const BMessage& configuration, InstallTexts& texts,
        CompletionDialogs& dialogs, LogSink log);

    // Runs the marked items in order, and says what became of each.
    std::vector<Launch> AutoLaunch();

    // Shows the completion message, listing `problems` (lines of what went
    // wrong earlier in the pass) and the failures of AutoLaunch, then opens
    // the installation folder when the configuration asks for it. True when
    // the user chose to restart now.
    bool Complete(const std::string& installFolder, const std::vector<std::string>& problems);

    // The failures of AutoLaunch, one line each, as the message lists them.
    const std::vector<std::string>& Problems() const { return fProblems; }

    // The message of Complete, for `problems`, with the restart sentence when
    // `restart`.
    std::string Message(const std::vector<std::string>& problems, bool restart);

private:
    bool Confirm(const std::string& path, const std::string& reason);
    Launch Run(const std::string& path);
    Launch Start(const std::string& path, bool program);
    Launch RunScript(const std::string& path);
    void Fail(const std::string& path);
    void OpenFolder(const std::string& folder);

    const BMessage& fConfiguration;
    InstallTexts& fTexts;
    CompletionDialogs& fDialogs;
    LogSink fLog;
    std::vector<std::string> fProblems;
};
