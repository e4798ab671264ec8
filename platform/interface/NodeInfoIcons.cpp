// The BBitmap forms of BNodeInfo's icon calls. The storage kit keeps icons as
// raw B_CMAP8 bytes (32 x 32 or 16 x 16, no row padding, index 255
// transparent); these calls move them in and out of bitmaps, converting
// from and to the bitmap's colour space.

#include <Bitmap.h>
#include <NodeInfo.h>

#include <cstring>
#include <vector>

namespace {

// Whether the bitmap is a square of the icon's size.
bool FitsIcon(const BBitmap* bitmap, icon_size size)
{
    if (bitmap == nullptr || bitmap->InitCheck() != B_OK)
        return false;
    BRect bounds = bitmap->Bounds();
    return bounds.IntegerWidth() + 1 == int32(size) && bounds.IntegerHeight() + 1 == int32(size);
}

status_t IconDataToBitmap(const std::vector<uint8>& data, icon_size size, BBitmap* icon)
{
    return icon->ImportBits(data.data(), int32(data.size()), int32(size), 0, B_CMAP8);
}

} // namespace

status_t BNodeInfo::GetIcon(BBitmap* icon, icon_size size) const
{
    if (!FitsIcon(icon, size))
        return B_BAD_VALUE;
    std::vector<uint8> data(IconBytes(size));
    status_t status = GetIconData(size, data.data());
    if (status != B_OK)
        return status;
    return IconDataToBitmap(data, size, icon);
}

status_t BNodeInfo::SetIcon(const BBitmap* icon, icon_size size)
{
    if (icon == nullptr)
        return SetIconData(size, nullptr);
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
    return SetIconData(size, data.data());
}

status_t BNodeInfo::GetTrackerIcon(BBitmap* icon, icon_size size) const
{
    if (!FitsIcon(icon, size))
        return B_BAD_VALUE;
    std::vector<uint8> data(IconBytes(size));
    status_t status = GetTrackerIconData(size, data.data());
    if (status != B_OK)
        return status;
    return IconDataToBitmap(data, size, icon);
}

status_t BNodeInfo::GetTrackerIcon(const entry_ref* ref, BBitmap* icon, icon_size size)
{
    if (ref == nullptr || !FitsIcon(icon, size))
        return B_BAD_VALUE;
    std::vector<uint8> data(IconBytes(size));
    status_t status = GetTrackerIconData(ref, size, data.data());
    if (status != B_OK)
        return status;
    return IconDataToBitmap(data, size, icon);
}
