#pragma once

// The de-installer's window. It shows the product and what the removal is
// going to do (what goes, what comes back), with Remove and Cancel; then the
// removal's progress, which runs on a thread of its own; then its report:
// what was kept or could not be removed, and where the removal log is.

#include <atomic>
#include <string>
#include <thread>

#include <Window.h>

#include <InstallRemoval.h>

#include "KolvastTarget.h"
#include "KolvastTexts.h"

class BButton;
class BCheckBox;
class BListView;
class BStringView;
class KolvastProgressView;

class KolvastWindow : public BWindow {
public:
    static constexpr uint32 kMsgRemove = 'KVrm';
    static constexpr uint32 kMsgProgress = 'KVpg';
    static constexpr uint32 kMsgFinished = 'KVfn';

    // `removal` has been set to the target's record (or failed to be:
    // the window then says there is nothing to remove).
    KolvastWindow(const KolvastTarget& target, const KolvastTexts& texts, bool recordRead);
    ~KolvastWindow() override;

    void MessageReceived(BMessage* message) override;
    bool QuitRequested() override;

    // The program's exit status once the window has gone: as the
    // unattended de-installer's.
    static int ExitStatus() { return sExitStatus.load(); }

private:
    void ShowPlan();
    void StartRemoval();
    void ShowReport();
    void AddLine(const char* word, const std::string& path);
    std::string Shown(const std::string& path) const;

    const KolvastTexts& fTexts;
    std::string fRecordPath;
    bool fRecordRead;
    InstallRemoval fRemoval;
    std::thread fWorker;
    std::atomic<bool> fRunning;
    bool fFinished;
    BStringView* fHeading;
    BListView* fList;
    KolvastProgressView* fProgress;
    BButton* fCancel;
    BButton* fRemove;
    // Shown when the installation moved an earlier one to the trash.
    BCheckBox* fPutBackEarlier = nullptr;

    static std::atomic<int> sExitStatus;
};
