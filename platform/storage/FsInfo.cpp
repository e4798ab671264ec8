// The kernel kit's file system calls, on the volume table.

#include <fs_info.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include "VolumeTable.h"

using BPrivate::VolumeRecord;
using BPrivate::VolumeTable;

namespace {

void CopyText(char* buffer, size_t size, const std::string& text)
{
    size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

} // namespace

dev_t dev_for_path(const char* path)
{
    if (path == nullptr)
        return B_BAD_VALUE;
    struct stat info;
    if (stat(path, &info) != 0)
        return StatusFromErrno(errno);
    return info.st_dev;
}

dev_t next_dev(int32* cookie)
{
    if (cookie == nullptr || *cookie < 0)
        return B_BAD_VALUE;
    std::vector<VolumeRecord> volumes;
    if (VolumeTable::Current(&volumes) != B_OK)
        return B_BAD_VALUE;
    int32 index = 0;
    for (const VolumeRecord& volume : volumes) {
        if (!volume.listed)
            continue;
        if (index++ == *cookie) {
            (*cookie)++;
            return volume.device;
        }
    }
    return B_BAD_VALUE;
}

int fs_stat_dev(dev_t device, fs_info* info)
{
    if (info == nullptr)
        return B_BAD_VALUE;
    VolumeRecord volume;
    status_t status = VolumeTable::Find(device, &volume);
    if (status != B_OK)
        return status;
    struct statvfs sizes;
    struct stat root;
    if (statvfs(volume.mountPoint.c_str(), &sizes) != 0
        || stat(volume.mountPoint.c_str(), &root) != 0)
        return StatusFromErrno(errno);
    std::memset(info, 0, sizeof(*info));
    info->dev = device;
    info->root = root.st_ino;
    info->flags = volume.FsFlags();
    info->block_size = off_t(sizes.f_frsize);
    info->io_size = off_t(sizes.f_bsize);
    info->total_blocks = off_t(sizes.f_blocks);
    info->free_blocks = off_t(sizes.f_bavail);
    info->total_nodes = off_t(sizes.f_files);
    info->free_nodes = off_t(sizes.f_favail);
    CopyText(info->device_name, sizeof(info->device_name), volume.source);
    CopyText(info->volume_name, sizeof(info->volume_name), volume.name);
    CopyText(info->fsh_name, sizeof(info->fsh_name), volume.attributes ? "bfs" : volume.fsType);
    return B_OK;
}
