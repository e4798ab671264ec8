// libFuzzer target: decoding arbitrary bytes as a PNG image (the way dropped
// image files reach the program), then converting what was accepted and
// encoding it again.

#include <PixelBuffer.h>

#include <cstdlib>
#include <vector>

using namespace BPrivate;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PixelBuffer image;
    if (PixelBuffer::DecodePNG(data, size, &image) != B_OK)
        return 0;
    if (!image.IsValid() || image.Width() <= 0 || image.Height() <= 0)
        abort();
    PixelBuffer indexed;
    if (image.ConvertTo(B_CMAP8, &indexed) != B_OK)
        abort();
    std::vector<uint8> encoded;
    if (image.EncodePNG(&encoded) != B_OK)
        abort();
    PixelBuffer again;
    if (PixelBuffer::DecodePNG(encoded.data(), encoded.size(), &again) != B_OK
        || again.Width() != image.Width() || again.Height() != image.Height())
        abort();
    return 0;
}
