#include "LibPictureButton.h"

#include "LibInterfaceTestSupport.h"
#include "LibTipManager.h"

#include <Message.h>
#include <Picture.h>
#include <Screen.h>

#include <gtest/gtest.h>

#include <vector>

using namespace brenvik::test;

namespace {

constexpr uint32 kMsgFolder = 2003;
constexpr uint32 kTip = LibTipManager::kMsgTipRequest;

std::vector<uint8> Solid(uint8 index)
{
    return std::vector<uint8>(24 * 24, index);
}

// A window with the installer's folder button at (10, 10), 24 × 24, and a
// running application that records the tip requests.
class LibPictureButtonTest : public testing::Test {
protected:
    void Open(const char* tip)
    {
        fNormal = Solid(BScreen().IndexForColor(232, 232, 232));
        fPressed = Solid(BScreen().IndexForColor(152, 152, 152));
        fButton = new LibPictureButton(
            BPoint(10, 10), 24, 24, "folder", fNormal.data(), fPressed.data(), kMsgFolder);
        if (tip != nullptr)
            fButton->AddTip(kTip, tip);
        Panel(fWindow.Get())->AddChild(fButton);
        ASSERT_TRUE(fWindow.ShowAndSettle());
    }

    void MoveTo(BPoint where)
    {
        ASSERT_EQ(Display().InjectMouseMoved(DisplayId(fWindow.Get()), where), B_OK);
        ASSERT_TRUE(WaitUntilSettled(fWindow.Get()));
        fApplication.Sync();
    }

    std::vector<bool> ShowFlags()
    {
        std::vector<bool> flags;
        for (const BMessage& request : fApplication.Messages(kTip))
            flags.push_back(request.GetBool("show", false));
        return flags;
    }

    RunningApplication fApplication;
    ScopedWindow<RecordingWindow> fWindow { BRect(100, 100, 199, 159) };
    LibPictureButton* fButton = nullptr;
    std::vector<uint8> fNormal;
    std::vector<uint8> fPressed;
};

} // namespace

TEST_F(LibPictureButtonTest, IsMadeFromPixelsAtItsPlace)
{
    Open(nullptr);
    WithLock(fWindow.Get(), [&] {
        EXPECT_EQ(fButton->Frame(), BRect(10, 10, 33, 33));
        EXPECT_STREQ(fButton->Label(), "folder");
        ASSERT_NE(fButton->EnabledOff(), nullptr);
        ASSERT_NE(fButton->EnabledOn(), nullptr);
        EXPECT_FALSE(fButton->EnabledOff()->IsEmpty());
        EXPECT_EQ(fButton->DisabledOff(), nullptr);
        EXPECT_EQ(fButton->Message()->what, kMsgFolder);
        EXPECT_TRUE((fButton->Flags() & B_NAVIGABLE) != 0);
        fButton->MakeFocus(true);
        EXPECT_TRUE(fButton->IsFocused());
    });
}

TEST_F(LibPictureButtonTest, AsksForItsTipOnEnteringAndToHideItOnLeaving)
{
    Open("Change destination folder");
    MoveTo(BPoint(60, 40));
    MoveTo(BPoint(20, 20));
    MoveTo(BPoint(22, 21));
    ASSERT_EQ(ShowFlags(), std::vector<bool>({ true }));
    BMessage request = fApplication.Messages(kTip).front();
    EXPECT_STREQ(request.GetString("tip", ""), "Change destination folder");
    BPoint where;
    ASSERT_EQ(request.FindPoint("loc", &where), B_OK);
    // The button's top right corner, 5 pixels right and 1 down, on the
    // screen: the window's content starts at (100, 100).
    EXPECT_EQ(where, BPoint(100 + 33 + 5, 100 + 10 + 1));
    EXPECT_FALSE(request.HasInt16("sdelay"));
    MoveTo(BPoint(60, 40));
    EXPECT_EQ(ShowFlags(), std::vector<bool>({ true, false }));
}

TEST_F(LibPictureButtonTest, HidesTheTipWhenPressed)
{
    Open("Change destination folder");
    MoveTo(BPoint(20, 20));
    int32 id = DisplayId(fWindow.Get());
    ASSERT_EQ(Display().InjectMouseDown(id, BPoint(20, 20)), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fWindow.Get()));
    fApplication.Sync();
    EXPECT_EQ(ShowFlags(), std::vector<bool>({ true, false }));
    ASSERT_EQ(Display().InjectMouseUp(id, BPoint(20, 20)), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fWindow.Get()));
    EXPECT_EQ(fWindow->Count(kMsgFolder), 1);
}

TEST_F(LibPictureButtonTest, WithoutATipAsksForNone)
{
    Open(nullptr);
    MoveTo(BPoint(20, 20));
    ASSERT_EQ(Display().InjectClick(DisplayId(fWindow.Get()), BPoint(20, 20)), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fWindow.Get()));
    MoveTo(BPoint(60, 40));
    EXPECT_EQ(fApplication.Count(kTip), 0);
    EXPECT_EQ(fWindow->Count(kMsgFolder), 1);
}

TEST(LibPictureButtonFacesTest, DrawsItsOwnFacesWithoutAResource)
{
    LibPictureButton button(BPoint(0, 0), 24, 24, "faces", "no such bitmap", kMsgFolder);
    for (BPicture* picture :
        { button.EnabledOff(), button.EnabledOn(), button.DisabledOn(), button.DisabledOff() }) {
        ASSERT_NE(picture, nullptr);
        EXPECT_FALSE(picture->IsEmpty());
    }
}
