#pragma once

// LibTipManager: shows the application's tool tips. Views never show tips
// themselves: they post a tip request (kMsgTipRequest) to the application,
// which hands it to its manager's MessageReceived, and calls PostPending()
// on every pulse. The manager owns the one tip window and times the tips
// with the application's pulse (the start delay) and the tip window's pulse
// (the end delay).
//
// A request carries "show" (bool; false or absent hides the tip), "tip" (the
// text), "loc" (the tip window's top left corner, screen coordinates),
// "width" (int32; 0 or less: one line as wide as the text, else the text
// wrapped to that width), "sdelay" and "edelay" (int16 seconds before the
// tip shows and that it stays; 1 and 4 when absent; an end delay of 0 keeps
// the tip until a request hides it). A new request replaces the text, size,
// place and timing of the tip. A request to show a tip without "tip" or
// "loc" is ignored.

#include <Messenger.h>

#include "LibTipWin.h"

class BMessage;

class LibTipManager {
public:
    static constexpr uint32 kMsgTipRequest = 'stip';

    // The clock times the delays; tests give their own.
    explicit LibTipManager(LibTipClock clock = system_time);
    virtual ~LibTipManager();

    LibTipManager(const LibTipManager&) = delete;
    LibTipManager& operator=(const LibTipManager&) = delete;

    // Handles a tip request, on the application's thread.
    virtual void MessageReceived(BMessage* message);
    // Shows a tip whose start delay has passed; called on every pulse of the
    // application.
    void PostPending();

    // Whether requests are honoured at all.
    void ToggleTips();
    void SetShowTips(const bool& show);
    bool ShowTips() const { return fShowTips; }

    // The tip window, once a request has made it (null before).
    LibTipWin* TipWindow() const { return fTipWin; }
    bool IsPending() const { return fPending; }

private:
    // Locks the tip window, making it first if there is none (or it has
    // been quit with the application's other windows).
    bool LockTipWindow();
    void ShowTip(BMessage* message);
    void PopTip();

    LibTipClock fClock;
    LibTipWin* fTipWin = nullptr;
    BMessenger fTipMessenger;
    bool fShowTips = true;
    int32 fStartDelay = 1;
    int32 fEndDelay = 4;
    bool fPending = false;
    bigtime_t fShowTime = 0;
};
