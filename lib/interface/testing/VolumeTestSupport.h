#pragma once

// A mounted volume as the tests hand it to the volume table: a listed ext4
// file system with attributes, on a device that does not exist.

#include "VolumeTable.h"

#include <string>

namespace brenvik::test {

inline BPrivate::VolumeRecord FakeVolume(
    dev_t device, const char* name, const std::string& mountPoint)
{
    BPrivate::VolumeRecord record;
    record.device = device;
    record.name = name;
    record.mountPoint = mountPoint;
    record.fsType = "ext4";
    record.source = "/dev/fake";
    record.listed = true;
    record.attributes = true;
    return record;
}

} // namespace brenvik::test
