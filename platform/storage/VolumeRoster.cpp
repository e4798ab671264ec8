#include <VolumeRoster.h>

#include <Volume.h>

#include "VolumeTable.h"

using BPrivate::VolumeRecord;
using BPrivate::VolumeTable;

BVolumeRoster::BVolumeRoster()
    : fIndex(0)
    , fRead(false)
{
}

BVolumeRoster::~BVolumeRoster() = default;

status_t BVolumeRoster::GetNextVolume(BVolume* volume)
{
    if (volume == nullptr)
        return B_BAD_VALUE;
    if (!fRead) {
        std::vector<VolumeRecord> volumes;
        if (VolumeTable::Current(&volumes) == B_OK) {
            for (const VolumeRecord& record : volumes) {
                if (record.listed)
                    fDevices.push_back(record.device);
            }
        }
        fRead = true;
    }
    // A volume unmounted since the table was read is skipped.
    while (fIndex < fDevices.size()) {
        if (volume->SetTo(fDevices[fIndex++]) == B_OK)
            return B_OK;
    }
    return B_BAD_VALUE;
}

void BVolumeRoster::Rewind()
{
    fDevices.clear();
    fIndex = 0;
    fRead = false;
}

status_t BVolumeRoster::GetBootVolume(BVolume* volume)
{
    if (volume == nullptr)
        return B_BAD_VALUE;
    dev_t device;
    status_t status = VolumeTable::BootDevice(&device);
    if (status != B_OK)
        return status;
    return volume->SetTo(device);
}
