#include <Bitmap.h>

#include <Message.h>
#include <TypeConstants.h>
#include <View.h>
#include <Window.h>

#include <PixelBuffer.h>
#include <PixelFormat.h>
#include <RenderSurface.h>

#include "WindowLink.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <string>
#include <typeinfo>

using BPrivate::PixelBuffer;

namespace {

constexpr uint8 kWhiteIndex = 63;

int32 PixelCount(float extent)
{
    return int32(std::floor(extent + 0.5f)) + 1;
}

// The name of the object's most derived class, as the platform's archives
// name it ("BBitmap", or a subclass's name).
std::string ClassNameOf(const BBitmap* bitmap)
{
    const char* mangled = typeid(*bitmap).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled != nullptr ? demangled : "BBitmap";
    std::free(demangled);
    return name;
}

struct Registration {
    Registration() { RegisterArchivableClass("BBitmap", BBitmap::Instantiate); }
} sRegistration;

} // namespace

const screen_id B_MAIN_SCREEN_ID = { 0 };

BBitmap::BBitmap(
    BRect bounds, uint32 flags, color_space colorSpace, int32 bytesPerRow, screen_id /*screenID*/)
    : fBuffer(std::make_unique<PixelBuffer>())
{
    InitObject(bounds, colorSpace, flags, bytesPerRow);
}

BBitmap::BBitmap(BRect bounds, color_space colorSpace, bool acceptsViews, bool needsContiguous)
    : fBuffer(std::make_unique<PixelBuffer>())
{
    uint32 flags = (acceptsViews ? B_BITMAP_ACCEPTS_VIEWS : 0)
        | (needsContiguous ? B_BITMAP_IS_CONTIGUOUS : 0);
    InitObject(bounds, colorSpace, flags, B_ANY_BYTES_PER_ROW);
}

BBitmap::BBitmap(const BBitmap& source, uint32 flags)
    : BArchivable()
    , fBuffer(std::make_unique<PixelBuffer>())
{
    InitObject(source.Bounds(), source.ColorSpace(), flags, source.BytesPerRow());
    if (InitCheck() == B_OK && source.IsValid())
        ImportBits(&source);
}

BBitmap::BBitmap(const BBitmap& source)
    : BBitmap(source, source.Flags())
{
}

BBitmap::BBitmap(const BBitmap* source, bool acceptsViews, bool needsContiguous)
    : fBuffer(std::make_unique<PixelBuffer>())
{
    if (source == nullptr || !source->IsValid()) {
        fInitStatus = B_BAD_VALUE;
        return;
    }
    uint32 flags = (acceptsViews ? B_BITMAP_ACCEPTS_VIEWS : 0)
        | (needsContiguous ? B_BITMAP_IS_CONTIGUOUS : 0);
    InitObject(source->Bounds(), source->ColorSpace(), flags, source->BytesPerRow());
    if (InitCheck() == B_OK)
        ImportBits(source);
}

BBitmap::BBitmap(BMessage* data)
    : BArchivable(data)
    , fBuffer(std::make_unique<PixelBuffer>())
{
    InitFromArchive(data);
}

BBitmap::~BBitmap()
{
    if (fWindow != nullptr) {
        fWindow->Lock();
        fWindow.reset();
    }
}

BBitmap& BBitmap::operator=(const BBitmap& source)
{
    if (this == &source)
        return *this;
    fWindow.reset();
    InitObject(source.Bounds(), source.ColorSpace(), source.Flags(), source.BytesPerRow());
    if (InitCheck() == B_OK && source.IsValid())
        ImportBits(&source);
    return *this;
}

void BBitmap::InitObject(BRect bounds, color_space colorSpace, uint32 flags, int32 bytesPerRow)
{
    fBounds = bounds;
    fFlags = flags;
    fWindow.reset();
    fSyncedDrawCount = 0;
    fSurfaceStale = false;
    if (!bounds.IsValid()) {
        fBuffer->Unset();
        fInitStatus = B_BAD_VALUE;
        return;
    }
    fInitStatus = fBuffer->SetTo(
        PixelCount(bounds.Width()), PixelCount(bounds.Height()), colorSpace, bytesPerRow);
    if (fInitStatus != B_OK)
        return;
    if ((flags & (B_BITMAP_CLEAR_TO_WHITE | B_BITMAP_ACCEPTS_VIEWS)) != 0) {
        // White, for the colour-mapped space its white palette entry.
        if (colorSpace == B_CMAP8)
            std::memset(fBuffer->Bits(), kWhiteIndex, fBuffer->BitsLength());
        else
            fBuffer->Fill(rgb_color { 255, 255, 255, 255 });
    }
    if ((flags & B_BITMAP_ACCEPTS_VIEWS) != 0)
        MakeViewWindow();
}

void BBitmap::MakeViewWindow()
{
    bool hasAlpha = color_space_has_alpha(fBuffer->ColorSpace())
        || BPrivate::HasTransparentMagic(fBuffer->ColorSpace());
    auto surface
        = std::make_unique<BPrivate::RenderSurface>(fBuffer->Width(), fBuffer->Height(), hasAlpha);
    if (surface->InitCheck() != B_OK) {
        fInitStatus = surface->InitCheck();
        return;
    }
    surface->LoadFrom(*fBuffer, BPrivate::Transparency::kKeep);
    fWindow.reset(new BWindow(BWindow::OffscreenTag {}, fBounds, std::move(surface)));
    fWindow->fLink->SetBeforeDrawing([this] {
        if (fSurfaceStale) {
            fWindow->fLink->Surface()->LoadFrom(*fBuffer, BPrivate::Transparency::kKeep);
            fSurfaceStale = false;
            fSyncedDrawCount = fWindow->fLink->DrawCount();
        }
    });
    // A looper belongs to the thread that made it until it runs; an
    // off-screen window never runs, so it is given up at once and taken with
    // Lock() by whoever draws.
    fWindow->Unlock();
}

void BBitmap::InitFromArchive(BMessage* data)
{
    BRect bounds;
    int32 space = 0;
    if (data == nullptr || data->FindRect("_frame", &bounds) != B_OK
        || data->FindInt32("_cspace", &space) != B_OK) {
        fInitStatus = B_BAD_VALUE;
        return;
    }
    int32 flags = 0;
    if (data->FindInt32("_bmflags", &flags) != B_OK) {
        bool viewsOk = false;
        bool contiguous = false;
        data->FindBool("_view_ok", &viewsOk);
        data->FindBool("_contiguous", &contiguous);
        flags = (viewsOk ? B_BITMAP_ACCEPTS_VIEWS : 0) | (contiguous ? B_BITMAP_IS_CONTIGUOUS : 0);
    }
    int32 rowBytes = B_ANY_BYTES_PER_ROW;
    data->FindInt32("_rowbytes", &rowBytes);
    InitObject(bounds, color_space(space), uint32(flags), rowBytes);
    if (fInitStatus != B_OK)
        return;
    const void* bits = nullptr;
    ssize_t size = 0;
    // The pixels are taken only when they fill the bitmap exactly, as the
    // platform does.
    if (data->FindData("_data", B_RAW_TYPE, &bits, &size) == B_OK && bits != nullptr
        && size_t(size) == fBuffer->BitsLength()) {
        std::memcpy(fBuffer->Bits(), bits, size_t(size));
        PixelsChanged();
    }
}

BArchivable* BBitmap::Instantiate(BMessage* data)
{
    if (data == nullptr)
        return nullptr;
    if (!validate_instantiation(data, "BBitmap")
        && !(data->HasRect("_frame") && data->HasInt32("_cspace")))
        return nullptr;
    BBitmap* bitmap = new BBitmap(data);
    if (bitmap->InitCheck() != B_OK) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

status_t BBitmap::Archive(BMessage* data, bool deep) const
{
    status_t status = BArchivable::Archive(data, deep);
    if (status != B_OK)
        return status;
    if (InitCheck() != B_OK)
        return InitCheck();
    std::string className = ClassNameOf(this);
    if (!validate_instantiation(data, className.c_str()))
        status = data->AddString("class", className.c_str());
    if (status == B_OK)
        status = data->AddRect("_frame", fBounds);
    if (status == B_OK)
        status = data->AddInt32("_cspace", int32(ColorSpace()));
    if (status == B_OK)
        status = data->AddInt32("_bmflags", int32(fFlags));
    if (status == B_OK)
        status = data->AddInt32("_rowbytes", BytesPerRow());
    if (status == B_OK) {
        const PixelBuffer& pixels = Pixels();
        status = data->AddData("_data", B_RAW_TYPE, pixels.Bits(), ssize_t(pixels.BitsLength()));
    }
    return status;
}

status_t BBitmap::InitCheck() const
{
    return fInitStatus;
}

bool BBitmap::IsValid() const
{
    return fInitStatus == B_OK;
}

status_t BBitmap::LockBits(uint32* /*state*/)
{
    return IsValid() ? B_OK : B_NO_INIT;
}

void BBitmap::UnlockBits() { }

void* BBitmap::Bits() const
{
    if (!IsValid())
        return nullptr;
    SyncFromViews();
    // The caller may write through the pointer: the views' surface is loaded
    // again before they next draw.
    if (fWindow != nullptr)
        fSurfaceStale = true;
    return fBuffer->Bits();
}

int32 BBitmap::BitsLength() const
{
    return IsValid() ? int32(fBuffer->BitsLength()) : 0;
}

int32 BBitmap::BytesPerRow() const
{
    return IsValid() ? fBuffer->BytesPerRow() : 0;
}

color_space BBitmap::ColorSpace() const
{
    return IsValid() ? fBuffer->ColorSpace() : B_NO_COLOR_SPACE;
}

BRect BBitmap::Bounds() const
{
    return fBounds;
}

uint32 BBitmap::Flags() const
{
    return fFlags;
}

void BBitmap::SetBits(const void* data, int32 length, int32 offset, color_space colorSpace)
{
    if (!IsValid() || data == nullptr || length < 0 || offset < 0)
        return;
    // As on the original platform, colour-mapped data given for a bitmap of
    // another colour space has no row padding.
    int32 bytesPerRow = B_ANY_BYTES_PER_ROW;
    if (colorSpace == B_CMAP8 && ColorSpace() != B_CMAP8)
        bytesPerRow = fBuffer->Width();
    ImportBits(data, length, bytesPerRow, offset, colorSpace);
}

status_t BBitmap::ImportBits(
    const void* data, int32 length, int32 bytesPerRow, int32 offset, color_space colorSpace)
{
    if (!IsValid())
        return B_NO_INIT;
    if (data == nullptr || length < 0 || offset < 0)
        return B_BAD_VALUE;
    SyncFromViews();
    status_t status = fBuffer->ImportBits(data, size_t(length), offset, colorSpace, bytesPerRow);
    PixelsChanged();
    return status;
}

status_t BBitmap::ImportBits(const BBitmap* bitmap)
{
    if (bitmap == nullptr || !bitmap->IsValid())
        return B_BAD_VALUE;
    if (!IsValid())
        return B_NO_INIT;
    const PixelBuffer& source = bitmap->Pixels();
    if (source.Width() != fBuffer->Width() || source.Height() != fBuffer->Height())
        return B_BAD_VALUE;
    return ImportBits(
        source.Bits(), int32(source.BitsLength()), source.BytesPerRow(), 0, source.ColorSpace());
}

status_t BBitmap::ImportBits(
    const BBitmap* bitmap, BPoint from, BPoint to, int32 width, int32 height)
{
    if (bitmap == nullptr || !bitmap->IsValid())
        return B_BAD_VALUE;
    if (!IsValid())
        return B_NO_INIT;
    const PixelBuffer& source = bitmap->Pixels();
    SyncFromViews();
    int32 fromX = int32(from.x);
    int32 fromY = int32(from.y);
    int32 toX = int32(to.x);
    int32 toY = int32(to.y);
    for (int32 y = 0; y < height; y++) {
        for (int32 x = 0; x < width; x++) {
            int32 sx = fromX + x;
            int32 sy = fromY + y;
            int32 dx = toX + x;
            int32 dy = toY + y;
            if (sx < 0 || sy < 0 || sx >= source.Width() || sy >= source.Height() || dx < 0
                || dy < 0 || dx >= fBuffer->Width() || dy >= fBuffer->Height())
                continue;
            fBuffer->SetPixelAt(dx, dy, source.PixelAt(sx, sy));
        }
    }
    PixelsChanged();
    return B_OK;
}

// #pragma mark - views

void BBitmap::AddChild(BView* view)
{
    if (fWindow != nullptr)
        fWindow->AddChild(view);
}

bool BBitmap::RemoveChild(BView* view)
{
    return fWindow != nullptr && fWindow->RemoveChild(view);
}

int32 BBitmap::CountChildren() const
{
    return fWindow != nullptr ? fWindow->CountChildren() : 0;
}

BView* BBitmap::ChildAt(int32 index) const
{
    return fWindow != nullptr ? fWindow->ChildAt(index) : nullptr;
}

BView* BBitmap::FindView(const char* viewName) const
{
    return fWindow != nullptr ? fWindow->FindView(viewName) : nullptr;
}

BView* BBitmap::FindView(BPoint point) const
{
    return fWindow != nullptr ? fWindow->FindView(point) : nullptr;
}

bool BBitmap::Lock()
{
    return fWindow != nullptr && fWindow->Lock();
}

void BBitmap::Unlock()
{
    if (fWindow == nullptr)
        return;
    SyncFromViews();
    fWindow->Unlock();
}

bool BBitmap::IsLocked() const
{
    return fWindow != nullptr && fWindow->IsLocked();
}

const PixelBuffer& BBitmap::Pixels() const
{
    SyncFromViews();
    return *fBuffer;
}

void BBitmap::SyncFromViews() const
{
    if (fWindow == nullptr || fSurfaceStale)
        return;
    BPrivate::WindowLink* link = fWindow->fLink.get();
    BPrivate::WindowLink::SurfaceGuard guard(link);
    if (link->DrawCount() == fSyncedDrawCount)
        return;
    link->Surface()->StoreInto(fBuffer.get());
    fSyncedDrawCount = link->DrawCount();
}

void BBitmap::PixelsChanged()
{
    if (fWindow != nullptr)
        fSurfaceStale = true;
}
