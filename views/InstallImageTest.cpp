#include "InstallImage.h"

#include <Bitmap.h>
#include <Entry.h>
#include <Window.h>

#include <TestSandbox.h>
#include <ViewsTestSupport.h>

#include <gtest/gtest.h>

#include <cstring>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

using namespace brenvik::test;

namespace {

// A window as the installer has it: the panel at 10, 16 on a grey
// background.
class ImageWindow {
public:
    explicit ImageWindow(bool editable = false)
        : fWindow(BRect(100, 100, 269, 331))
    {
        BView* background = new BView(fWindow->Bounds(), "bgview", B_FOLLOW_ALL, B_WILL_DRAW);
        background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
        fImage = new InstallImage(BPoint(10, 16), editable);
        background->AddChild(fImage);
        fWindow.Add(background);
        fImage->SetAppName("Brenvik Demo");
        fImage->SetVersion("Version 1.2.0");
        fImage->SetDate("December 9, 2026");
        fImage->SetCompany("Tarsel Software");
        fImage->SetEmail("help@tarsel.example");
    }

    void SetPicture(BBitmap* picture)
    {
        std::unique_ptr<BBitmap> owned(picture);
        BMessage archive;
        ASSERT_EQ(owned->Archive(&archive, true), B_OK);
        fImage->SetImage(archive);
    }

    void Show()
    {
        fWindow.Show();
        ASSERT_TRUE(WaitUntilSettled(fWindow.Get()));
    }

    BWindow* Window() const { return fWindow.Get(); }
    InstallImage* Image() const { return fImage; }
    int32 Id() const { return DisplayId(fWindow.Get()); }
    BPoint Center() const { return CenterOf(fImage); }

    bool ShowsImage() const
    {
        bool shows = false;
        WithLock(fWindow.Get(), [&] { shows = fImage->ShowsImage(); });
        return shows;
    }
    bool HasImage() const
    {
        bool has = false;
        WithLock(fWindow.Get(), [&] { has = fImage->Image() != nullptr; });
        return has;
    }

private:
    TestWindow fWindow;
    InstallImage* fImage;
};

TEST(InstallImageTest, GoldenWithoutPictureShowsTheTexts)
{
    ImageWindow window;
    window.Show();
    EXPECT_STREQ(window.Image()->Name(), "InstallImage");
    EXPECT_EQ(window.Image()->Frame(), BRect(10, 16, 160, 216));
    EXPECT_TRUE(MatchesGolden("views/about-texts", Snapshot(window.Window())));
}

TEST(InstallImageTest, GoldenWithPictureShowsThePicture)
{
    ImageWindow window;
    window.SetPicture(MakePicture(150, 200));
    window.Show();
    EXPECT_TRUE(MatchesGolden("views/about-picture", Snapshot(window.Window())));
}

TEST(InstallImageTest, AnEmptyTextLeavesItsColumnEmpty)
{
    ImageWindow window;
    WithLock(window.Window(), [&] {
        window.Image()->SetDate("");
        window.Image()->SetCompany("");
    });
    window.Show();
    EXPECT_TRUE(MatchesGolden("views/about-texts-two-empty", Snapshot(window.Window())));
}

TEST(InstallImageTest, EveryClickTogglesBetweenPictureAndTexts)
{
    ImageWindow window;
    window.SetPicture(MakePicture(150, 200));
    window.Show();
    EXPECT_TRUE(window.ShowsImage());
    for (uint32 buttons :
        { BPrivate::kPrimaryButton, BPrivate::kSecondaryButton, BPrivate::kTertiaryButton }) {
        bool before = window.ShowsImage();
        Display().InjectClick(window.Id(), window.Center(), buttons);
        ASSERT_TRUE(WaitUntilSettled(window.Window()));
        EXPECT_NE(window.ShowsImage(), before) << "buttons " << buttons;
    }
    EXPECT_TRUE(window.HasImage());
}

TEST(InstallImageTest, EditablePanelRemovesThePictureFromItsMenu)
{
    ImageWindow window(true);
    window.SetPicture(MakePicture(150, 200));
    window.Show();
    Display().InjectMouseDown(window.Id(), window.Center(), BPrivate::kTertiaryButton);
    BPoint remove;
    ASSERT_TRUE(WaitForOpenMenu(window.Window(), "Remove", &remove));
    Display().InjectMouseUp(window.Id(), window.Center());
    Display().InjectClick(window.Id(), remove);
    ASSERT_TRUE(WaitUntil([&] { return !window.HasImage(); }));
    ASSERT_TRUE(WaitUntilSettled(window.Window()));
    EXPECT_FALSE(window.ShowsImage());
}

std::string WriteFile(const std::string& path, const std::string& contents)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, contents.data(), contents.size()), ssize_t(contents.size()));
    close(fd);
    return path;
}

// The window records the message the panel posts after a drop.
class RecordingWindow : public BWindow {
public:
    RecordingWindow()
        : BWindow(BRect(100, 100, 269, 331), "drop", B_TITLED_WINDOW, B_NOT_RESIZABLE)
    {
        fImage = new InstallImage(BPoint(10, 16), false);
        AddChild(fImage);
    }
    void MessageReceived(BMessage* message) override
    {
        if (message->what == InstallImage::kMsgImageChanged)
            changes++;
        BWindow::MessageReceived(message);
    }
    InstallImage* fImage;
    std::atomic<int32> changes { 0 };
};

class InstallImageDropTest : public testing::Test {
protected:
    void SetUp() override
    {
        fFolder = MakeTempFolder("drops");
        fWindow = new RecordingWindow;
        fMessenger = BMessenger(fWindow);
        fWindow->Show();
        ASSERT_TRUE(WaitUntilSettled(fWindow));
    }
    void TearDown() override
    {
        if (fMessenger.LockTarget())
            fWindow->Quit();
    }

    void Drop(const std::string& path)
    {
        Display().InjectDrop(DisplayId(fWindow), CenterOf(fWindow->fImage), { path });
    }
    bool HasImage()
    {
        bool has = false;
        WithLock(fWindow, [&] { has = fWindow->fImage->Image() != nullptr; });
        return has;
    }

    std::string fFolder;
    RecordingWindow* fWindow = nullptr;
    BMessenger fMessenger;
};

TEST_F(InstallImageDropTest, APictureOfTheRightSizeIsTakenWithoutAWord)
{
    std::string path = fFolder + "/about.png";
    ASSERT_TRUE(WritePicturePng(path, 150, 200));
    Drop(path);
    ASSERT_TRUE(WaitUntil([&] { return fWindow->changes == 1; }));
    ASSERT_TRUE(WaitUntilSettled(fWindow));
    EXPECT_FALSE(AnAlertExists());
    EXPECT_TRUE(HasImage());
    WithLock(fWindow, [&] { EXPECT_TRUE(fWindow->fImage->ShowsImage()); });
}

TEST_F(InstallImageDropTest, APictureOfAnotherSizeIsTakenAfterOneWarning)
{
    std::string path = fFolder + "/small.png";
    ASSERT_TRUE(WritePicturePng(path, 100, 80));
    AlertAnswerer answerer(AlertAnswerer::Key("\n"));
    Drop(path);
    const ShownAlert& shown = answerer.Join();
    ASSERT_TRUE(answerer.Answered());
    EXPECT_EQ(shown.type, B_WARNING_ALERT);
    EXPECT_EQ(shown.text,
        "Image is not the correct size of 150x200. You may use this image, but it will appear "
        "in the installer as shown here.");
    ASSERT_TRUE(WaitUntil([&] { return fWindow->changes == 1; }));
    // The one warning goes, and no other follows.
    EXPECT_TRUE(WaitUntilNoAlert());
    ASSERT_TRUE(WaitUntilSettled(fWindow));
    EXPECT_FALSE(AnAlertExists());
    EXPECT_TRUE(HasImage());
}

TEST_F(InstallImageDropTest, AFileThatIsNoPictureIsRefused)
{
    std::string path = WriteFile(fFolder + "/notes.txt", "not a picture\n");
    AlertAnswerer answerer(AlertAnswerer::Key("o"));
    Drop(path);
    const ShownAlert& shown = answerer.Join();
    ASSERT_TRUE(answerer.Answered());
    EXPECT_EQ(shown.type, B_STOP_ALERT);
    EXPECT_EQ(shown.text, "Image file not current supported");
    ASSERT_TRUE(WaitUntil([&] { return fWindow->changes == 1; }));
    EXPECT_FALSE(HasImage());
}

TEST(InstallImageArchiveTest, GetImageGivesBackWhatSetImageTook)
{
    InstallImage image(BPoint(0, 0), false);
    BMessage empty;
    image.GetImage(empty);
    EXPECT_TRUE(empty.IsEmpty());

    std::unique_ptr<BBitmap> picture(MakePicture(150, 200));
    BMessage archive;
    ASSERT_EQ(picture->Archive(&archive, true), B_OK);
    image.SetImage(archive);
    ASSERT_NE(image.Image(), nullptr);
    BMessage back;
    image.GetImage(back);
    BBitmap restored(&back);
    ASSERT_EQ(restored.InitCheck(), B_OK);
    EXPECT_EQ(restored.Bounds(), BRect(0, 0, 149, 199));
    EXPECT_EQ(std::memcmp(restored.Bits(), picture->Bits(), size_t(picture->BitsLength())), 0);

    // An empty message takes the picture away.
    BMessage none;
    image.SetImage(none);
    EXPECT_EQ(image.Image(), nullptr);
    EXPECT_TRUE(image.ShowsImage());
}

TEST(InstallImageArchiveTest, TextsAreCentredAlongTheHeight)
{
    InstallImage image(BPoint(0, 0), false);
    image.SetFontSize(14);
    float width = image.StringWidth("Version 1.2.0");
    EXPECT_FLOAT_EQ(image.GetStringLocation("Version 1.2.0"), width + (200 - width) / 2);
}

} // namespace
