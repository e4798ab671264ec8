#pragma once

// BVolume: a mounted file system, named by its device number. The facts come
// from the mount table (see VolumeTable.h) when the volume is set; the
// sizes are asked from the file system (statvfs) each time.

#include <string>

#include <SupportDefs.h>

class BDirectory;

class BVolume {
public:
    BVolume();
    BVolume(dev_t device);
    BVolume(const BVolume& volume);
    ~BVolume();

    status_t InitCheck() const;
    status_t SetTo(dev_t device);
    void Unset();

    dev_t Device() const;

    status_t GetRootDirectory(BDirectory* directory) const;

    off_t Capacity() const;
    // What an ordinary user may still write (the root reserve excluded).
    off_t FreeBytes() const;
    off_t BlockSize() const;

    // The volume name, into a buffer of B_FILE_NAME_LENGTH bytes.
    status_t GetName(char* name) const;
    // Renaming a Linux file system's label needs its own tools and root.
    status_t SetName(const char* name);

    bool IsRemovable() const;
    bool IsReadOnly() const;
    bool IsPersistent() const;
    bool IsShared() const;
    bool KnowsMime() const;
    bool KnowsAttr() const;
    bool KnowsQuery() const;

    // Where the volume is mounted (empty when not initialised).
    const std::string& MountPoint() const { return fMountPoint; }
    // The Linux file system type ("ext4").
    const std::string& FileSystemType() const { return fType; }

    bool operator==(const BVolume& volume) const;
    bool operator!=(const BVolume& volume) const { return !(*this == volume); }
    BVolume& operator=(const BVolume& volume);

private:
    friend class BVolumeRoster;

    dev_t fDevice;
    status_t fStatus;
    std::string fName;
    std::string fMountPoint;
    std::string fType;
    uint32 fFlags;
};
