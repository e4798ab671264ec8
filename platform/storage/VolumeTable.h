#pragma once

// Turns the mount table into BeOS volumes: one per file system (bind mounts
// of the same device count once), each with a non-empty name that is unique
// and stable (it depends only on the mount table), and the volume kinds the
// installer's volume menu asks about. The machine-dependent look-ups (device
// numbers, labels, removable drives) go through a probe that tests replace.

#include <functional>
#include <string>
#include <vector>

#include "MountTable.h"

namespace BPrivate {

struct VolumeRecord {
    dev_t device = 0;
    std::string name;
    std::string mountPoint;
    std::string fsType; // the Linux type ("ext4")
    std::string source;
    bool listed = false; // shown by BVolumeRoster (not a kernel pseudo file system)
    bool readOnly = false;
    bool removable = false;
    bool shared = false; // a network file system
    bool persistent = true; // kept across restarts (not tmpfs or ramfs)
    bool attributes = false; // can hold user extended attributes, so our attributes

    // The B_FS_* flags of fs_info.h.
    uint32 FsFlags() const;
};

struct VolumeProbe {
    // The device number that stat reports for a mount point.
    std::function<bool(const std::string& mountPoint, dev_t* device)> deviceOf;
    // The file system's label, or "".
    std::function<std::string(const MountEntry& mount)> labelOf;
    // Whether the block device behind the mount is removable.
    std::function<bool(const MountEntry& mount)> removable;
    // Whether tmpfs keeps user xattrs (Linux 6.6 and later).
    bool tmpfsHasUserXattrs = false;

    // The probe that asks this machine.
    static VolumeProbe System();
};

class VolumeTable {
public:
    static std::vector<VolumeRecord> Build(
        const std::vector<MountEntry>& mounts, const VolumeProbe& probe);

    // The volumes of this machine now.
    static status_t Current(std::vector<VolumeRecord>* volumes);
    // Makes Current() answer these volumes instead of the machine's (null
    // gives the machine's back), so that tests can mount and unmount volumes
    // for everything that lists them: the volume roster, BVolume,
    // fs_stat_dev and the mount watcher.
    static void SetTestVolumes(const std::vector<VolumeRecord>* volumes);
    static status_t Find(dev_t device, VolumeRecord* volume);

    // The device of the boot volume: the one holding the scope's home (or
    // its nearest existing ancestor).
    static status_t BootDevice(dev_t* device);

    static bool IsPseudoFileSystem(const std::string& type);
    static bool IsNetworkFileSystem(const MountEntry& mount);
    static bool KeepsUserXattrs(const MountEntry& mount, bool tmpfsHasUserXattrs);
};

} // namespace BPrivate
