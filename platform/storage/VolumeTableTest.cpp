#include <gtest/gtest.h>

#include <set>
#include <sys/sysmacros.h>

#include <Directory.h>
#include <Volume.h>
#include <VolumeRoster.h>
#include <fs_info.h>

#include "MountTable.h"
#include "VolumeTable.h"

namespace {

using BPrivate::MountEntry;
using BPrivate::MountTable;
using BPrivate::VolumeProbe;
using BPrivate::VolumeRecord;
using BPrivate::VolumeTable;

const char kSample[]
    = "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
      "26 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw,discard\n"
      "27 26 254:0 /srv/data /data rw,relatime - ext4 /dev/vda rw\n"
      "28 26 0:25 / /tmp rw,nosuid shared:5 master:2 - tmpfs tmpfs rw,size=1024k\n"
      "29 26 8:17 / /media/user/My\\040Stick ro,nosuid - vfat /dev/sdb1 ro,uid=1000\n"
      "30 26 0:40 / /mnt/nas rw - nfs4 server:/export rw,vers=4.2\n"
      "31 26 8:2 / /home rw - xfs /dev/sda2 rw,nouser_xattr\n"
      "32 26 8:3 / /mnt/home rw - ext4 /dev/sda3 rw\n"
      "33 26 0:6 / /dev rw - devtmpfs devtmpfs rw\n"
      "34 26 0:50 / /run/user/1000 rw - tmpfs tmpfs rw\n"
      "garbage line\n"
      "35 26 7:1 / /snap/core/1 ro - squashfs /dev/loop1 ro\n";

VolumeProbe FakeProbe()
{
    VolumeProbe probe;
    probe.labelOf = [](const MountEntry& mount) {
        return mount.source == "/dev/sda3" ? std::string("home") : std::string();
    };
    probe.removable = [](const MountEntry& mount) { return mount.source == "/dev/sda3"; };
    probe.tmpfsHasUserXattrs = true;
    return probe;
}

const VolumeRecord* Find(const std::vector<VolumeRecord>& volumes, const char* mountPoint)
{
    for (const VolumeRecord& volume : volumes) {
        if (volume.mountPoint == mountPoint)
            return &volume;
    }
    return nullptr;
}

TEST(MountTableTest, ParsesFieldsEscapesAndOptionalFields)
{
    std::vector<MountEntry> mounts = MountTable::Parse(kSample);
    ASSERT_EQ(mounts.size(), 11u);
    const MountEntry& stick = mounts[4];
    EXPECT_EQ(stick.mountPoint, "/media/user/My Stick");
    EXPECT_EQ(stick.fsType, "vfat");
    EXPECT_EQ(stick.source, "/dev/sdb1");
    EXPECT_EQ(stick.device, makedev(8, 17));
    EXPECT_TRUE(stick.HasOption("ro"));
    EXPECT_FALSE(stick.HasOption("r"));
    EXPECT_EQ(mounts[3].fsType, "tmpfs"); // after two optional fields
    EXPECT_EQ(mounts[2].root, "/srv/data");
}

TEST(MountTableTest, UnescapesOctalSequences)
{
    EXPECT_EQ(MountTable::Unescape("a\\040b\\011c\\012d\\134e"), "a b\tc\nd\\e");
    EXPECT_EQ(MountTable::Unescape("trailing\\04"), "trailing\\04");
    EXPECT_EQ(MountTable::Unescape("\\999"), "\\999");
}

TEST(VolumeTableTest, OneVolumePerDeviceWithKinds)
{
    std::vector<VolumeRecord> volumes = VolumeTable::Build(MountTable::Parse(kSample), FakeProbe());
    // The bind mount of /srv/data shares the root file system's device.
    EXPECT_EQ(Find(volumes, "/data"), nullptr);

    const VolumeRecord* root = Find(volumes, "/");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->name, "File System");
    EXPECT_TRUE(root->listed);
    EXPECT_TRUE(root->persistent);
    EXPECT_TRUE(root->attributes);
    EXPECT_FALSE(root->readOnly || root->removable || root->shared);

    const VolumeRecord* tmp = Find(volumes, "/tmp");
    ASSERT_NE(tmp, nullptr);
    EXPECT_FALSE(tmp->persistent);
    EXPECT_TRUE(tmp->attributes);

    const VolumeRecord* stick = Find(volumes, "/media/user/My Stick");
    ASSERT_NE(stick, nullptr);
    EXPECT_EQ(stick->name, "My Stick");
    EXPECT_TRUE(stick->removable);
    EXPECT_TRUE(stick->readOnly);
    EXPECT_FALSE(stick->attributes);

    const VolumeRecord* nas = Find(volumes, "/mnt/nas");
    ASSERT_NE(nas, nullptr);
    EXPECT_TRUE(nas->shared);
    EXPECT_FALSE(nas->attributes);

    const VolumeRecord* home = Find(volumes, "/home");
    ASSERT_NE(home, nullptr);
    EXPECT_FALSE(home->attributes); // mounted with nouser_xattr
}

TEST(VolumeTableTest, NamesAreUniqueAndLabelsWin)
{
    std::vector<VolumeRecord> volumes = VolumeTable::Build(MountTable::Parse(kSample), FakeProbe());
    EXPECT_EQ(Find(volumes, "/home")->name, "home");
    // /mnt/home is labelled "home" too: it is told apart by its mount point.
    EXPECT_EQ(Find(volumes, "/mnt/home")->name, "home (/mnt/home)");
    EXPECT_TRUE(Find(volumes, "/mnt/home")->removable);
    std::set<std::string> names;
    for (const VolumeRecord& volume : volumes) {
        EXPECT_FALSE(volume.name.empty());
        EXPECT_TRUE(names.insert(volume.name).second) << volume.name;
    }
}

TEST(VolumeTableTest, SystemPlumbingIsNotListed)
{
    std::vector<VolumeRecord> volumes = VolumeTable::Build(MountTable::Parse(kSample), FakeProbe());
    for (const char* hidden : { "/proc", "/dev", "/run/user/1000", "/snap/core/1" }) {
        const VolumeRecord* volume = Find(volumes, hidden);
        ASSERT_NE(volume, nullptr) << hidden;
        EXPECT_FALSE(volume->listed) << hidden;
    }
}

TEST(VolumeRosterTest, ThisMachineHasANamedBootVolume)
{
    BVolumeRoster roster;
    BVolume boot;
    ASSERT_EQ(roster.GetBootVolume(&boot), B_OK);
    char name[B_FILE_NAME_LENGTH];
    ASSERT_EQ(boot.GetName(name), B_OK);
    EXPECT_NE(name[0], '\0');
    EXPECT_GT(boot.Capacity(), 0);
    EXPECT_GE(boot.FreeBytes(), 0);
    BDirectory root;
    ASSERT_EQ(boot.GetRootDirectory(&root), B_OK);
    EXPECT_TRUE(root.IsRootDirectory());

    fs_info info;
    ASSERT_EQ(fs_stat_dev(boot.Device(), &info), B_OK);
    EXPECT_STREQ(info.volume_name, name);
    if (boot.KnowsAttr()) {
        EXPECT_STREQ(info.fsh_name, "bfs");
    }

    bool listed = false;
    BVolume volume;
    while (roster.GetNextVolume(&volume) == B_OK)
        listed = listed || volume == boot;
    EXPECT_TRUE(listed);
    EXPECT_EQ(roster.GetNextVolume(&volume), B_BAD_VALUE);
}

TEST(VolumeRosterTest, UnknownDeviceIsRefused)
{
    BVolume volume(makedev(4095, 4095));
    EXPECT_NE(volume.InitCheck(), B_OK);
    EXPECT_EQ(volume.FreeBytes(), B_NO_INIT);
    fs_info info;
    EXPECT_NE(fs_stat_dev(makedev(4095, 4095), &info), B_OK);
}

} // namespace
