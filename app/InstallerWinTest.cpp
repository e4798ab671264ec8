// The installer window in-process: on volumes the test mounts, the volume
// menu follows mount notices and a chosen volume gives the destination the
// volume's own folder for the user; with a configuration of the test's own,
// the window fills its lists, asks for the opening sound and shows a group's
// description as a tip. With a pass held in its requirements check, the
// window guards each step: the licence can always be agreed to, the
// destination stays what the pass uses, and quitting reports a stop only
// when the pass stopped.

#include "InstallerWin.h"

#include <Control.h>
#include <FileCheckList.h>
#include <InstallServices.h>
#include <InstallerFormat.h>
#include <LibInterfaceTestSupport.h>
#include <LibMenuField.h>
#include <LibStringView.h>
#include <LibTipManager.h>
#include <LibVolumeMenu.h>
#include <ListView.h>
#include <LocalizedTextTable.h>
#include <MenuItem.h>
#include <Path.h>
#include <ProgressBar.h>
#include <Resources.h>
#include <StringView.h>
#include <TestSandbox.h>
#include <UIDriver.h>
#include <ViewsTestSupport.h>

// The storage kit's own volume table, which tests may replace.
#include "MountWatcher.h"
#include "VolumeTable.h"
#include <VolumeTestSupport.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace brenvik::test;
using BPrivate::MountWatcher;
using BPrivate::VolumeRecord;
using BPrivate::VolumeTable;

namespace {

// The folder the pass would install into: the configuration's destination,
// not the view that shows it cut to its width. Read under the window's lock,
// with a deadline, so that a window blocked in a question fails the test
// instead of hanging it.
std::string DestinationOf(InstallerWin* window)
{
    if (window->LockWithTimeout(kDeadline) != B_OK)
        return "(the window does not answer)";
    BPath path(&window->Configuration().Destination());
    std::string destination = path.InitCheck() == B_OK ? path.Path() : "";
    window->Unlock();
    return destination;
}

// What the destination view shows, read the same way.
std::string DestinationShown(InstallerWin* window)
{
    if (window->LockWithTimeout(kDeadline) != B_OK)
        return "(the window does not answer)";
    LibStringView* view = dynamic_cast<LibStringView*>(window->FindView("destination"));
    std::string text = view != nullptr ? view->Text() : "";
    window->Unlock();
    return text;
}

class InstallerWinTest : public testing::Test {
protected:
    InstallerWinTest()
    {
        struct stat home;
        stat(std::getenv("HOME"), &home);
        fBoot = FakeVolume(home.st_dev, "Home Disk", std::getenv("HOME"));
        fDataFolder = MakeTempFolder("data");
        // A device number of the test's own, for a volume only it has.
        fData = FakeVolume(9101, "Data", fDataFolder);
        Mount({ fBoot });
    }

    ~InstallerWinTest() override { VolumeTable::SetTestVolumes(nullptr); }

    void Mount(const std::vector<VolumeRecord>& volumes)
    {
        fMounted = volumes;
        VolumeTable::SetTestVolumes(&fMounted);
        MountWatcher::Update(fMounted);
    }

    std::vector<std::string> MenuNames(InstallerWin* window)
    {
        std::vector<std::string> names;
        WithLock(window, [&] {
            LibVolumeMenu* menu = dynamic_cast<LibVolumeMenu*>(window->FindView("volume"));
            for (int32 i = 0; menu != nullptr && i < menu->CountItems(); i++)
                names.push_back(menu->MenuField()->ItemAt(i)->Label());
        });
        return names;
    }

    VolumeRecord fBoot;
    VolumeRecord fData;
    std::string fDataFolder;
    std::vector<VolumeRecord> fMounted;
};

} // namespace

TEST_F(InstallerWinTest, AMountNoticeRefillsTheVolumeMenu)
{
    ScopedWindow<InstallerWin> window;
    ASSERT_TRUE(window.ShowAndSettle());
    EXPECT_EQ(MenuNames(window.Get()), std::vector<std::string>({ "Home Disk" }));

    Mount({ fBoot, fData });
    EXPECT_TRUE(WaitUntil([&] { return MenuNames(window.Get()).size() == 2; }));
    EXPECT_EQ(MenuNames(window.Get()), std::vector<std::string>({ "Home Disk", "Data" }));

    Mount({ fBoot });
    EXPECT_TRUE(WaitUntil([&] { return MenuNames(window.Get()).size() == 1; }));
}

// The user's own folder where the volume holds it, else the volume's root
// (the root of a volume is rarely writable, its "home" on Linux never).
TEST_F(InstallerWinTest, AChosenVolumeGivesTheUsersFolderOnIt)
{
    setenv("BRENVIK_SCOPE", "user", 1);
    Mount({ fBoot, fData });
    ScopedWindow<InstallerWin> window;
    ASSERT_TRUE(window.ShowAndSettle());
    EXPECT_EQ(DestinationOf(window.Get()), std::getenv("HOME"));

    WithLock(window.Get(), [&] {
        LibVolumeMenu* menu = dynamic_cast<LibVolumeMenu*>(window->FindView("volume"));
        if (menu != nullptr)
            menu->MenuField()->SetMarked("Data", true);
    });
    window->PostMessage(InstallerWin::kMsgVolume);
    EXPECT_TRUE(WaitUntil([&] { return DestinationOf(window.Get()) == fDataFolder; }))
        << DestinationOf(window.Get());
    unsetenv("BRENVIK_SCOPE");
}

// When the chosen volume is unmounted, the menu goes back to its first
// volume, and the destination and the free space follow it.
TEST_F(InstallerWinTest, AfterTheChosenVolumeIsUnmountedTheDestinationFollowsTheMenu)
{
    setenv("BRENVIK_SCOPE", "user", 1);
    Mount({ fBoot, fData });
    ScopedWindow<InstallerWin> window;
    ASSERT_TRUE(window.ShowAndSettle());
    auto menuText = [&] {
        std::string text;
        WithLock(window.Get(), [&] {
            LibVolumeMenu* menu = dynamic_cast<LibVolumeMenu*>(window->FindView("volume"));
            text = menu != nullptr ? static_cast<const char*>(menu->Text()) : "";
        });
        return text;
    };
    WithLock(window.Get(), [&] {
        LibVolumeMenu* menu = dynamic_cast<LibVolumeMenu*>(window->FindView("volume"));
        if (menu != nullptr)
            menu->MenuField()->SetMarked("Data", true);
    });
    window->PostMessage(InstallerWin::kMsgVolume);
    ASSERT_TRUE(WaitUntil([&] { return DestinationOf(window.Get()) == fDataFolder; }));

    Mount({ fBoot });
    EXPECT_TRUE(WaitUntil([&] { return DestinationOf(window.Get()) == std::getenv("HOME"); }))
        << DestinationOf(window.Get());
    EXPECT_EQ(menuText(), "Home Disk");
    EXPECT_EQ(DestinationShown(window.Get()), "~");
    unsetenv("BRENVIK_SCOPE");
}

namespace {

namespace Field = InstallerFormat::Field;

BMessage InstallFile(const char* name, const char* groups, int32 size)
{
    BMessage file;
    file.AddString(Field::kFileName, name);
    file.AddString(Field::kItemGroups, groups);
    file.AddInt32(Field::kFileSize, size);
    return file;
}

// The configuration of a small product: two install types ("Typical" first)
// and three files.
BMessage SampleConfiguration(const char* soundsDescription = "Sound files")
{
    BMessage configuration;
    configuration.AddString(Field::kAppName, "Tarsel Notes");
    configuration.AddString(Field::kLicense, "Read me first.");
    configuration.AddString(Field::kCreatedFolder, "TarselNotes");
    BMessage groups;
    groups.AddString(Field::kGroupName, "Typical");
    groups.AddString(Field::kGroupDescription, "The program and its documentation");
    groups.AddString(Field::kGroupName, "Sounds");
    groups.AddString(Field::kGroupDescription, soundsDescription);
    configuration.AddMessage(Field::kGroups, &groups);
    BMessage instructions;
    BMessage files[] = { InstallFile("Notes.app", "Typical;Sounds;", 60),
        InstallFile("ReadMe.txt", "Typical;", 100), InstallFile("Sounds", "Sounds;", 956) };
    for (const BMessage& file : files)
        instructions.AddMessage(Field::kInstallFile, &file);
    configuration.AddMessage(Field::kInstallInstructions, &instructions);
    BMessage sound;
    sound.AddData("data", B_RAW_TYPE, "\0\0\0\0", 4);
    configuration.AddMessage(Field::kAudioData, &sound);
    return configuration;
}

// A resource file that holds what the window reads of an installer: the
// configuration record and the user texts.
std::string WriteInstaller(const BMessage& configuration)
{
    std::string path = MakeTempFolder("installer") + "/installer.rsrc";
    std::ofstream(path).close();
    BResources resources;
    EXPECT_EQ(resources.SetTo(path.c_str(), B_READ_WRITE, true), B_OK);
    std::string record(size_t(configuration.FlattenedSize()), '\0');
    EXPECT_EQ(configuration.Flatten(record.data(), ssize_t(record.size())), B_OK);
    EXPECT_EQ(resources.AddResource(InstallerFormat::kConfigurationType,
                  InstallerFormat::kConfigurationId, record.data(), record.size(),
                  InstallerFormat::kConfigurationName),
        B_OK);
    EXPECT_EQ(LocalizedTextTable::AddToResources(resources), B_OK);
    EXPECT_EQ(resources.Sync(), B_OK);
    return path;
}

std::string Selected(InstallerWin* window, const char* name)
{
    std::string selected;
    WithLock(window, [&] {
        BListView* list = dynamic_cast<BListView*>(window->FindView(name));
        for (int32 i = 0; list != nullptr && i < list->CountItems(); i++) {
            if (list->IsItemSelected(i))
                selected += (selected.empty() ? "" : ",") + std::to_string(i);
        }
    });
    return selected;
}

class InstallerWinConfigTest : public testing::Test {
protected:
    explicit InstallerWinConfigTest(const char* soundsDescription = "Sound files")
        : fInstaller(WriteInstaller(SampleConfiguration(soundsDescription)))
        , fWindow(fInstaller.c_str())
    {
    }

    RunningApplication fApplication;
    std::string fInstaller;
    ScopedWindow<InstallerWin> fWindow;
};

} // namespace

TEST_F(InstallerWinConfigTest, FillsTheListsAndAsksForTheOpeningSoundOnce)
{
    ASSERT_TRUE(fWindow->LoadResources());
    ASSERT_TRUE(fWindow.ShowAndSettle());
    EXPECT_EQ(fWindow->CurrentStep(), InstallerWin::kStepLicense);
    // "Typical" is chosen at the start, and with it its files.
    EXPECT_EQ(Selected(fWindow.Get(), "install_type"), "0");
    EXPECT_EQ(Selected(fWindow.Get(), "custom_list"), "0,1");
    ASSERT_TRUE(fApplication.WaitFor(InstallerWin::kMsgPlaySound));
    fApplication.Sync();
    EXPECT_EQ(fApplication.Count(InstallerWin::kMsgPlaySound), 1);
    EXPECT_TRUE(fApplication.Messages(InstallerWin::kMsgPlaySound)[0].HasData("data", B_RAW_TYPE));
}

TEST_F(InstallerWinConfigTest, ShowsAGroupsDescriptionAsATipAndTakesItAway)
{
    ASSERT_TRUE(fWindow->LoadResources());
    ASSERT_TRUE(fWindow.ShowAndSettle());
    // Choosing the first install type at the start took any tip away.
    fApplication.Sync();
    size_t before = fApplication.Messages(LibTipManager::kMsgTipRequest).size();
    auto latest = [&](size_t count, BMessage* tip) {
        return WaitUntil([&] {
            std::vector<BMessage> tips = fApplication.Messages(LibTipManager::kMsgTipRequest);
            if (tips.size() < count)
                return false;
            *tip = tips.back();
            return true;
        });
    };

    BMessage hover(InstallerWin::kMsgGroupHover);
    hover.AddInt32("item", 1);
    fWindow->PostMessage(&hover);
    BMessage tip;
    ASSERT_TRUE(latest(before + 1, &tip));
    EXPECT_TRUE(tip.GetBool("show", false));
    EXPECT_STREQ(tip.GetString("tip", ""), "Sound files");
    EXPECT_EQ(tip.GetInt32("width", 0), 160);
    int16 endDelay = 0;
    EXPECT_EQ(tip.FindInt16("edelay", &endDelay), B_OK);
    EXPECT_EQ(endDelay, int16(std::ceil(std::strlen("Sound files") * 0.25)));

    hover.ReplaceInt32("item", -1);
    fWindow->PostMessage(&hover);
    ASSERT_TRUE(latest(before + 2, &tip));
    EXPECT_FALSE(tip.GetBool("show", true));
    EXPECT_FALSE(tip.HasString("tip"));
}

namespace {

class UndescribedGroupTest : public InstallerWinConfigTest {
protected:
    UndescribedGroupTest()
        : InstallerWinConfigTest("")
    {
    }
};

} // namespace

// The tip request for a group without a description carries no fields; the
// tool-tip manager then shows nothing.
TEST_F(UndescribedGroupTest, AGroupWithoutDescriptionAsksForAnEmptyTip)
{
    ASSERT_TRUE(fWindow->LoadResources());
    ASSERT_TRUE(fWindow.ShowAndSettle());
    fApplication.Sync();
    size_t before = fApplication.Messages(LibTipManager::kMsgTipRequest).size();
    BMessage hover(InstallerWin::kMsgGroupHover);
    hover.AddInt32("item", 1);
    fWindow->PostMessage(&hover);
    ASSERT_TRUE(WaitUntil(
        [&] { return fApplication.Messages(LibTipManager::kMsgTipRequest).size() > before; }));
    EXPECT_EQ(
        fApplication.Messages(LibTipManager::kMsgTipRequest).back().CountNames(B_ANY_TYPE), 0);
}

// Only the install thread's end moves the workflow.
TEST_F(InstallerWinConfigTest, TheEndOfAnotherThreadIsIgnored)
{
    ASSERT_TRUE(fWindow->LoadResources());
    ASSERT_TRUE(fWindow.ShowAndSettle());
    fWindow->PostMessage(InstallerWin::kMsgButton);
    ASSERT_TRUE(
        WaitUntil([&] { return fWindow->CurrentStep() == InstallerWin::kStepDestination; }));
    BMessage done(LibThread::kLibThreadDone);
    done.AddString("name", "other");
    done.AddInt32("status", 1);
    fWindow->PostMessage(&done);
    ASSERT_TRUE(WaitUntilSettled(fWindow.Get()));
    EXPECT_EQ(fWindow->CurrentStep(), InstallerWin::kStepDestination);
    EXPECT_EQ(fWindow->InstallOutcome(), InstallerWin::kNotInstalled);
}

namespace {

// The machine as the requirements check reads it, with room enough or none.
// A holding probe keeps the pass in the check until it is asked to stop, so
// that a test finds the pass running for as long as it needs.
class TestProbe : public SystemProbe {
public:
    TestProbe(const InstallConfig& config, bool hold, uint64 freeBytes)
        : fConfig(config)
        , fHold(hold)
        , fFreeBytes(freeBytes)
    {
    }

    status_t FreeSpace(const std::string& /*path*/, Space* space) override
    {
        fEntered = true;
        if (fHold)
            WaitUntil([&] { return fConfig.StopRequested(); });
        space->device = 1;
        space->freeBytes = fFreeBytes;
        space->volumeName = "Test Disk";
        return B_OK;
    }
    uint64 PhysicalMemory() override { return uint64(1) << 34; }
    bool FindLibrary(
        const std::string& /*name*/, std::string* /*path*/, std::string* /*how*/) override
    {
        return true;
    }
    bool FindApplication(const std::string& /*signature*/) override { return true; }
    std::string Description() override { return "Test machine"; }

    bool Entered() const { return fEntered; }

private:
    const InstallConfig& fConfig;
    bool fHold;
    uint64 fFreeBytes;
    std::atomic<bool> fEntered { false };
};

constexpr uint64 kRoomEnough = uint64(1) << 40;

// Whether the window has handled everything queued for it so far; false when
// it does not answer in time (blocked in a question).
bool Answers(BWindow* window)
{
    BMessage ping('_png');
    BMessage reply;
    return BMessenger(window).SendMessage(&ping, &reply, B_INFINITE_TIMEOUT, kDeadline) == B_OK;
}

bool ButtonEnabled(InstallerWin* window)
{
    bool enabled = false;
    WithLock(window, [&] {
        BView* button = window->FindView("button");
        BControl* control = dynamic_cast<BControl*>(button);
        enabled = control != nullptr && control->IsEnabled();
    });
    return enabled;
}

// The window of a configuration of the test's own, on volumes the test
// mounts, with the application running and a destination folder of its
// own in the sandbox.
class InstallerWinPassTest : public InstallerWinTest {
protected:
    ~InstallerWinPassTest() override
    {
        if (fWindow) {
            // A pass still held ends at the request. A question a failed
            // test left open would hold the window or the pass: each is
            // answered with its first button ("Cancel", "OK").
            (*fWindow)->Configuration().RequestStop();
            ShownAlert open;
            for (int i = 0; i < 5 && FindShownAlert(&open, 0); i++) {
                Display().InjectKey(open.displayId, "\x1b");
                WaitUntil([&] { return !open.messenger.IsValid(); });
            }
        }
        fWindow.reset();
        unsetenv("BRENVIK_SCOPE");
    }

    void Open(BMessage configuration = SampleConfiguration())
    {
        setenv("BRENVIK_SCOPE", "user", 1);
        Mount({ fBoot, fData });
        // A product of each test's own: a record that one test's pass leaves
        // is never offered for undoing to the next.
        configuration.ReplaceString(
            Field::kAppName, testing::UnitTest::GetInstance()->current_test_info()->name());
        fInstaller = WriteInstaller(configuration);
        fWindow = std::make_unique<ScopedWindow<InstallerWin>>(fInstaller.c_str());
        ASSERT_TRUE(Window()->LoadResources());
        ASSERT_TRUE(fWindow->ShowAndSettle());
        entry_ref destination;
        ASSERT_EQ(get_ref_for_path(MakeTempFolder("destination").c_str(), &destination), B_OK);
        WithLock(Window(), [&] {
            Window()->Configuration().SetDestination(destination);
            Window()->SetDestinationPath();
        });
    }

    InstallerWin* Window() const { return fWindow->Get(); }

    // The probe the next pass reads the machine with.
    TestProbe* UseProbe(bool hold, uint64 freeBytes)
    {
        TestProbe* probe = nullptr;
        WithLock(Window(), [&] {
            InstallConfig& config = Window()->Configuration();
            auto made = std::make_unique<TestProbe>(config, hold, freeBytes);
            probe = made.get();
            config.SetSystemProbe(std::move(made));
        });
        return probe;
    }

    // The button takes a press once it has settled into its role, as a
    // user's click would find it.
    bool Press(InstallerWin::Step expected)
    {
        if (!WaitUntil([&] { return ButtonEnabled(Window()); }))
            return false;
        Window()->PostMessage(InstallerWin::kMsgButton);
        return WaitUntil([&] { return Window()->CurrentStep() == expected; })
            && WaitUntilSettled(Window());
    }

    // Agrees to the licence and presses Install; the pass then waits in the
    // requirements check (in the probe, or at the question it asks).
    bool StartPass()
    {
        return Press(InstallerWin::kStepDestination) && Press(InstallerWin::kStepInstalling);
    }

    RunningApplication fApplication;
    std::string fInstaller;
    std::unique_ptr<ScopedWindow<InstallerWin>> fWindow;
};

// A configuration whose install types select no file at the start.
void WithoutGroups(BMessage& configuration)
{
    configuration.RemoveName(Field::kGroups);
}

void WithAnEmptyFirstGroup(BMessage& configuration)
{
    BMessage groups;
    groups.AddString(Field::kGroupName, "Extras");
    groups.AddString(Field::kGroupDescription, "Nothing yet");
    groups.AddString(Field::kGroupName, "Typical");
    groups.AddString(Field::kGroupDescription, "The program and its documentation");
    configuration.ReplaceMessage(Field::kGroups, &groups);
}

struct NothingSelectedCase {
    const char* name;
    void (*edit)(BMessage&);
};

void PrintTo(const NothingSelectedCase& test, std::ostream* stream)
{
    *stream << test.name;
}

class NothingSelectedTest : public InstallerWinPassTest,
                            public testing::WithParamInterface<NothingSelectedCase> { };

} // namespace

// The rule "at least one file" is about installing: the licence step, whose
// list of files is hidden, always lets the user agree.
TEST_P(NothingSelectedTest, TheLicenceCanBeAgreedToAndInstallingWaitsForAFile)
{
    BMessage configuration = SampleConfiguration();
    GetParam().edit(configuration);
    Open(configuration);
    ASSERT_EQ(Window()->CurrentStep(), InstallerWin::kStepLicense);
    EXPECT_EQ(Selected(Window(), "custom_list"), "");
    EXPECT_TRUE(ButtonEnabled(Window()));

    ASSERT_TRUE(Press(InstallerWin::kStepDestination));
    EXPECT_FALSE(ButtonEnabled(Window()));
    WithLock(Window(), [&] {
        BListView* files = dynamic_cast<BListView*>(Window()->FindView("custom_list"));
        if (files != nullptr)
            files->Select(1, true);
    });
    EXPECT_TRUE(WaitUntil([&] { return ButtonEnabled(Window()); }));
}

INSTANTIATE_TEST_SUITE_P(Configurations, NothingSelectedTest,
    testing::Values(NothingSelectedCase { "NoGroups", WithoutGroups },
        NothingSelectedCase { "EmptyFirstGroup", WithAnEmptyFirstGroup }),
    [](const testing::TestParamInfo<NothingSelectedCase>& param) {
        return std::string(param.param.name);
    });

namespace {

// A choice of destination that reaches the window after Install was
// pressed: it was made before (in step 2), and its message is queued behind
// the press.
struct LateChoiceCase {
    const char* name;
    // In step 2: readies the choice. Returns false when it could not.
    bool (*ready)(InstallerWin* window, const std::string& other);
    uint32 message;
};

void PrintTo(const LateChoiceCase& test, std::ostream* stream)
{
    *stream << test.name;
}

// The folder panel is open with a folder chosen whose installation folder
// exists; the user said "Cancel" to replacing it and may confirm again.
bool ReadyFolderPanel(InstallerWin* window, const std::string& other)
{
    mkdir((other + "/TarselNotes").c_str(), 0755);
    window->PostMessage(InstallerWin::kMsgFolder);
    std::string failure;
    bool chosen = BPrivate::UIDriver::RunScript({ "panel " + other }, &failure) == B_OK;
    bool cancelled = BPrivate::UIDriver::RunScript({ "alert Cancel" }, &failure) == B_OK;
    EXPECT_TRUE(chosen && cancelled) << failure;
    return chosen && cancelled && WaitUntilSettled(window);
}

bool ReadyVolume(InstallerWin* window, const std::string& /*other*/)
{
    WithLock(window, [&] {
        LibVolumeMenu* menu = dynamic_cast<LibVolumeMenu*>(window->FindView("volume"));
        if (menu != nullptr)
            menu->MenuField()->SetMarked("Data", true);
    });
    return true;
}

class LateChoiceTest : public InstallerWinPassTest,
                       public testing::WithParamInterface<LateChoiceCase> { };

} // namespace

// The worker reads the destination while the pass runs: a choice that
// arrives then is ignored, and the window keeps showing the folder the pass
// uses. Pressing Install closes the folder panel.
TEST_P(LateChoiceTest, ADestinationChosenOnceInstallIsPressedChangesNothing)
{
    Open();
    TestProbe* probe = UseProbe(true, kRoomEnough);
    ASSERT_TRUE(Press(InstallerWin::kStepDestination));
    std::string destination = DestinationOf(Window());
    std::string shown = DestinationShown(Window());
    std::string other = MakeTempFolder("other");
    ASSERT_TRUE(GetParam().ready(Window(), other));
    ASSERT_EQ(DestinationOf(Window()), destination);

    ASSERT_TRUE(WaitUntil([&] { return ButtonEnabled(Window()); }));
    WithLock(Window(), [&] {
        Window()->PostMessage(InstallerWin::kMsgButton);
        Window()->PostMessage(GetParam().message);
    });
    ASSERT_TRUE(WaitUntil([&] { return probe->Entered(); }));
    // Not held by a question about the late choice.
    ASSERT_TRUE(Answers(Window()));
    EXPECT_EQ(Window()->CurrentStep(), InstallerWin::kStepInstalling);
    EXPECT_EQ(DestinationOf(Window()), destination);
    EXPECT_EQ(DestinationShown(Window()), shown);
    // Only the installer's window is up: no panel, no question.
    EXPECT_EQ(WindowsFrontToBack().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Choices, LateChoiceTest,
    testing::Values(
        LateChoiceCase { "FolderPanel", ReadyFolderPanel, InstallerWin::kMsgFolderChosen },
        LateChoiceCase { "Volume", ReadyVolume, InstallerWin::kMsgVolume }),
    [](const testing::TestParamInfo<LateChoiceCase>& param) {
        return std::string(param.param.name);
    });

namespace {

// How the pass is found when the user quits, and what the user is then told.
struct QuitCase {
    const char* name;
    // The pass waits in the requirements check for the stop (true), or it
    // finds no room and waits at its error box (false), so that it ends with
    // a failure of its own once the box is closed.
    bool holds;
    bool toldStopped;
    InstallerWin::Outcome outcome;
};

void PrintTo(const QuitCase& test, std::ostream* stream)
{
    *stream << test.name;
}

class QuitTest : public InstallerWinPassTest, public testing::WithParamInterface<QuitCase> { };

} // namespace

// "Installation was stopped" is said only of a pass that stopped.
TEST_P(QuitTest, SaysThePassStoppedOnlyWhenItDid)
{
    Open();
    TestProbe* probe = UseProbe(GetParam().holds, GetParam().holds ? kRoomEnough : 0);
    ASSERT_TRUE(StartPass());
    ShownAlert shown;
    if (GetParam().holds) {
        ASSERT_TRUE(WaitUntil([&] { return probe->Entered(); }));
    } else {
        ASSERT_TRUE(FindShownAlert(&shown));
    }

    // As the application does when it is asked to quit.
    std::future<void> quit = std::async(std::launch::async, [&] { Window()->QuitRunning(); });
    const std::string stopped = "Installation was stopped before it could complete.";
    bool told = false;
    ASSERT_TRUE(WaitUntil([&] {
        if (quit.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
            return true;
        told = FindShownAlert(&shown, 0) && shown.text == stopped;
        return told;
    }));
    if (told) {
        EXPECT_EQ(BPrivate::UIDriver::RunScript({ "alert OK" }, nullptr), B_OK);
    }
    quit.get();
    EXPECT_EQ(told, GetParam().toldStopped);
    EXPECT_EQ(Window()->InstallOutcome(), GetParam().outcome);
}

INSTANTIATE_TEST_SUITE_P(Passes, QuitTest,
    testing::Values(QuitCase { "Stopped", true, true, InstallerWin::kInstallStopped },
        QuitCase { "EndedWithAFailure", false, false, InstallerWin::kInstallFailed }),
    [](const testing::TestParamInfo<QuitCase>& param) { return std::string(param.param.name); });

namespace {

// How the user asks to stop the running pass, and the answer to the
// question that follows.
struct StopCase {
    const char* name;
    bool closing;
    const char* answer;
};

void PrintTo(const StopCase& test, std::ostream* stream)
{
    *stream << test.name;
}

class StopTest : public InstallerWinPassTest, public testing::WithParamInterface<StopCase> { };

constexpr const char* kStopQuestion
    = "Stop the installation? What it has placed so far can be removed afterwards.";

} // namespace

// Neither Stop nor closing the window stops the pass at once: the user is
// asked. "Go On" leaves it running; "Stop" stops it, says so once it has
// stopped, and the window returns to the destination step with its button
// back to Install.
TEST_P(StopTest, AsksBeforeThePassStops)
{
    Open();
    TestProbe* probe = UseProbe(true, kRoomEnough);
    ASSERT_TRUE(StartPass());
    ASSERT_TRUE(WaitUntil([&] { return probe->Entered(); }));
    if (GetParam().closing) {
        Window()->PostMessage(B_QUIT_REQUESTED);
    } else {
        ASSERT_TRUE(WaitUntil([&] { return ButtonEnabled(Window()); }));
        Window()->PostMessage(InstallerWin::kMsgButton);
    }
    ShownAlert shown;
    ASSERT_TRUE(
        WaitUntil([&] { return FindShownAlert(&shown, 0) && shown.text == kStopQuestion; }));
    EXPECT_EQ(shown.title, testing::UnitTest::GetInstance()->current_test_info()->name());
    EXPECT_EQ(shown.labels, (std::vector<std::string> { "Go On", "Stop" }));
    EXPECT_FALSE(Window()->Configuration().StopRequested());
    ASSERT_EQ(BPrivate::UIDriver::RunScript({ std::string("alert ") + GetParam().answer }, nullptr),
        B_OK);

    if (std::string(GetParam().answer) == "Go On") {
        ASSERT_TRUE(Answers(Window()));
        EXPECT_EQ(Window()->CurrentStep(), InstallerWin::kStepInstalling);
        EXPECT_FALSE(Window()->Configuration().StopRequested());
        EXPECT_TRUE(WaitUntil([&] { return ButtonEnabled(Window()); }));
        return;
    }
    // Stopped in the requirements check, before anything was placed.
    const std::string stopped = "Installation was stopped before it could complete.";
    ASSERT_TRUE(WaitUntil([&] { return FindShownAlert(&shown, 0) && shown.text == stopped; }));
    ASSERT_EQ(BPrivate::UIDriver::RunScript({ "alert OK" }, nullptr), B_OK);
    ASSERT_TRUE(
        WaitUntil([&] { return Window()->CurrentStep() == InstallerWin::kStepDestination; }));
    EXPECT_EQ(Window()->InstallOutcome(), InstallerWin::kInstallStopped);
    EXPECT_TRUE(WaitUntil([&] { return ButtonEnabled(Window()); }));
}

INSTANTIATE_TEST_SUITE_P(Requests, StopTest,
    testing::Values(StopCase { "StopGoOn", false, "Go On" }, StopCase { "StopStop", false, "Stop" },
        StopCase { "CloseGoOn", true, "Go On" }),
    [](const testing::TestParamInfo<StopCase>& param) { return std::string(param.param.name); });

// The worker may take a moment to begin after it was asked to run: a stop
// asked for in that moment is kept, and the pass stops at its first step
// instead of running on until the window gives up waiting.
TEST_F(InstallerWinPassTest, AStopAskedForBeforeThePassBeginsIsKept)
{
    Open();
    UseProbe(false, kRoomEnough);
    InstallConfig& config = Window()->Configuration();
    // Nothing that could ask and wait, should the pass run on.
    config.SetDialogs(std::make_unique<ConsoleDialogs>());
    config.RequestStop();
    ASSERT_EQ(config.Go("install", nullptr, B_NORMAL_PRIORITY, true), B_OK);
    EXPECT_EQ(config.Outcome(), InstallConfig::kOutcomeStopped);
}

namespace {

std::string TextOfView(InstallerWin* window, const char* name)
{
    std::string text;
    WithLock(window, [&] {
        BStringView* view = dynamic_cast<BStringView*>(window->FindView(name));
        text = view != nullptr && view->Text() != nullptr ? view->Text() : "";
    });
    return text;
}

// Which files are ticked (a list of rows), and the total then shown beside
// "Files": the ticked files' own bytes, whatever the de-installer weighs.
struct TotalCase {
    const char* name;
    std::vector<int32> ticked;
    const char* total;
    bool canInstall;
};

void PrintTo(const TotalCase& test, std::ostream* stream)
{
    *stream << test.name;
}

class TickedTotalTest : public InstallerWinPassTest,
                        public testing::WithParamInterface<TotalCase> { };

} // namespace

TEST_P(TickedTotalTest, TheTotalIsWhatTheTickedFilesTake)
{
    BMessage configuration = SampleConfiguration();
    configuration.AddInt32(Field::kDeinstallerSize, 1900000);
    Open(configuration);
    ASSERT_TRUE(Press(InstallerWin::kStepDestination));
    // Install takes clicks once it has settled into its role.
    ASSERT_TRUE(WaitUntil([&] { return ButtonEnabled(Window()); }));
    WithLock(Window(), [&] {
        BListView* files = dynamic_cast<BListView*>(Window()->FindView("custom_list"));
        ASSERT_NE(files, nullptr);
        files->DeselectAll();
        for (int32 row : GetParam().ticked)
            files->Select(row, true);
    });
    ASSERT_TRUE(WaitUntilSettled(Window()));
    EXPECT_EQ(TextOfView(Window(), "install_size"), GetParam().total);
    EXPECT_EQ(ButtonEnabled(Window()), GetParam().canInstall);
}

INSTANTIATE_TEST_SUITE_P(Ticks, TickedTotalTest,
    testing::Values(TotalCase { "Nothing", {}, "0 bytes", false },
        TotalCase { "OneFile", { 1 }, "100 bytes", true },
        TotalCase { "Typical", { 0, 1 }, "160 bytes", true },
        TotalCase { "All", { 0, 1, 2 }, "1.1 KB", true }),
    [](const testing::TestParamInfo<TotalCase>& param) { return std::string(param.param.name); });

// While the pass runs, a bar beside the status line shows the share of the
// ticked files' bytes placed; the status line makes room for it, and both
// are as before once the window is back at the destination step.
TEST_F(InstallerWinPassTest, APassShowsItsProgressBesideTheStatusLine)
{
    Open();
    TestProbe* probe = UseProbe(true, kRoomEnough);
    float fullWidth = 0;
    WithLock(Window(), [&] { fullWidth = Window()->FindView("instruction")->Bounds().Width(); });
    ASSERT_TRUE(StartPass());
    ASSERT_TRUE(WaitUntil([&] { return probe->Entered(); }));
    auto bar = [&] { return dynamic_cast<ProgressBar*>(Window()->FindView("progress")); };
    WithLock(Window(), [&] {
        ASSERT_NE(bar(), nullptr);
        EXPECT_FALSE(bar()->IsHidden());
        EXPECT_EQ(bar()->Fraction(), 0);
        BRect line = Window()->FindView("instruction")->Frame();
        EXPECT_LT(line.right, bar()->Frame().left);
        // The pass installs what was ticked when Install was pressed.
        FileCheckList* files = dynamic_cast<FileCheckList*>(Window()->FindView("custom_list"));
        ASSERT_NE(files, nullptr);
        EXPECT_FALSE(files->IsChangeable());
    });
    BMessage report(InstallerWin::kMsgInstallProgress);
    report.AddInt64("done", 50);
    report.AddInt64("total", 200);
    Window()->PostMessage(&report);
    ASSERT_TRUE(WaitUntilSettled(Window()));
    WithLock(Window(), [&] { EXPECT_FLOAT_EQ(bar()->Fraction(), 0.25f); });

    Window()->Configuration().RequestStop();
    ASSERT_TRUE(
        WaitUntil([&] { return Window()->CurrentStep() == InstallerWin::kStepDestination; }));
    ASSERT_TRUE(WaitUntilSettled(Window()));
    WithLock(Window(), [&] {
        EXPECT_TRUE(bar()->IsHidden());
        EXPECT_EQ(Window()->FindView("instruction")->Bounds().Width(), fullWidth);
        EXPECT_TRUE(
            dynamic_cast<FileCheckList*>(Window()->FindView("custom_list"))->IsChangeable());
    });
}

// Behind the error that ends a pass before it installs anything, the status
// line no longer says the pass is checking.
TEST_F(InstallerWinPassTest, BehindARefusalTheStatusLineSaysNothingStarted)
{
    Open();
    UseProbe(false, 0);
    ASSERT_TRUE(StartPass());
    ShownAlert shown;
    ASSERT_TRUE(FindShownAlert(&shown));
    EXPECT_TRUE(WaitUntil([&] {
        return TextOfView(Window(), "instruction") == "The installation did not start.";
    })) << TextOfView(Window(), "instruction");
    EXPECT_EQ(BPrivate::UIDriver::RunScript({ "alert OK" }, nullptr), B_OK);
    ASSERT_TRUE(
        WaitUntil([&] { return Window()->CurrentStep() == InstallerWin::kStepDestination; }));
    EXPECT_TRUE(WaitUntil([&] {
        return TextOfView(Window(), "instruction") == "Select destination folder and press Install";
    }));
}

namespace {

std::string TipOfView(InstallerWin* window, const char* name)
{
    std::string tip;
    WithLock(window, [&] {
        LibStringView* view = dynamic_cast<LibStringView*>(window->FindView(name));
        tip = view != nullptr ? static_cast<const char*>(view->TipText()) : "";
    });
    return tip;
}

} // namespace

// Before Install the window shows the installation folder itself, with "~"
// for the home folder, and in its tip every other folder that receives
// files: here the settings folder of the second file.
TEST_F(InstallerWinPassTest, ShowsWhereTheTickedFilesGo)
{
    BMessage configuration = SampleConfiguration();
    BMessage instructions;
    configuration.FindMessage(Field::kInstallInstructions, &instructions);
    BMessage readMe;
    instructions.FindMessage(Field::kInstallFile, 1, &readMe);
    BMessage meta;
    meta.AddString(Field::kDestination, "User Settings");
    readMe.AddMessage(Field::kInstallMeta, &meta);
    instructions.ReplaceMessage(Field::kInstallFile, 1, &readMe);
    configuration.ReplaceMessage(Field::kInstallInstructions, &instructions);
    Open(configuration);
    std::string home = std::getenv("HOME");
    entry_ref destination;
    ASSERT_EQ(get_ref_for_path(home.c_str(), &destination), B_OK);
    WithLock(Window(), [&] {
        Window()->Configuration().SetDestination(destination);
        Window()->SetDestinationPath();
    });
    ASSERT_TRUE(Press(InstallerWin::kStepDestination));
    EXPECT_EQ(DestinationShown(Window()), "~/TarselNotes");
    EXPECT_EQ(TipOfView(Window(), "destination"), "~/TarselNotes\nFiles also go to:\n~/.config");

    // The read-me taken out, nothing goes elsewhere.
    WithLock(Window(),
        [&] { dynamic_cast<BListView*>(Window()->FindView("custom_list"))->Deselect(1); });
    ASSERT_TRUE(WaitUntilSettled(Window()));
    EXPECT_EQ(TipOfView(Window(), "destination"), "~/TarselNotes");
}

// The instruction line warns as the choice changes, and Install stays
// enabled: the user decides, and the pass checks again.
TEST_F(InstallerWinPassTest, WarnsOfTooLittleRoomAsTheTicksChange)
{
    BMessage configuration = SampleConfiguration();
    BMessage instructions;
    configuration.FindMessage(Field::kInstallInstructions, &instructions);
    BMessage sounds;
    instructions.FindMessage(Field::kInstallFile, 2, &sounds);
    // A size beyond 32 bits: the 32-bit field saturated, the whole size in
    // its companion.
    sounds.ReplaceInt32(Field::kFileSize, INT32_MAX);
    sounds.AddInt64(Field::kFileSize64, int64(1) << 60);
    instructions.ReplaceMessage(Field::kInstallFile, 2, &sounds);
    configuration.ReplaceMessage(Field::kInstallInstructions, &instructions);
    Open(configuration);
    ASSERT_TRUE(Press(InstallerWin::kStepDestination));
    const std::string usual = "Select destination folder and press Install";
    EXPECT_EQ(TextOfView(Window(), "instruction"), usual);

    WithLock(Window(),
        [&] { dynamic_cast<BListView*>(Window()->FindView("custom_list"))->Select(2, true); });
    ASSERT_TRUE(WaitUntilSettled(Window()));
    std::string warning = TextOfView(Window(), "instruction");
    EXPECT_EQ(warning.rfind("Needs 1073741824.0 GB, only ", 0), 0u) << warning;
    EXPECT_NE(warning.find(" free on Home Disk"), std::string::npos) << warning;
    EXPECT_TRUE(WaitUntil([&] { return ButtonEnabled(Window()); }));

    WithLock(Window(),
        [&] { dynamic_cast<BListView*>(Window()->FindView("custom_list"))->Deselect(2); });
    ASSERT_TRUE(WaitUntilSettled(Window()));
    EXPECT_EQ(TextOfView(Window(), "instruction"), usual);
}

// A destination that cannot be written is named, with the reason.
TEST_F(InstallerWinPassTest, NamesADestinationThatCannotBeWrittenAndWhy)
{
    Open();
    std::string folder = MakeTempFolder("blocked");
    std::ofstream(folder + "/file") << "in the way\n";
    WithLock(Window(), [&] {
        Window()->Configuration().SetDestinationPath(folder + "/file/Apps");
        Window()->SetDestinationPath();
    });
    ASSERT_TRUE(Press(InstallerWin::kStepDestination));
    EXPECT_EQ(TextOfView(Window(), "instruction"),
        "Cannot install into " + folder + "/file: " + std::strerror(ENOTDIR));
    EXPECT_TRUE(WaitUntil([&] { return ButtonEnabled(Window()); }));
}
