#pragma once

// The kernel's table of mounts, read from /proc/self/mountinfo. The parser
// works on given text, so that volume listing and mount notification can be
// tested on sample tables.

#include <string>
#include <vector>

#include <SupportDefs.h>

namespace BPrivate {

struct MountEntry {
    int32 mountId = -1;
    int32 parentId = -1;
    dev_t device = 0; // from the major:minor field
    std::string root; // the folder of the file system that is mounted here
    std::string mountPoint;
    std::string options; // per-mount options ("rw,relatime")
    std::string fsType; // "ext4", "fuse.sshfs", ...
    std::string source; // "/dev/sda1", "server:/export", "tmpfs"
    std::string superOptions;

    bool HasOption(const char* option) const;
};

class MountTable {
public:
    // Parses the text of a mountinfo file, one mount per line. Lines that do
    // not follow the format are skipped.
    static std::vector<MountEntry> Parse(const std::string& text);

    // Reads and parses the table of this process.
    static status_t ReadCurrent(std::vector<MountEntry>* entries);
    static status_t ReadText(std::string* text);

    // Undoes the octal escapes the kernel writes for blanks, tabs, newlines
    // and backslashes in paths ("\040" is a space).
    static std::string Unescape(const std::string& field);

    // Where the file system of `device` is mounted: the mount whose root is
    // the file system's top when there is one, else the first mount of it.
    static status_t MountPointOf(
        const std::vector<MountEntry>& entries, dev_t device, std::string* mountPoint);

    static constexpr const char* kPath = "/proc/self/mountinfo";
};

} // namespace BPrivate
