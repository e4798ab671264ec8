#pragma once

// BVolumeRoster: the mounted volumes, in the mount table's order, kernel
// pseudo file systems left out. The boot volume is the one that holds the
// install scope's home (the home folder in the user scope, BRENVIK_ROOT in
// the system scope).

#include <vector>

#include <SupportDefs.h>

class BVolume;

class BVolumeRoster {
public:
    BVolumeRoster();
    ~BVolumeRoster();

    // The next volume; B_BAD_VALUE after the last.
    status_t GetNextVolume(BVolume* volume);
    // Starts again from the first volume, reading the mount table afresh.
    void Rewind();

    status_t GetBootVolume(BVolume* volume);

private:
    std::vector<dev_t> fDevices;
    size_t fIndex;
    bool fRead;
};
