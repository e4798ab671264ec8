// The storage kit keeps icons as raw B_CMAP8 bytes (32 x 32 or 16 x 16, no
// row padding, index 255 transparent); these calls move them in and out of
// bitmaps, converting from and to the bitmap's colour space.

#include "NodeInfoIcons.h"

#include <Bitmap.h>
#include <NodeInfo.h>

#include <cstring>
#include <vector>

namespace BPrivate {

namespace {

// Whether the bitmap is a square of the icon's size.
bool FitsIcon(const BBitmap* bitmap, icon_size size)
{
    if (bitmap == nullptr || bitmap->InitCheck() != B_OK)
        return false;
    BRect bounds = bitmap->Bounds();
    return bounds.IntegerWidth() + 1 == int32(size) && bounds.IntegerHeight() + 1 == int32(size);
}

// Reads an icon's bytes with `read` (one of BNodeInfo's *IconData calls)
// into a bitmap of the icon's size.
template <class Read> status_t ReadIcon(BBitmap* icon, icon_size size, Read read)
{
    if (!FitsIcon(icon, size))
        return B_BAD_VALUE;
    std::vector<uint8> data(IconBytes(size));
    status_t status = read(data.data());
    if (status != B_OK)
        return status;
    return icon->ImportBits(data.data(), int32(data.size()), int32(size), 0, B_CMAP8);
}

} // namespace

status_t GetIcon(const BNodeInfo& info, BBitmap* icon, icon_size size)
{
    return ReadIcon(icon, size, [&](uint8* bits) { return info.GetIconData(size, bits); });
}

status_t SetIcon(BNodeInfo& info, const BBitmap* icon, icon_size size)
{
    if (icon == nullptr)
        return info.SetIconData(size, nullptr);
    if (!FitsIcon(icon, size))
        return B_BAD_VALUE;
    // The icon in the storage form: colour-mapped rows without padding.
    BBitmap mapped(icon->Bounds(), B_CMAP8);
    status_t status = mapped.InitCheck();
    if (status == B_OK)
        status = mapped.ImportBits(icon);
    if (status != B_OK)
        return status;
    std::vector<uint8> data(IconBytes(size));
    const uint8* bits = static_cast<const uint8*>(mapped.Bits());
    for (int32 row = 0; row < int32(size); row++)
        std::memcpy(data.data() + row * int32(size), bits + row * mapped.BytesPerRow(), size);
    return info.SetIconData(size, data.data());
}

status_t GetTrackerIcon(const BNodeInfo& info, BBitmap* icon, icon_size size)
{
    return ReadIcon(icon, size, [&](uint8* bits) { return info.GetTrackerIconData(size, bits); });
}

status_t GetTrackerIcon(const entry_ref* ref, BBitmap* icon, icon_size size)
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    return ReadIcon(
        icon, size, [&](uint8* bits) { return BNodeInfo::GetTrackerIconData(ref, size, bits); });
}

} // namespace BPrivate
