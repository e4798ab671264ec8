#pragma once

// BPicture: a recorded sequence of drawing calls (BView::BeginPicture and
// EndPicture) that a view can draw again with DrawPicture. The recording
// itself is kept by the drawing layer.

#include <Archivable.h>

#include <memory>

namespace BPrivate {
class RenderAccess;
class RenderPicture;
} // namespace BPrivate

class BPicture : public BArchivable {
public:
    BPicture();
    BPicture(const BPicture& other);
    explicit BPicture(BMessage* archive);
    ~BPicture() override;

    BPicture& operator=(const BPicture& other);

    // Pictures hold bitmaps and fonts that have no archived form here;
    // archiving answers B_UNSUPPORTED rather than writing an incomplete one.
    static BArchivable* Instantiate(BMessage* archive);
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Whether anything was recorded.
    bool IsEmpty() const;

private:
    friend class BPrivate::RenderAccess;

    std::shared_ptr<BPrivate::RenderPicture> fRecording;
};
