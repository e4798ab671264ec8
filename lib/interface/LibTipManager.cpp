#include "LibTipManager.h"

#include <Application.h>
#include <Message.h>

namespace {

constexpr bigtime_t kSecond = 1000000;

void SetApplicationPulse(bigtime_t rate)
{
    if (be_app != nullptr)
        be_app->SetPulseRate(rate);
}

} // namespace

LibTipManager::LibTipManager(LibTipClock clock)
    : fClock(std::move(clock))
{
}

LibTipManager::~LibTipManager()
{
    // The window may have gone already, with the application's others.
    if (fTipWin != nullptr && fTipMessenger.LockTarget())
        fTipWin->Quit();
}

bool LibTipManager::LockTipWindow()
{
    if (fTipWin != nullptr && fTipMessenger.LockTarget())
        return true;
    fTipWin = new LibTipWin(fClock);
    fTipMessenger = BMessenger(fTipWin);
    fTipWin->Run();
    return fTipWin->Lock();
}

void LibTipManager::MessageReceived(BMessage* message)
{
    if (!fShowTips || message == nullptr)
        return;
    if (!message->GetBool("show", false)) {
        if (LockTipWindow()) {
            if (!fTipWin->IsHidden())
                fTipWin->Hide();
            fTipWin->Unlock();
        }
        fPending = false;
        SetApplicationPulse(0);
        return;
    }
    ShowTip(message);
}

void LibTipManager::ShowTip(BMessage* message)
{
    const char* text = nullptr;
    BPoint where;
    // A request to show a tip without its text or its place is not one.
    if (message->FindString("tip", &text) != B_OK || message->FindPoint("loc", &where) != B_OK)
        return;
    int32 width = message->GetInt32("width", 0);
    if (!LockTipWindow())
        return;
    fTipWin->SetText(text, width);
    fTipWin->PopTo(where, 4);
    fTipWin->Unlock();

    int16 startDelay = 1;
    int16 endDelay = 4;
    message->FindInt16("sdelay", &startDelay);
    message->FindInt16("edelay", &endDelay);
    // A negative delay counts as none.
    fStartDelay = startDelay < 0 ? 0 : startDelay;
    fEndDelay = endDelay < 0 ? 0 : endDelay;
    fPending = true;
    fShowTime = fClock() + fStartDelay * kSecond;
    SetApplicationPulse(fStartDelay * kSecond);
    if (fStartDelay == 0)
        PopTip();
}

void LibTipManager::PostPending()
{
    if (fPending && fClock() >= fShowTime)
        PopTip();
}

void LibTipManager::PopTip()
{
    fPending = false;
    if (!LockTipWindow())
        return;
    fTipWin->Pop();
    fTipWin->SetHideTime(fClock() + fEndDelay * kSecond);
    fTipWin->SetPulseRate(fEndDelay * kSecond);
    fTipWin->Unlock();
}

void LibTipManager::ToggleTips()
{
    fShowTips = !fShowTips;
}

void LibTipManager::SetShowTips(const bool& show)
{
    fShowTips = show;
}
