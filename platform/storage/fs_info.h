#pragma once

// File system information of the BeOS kernel kit.
//
// fsh_name reads "bfs" for every volume that can hold our attributes (the
// Linux type is elsewhere, in BVolume::FileSystemType): the installer's
// default rule offers only "bfs" volumes, and on Linux that means "a volume
// that keeps BeOS attributes".

#include <OS.h>
#include <StorageDefs.h>

#define B_FS_IS_READONLY 0x00000001
#define B_FS_IS_REMOVABLE 0x00000002
#define B_FS_IS_PERSISTENT 0x00000004
#define B_FS_IS_SHARED 0x00000008
#define B_FS_HAS_MIME 0x00010000
#define B_FS_HAS_ATTR 0x00020000
#define B_FS_HAS_QUERY 0x00040000

typedef struct fs_info {
    dev_t dev;
    ino_t root;
    uint32 flags;
    off_t block_size;
    off_t io_size;
    off_t total_blocks;
    off_t free_blocks;
    off_t total_nodes;
    off_t free_nodes;
    char device_name[B_DEV_NAME_LENGTH];
    char volume_name[B_FILE_NAME_LENGTH];
    char fsh_name[B_OS_NAME_LENGTH];
} fs_info;

// The device of the volume that holds `path`; a negative error.
dev_t dev_for_path(const char* path);
// The listed volumes one by one (start with *cookie = 0); B_BAD_VALUE after
// the last.
dev_t next_dev(int32* cookie);
// B_OK, or an error when no volume has that device.
int fs_stat_dev(dev_t device, fs_info* info);
