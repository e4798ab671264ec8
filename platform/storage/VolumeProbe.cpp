// The machine-dependent half of the volume table: device numbers from stat,
// labels from udev's /dev/disk/by-label links, removable drives from sysfs.

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <sys/utsname.h>

#include "PathHelpers.h"
#include "VolumeTable.h"

namespace BPrivate {

namespace {

// udev writes blanks and other unsafe bytes of a label as "\xHH".
std::string DecodeLabel(const std::string& name)
{
    std::string label;
    for (size_t i = 0; i < name.size(); i++) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            char digits[3] = { name[i + 2], name[i + 3], '\0' };
            char* end = nullptr;
            long value = std::strtol(digits, &end, 16);
            if (end == digits + 2) {
                label += char(value);
                i += 3;
                continue;
            }
        }
        label += name[i];
    }
    return label;
}

std::map<std::string, std::string> ReadLabels()
{
    std::map<std::string, std::string> labels;
    const std::string folder = "/dev/disk/by-label";
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return labels;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        std::string device;
        if (RealPath(JoinPath(folder, name), &device) == B_OK)
            labels[device] = DecodeLabel(name);
    }
    closedir(dir);
    return labels;
}

std::string ReadFirstLine(const std::string& path)
{
    std::ifstream stream(path);
    std::string line;
    std::getline(stream, line);
    return line;
}

// A partition's "removable" flag lives on its disk, one folder up in sysfs.
// Drives on USB count as removable even when they do not say so.
bool IsRemovableDevice(const MountEntry& mount)
{
    if (mount.source.rfind("/dev/", 0) != 0)
        return false;
    std::string device;
    if (RealPath(mount.source, &device) != B_OK)
        return false;
    std::string sysPath;
    if (RealPath("/sys/class/block/" + LeafOf(device), &sysPath) != B_OK)
        return false;
    if (sysPath.find("/usb") != std::string::npos)
        return true;
    if (ReadFirstLine(sysPath + "/removable") == "1")
        return true;
    std::string parent;
    std::string leaf;
    SplitPath(sysPath, &parent, &leaf);
    return ReadFirstLine(parent + "/removable") == "1";
}

bool TmpfsHasUserXattrs()
{
    struct utsname name;
    if (uname(&name) != 0)
        return false;
    int major = 0;
    int minor = 0;
    if (std::sscanf(name.release, "%d.%d", &major, &minor) != 2)
        return false;
    return major > 6 || (major == 6 && minor >= 6);
}

} // namespace

VolumeProbe VolumeProbe::System()
{
    VolumeProbe probe;
    probe.deviceOf = [](const std::string& mountPoint, dev_t* device) {
        struct stat info;
        if (stat(mountPoint.c_str(), &info) != 0)
            return false;
        *device = info.st_dev;
        return true;
    };
    auto labels = std::make_shared<std::map<std::string, std::string>>(ReadLabels());
    probe.labelOf = [labels](const MountEntry& mount) {
        std::string device;
        if (mount.source.rfind("/dev/", 0) != 0 || RealPath(mount.source, &device) != B_OK)
            return std::string();
        auto found = labels->find(device);
        return found != labels->end() ? found->second : std::string();
    };
    probe.removable = IsRemovableDevice;
    probe.tmpfsHasUserXattrs = TmpfsHasUserXattrs();
    return probe;
}

} // namespace BPrivate
