#include "ui/kit/image_draw.h"

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace Gdiplus;

namespace {

// Wine's GDI+ copies the drawn part of an image into a temporary buffer on
// every call. Buffers much above 64 KB come fresh from the system each time
// and then cost more than the drawing itself, so large areas go in bands.
constexpr int kBandBytes = 64 * 1024;

GdiplusImageAttributes MakeAttributes(unsigned alpha)
{
    GdiplusImageAttributes attributes;
    gdip::GdipCreateImageAttributes(attributes.put());
    if (alpha < 255) {
        ColorMatrix matrix = {};
        for (int i = 0; i < 5; ++i)
            matrix.m[i][i] = 1.0f;
        matrix.m[3][3] = AlphaScale(alpha);
        gdip::GdipSetImageAttributesColorMatrix(attributes.get(), ColorAdjustTypeDefault, TRUE, &matrix, nullptr,
                                                ColorMatrixFlagsDefault);
    }
    gdip::GdipSetImageAttributesWrapMode(attributes.get(), WrapModeTileFlipXY, 0xFF000000, FALSE);
    return attributes;
}

GpStatus DrawScaled(GpGraphics* graphics, const ImageInfo& info, const RECT& dest, const CellSource& source,
                    unsigned alpha)
{
    GdiplusImageAttributes attributes = MakeAttributes(alpha);
    return gdip::GdipDrawImageRectRectI(graphics, info.image, dest.left, dest.top, dest.right - dest.left,
                                        dest.bottom - dest.top, source.x, source.y, source.width, source.height,
                                        UnitPixel, attributes.get(), nullptr, nullptr);
}

// An unscaled cell is a plain pixel copy, so drawing only the part inside
// the clip, band by band, gives the same pixels as one call for the whole
// cell: Wine's GDI+ would otherwise convert the whole cell on every call,
// however small the clip. The wrap mode cannot matter without resampling,
// so image attributes are only needed for a constant opacity.
GpStatus DrawUnscaled(GpGraphics* graphics, const ImageInfo& info, const RECT& dest, const CellSource& source,
                      unsigned alpha)
{
    RECT visible = dest;
    Rect bounds;
    if (gdip::GdipGetClipBoundsI(graphics, &bounds) == Ok) {
        RECT clip = {bounds.X, bounds.Y, bounds.X + bounds.Width, bounds.Y + bounds.Height};
        if (!IntersectRect(&visible, &dest, &clip))
            return Ok;
    }
    GdiplusImageAttributes attributes;
    if (alpha < 255)
        attributes = MakeAttributes(alpha);
    // Opaque pixels replace what lies below under either mode; copying skips
    // Wine's read-back and blend of every destination pixel.
    const bool copy = info.opaque && alpha >= 255;
    CompositingMode previous = CompositingModeSourceOver;
    if (copy) {
        gdip::GdipGetCompositingMode(graphics, &previous);
        gdip::GdipSetCompositingMode(graphics, CompositingModeSourceCopy);
    }
    const int width = visible.right - visible.left;
    const int rows = RowsPerBand(width, kBandBytes);
    GpStatus status = Ok;
    for (int top = visible.top; top < visible.bottom && status == Ok; top += rows) {
        int height = std::min(rows, static_cast<int>(visible.bottom - top));
        status = gdip::GdipDrawImageRectRectI(graphics, info.image, visible.left, top, width, height,
                                              source.x + (visible.left - dest.left), source.y + (top - dest.top),
                                              width, height, UnitPixel, attributes.get(), nullptr, nullptr);
    }
    if (copy)
        gdip::GdipSetCompositingMode(graphics, previous);
    return status;
}

}  // namespace

bool IsFullyOpaque(GpImage* image)
{
    ImageType type = ImageTypeUnknown;
    if (!image || gdip::GdipGetImageType(image, &type) != Ok || type != ImageTypeBitmap)
        return false;
    UINT width = 0, height = 0;
    gdip::GdipGetImageWidth(image, &width);
    gdip::GdipGetImageHeight(image, &height);
    if (width == 0 || height == 0)
        return false;
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
        return false;
    gdip::GdipBitmapUnlockBits(bitmap, &data);
    return std::all_of(pixels.begin(), pixels.end(), [](uint32_t argb) { return (argb >> 24) == 0xFF; });
}

GpStatus DrawImageCell(GpGraphics* graphics, const ImageInfo& info, const RECT& dest, const CellSource& source,
                       unsigned alpha)
{
    if (IsUnscaledInside(source, dest.right - dest.left, dest.bottom - dest.top, info.width, info.height))
        return DrawUnscaled(graphics, info, dest, source, alpha);
    return DrawScaled(graphics, info, dest, source, alpha);
}
