#include "LibTipManager.h"
#include "LibTipString.h"
#include "LibTipWin.h"

#include "LibInterfaceTestSupport.h"

#include <Application.h>
#include <Message.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>

using namespace brenvik::test;

namespace {

constexpr bigtime_t kSecond = 1000000;
constexpr uint32 kMsgPulse = 'tpul';
constexpr uint32 kMsgToggle = 'ttgl';

// A tip manager held by a running application, as the installer holds one:
// requests reach it through the application, and its clock is the test's.
// The application's pulses are messages that the test sends when it has set
// the clock (the real pulses, at the rate the manager sets, would come at
// real times).
class LibTipManagerTest : public testing::Test {
protected:
    LibTipManagerTest()
        : fManager([this] { return fNow.load(); })
    {
        fApplication.OnMessage(LibTipManager::kMsgTipRequest,
            [this](BMessage* message) { fManager.MessageReceived(message); });
        fApplication.OnMessage(kMsgPulse, [this](BMessage*) { fManager.PostPending(); });
        fApplication.OnMessage(kMsgToggle, [this](BMessage*) { fManager.ToggleTips(); });
    }

    ~LibTipManagerTest() override
    {
        // The manager goes first, on the test's thread, while the
        // application still runs.
        fApplication.OnMessage(LibTipManager::kMsgTipRequest, nullptr);
        fApplication.OnMessage(kMsgPulse, nullptr);
        fApplication.OnMessage(kMsgToggle, nullptr);
    }

    // Sends the message to the application and waits until it is handled.
    void Send(BMessage message)
    {
        BMessage reply;
        ASSERT_EQ(fApplication.Messenger().SendMessage(&message, &reply), B_OK);
    }

    BMessage ShowRequest(const char* text, BPoint where = BPoint(200, 150))
    {
        BMessage request(LibTipManager::kMsgTipRequest);
        request.AddBool("show", true);
        request.AddString("tip", text);
        request.AddPoint("loc", where);
        return request;
    }

    // The application's pulse, at a time of the test's clock.
    void PulseAt(bigtime_t when)
    {
        fNow = when;
        Send(BMessage(kMsgPulse));
    }

    // The tip window's pulse, at a time of the test's clock.
    void TipPulseAt(bigtime_t when)
    {
        fNow = when;
        LibTipWin* window = fManager.TipWindow();
        ASSERT_NE(window, nullptr);
        WithLock(window, [&] { window->TextView()->Pulse(); });
    }

    bool TipShown()
    {
        LibTipWin* window = fManager.TipWindow();
        if (window == nullptr)
            return false;
        bool shown = false;
        WithLock(window, [&] { shown = !window->IsHidden(); });
        return shown;
    }

    bigtime_t TipPulseRate()
    {
        bigtime_t rate = -1;
        WithLock(fManager.TipWindow(), [&] { rate = fManager.TipWindow()->PulseRate(); });
        return rate;
    }

    bigtime_t ApplicationPulseRate() { return fApplication.Get()->PulseRate(); }

    RunningApplication fApplication;
    std::atomic<bigtime_t> fNow { 0 };
    LibTipManager fManager;
};

} // namespace

TEST_F(LibTipManagerTest, AppearsAfterItsDelayAndGoesAfterItsEndDelay)
{
    Send(ShowRequest("Change destination folder", BPoint(120, 80)));
    EXPECT_FALSE(TipShown());
    EXPECT_TRUE(fManager.IsPending());
    EXPECT_EQ(ApplicationPulseRate(), 1 * kSecond);

    PulseAt(kSecond / 2);
    EXPECT_FALSE(TipShown());
    PulseAt(kSecond);
    EXPECT_TRUE(TipShown());
    EXPECT_FALSE(fManager.IsPending());
    LibTipWin* window = fManager.TipWindow();
    WithLock(window, [&] {
        EXPECT_EQ(window->Frame().LeftTop(), BPoint(120, 80));
        EXPECT_STREQ(window->TextView()->Text(), "Change destination folder");
        EXPECT_EQ(window->PopValue(), 4);
    });
    EXPECT_EQ(TipPulseRate(), 4 * kSecond);

    TipPulseAt(kSecond + 4 * kSecond - 1);
    EXPECT_TRUE(TipShown());
    TipPulseAt(kSecond + 4 * kSecond);
    EXPECT_FALSE(TipShown());
    EXPECT_EQ(TipPulseRate(), 0);
}

TEST_F(LibTipManagerTest, TakesItsDelaysFromTheRequest)
{
    BMessage request = ShowRequest("Typical: the application and its documentation");
    request.AddInt16("sdelay", 3);
    request.AddInt16("edelay", 2);
    Send(request);
    EXPECT_EQ(ApplicationPulseRate(), 3 * kSecond);
    PulseAt(3 * kSecond - 1);
    EXPECT_FALSE(TipShown());
    PulseAt(3 * kSecond);
    EXPECT_TRUE(TipShown());
    EXPECT_EQ(TipPulseRate(), 2 * kSecond);
    TipPulseAt(5 * kSecond);
    EXPECT_FALSE(TipShown());
}

TEST_F(LibTipManagerTest, ShowsAtOnceWithoutAStartDelayAndStopsThePulse)
{
    BMessage request = ShowRequest("Now");
    request.AddInt16("sdelay", 0);
    Send(request);
    EXPECT_TRUE(TipShown());
    EXPECT_FALSE(fManager.IsPending());
    EXPECT_EQ(ApplicationPulseRate(), 0);
    EXPECT_EQ(TipPulseRate(), 4 * kSecond);
}

TEST_F(LibTipManagerTest, ARequestWithoutShowHidesTheTip)
{
    BMessage request = ShowRequest("Now");
    request.AddInt16("sdelay", 0);
    Send(request);
    ASSERT_TRUE(TipShown());
    Send(BMessage(LibTipManager::kMsgTipRequest));
    EXPECT_FALSE(TipShown());
    EXPECT_EQ(ApplicationPulseRate(), 0);

    // A pending tip is called off too.
    Send(ShowRequest("Later"));
    BMessage hide(LibTipManager::kMsgTipRequest);
    hide.AddBool("show", false);
    Send(hide);
    EXPECT_FALSE(fManager.IsPending());
    PulseAt(10 * kSecond);
    EXPECT_FALSE(TipShown());
}

TEST_F(LibTipManagerTest, IgnoresEveryRequestWhileTipsAreOff)
{
    BMessage request = ShowRequest("Shown");
    request.AddInt16("sdelay", 0);
    Send(request);
    Send(BMessage(kMsgToggle));
    // Not even a hide request is honoured.
    Send(BMessage(LibTipManager::kMsgTipRequest));
    EXPECT_TRUE(TipShown());
    Send(ShowRequest("Other"));
    EXPECT_FALSE(fManager.IsPending());
    Send(BMessage(kMsgToggle));
    Send(BMessage(LibTipManager::kMsgTipRequest));
    EXPECT_FALSE(TipShown());
}

TEST_F(LibTipManagerTest, IgnoresAShowRequestWithoutTextOrPlace)
{
    BMessage noText(LibTipManager::kMsgTipRequest);
    noText.AddBool("show", true);
    noText.AddPoint("loc", BPoint(10, 10));
    Send(noText);
    BMessage noPlace(LibTipManager::kMsgTipRequest);
    noPlace.AddBool("show", true);
    noPlace.AddString("tip", "Nowhere");
    Send(noPlace);
    EXPECT_FALSE(fManager.IsPending());
    EXPECT_EQ(ApplicationPulseRate(), 0);
}

TEST_F(LibTipManagerTest, SizesTheWindowToTheText)
{
    BMessage line = ShowRequest("Change destination folder");
    line.AddInt16("sdelay", 0);
    Send(line);
    LibTipWin* window = fManager.TipWindow();
    float lineWidth = 0;
    WithLock(window, [&] {
        lineWidth = std::ceil(window->TextView()->StringWidth("Change destination folder"));
        EXPECT_EQ(window->Bounds(), BRect(0, 0, lineWidth + 3, 13));
    });

    BMessage wrapped = ShowRequest("Installs the application, its documentation, the sample "
                                   "files and the fonts that the documents use.");
    wrapped.AddInt32("width", 160);
    wrapped.AddInt16("sdelay", 0);
    Send(wrapped);
    WithLock(window, [&] {
        LibTipString* text = window->TextView();
        int32 lines = text->CountLines();
        EXPECT_GE(lines, 3);
        EXPECT_EQ(window->Bounds(), BRect(0, 0, 163, lines * text->LineHeight(0) + 2));
    });
}

TEST_F(LibTipManagerTest, ANewRequestMovesTheSameWindow)
{
    BMessage first = ShowRequest("First", BPoint(10, 10));
    first.AddInt16("sdelay", 0);
    Send(first);
    LibTipWin* window = fManager.TipWindow();
    BMessage second = ShowRequest("Second", BPoint(300, 200));
    second.AddInt16("sdelay", 0);
    Send(second);
    EXPECT_EQ(fManager.TipWindow(), window);
    WithLock(window, [&] {
        EXPECT_EQ(window->Frame().LeftTop(), BPoint(300, 200));
        EXPECT_STREQ(window->TextView()->Text(), "Second");
    });
}
