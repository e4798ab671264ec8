#pragma once

// Limits, node flavours and open modes of the storage kit.

#include <fcntl.h>

#include <EntryRef.h>
#include <SupportDefs.h>

// Kinds of node, combined as flags by BDirectory::Contains and the file panel.
enum node_flavor {
    B_FILE_NODE = 0x01,
    B_SYMLINK_NODE = 0x02,
    B_DIRECTORY_NODE = 0x04,
    B_ANY_NODE = 0x07
};

// Open modes of BFile: the POSIX flags, as on BeOS.
#define B_READ_ONLY O_RDONLY
#define B_WRITE_ONLY O_WRONLY
#define B_READ_WRITE O_RDWR
#define B_FAIL_IF_EXISTS O_EXCL
#define B_CREATE_FILE O_CREAT
#define B_ERASE_FILE O_TRUNC
#define B_OPEN_AT_END O_APPEND

// A node named by volume and inode (what the node monitor watches).
struct node_ref {
    node_ref()
        : device(dev_t(-1))
        , node(ino_t(-1))
    {
    }
    node_ref(dev_t dev, ino_t ino)
        : device(dev)
        , node(ino)
    {
    }
    bool operator==(const node_ref& other) const
    {
        return device == other.device && node == other.node;
    }
    bool operator!=(const node_ref& other) const { return !(*this == other); }
    bool operator<(const node_ref& other) const
    {
        return device != other.device ? device < other.device : node < other.node;
    }

    dev_t device;
    ino_t node;
};
