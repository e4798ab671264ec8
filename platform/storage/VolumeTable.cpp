#include "VolumeTable.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <sys/utsname.h>

#include <fs_info.h>

#include "PathHelpers.h"
#include "StorageScope.h"

namespace BPrivate {

namespace {

const std::set<std::string> kPseudoTypes = { "proc", "sysfs", "cgroup", "cgroup2", "devpts",
    "devtmpfs", "mqueue", "debugfs", "tracefs", "securityfs", "pstore", "bpf", "configfs",
    "fusectl", "hugetlbfs", "autofs", "binfmt_misc", "efivarfs", "nsfs", "rpc_pipefs", "selinuxfs",
    "rootfs", "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "ramfs", "none" };

const std::set<std::string> kNetworkTypes = { "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs",
    "afs", "9p", "ceph", "glusterfs", "davfs", "lustre", "virtiofs", "vboxsf", "fuse.sshfs",
    "fuse.rclone", "fuse.s3fs", "fuse.glusterfs", "fuse.davfs2", "fuse.gcsfuse" };

// File systems that keep user extended attributes by default.
const std::set<std::string> kXattrTypes = { "ext2", "ext3", "ext4", "xfs", "btrfs", "f2fs", "jfs",
    "reiserfs", "bcachefs", "zfs", "ocfs2", "gfs2", "overlay" };

// Mount points below these folders belong to the system's plumbing.
const char* const kHiddenFolders[] = { "/proc", "/sys", "/dev", "/run" };
const char* const kRemovableFolders[] = { "/media", "/run/media" };

bool IsBelowAny(const std::string& path, const char* const* folders, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        if (path != folders[i] && PathIsInside(path, folders[i]))
            return true;
    }
    return false;
}

bool IsListed(const MountEntry& mount)
{
    if (VolumeTable::IsPseudoFileSystem(mount.fsType))
        return false;
    if (IsBelowAny(mount.mountPoint, kRemovableFolders, std::size(kRemovableFolders)))
        return true;
    if (mount.mountPoint.rfind("/snap/", 0) == 0 && mount.fsType == "squashfs")
        return false;
    return !IsBelowAny(mount.mountPoint, kHiddenFolders, std::size(kHiddenFolders));
}

std::string BaseName(const MountEntry& mount, const std::string& label)
{
    if (!label.empty())
        return label;
    if (mount.mountPoint == "/")
        return "File System";
    return LeafOf(mount.mountPoint);
}

// One mount per device: the one that shows the file system's top (root
// "/") wins over bind mounts of a sub-folder; otherwise the first listed.
std::vector<const MountEntry*> PickMounts(
    const std::vector<MountEntry>& mounts, const VolumeProbe& probe, std::vector<dev_t>* devices)
{
    std::vector<const MountEntry*> picked;
    std::map<dev_t, size_t> index;
    for (const MountEntry& mount : mounts) {
        dev_t device = mount.device;
        if (probe.deviceOf)
            probe.deviceOf(mount.mountPoint, &device);
        auto found = index.find(device);
        if (found == index.end()) {
            index[device] = picked.size();
            picked.push_back(&mount);
            devices->push_back(device);
        } else if (mount.root == "/" && picked[found->second]->root != "/") {
            picked[found->second] = &mount;
        }
    }
    return picked;
}

} // namespace

uint32 VolumeRecord::FsFlags() const
{
    uint32 flags = 0;
    if (readOnly)
        flags |= B_FS_IS_READONLY;
    if (removable)
        flags |= B_FS_IS_REMOVABLE;
    if (persistent)
        flags |= B_FS_IS_PERSISTENT;
    if (shared)
        flags |= B_FS_IS_SHARED;
    if (attributes)
        flags |= B_FS_HAS_ATTR | B_FS_HAS_MIME;
    return flags;
}

bool VolumeTable::IsPseudoFileSystem(const std::string& type)
{
    return kPseudoTypes.count(type) != 0;
}

bool VolumeTable::IsNetworkFileSystem(const MountEntry& mount)
{
    if (kNetworkTypes.count(mount.fsType) != 0)
        return true;
    // "server:/export" and "//server/share" name remote sources.
    return mount.source.rfind("//", 0) == 0
        || (mount.source.find(":/") != std::string::npos && mount.source[0] != '/');
}

bool VolumeTable::KeepsUserXattrs(const MountEntry& mount, bool tmpfsHasUserXattrs)
{
    if (mount.HasOption("nouser_xattr"))
        return false;
    if (mount.fsType == "tmpfs")
        return tmpfsHasUserXattrs;
    return kXattrTypes.count(mount.fsType) != 0;
}

std::vector<VolumeRecord> VolumeTable::Build(
    const std::vector<MountEntry>& mounts, const VolumeProbe& probe)
{
    std::vector<dev_t> devices;
    std::vector<const MountEntry*> picked = PickMounts(mounts, probe, &devices);
    std::vector<VolumeRecord> volumes;
    std::set<std::string> usedNames;
    for (size_t i = 0; i < picked.size(); i++) {
        const MountEntry& mount = *picked[i];
        VolumeRecord volume;
        volume.device = devices[i];
        volume.mountPoint = mount.mountPoint;
        volume.fsType = mount.fsType;
        volume.source = mount.source;
        volume.listed = IsListed(mount);
        volume.readOnly = mount.HasOption("ro");
        volume.shared = IsNetworkFileSystem(mount);
        volume.persistent = mount.fsType != "tmpfs" && mount.fsType != "ramfs"
            && mount.source.rfind("/dev/zram", 0) != 0;
        volume.attributes = KeepsUserXattrs(mount, probe.tmpfsHasUserXattrs);
        volume.removable
            = IsBelowAny(mount.mountPoint, kRemovableFolders, std::size(kRemovableFolders))
            || (probe.removable && probe.removable(mount));
        std::string name = BaseName(mount, probe.labelOf ? probe.labelOf(mount) : "");
        if (name.empty())
            name = mount.fsType;
        // Two volumes of the same name could not be told apart in a menu,
        // which finds the chosen volume again by name.
        if (usedNames.count(name) != 0)
            name += " (" + mount.mountPoint + ")";
        usedNames.insert(name);
        volume.name = std::move(name);
        volumes.push_back(std::move(volume));
    }
    return volumes;
}

namespace {

struct TestVolumes {
    std::mutex lock;
    bool active = false;
    std::vector<VolumeRecord> volumes;
};

TestVolumes& Replacement()
{
    // Never destroyed: the mount watcher's thread may still ask at exit.
    static TestVolumes* replacement = new TestVolumes;
    return *replacement;
}

} // namespace

void VolumeTable::SetTestVolumes(const std::vector<VolumeRecord>* volumes)
{
    TestVolumes& replacement = Replacement();
    std::lock_guard guard(replacement.lock);
    replacement.active = volumes != nullptr;
    replacement.volumes = volumes != nullptr ? *volumes : std::vector<VolumeRecord>();
}

status_t VolumeTable::Current(std::vector<VolumeRecord>* volumes)
{
    {
        TestVolumes& replacement = Replacement();
        std::lock_guard guard(replacement.lock);
        if (replacement.active) {
            *volumes = replacement.volumes;
            return B_OK;
        }
    }
    std::vector<MountEntry> mounts;
    status_t status = MountTable::ReadCurrent(&mounts);
    if (status != B_OK)
        return status;
    *volumes = Build(mounts, VolumeProbe::System());
    return B_OK;
}

status_t VolumeTable::Find(dev_t device, VolumeRecord* volume)
{
    std::vector<VolumeRecord> volumes;
    status_t status = Current(&volumes);
    if (status != B_OK)
        return status;
    for (VolumeRecord& candidate : volumes) {
        if (candidate.device == device) {
            *volume = std::move(candidate);
            return B_OK;
        }
    }
    return B_BAD_VALUE;
}

status_t VolumeTable::BootDevice(dev_t* device)
{
    std::string folder = StorageScope::BootFolder();
    for (;;) {
        struct stat info;
        if (stat(folder.c_str(), &info) == 0) {
            *device = info.st_dev;
            return B_OK;
        }
        if (folder == "/")
            return B_ENTRY_NOT_FOUND;
        std::string leaf;
        SplitPath(std::string(folder), &folder, &leaf);
    }
}

} // namespace BPrivate
