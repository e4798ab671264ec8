#pragma once

// BPicture: a recorded sequence of drawing calls (BView::BeginPicture and
// EndPicture) that a view can draw again with DrawPicture. The recording
// itself is the drawing layer's RenderPicture.

#include <Archivable.h>
#include <RenderPicture.h>

#include <memory>

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

    // The recording, for the kit's own drawing code.
    const BPrivate::RenderPicture& Recording() const { return *fRecording; }
    BPrivate::RenderPicture* MutableRecording() { return fRecording.get(); }

private:
    std::shared_ptr<BPrivate::RenderPicture> fRecording;
};
