#include <BackingStore.h>

namespace BPrivate {

BackingStore::BackingStore(int32 width, int32 height, rgb_color fill, float scale)
    : fSurface(width, height, false, fill)
    , fFill(fill)
{
    fSurface.SetScale(scale);
}

status_t BackingStore::Resize(int32 width, int32 height)
{
    std::lock_guard<std::mutex> lock(fLock);
    return fSurface.Resize(width, height, fFill);
}

int32 BackingStore::Width()
{
    std::lock_guard<std::mutex> lock(fLock);
    return fSurface.Width();
}

int32 BackingStore::Height()
{
    std::lock_guard<std::mutex> lock(fLock);
    return fSurface.Height();
}

} // namespace BPrivate
