#include "LibMessageBox.h"

#include <Alert.h>
#include <AlertTestSupport.h>
#include <InterfaceTestSupport.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

using namespace brenvik::test;

namespace {

struct BoxCase {
    const char* name;
    int32 (*show)(const char* argument, int number);
    alert_type type;
};

std::ostream& operator<<(std::ostream& stream, const BoxCase& box)
{
    return stream << box.name;
}

class LibMessageBoxKindTest : public testing::TestWithParam<BoxCase> { };

TEST_P(LibMessageBoxKindTest, ShowsTheFormattedTextWithOneOkButton)
{
    AlertAnswerer answerer(AlertAnswerer::Key("o"));
    int32 result = GetParam().show("/boot/apps", 7);
    const ShownAlert& shown = answerer.Join();
    ASSERT_TRUE(answerer.Answered());
    EXPECT_EQ(result, 0);
    // Titled as every untitled alert of the program is.
    EXPECT_EQ(shown.title, BAlert::DefaultTitle());
    EXPECT_NE(shown.title, "");
    EXPECT_EQ(shown.text, "Unable to create '/boot/apps' (7).");
    EXPECT_EQ(shown.type, GetParam().type);
    ASSERT_EQ(shown.labels.size(), 1u);
    EXPECT_EQ(shown.labels[0], "OK");
    EXPECT_EQ(shown.shortcuts[0], 'o');
}

INSTANTIATE_TEST_SUITE_P(Kinds, LibMessageBoxKindTest,
    testing::Values(
        BoxCase { "error",
            [](const char* a, int n) { return LibError("Unable to create '%s' (%d).", a, n); },
            B_STOP_ALERT },
        BoxCase { "warning",
            [](const char* a, int n) { return LibWarning("Unable to create '%s' (%d).", a, n); },
            B_WARNING_ALERT },
        BoxCase { "info",
            [](const char* a, int n) { return LibInfo("Unable to create '%s' (%d).", a, n); },
            B_INFO_ALERT }),
    [](const testing::TestParamInfo<BoxCase>& param) { return std::string(param.param.name); });

TEST(LibMessageBoxTest, EnterAnswersToo)
{
    AlertAnswerer answerer(AlertAnswerer::Key("\n"));
    EXPECT_EQ(LibInfo("%s", "Installation Complete"), 0);
}

TEST(LibMessageBoxTest, NoWaitReturnsBeforeTheUserAnswers)
{
    EXPECT_EQ(LibInfoNoWait("Installing %d of %d", 1, 3), B_OK);
    ShownAlert shown;
    ASSERT_TRUE(FindShownAlert(&shown));
    EXPECT_EQ(shown.text, "Installing 1 of 3");
    EXPECT_EQ(shown.type, B_INFO_ALERT);
    Display().InjectKey(shown.displayId, "o");
    // The box goes away by itself.
    EXPECT_TRUE(WaitUntil([] { return !AnAlertExists(); }));
}

// Texts too long for the box are cut between characters, with an ellipsis.
struct CutCase {
    const char* name;
    size_t size;
    std::string text;
    std::string expected;
};

std::ostream& operator<<(std::ostream& stream, const CutCase& cut)
{
    return stream << cut.name;
}

class LibComposeMessageTest : public testing::TestWithParam<CutCase> { };

void Compose(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

void Compose(char* buffer, size_t size, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    LibComposeMessage(buffer, size, format, arguments);
    va_end(arguments);
}

TEST_P(LibComposeMessageTest, CutsBetweenCharacters)
{
    std::vector<char> buffer(GetParam().size + 8, 'x');
    Compose(buffer.data(), GetParam().size, "%s", GetParam().text.c_str());
    EXPECT_EQ(std::string(buffer.data()), GetParam().expected);
    // Nothing is written past the buffer.
    EXPECT_EQ(buffer[GetParam().size], 'x');
}

const std::string kEllipsis = "\xE2\x80\xA6";

INSTANTIATE_TEST_SUITE_P(Texts, LibComposeMessageTest,
    testing::Values(CutCase { "fits", 1024, std::string(1023, 'a'), std::string(1023, 'a') },
        CutCase {
            "one_byte_over", 1024, std::string(1024, 'a'), std::string(1020, 'a') + kEllipsis },
        CutCase { "far_over", 1024, std::string(5000, 'a'), std::string(1020, 'a') + kEllipsis },
        // "ä" is two bytes; at an odd length the cut would fall inside one.
        CutCase { "two_byte_characters", 1024,
            "a" +
                [] {
                    std::string text;
                    for (int i = 0; i < 600; i++)
                        text += "\xC3\xA4";
                    return text;
                }(),
            "a" +
                [] {
                    std::string text;
                    for (int i = 0; i < 509; i++)
                        text += "\xC3\xA4";
                    return text;
                }()
                + kEllipsis },
        CutCase { "four_byte_character_at_the_cut", 16, "abcdefghijk\xF0\x9F\x98\x80xyz",
            "abcdefghijk" + kEllipsis },
        CutCase { "tiny_buffer", 3, "abcdef", "" }),
    [](const testing::TestParamInfo<CutCase>& param) { return std::string(param.param.name); });

TEST(LibMessageBoxTest, ALongTextReachesTheBoxCut)
{
    std::string path(3000, 'p');
    AlertAnswerer answerer(AlertAnswerer::Key("o"));
    EXPECT_EQ(LibError("Unable to create installation folder '%s'.", path.c_str()), 0);
    const ShownAlert& shown = answerer.Join();
    EXPECT_EQ(shown.text.size(), 1023u);
    EXPECT_EQ(shown.text.substr(1020), kEllipsis);
}

testing::Environment* const sWindowsGoneAtExit
    = testing::AddGlobalTestEnvironment(new WindowsGoneAtExit);

TEST(LibMessageBoxTest, AWorkerWaitsForTheAnswerWhileTheWindowKeepsDrawing)
{
    TestWindow window(BRect(100, 100, 199, 199));
    CountingView* view = ShowDrawingWindow(window);
    ASSERT_NE(view, nullptr);

    std::atomic<int32> result { -2 };
    std::thread worker(
        [&] { result = LibWarning("Image is not the correct size of %dx%d.", 150, 200); });
    ASSERT_TRUE(WaitUntil(AnAlertIsUp));
    int32 before = view->draws;
    EXPECT_TRUE(WaitUntil([&] { return view->draws > before + 3; }));
    EXPECT_EQ(result.load(), -2);
    {
        AlertAnswerer answerer(AlertAnswerer::Key("o"));
    }
    worker.join();
    EXPECT_EQ(result.load(), 0);
}

// A window that shows a box from its own message loop.
class AskingWindow : public BWindow {
public:
    AskingWindow()
        : BWindow(BRect(300, 100, 399, 199), "asking", B_TITLED_WINDOW, B_NOT_RESIZABLE)
    {
    }
    void MessageReceived(BMessage* message) override
    {
        if (message->what == 'ask ') {
            result = LibInfo("%s", "Installation successfully completed.");
            return;
        }
        BWindow::MessageReceived(message);
    }
    std::atomic<int32> result { -2 };
};

TEST(LibMessageBoxTest, AWindowThreadCanAskWithoutBlockingOtherWindows)
{
    TestWindow other(BRect(100, 100, 199, 199));
    CountingView* view = new CountingView;
    other.Add(view);
    other->SetPulseRate(10000);
    other.Show();
    AskingWindow* asking = new AskingWindow;
    asking->Show();
    BMessenger askingMessenger(asking);
    askingMessenger.SendMessage('ask ');
    ASSERT_TRUE(WaitUntil(AnAlertIsUp));
    int32 before = view->draws;
    EXPECT_TRUE(WaitUntil([&] { return view->draws > before + 3; }));
    {
        AlertAnswerer answerer(AlertAnswerer::Key("o"));
    }
    EXPECT_TRUE(WaitUntil([&] { return asking->result == 0; }));
    if (askingMessenger.LockTarget())
        asking->Quit();
}

} // namespace
