#pragma once

// BBitmap: a rectangle of pixels in one of the platform's colour spaces, with
// the platform's row layout (rows padded to 4 bytes), archiving to and from a
// message, and, when made to accept views, views that draw into it.

#include <Archivable.h>
#include <GraphicsDefs.h>
#include <InterfaceDefs.h>
#include <Rect.h>

#include <memory>

class BView;
class BWindow;

namespace BPrivate {
class PixelBuffer;
class RenderAccess;
} // namespace BPrivate

enum {
    B_BITMAP_CLEAR_TO_WHITE = 0x00000001,
    B_BITMAP_ACCEPTS_VIEWS = 0x00000002,
    B_BITMAP_IS_AREA = 0x00000004,
    B_BITMAP_IS_LOCKED = 0x00000008 | B_BITMAP_IS_AREA,
    B_BITMAP_IS_CONTIGUOUS = 0x00000010 | B_BITMAP_IS_LOCKED,
    B_BITMAP_IS_OFFSCREEN = 0x00000020,
    B_BITMAP_WILL_OVERLAY = 0x00000040 | B_BITMAP_IS_OFFSCREEN,
    B_BITMAP_RESERVE_OVERLAY_CHANNEL = 0x00000080,
    B_BITMAP_NO_SERVER_LINK = 0x00000100,
};

#define B_ANY_BYTES_PER_ROW -1

class BBitmap : public BArchivable {
public:
    BBitmap(BRect bounds, uint32 flags, color_space colorSpace,
        int32 bytesPerRow = B_ANY_BYTES_PER_ROW, screen_id screenID = B_MAIN_SCREEN_ID);
    BBitmap(BRect bounds, color_space colorSpace, bool acceptsViews = false,
        bool needsContiguous = false);
    BBitmap(const BBitmap& source, uint32 flags);
    BBitmap(const BBitmap& source);
    explicit BBitmap(
        const BBitmap* source, bool acceptsViews = false, bool needsContiguous = false);
    // Rebuilds a bitmap from its archive ("_frame", "_cspace", "_bmflags",
    // "_rowbytes", "_data"). Check InitCheck() afterwards.
    explicit BBitmap(BMessage* data);
    ~BBitmap() override;

    BBitmap& operator=(const BBitmap& source);

    // Accepts archives of class "BBitmap", and of subclasses that are not
    // known here (their fields are those of a bitmap).
    static BArchivable* Instantiate(BMessage* data);
    status_t Archive(BMessage* data, bool deep = true) const override;

    status_t InitCheck() const;
    bool IsValid() const;

    status_t LockBits(uint32* state = nullptr);
    void UnlockBits();

    void* Bits() const;
    int32 BitsLength() const;
    int32 BytesPerRow() const;
    color_space ColorSpace() const;
    BRect Bounds() const;
    uint32 Flags() const;

    // Copies `length` bytes of pixels given in `colorSpace` into the bitmap
    // from `offset` bytes on, converting them to the bitmap's colour space.
    void SetBits(const void* data, int32 length, int32 offset, color_space colorSpace);
    status_t ImportBits(
        const void* data, int32 length, int32 bytesPerRow, int32 offset, color_space colorSpace);
    status_t ImportBits(const BBitmap* bitmap);
    status_t ImportBits(const BBitmap* bitmap, BPoint from, BPoint to, int32 width, int32 height);

    // Views drawing into the bitmap (only with B_BITMAP_ACCEPTS_VIEWS).
    void AddChild(BView* view);
    bool RemoveChild(BView* view);
    int32 CountChildren() const;
    BView* ChildAt(int32 index) const;
    BView* FindView(const char* viewName) const;
    BView* FindView(BPoint point) const;
    bool Lock();
    void Unlock();
    bool IsLocked() const;

private:
    friend class BPrivate::RenderAccess;

    // The pixels with every drawing of the attached views in them.
    const BPrivate::PixelBuffer& Pixels() const;

    void InitObject(BRect bounds, color_space colorSpace, uint32 flags, int32 bytesPerRow);
    void InitFromArchive(BMessage* data);
    void MakeViewWindow();
    void SyncFromViews() const;
    void PixelsChanged();

    BRect fBounds;
    uint32 fFlags = 0;
    status_t fInitStatus = B_NO_INIT;
    std::unique_ptr<BPrivate::PixelBuffer> fBuffer;
    // The off-screen window of a bitmap that accepts views, and the drawing
    // counts that say whether its surface and the pixels agree.
    std::unique_ptr<BWindow> fWindow;
    mutable int64 fSyncedDrawCount = 0;
    mutable bool fSurfaceStale = false;
};
