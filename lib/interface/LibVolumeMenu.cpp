#include "LibVolumeMenu.h"

#include <Message.h>
#include <StorageDefs.h>
#include <Volume.h>
#include <VolumeRoster.h>
#include <fs_info.h>

#include <cstring>

LibVolumeMenu::LibVolumeMenu(
    BPoint where, const char* name, const uint32& command, const float& labelWidth)
    : LibMenuButton(where, name, "Disk", labelWidth, 130, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, true)
    , fCommand(command)
{
}

LibVolumeMenu::~LibVolumeMenu() = default;

void LibVolumeMenu::AllowPersistent(const bool& allow)
{
    fAllowPersistent = allow;
}

void LibVolumeMenu::AllowRemovable(const bool& allow)
{
    fAllowRemovable = allow;
}

void LibVolumeMenu::AllowShared(const bool& allow)
{
    fAllowShared = allow;
}

void LibVolumeMenu::AllowReadOnly(const bool& allow)
{
    fAllowReadOnly = allow;
}

void LibVolumeMenu::OnlyBeOS(const bool& only)
{
    fOnlyBeOS = only;
}

bool LibVolumeMenu::Suits(uint32 fsFlags, const char* fileSystem) const
{
    if (fOnlyBeOS && std::strcmp(fileSystem, "bfs") != 0)
        return false;
    if ((fsFlags & B_FS_IS_READONLY) != 0 && !fAllowReadOnly)
        return false;
    if ((fsFlags & B_FS_IS_PERSISTENT) != 0 && !fAllowPersistent)
        return false;
    if ((fsFlags & B_FS_IS_REMOVABLE) != 0 && !fAllowRemovable)
        return false;
    if ((fsFlags & B_FS_IS_SHARED) != 0 && !fAllowShared)
        return false;
    return true;
}

void LibVolumeMenu::Update()
{
    LibString kept = Text();
    Clear();

    BVolumeRoster roster;
    BVolume boot;
    char name[B_FILE_NAME_LENGTH];
    bool hasBoot = roster.GetBootVolume(&boot) == B_OK && boot.GetName(name) == B_OK;
    // The boot volume may always be chosen.
    if (hasBoot)
        AddItem(name, new BMessage(fCommand));

    BVolume volume;
    while (roster.GetNextVolume(&volume) == B_OK) {
        if ((hasBoot && volume == boot) || volume.GetName(name) != B_OK || name[0] == '\0')
            continue;
        fs_info info;
        // A volume whose kind cannot be read is offered but cannot be chosen.
        bool known = fs_stat_dev(volume.Device(), &info) == 0;
        AddItem(name, new BMessage(fCommand));
        if (!known || !Suits(info.flags, info.fsh_name))
            SetEnableItem(CountItems() - 1, false);
    }
    SetText(kept);
}

bool LibVolumeMenu::GetCurrentVolume(BVolume& volume)
{
    LibString text = Text();
    BVolumeRoster roster;
    BVolume candidate;
    char name[B_FILE_NAME_LENGTH];
    while (roster.GetNextVolume(&candidate) == B_OK) {
        if (candidate.GetName(name) == B_OK && text.Compare(name) == 0) {
            volume = candidate;
            return true;
        }
    }
    return false;
}
