#include "LibVolumeMenu.h"

#include "LibInterfaceTestSupport.h"

#include <MenuItem.h>
#include <NodeMonitor.h>
#include <TestSandbox.h>
#include <Volume.h>

// The storage kit's own volume table, which tests may replace.
#include "MountWatcher.h"
#include "VolumeTable.h"
#include "VolumeTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace brenvik::test;
using BPrivate::MountWatcher;
using BPrivate::VolumeRecord;
using BPrivate::VolumeTable;

namespace {

constexpr uint32 kMsgVolume = 2004;

// Made-up device numbers for volumes that only the test has.
enum : dev_t {
    kDataDevice = 9001,
    kStickDevice,
    kShareDevice,
    kBackupDevice,
    kRamDevice,
    kUnnamedDevice,
    kTwinDevice,
};

// The volumes the test mounts: the boot volume (the sandbox's home, on the
// file system it really is on) and others of every kind, each mounted at a
// folder of the sandbox.
class Volumes {
public:
    Volumes()
        : fRoot(MakeTempFolder("volumes"))
    {
        struct stat home;
        stat(std::getenv("HOME"), &home);
        fBoot = Record(home.st_dev, "Home Disk", std::getenv("HOME"));
    }

    VolumeRecord Boot() const { return fBoot; }

    VolumeRecord Make(dev_t device, const char* name) const
    {
        std::string folder = fRoot + "/" + std::to_string(device);
        mkdir(folder.c_str(), 0755);
        return Record(device, name, folder);
    }

    VolumeRecord Data() const { return Make(kDataDevice, "Data"); }
    VolumeRecord Stick() const
    {
        VolumeRecord stick = Make(kStickDevice, "Stick");
        stick.removable = true;
        return stick;
    }
    VolumeRecord Share() const
    {
        VolumeRecord share = Make(kShareDevice, "Share");
        share.fsType = "nfs4";
        share.shared = true;
        share.attributes = false;
        return share;
    }
    VolumeRecord Backup() const
    {
        VolumeRecord backup = Make(kBackupDevice, "Backup");
        backup.readOnly = true;
        return backup;
    }
    VolumeRecord Ram() const
    {
        VolumeRecord ram = Make(kRamDevice, "RAM");
        ram.fsType = "tmpfs";
        ram.persistent = false;
        return ram;
    }
    VolumeRecord Unnamed() const { return Make(kUnnamedDevice, ""); }

    std::vector<VolumeRecord> All() const
    {
        return { Data(), Stick(), Boot(), Share(), Unnamed(), Backup(), Ram() };
    }

private:
    static VolumeRecord Record(dev_t device, const char* name, const std::string& mountPoint)
    {
        return FakeVolume(device, name, mountPoint);
    }

    std::string fRoot;
    VolumeRecord fBoot;
};

// Mounts the volumes for the whole program: what the roster lists from now
// on, until the test ends.
class MountedVolumes {
public:
    explicit MountedVolumes(const std::vector<VolumeRecord>& volumes) { Mount(volumes); }
    ~MountedVolumes() { VolumeTable::SetTestVolumes(nullptr); }

    void Mount(const std::vector<VolumeRecord>& volumes) { VolumeTable::SetTestVolumes(&volumes); }
};

std::vector<std::string> Names(const LibVolumeMenu& menu)
{
    std::vector<std::string> names;
    for (int32 i = 0; i < menu.CountItems(); i++)
        names.push_back(menu.MenuField()->ItemAt(i)->Label());
    return names;
}

std::vector<bool> Enabled(const LibVolumeMenu& menu)
{
    std::vector<bool> enabled;
    for (int32 i = 0; i < menu.CountItems(); i++)
        enabled.push_back(menu.IsItemEnabled(i));
    return enabled;
}

struct RuleCase {
    const char* name;
    std::function<void(LibVolumeMenu&)> rules;
    // Home Disk, Data, Stick, Share, Backup, RAM.
    std::vector<bool> enabled;
};

std::ostream& operator<<(std::ostream& stream, const RuleCase& rule)
{
    return stream << rule.name;
}

class LibVolumeMenuRuleTest : public testing::TestWithParam<RuleCase> { };

} // namespace

TEST(LibVolumeMenuTest, StartsEmptyAndListsTheBootVolumeAlone)
{
    Volumes volumes;
    MountedVolumes mounted({ volumes.Boot() });
    LibVolumeMenu menu(BPoint(10, 10), "volume", kMsgVolume, 70);
    EXPECT_EQ(menu.CountItems(), 0);
    EXPECT_STREQ(menu.LabelText(), "Disk");
    EXPECT_EQ(menu.Frame(), BRect(10, 10, 210, 35));
    menu.Update();
    EXPECT_EQ(Names(menu), std::vector<std::string>({ "Home Disk" }));
    EXPECT_STREQ(menu.Text(), "Home Disk");
    EXPECT_EQ(menu.MenuField()->ItemAt(0)->Message()->what, kMsgVolume);
}

TEST_P(LibVolumeMenuRuleTest, DisablesTheVolumesThatDoNotSuit)
{
    Volumes volumes;
    MountedVolumes mounted(volumes.All());
    LibVolumeMenu menu(BPoint(10, 10), "volume", kMsgVolume, 70);
    GetParam().rules(menu);
    menu.Update();
    // The boot volume first, then the others in the platform's order; a
    // volume without a name is never listed.
    EXPECT_EQ(Names(menu),
        std::vector<std::string>({ "Home Disk", "Data", "Stick", "Share", "Backup", "RAM" }));
    EXPECT_EQ(Enabled(menu), GetParam().enabled);
}

INSTANTIATE_TEST_SUITE_P(Rules, LibVolumeMenuRuleTest,
    testing::Values(
        // Share keeps no attributes; Backup is read-only.
        RuleCase { "defaults", [](LibVolumeMenu&) {}, { true, true, true, false, false, true } },
        RuleCase { "no_removable", [](LibVolumeMenu& m) { m.AllowRemovable(false); },
            { true, true, false, false, false, true } },
        // Without attributes a volume stays disabled, whatever else allows it.
        RuleCase { "shared_but_only_ours", [](LibVolumeMenu& m) { m.AllowShared(true); },
            { true, true, true, false, false, true } },
        RuleCase { "any_file_system", [](LibVolumeMenu& m) { m.OnlyBeOS(false); },
            { true, true, true, true, false, true } },
        RuleCase { "any_file_system_no_shared",
            [](LibVolumeMenu& m) {
                m.OnlyBeOS(false);
                m.AllowShared(false);
            },
            { true, true, true, false, false, true } },
        RuleCase { "read_only", [](LibVolumeMenu& m) { m.AllowReadOnly(true); },
            { true, true, true, false, true, true } },
        // The boot volume is never disabled.
        RuleCase { "no_persistent", [](LibVolumeMenu& m) { m.AllowPersistent(false); },
            { true, false, false, false, false, true } }),
    [](const testing::TestParamInfo<RuleCase>& param) { return std::string(param.param.name); });

TEST(LibVolumeMenuTest, ListsAVolumeNamedLikeTheBootVolumeAgain)
{
    Volumes volumes;
    VolumeRecord twin = volumes.Make(kTwinDevice, "Home Disk");
    MountedVolumes mounted({ twin, volumes.Boot() });
    LibVolumeMenu menu(BPoint(10, 10), "volume", kMsgVolume, 70);
    menu.Update();
    EXPECT_EQ(Names(menu), std::vector<std::string>({ "Home Disk", "Home Disk" }));
    // Found by name: whichever comes first in the platform's order.
    BVolume current;
    ASSERT_TRUE(menu.GetCurrentVolume(current));
    EXPECT_EQ(current.Device(), kTwinDevice);
}

TEST(LibVolumeMenuTest, KeepsTheChosenVolumeWhileItIsMounted)
{
    Volumes volumes;
    MountedVolumes mounted({ volumes.Boot(), volumes.Data(), volumes.Stick() });
    LibVolumeMenu menu(BPoint(10, 10), "volume", kMsgVolume, 70);
    menu.Update();
    menu.SetText("Stick");
    menu.Update();
    EXPECT_STREQ(menu.Text(), "Stick");
    BVolume current;
    ASSERT_TRUE(menu.GetCurrentVolume(current));
    EXPECT_EQ(current.Device(), kStickDevice);

    // Unmounted: the menu still names it until it is updated, but it is no
    // volume any more.
    mounted.Mount({ volumes.Boot(), volumes.Data() });
    BVolume unchanged(kDataDevice);
    EXPECT_FALSE(menu.GetCurrentVolume(unchanged));
    EXPECT_EQ(unchanged.Device(), kDataDevice);
    menu.Update();
    EXPECT_EQ(Names(menu), std::vector<std::string>({ "Home Disk", "Data" }));
    EXPECT_STREQ(menu.Text(), "Home Disk");
}

namespace {

// A window that keeps its volume menu current as the installer's does: it
// watches the mounts and updates the menu on every mount or unmount notice.
class VolumeWindow : public RecordingWindow {
public:
    VolumeWindow()
        : RecordingWindow(BRect(60, 60, 299, 139), "volumes")
        , fMenu(new LibVolumeMenu(BPoint(10, 10), "volume", kMsgVolume, 70))
    {
        Panel(this)->AddChild(fMenu);
        fMenu->Update();
    }

    void MessageReceived(BMessage* message) override
    {
        int32 opcode = 0;
        if (message->what == B_NODE_MONITOR && message->FindInt32("opcode", &opcode) == B_OK
            && (opcode == B_DEVICE_MOUNTED || opcode == B_DEVICE_UNMOUNTED))
            fMenu->Update();
        RecordingWindow::MessageReceived(message);
    }

    LibVolumeMenu* Menu() const { return fMenu; }

    std::vector<std::string> MenuNames()
    {
        std::vector<std::string> names;
        WithLock(this, [&] { names = Names(*fMenu); });
        return names;
    }

private:
    LibVolumeMenu* fMenu;
};

class LibVolumeMenuWatchTest : public testing::Test {
protected:
    LibVolumeMenuWatchTest()
        : fMounted({ fVolumes.Boot(), fVolumes.Data() })
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(fWindow.ShowAndSettle());
        ASSERT_EQ(watch_node(nullptr, B_WATCH_MOUNT, BMessenger(fWindow.Get())), B_OK);
    }

    void TearDown() override { stop_watching(BMessenger(fWindow.Get())); }

    // Mounts exactly these volumes, as the kernel would, and lets the mount
    // watcher tell the window.
    void MountOnly(const std::vector<VolumeRecord>& volumes)
    {
        fMounted.Mount(volumes);
        MountWatcher::Update(volumes);
    }

    Volumes fVolumes;
    MountedVolumes fMounted;
    ScopedWindow<VolumeWindow> fWindow;
};

} // namespace

TEST_F(LibVolumeMenuWatchTest, GainsAndLosesAVolumeAsItIsMountedAndUnmounted)
{
    EXPECT_EQ(fWindow->MenuNames(), std::vector<std::string>({ "Home Disk", "Data" }));
    MountOnly({ fVolumes.Boot(), fVolumes.Data(), fVolumes.Stick() });
    EXPECT_TRUE(WaitUntil([&] { return fWindow->MenuNames().size() == 3; }));
    EXPECT_EQ(fWindow->MenuNames(), std::vector<std::string>({ "Home Disk", "Data", "Stick" }));
    MountOnly({ fVolumes.Boot(), fVolumes.Data() });
    EXPECT_TRUE(WaitUntil([&] { return fWindow->MenuNames().size() == 2; }));
    EXPECT_EQ(fWindow->MenuNames(), std::vector<std::string>({ "Home Disk", "Data" }));
}

TEST_F(LibVolumeMenuWatchTest, AVolumeIsChosenFromTheMenu)
{
    MountOnly({ fVolumes.Boot(), fVolumes.Data(), fVolumes.Backup() });
    ASSERT_TRUE(WaitUntil([&] { return fWindow->MenuNames().size() == 3; }));
    ASSERT_TRUE(WaitUntilSettled(fWindow.Get()));

    BPoint field = CenterOf(fWindow->Menu()->MenuField());
    ASSERT_EQ(Display().InjectClick(DisplayId(fWindow.Get()), field), B_OK);
    BPoint item;
    ASSERT_TRUE(WaitForOpenMenu(fWindow.Get(), "Data", &item));
    ASSERT_EQ(Display().InjectClick(DisplayId(fWindow.Get()), item), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fWindow.Get()));
    EXPECT_EQ(fWindow->Count(kMsgVolume), 1);
    WithLock(fWindow.Get(), [&] { EXPECT_STREQ(fWindow->Menu()->Text(), "Data"); });

    // The read-only volume is there but cannot be chosen.
    ASSERT_EQ(Display().InjectClick(DisplayId(fWindow.Get()), field), B_OK);
    ASSERT_TRUE(WaitForOpenMenu(fWindow.Get(), "Backup", &item));
    ASSERT_EQ(Display().InjectClick(DisplayId(fWindow.Get()), item), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fWindow.Get()));
    EXPECT_EQ(fWindow->Count(kMsgVolume), 1);
    WithLock(fWindow.Get(), [&] { EXPECT_STREQ(fWindow->Menu()->Text(), "Data"); });
}

// The installer's volume menu open: the boot volume chosen, a data volume
// and a stick that may be chosen, and a read-only backup shown but greyed.
TEST_F(LibVolumeMenuWatchTest, GoldenOpenWithAVolumeThatDoesNotSuit)
{
    MountOnly({ fVolumes.Boot(), fVolumes.Data(), fVolumes.Stick(), fVolumes.Backup() });
    ASSERT_TRUE(WaitUntil([&] { return fWindow->MenuNames().size() == 4; }));
    // Tall enough for the open menu to show in the window's picture.
    WithLock(fWindow.Get(), [&] { fWindow->ResizeTo(239, 119); });
    ASSERT_TRUE(WaitUntilSettled(fWindow.Get()));
    WithLock(fWindow.Get(), [&] { fWindow->Menu()->MenuField()->OpenMenu(true); });
    ASSERT_TRUE(WaitUntilSettled(fWindow.Get()));
    EXPECT_TRUE(MatchesGolden("toolkit/volumemenu-open", Snapshot(fWindow.Get())));
}
