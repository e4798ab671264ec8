// The installer window in-process, on volumes the test mounts: the volume menu
// follows mount notices, and a chosen volume gives the destination the
// volume's own folder for the user.

#include "InstallerWin.h"

#include "AppTestSupport.h"

#include <LibInterfaceTestSupport.h>
#include <LibMenuField.h>
#include <LibStringView.h>
#include <LibVolumeMenu.h>
#include <MenuItem.h>
#include <TestSandbox.h>

// The storage kit's own volume table, which tests may replace.
#include "MountWatcher.h"
#include "VolumeTable.h"

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

VolumeRecord Volume(dev_t device, const char* name, const std::string& mountPoint)
{
    VolumeRecord record;
    record.device = device;
    record.name = name;
    record.mountPoint = mountPoint;
    record.fsType = "ext4";
    record.source = "/dev/fake";
    record.listed = true;
    record.attributes = true;
    return record;
}

class InstallerWinTest : public testing::Test {
protected:
    InstallerWinTest()
    {
        struct stat home;
        stat(std::getenv("HOME"), &home);
        fBoot = Volume(home.st_dev, "Home Disk", std::getenv("HOME"));
        fDataFolder = MakeTempFolder("data");
        // A device number of the test's own, for a volume only it has.
        fData = Volume(9101, "Data", fDataFolder);
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

    std::string Destination(InstallerWin* window)
    {
        std::string text;
        WithLock(window, [&] {
            LibStringView* view = dynamic_cast<LibStringView*>(window->FindView("destination"));
            if (view != nullptr)
                text = view->Text();
        });
        return text;
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
    EXPECT_EQ(Destination(window.Get()), std::getenv("HOME"));

    WithLock(window.Get(), [&] {
        LibVolumeMenu* menu = dynamic_cast<LibVolumeMenu*>(window->FindView("volume"));
        if (menu != nullptr)
            menu->MenuField()->SetMarked("Data", true);
    });
    window->PostMessage(InstallerWin::kMsgVolume);
    EXPECT_TRUE(WaitUntil([&] { return Destination(window.Get()) == fDataFolder; }))
        << Destination(window.Get());
    unsetenv("BRENVIK_SCOPE");
}
