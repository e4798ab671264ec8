#pragma once

// The BBitmap forms of BNodeInfo's icon calls. On BeOS they are members of
// BNodeInfo; here BNodeInfo belongs to the storage kit, below the interface
// kit that owns BBitmap, and keeps icons only as raw B_CMAP8 bytes (its
// *IconData calls). These functions move those bytes in and out of bitmaps
// of any colour space. They keep the BeOS names and arguments, with the node
// info first.

#include <Mime.h>
#include <SupportDefs.h>

class BBitmap;
class BNodeInfo;
struct entry_ref;

namespace BPrivate {

// The node's own icon into `icon`, a bitmap of the icon's size
// (B_BAD_VALUE otherwise).
status_t GetIcon(const BNodeInfo& info, BBitmap* icon, icon_size size = B_LARGE_ICON);
// Sets the node's own icon from a bitmap of the icon's size; NULL removes it.
status_t SetIcon(BNodeInfo& info, const BBitmap* icon, icon_size size = B_LARGE_ICON);

// The icon the file manager shows (BNodeInfo::GetTrackerIconData), of a node
// or of the entry `ref` names.
status_t GetTrackerIcon(const BNodeInfo& info, BBitmap* icon, icon_size size = B_LARGE_ICON);
status_t GetTrackerIcon(const entry_ref* ref, BBitmap* icon, icon_size size = B_LARGE_ICON);

} // namespace BPrivate
