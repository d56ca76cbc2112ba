#include "ui/kit/image_pixels.h"

#include <algorithm>

using namespace Gdiplus;

ImagePixels ReadImagePixels(GpImage* image)
{
    ImagePixels out;
    ImageType type = ImageTypeUnknown;
    if (!image || gdip::GdipGetImageType(image, &type) != Ok || type != ImageTypeBitmap)
        return out;
    UINT width = 0, height = 0;
    gdip::GdipGetImageWidth(image, &width);
    gdip::GdipGetImageHeight(image, &height);
    if (width == 0 || height == 0)
        return out;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BitmapData data = {};
    data.Width = width;
    data.Height = height;
    data.Stride = static_cast<INT>(width * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.data();
    Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    auto* bitmap = static_cast<GpBitmap*>(image);
    // A read lock into our own buffer fills it at once; the unlock only ends
    // the lock.
    if (gdip::GdipBitmapLockBits(bitmap, &all, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppARGB,
                                 &data) != Ok)
        return out;
    gdip::GdipBitmapUnlockBits(bitmap, &data);
    out.opaque = std::all_of(pixels.begin(), pixels.end(), [](uint32_t argb) { return (argb >> 24) == 0xFF; });
    out.argb = std::move(pixels);
    out.width = width;
    out.height = height;
    return out;
}
