#pragma once

// LibBitmap: the library's bitmap. On top of the platform's bitmap it can
// fill itself with the icon that the file manager shows for a file (the
// file's own icon, else the icon of its type, else a generic one for its
// kind), and make a scaled-down copy of another bitmap.
//
// The installer's icons are 16 × 16 (frame 0, 0, 15, 15) or 32 × 32 (frame
// 0, 0, 31, 31) bitmaps of 8-bit colour-mapped pixels (B_CMAP8).

#include <Bitmap.h>
#include <Mime.h>

#include <memory>

class BEntry;
class BNode;

class LibBitmap : public BBitmap {
public:
    LibBitmap(BRect frame, color_space colorSpace, bool acceptsViews = false,
        bool needsContiguous = false);
    // Copies in the pixels: `bytes` holds the rows one after the other, each
    // as long as the frame is wide (no padding at the row ends).
    LibBitmap(BRect frame, const void* bytes, color_space colorSpace, bool acceptsViews = false,
        bool needsContiguous = false);
    // Rebuilds a bitmap from its archive; check InitCheck() afterwards.
    explicit LibBitmap(BMessage* archive);
    ~LibBitmap() override;

    static BArchivable* Instantiate(BMessage* archive);

    // Fills the bitmap with the tracker icon of the node, the entry or the
    // path, in the size given (B_MINI_ICON 16, B_LARGE_ICON 32), which must
    // be the bitmap's size. False, with the pixels unchanged, when the icon
    // cannot be had (no such file, a bitmap of another size).
    bool SetTo(BNode& node, const icon_size& size);
    bool SetTo(const BEntry& entry, const icon_size& size);
    bool SetTo(const char* path, const icon_size& size);

    // A copy of `source` that fits in a square of `size` pixels, in 32-bit
    // colour with alpha (B_RGBA32). With `keepAspect` the copy keeps the
    // source's proportions (the longer side becomes `size`); otherwise it
    // fills the square. A source smaller than the square is enlarged. Each
    // pixel of the copy is the average of the source pixels it covers, so
    // thin lines fade rather than vanish. Null when the source is unusable
    // or the size is below 1.
    static std::unique_ptr<LibBitmap> Thumbnail(
        const BBitmap* source, const float& size, const bool& keepAspect);
};
