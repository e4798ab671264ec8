// libFuzzer target: decoding arbitrary bytes as an image file of any of the
// kit's formats (the way image files reach the installer), then making a
// bitmap of what was accepted.

#include <Bitmap.h>
#include <ImageDecoder.h>
#include <TranslationUtils.h>

#include <cstdlib>
#include <memory>

using namespace BPrivate;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PixelBuffer image;
    if (DecodeImage(data, size, &image) != B_OK) {
        if (image.IsValid())
            abort();
        return 0;
    }
    if (!image.IsValid() || image.Width() <= 0 || image.Height() <= 0
        || uint64(image.Width()) * uint64(image.Height()) > kMaxImagePixels
        || (image.ColorSpace() != B_RGBA32 && image.ColorSpace() != B_RGB32)) {
        abort();
    }
    std::unique_ptr<BBitmap> bitmap(BTranslationUtils::GetBitmap(data, size));
    if (bitmap == nullptr || bitmap->Bounds().IntegerWidth() + 1 != image.Width()
        || bitmap->Bounds().IntegerHeight() + 1 != image.Height()) {
        abort();
    }
    return 0;
}
