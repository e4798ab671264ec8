#pragma once

// What the install pass needs from outside itself, behind small interfaces, so
// that the application can supply its own dialogs and the tests can answer
// questions, read a made-up system and fix the clock:
// - InstallDialogs: the message boxes and questions of the pass (the worker
//   thread waits for each answer);
// - SystemProbe: free space, memory, libraries and applications, as the
//   requirements check reads them;
// - the clock of the log and the record.
// The engine sits below the application: it never includes a window of its
// own; the application hands in an InstallDialogs that uses its dialogs.

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <SupportDefs.h>
#include <sys/types.h>

// The answer of the replace dialog.
struct ReplaceAnswer {
    // True for "Replace", false for "Don't Replace".
    bool replace = false;
    // "Apply to all future collisions" was on when the dialog closed.
    bool applyToAll = false;
};

class InstallDialogs {
public:
    enum alert_kind { kInfoKind, kWarningKind, kStopKind };

    virtual ~InstallDialogs();

    // An error box with one button (OK), waited for.
    virtual void Error(const std::string& text) = 0;
    // An information box with one button (OK), waited for.
    virtual void Info(const std::string& text) = 0;
    // A question with the buttons given, left to right; returns the index of
    // the button pressed. A dialog closed without a button (the program
    // quits) answers 0: the first button, which declines ("Don't Replace",
    // "Leave it", "Later").
    virtual int32 Choose(const std::string& text, const std::vector<std::string>& buttons,
        alert_kind kind = kInfoKind)
        = 0;
    // The replace dialog: the new item (about to be placed; its facts are
    // read from newItem, and newItemFolder, where it comes from, is shown as
    // its folder) against the existing one, in the language given (a code
    // such as "en").
    virtual ReplaceAnswer AskReplace(const std::string& newItem, const std::string& newItemFolder,
        const std::string& existingItem, bool offerApplyToAll, const std::string& language)
        = 0;
    // See CompletionDialogs: whether there is a desktop to start programs
    // and open folders on, and whether items marked to run are run.
    virtual bool HasDesktop() const { return true; }
    virtual bool Launches() const { return true; }
};

// Message boxes of the platform's alerts, run on the calling thread. Until the
// application hands in its own replace dialog, the question is a plain alert
// with "Don't Replace" and "Replace".
class PlatformDialogs : public InstallDialogs {
public:
    void Error(const std::string& text) override;
    void Info(const std::string& text) override;
    int32 Choose(
        const std::string& text, const std::vector<std::string>& buttons, alert_kind kind) override;
    ReplaceAnswer AskReplace(const std::string& newItem, const std::string& newItemFolder,
        const std::string& existingItem, bool offerApplyToAll,
        const std::string& language) override;
};

// Message boxes for a program without windows: each text goes to standard
// output, and each question takes its last button (for the requirements,
// "Continue" where the user may go on) without waiting. The replace question
// keeps the existing item.
class ConsoleDialogs : public InstallDialogs {
public:
    void Error(const std::string& text) override;
    void Info(const std::string& text) override;
    int32 Choose(
        const std::string& text, const std::vector<std::string>& buttons, alert_kind kind) override;
    ReplaceAnswer AskReplace(const std::string& newItem, const std::string& newItemFolder,
        const std::string& existingItem, bool offerApplyToAll,
        const std::string& language) override;
};

class SystemProbe {
public:
    struct Space {
        // The file system that holds the path (or the nearest folder above it
        // that exists).
        dev_t device = 0;
        // What an ordinary user may still write there.
        uint64 freeBytes = 0;
        std::string volumeName;
    };

    virtual ~SystemProbe();

    virtual status_t FreeSpace(const std::string& path, Space* space) = 0;
    // Physical memory in bytes.
    virtual uint64 PhysicalMemory() = 0;
    // Where the dynamic loader would find the library; `how` in words.
    virtual bool FindLibrary(const std::string& name, std::string* path, std::string* how) = 0;
    // Whether an application with this signature is installed.
    virtual bool FindApplication(const std::string& signature) = 0;
    // The machine in one line, for the log ("AT Clone (2-...) 4096MB RAM").
    virtual std::string Description() = 0;
};

// The machine itself: statvfs through the volume of the path, the system
// information, the loader's search rules and the roster.
class MachineProbe : public SystemProbe {
public:
    MachineProbe();
    ~MachineProbe() override;

    status_t FreeSpace(const std::string& path, Space* space) override;
    uint64 PhysicalMemory() override;
    bool FindLibrary(const std::string& name, std::string* path, std::string* how) override;
    bool FindApplication(const std::string& signature) override;
    std::string Description() override;

private:
    struct Libraries;
    std::unique_ptr<Libraries> fLibraries;
};

// Seconds since 1970 (UTC); the log writes them as local date and time.
typedef std::function<time_t()> InstallClock;
