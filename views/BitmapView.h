#pragma once

// BitmapView: a 32 × 32 view that shows the large icon of a file.

#include <View.h>

#include <memory>

class LibBitmap;

class BitmapView : public BView {
public:
    // The icon of the file at `path`; nothing is shown when it has none.
    BitmapView(BPoint where, const char* name, const char* path);
    ~BitmapView() override;

    void Draw(BRect updateRect) override;

    const LibBitmap* Icon() const { return fIcon.get(); }

private:
    std::unique_ptr<LibBitmap> fIcon;
};
