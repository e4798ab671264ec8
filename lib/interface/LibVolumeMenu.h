#pragma once

// LibVolumeMenu: a labelled pop-up menu of the mounted volumes ("Disk"),
// from which the installer's destination volume is chosen. The boot volume
// comes first, then every other named volume in the platform's order.
// Volumes that do not suit the installation stay in the list, disabled:
// those without the platform's own attributes, read-only ones, and, as the
// configuration asks, persistent, removable or shared (network) ones. The
// chosen volume is known by its name, the menu's text.
//
// The menu does not watch the mounts itself: its window watches them (the
// node monitor's mount notices) and calls Update().

#include "LibMenuButton.h"

class BVolume;

class LibVolumeMenu : public LibMenuButton {
public:
    // A menu button at `where` labelled "Disk", with a label part
    // `labelWidth` wide and a menu part 130 wide, whose items send
    // `command`. The menu starts empty.
    LibVolumeMenu(BPoint where, const char* name, const uint32& command, const float& labelWidth);
    ~LibVolumeMenu() override;

    // Which kinds of volume may be chosen; Update() applies them. By
    // default persistent, removable and shared volumes may, read-only ones
    // may not, and only volumes that keep the platform's attributes may.
    void AllowPersistent(const bool& allow);
    void AllowRemovable(const bool& allow);
    void AllowShared(const bool& allow);
    void AllowReadOnly(const bool& allow);
    void OnlyBeOS(const bool& only);

    // Lists the mounted volumes again; the chosen volume stays chosen while
    // it is still mounted.
    void Update();
    // The first mounted volume whose name is the menu's text; false, with
    // `volume` unchanged, when none is.
    bool GetCurrentVolume(BVolume& volume);

private:
    bool Suits(uint32 fsFlags, const char* fileSystem) const;

    bool fAllowPersistent = true;
    bool fAllowRemovable = true;
    bool fAllowShared = true;
    bool fAllowReadOnly = false;
    bool fOnlyBeOS = true;
    uint32 fCommand;
};
