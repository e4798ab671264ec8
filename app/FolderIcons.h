#pragma once

// The three faces of the installer window's folder button: 24 × 24 pixels
// of the system's 8-bit colour map (576 bytes each), a folder, normal,
// pressed and disabled.

#include <SupportDefs.h>

namespace FolderIcons {

constexpr int32 kSize = 24;

const uint8* Normal();
const uint8* Pressed();
const uint8* Disabled();

} // namespace FolderIcons
