#include <Volume.h>

#include <cerrno>
#include <cstring>
#include <sys/statvfs.h>

#include <Directory.h>
#include <fs_info.h>

#include "VolumeTable.h"

using BPrivate::VolumeRecord;
using BPrivate::VolumeTable;

BVolume::BVolume()
    : fDevice(dev_t(-1))
    , fStatus(B_NO_INIT)
    , fFlags(0)
{
}

BVolume::BVolume(dev_t device)
    : BVolume()
{
    SetTo(device);
}

BVolume::BVolume(const BVolume& volume) = default;

BVolume::~BVolume() = default;

status_t BVolume::InitCheck() const
{
    return fStatus;
}

status_t BVolume::SetTo(dev_t device)
{
    Unset();
    VolumeRecord record;
    status_t status = VolumeTable::Find(device, &record);
    if (status != B_OK)
        return fStatus = status;
    fDevice = device;
    fName = record.name;
    fMountPoint = record.mountPoint;
    fType = record.fsType;
    fFlags = record.FsFlags();
    return fStatus = B_OK;
}

void BVolume::Unset()
{
    fDevice = dev_t(-1);
    fStatus = B_NO_INIT;
    fName.clear();
    fMountPoint.clear();
    fType.clear();
    fFlags = 0;
}

dev_t BVolume::Device() const
{
    return fDevice;
}

status_t BVolume::GetRootDirectory(BDirectory* directory) const
{
    if (directory == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    return directory->SetTo(fMountPoint.c_str());
}

off_t BVolume::Capacity() const
{
    struct statvfs info;
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (statvfs(fMountPoint.c_str(), &info) != 0)
        return StatusFromErrno(errno);
    return off_t(info.f_blocks) * off_t(info.f_frsize);
}

off_t BVolume::FreeBytes() const
{
    struct statvfs info;
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (statvfs(fMountPoint.c_str(), &info) != 0)
        return StatusFromErrno(errno);
    return off_t(info.f_bavail) * off_t(info.f_frsize);
}

off_t BVolume::BlockSize() const
{
    struct statvfs info;
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (statvfs(fMountPoint.c_str(), &info) != 0)
        return StatusFromErrno(errno);
    return off_t(info.f_frsize);
}

status_t BVolume::GetName(char* name) const
{
    if (name == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    size_t length = std::min(fName.size(), size_t(B_FILE_NAME_LENGTH - 1));
    std::memcpy(name, fName.data(), length);
    name[length] = '\0';
    return B_OK;
}

status_t BVolume::SetName(const char* name)
{
    if (name == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    return B_NOT_SUPPORTED;
}

bool BVolume::IsRemovable() const
{
    return (fFlags & B_FS_IS_REMOVABLE) != 0;
}

bool BVolume::IsReadOnly() const
{
    return (fFlags & B_FS_IS_READONLY) != 0;
}

bool BVolume::IsPersistent() const
{
    return (fFlags & B_FS_IS_PERSISTENT) != 0;
}

bool BVolume::IsShared() const
{
    return (fFlags & B_FS_IS_SHARED) != 0;
}

bool BVolume::KnowsMime() const
{
    return (fFlags & B_FS_HAS_MIME) != 0;
}

bool BVolume::KnowsAttr() const
{
    return (fFlags & B_FS_HAS_ATTR) != 0;
}

bool BVolume::KnowsQuery() const
{
    return false;
}

bool BVolume::operator==(const BVolume& volume) const
{
    if (fStatus != B_OK || volume.fStatus != B_OK)
        return fStatus != B_OK && volume.fStatus != B_OK;
    return fDevice == volume.fDevice;
}

BVolume& BVolume::operator=(const BVolume& volume) = default;
