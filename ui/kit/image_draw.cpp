#include "ui/kit/image_draw.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "ui/kit/frame_target.h"
#include "ui/kit/pixel_blend.h"

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
    const bool copy = info.pixels && info.pixels->opaque && alpha >= 255;
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

// A 1:1 cell at full opacity into a frame whose memory is known: GDI+ would
// convert the cell to straight ARGB and blend it pixel by pixel through its
// generic accessors; the image's own copy of those pixels is copied or
// blended here with the same arithmetic instead.
bool DrawDirect(GpGraphics* graphics, const ImageInfo& info, const RECT& dest, const CellSource& source)
{
    const FrameTarget* target = FindFrameTarget(graphics);
    if (!target || !info.pixels || info.pixels->empty())
        return false;
    RECT visible = dest;
    if (!ClipToFrame(*target, visible))
        return true;
    const int width = visible.right - visible.left;
    const unsigned column = static_cast<unsigned>(source.x + (visible.left - dest.left));
    for (LONG y = visible.top; y < visible.bottom; ++y) {
        const uint32_t* from = info.pixels->row(static_cast<unsigned>(source.y + (y - dest.top))) + column;
        uint32_t* to = target->pixels + static_cast<size_t>(y) * target->width + visible.left;
        if (info.pixels->opaque)
            std::memcpy(to, from, static_cast<size_t>(width) * sizeof(uint32_t));
        else
            BlendRowStraight(to, from, width);
    }
    return true;
}

}  // namespace

GpStatus DrawImageCell(GpGraphics* graphics, const ImageInfo& info, const RECT& dest, const CellSource& source,
                       unsigned alpha)
{
    if (IsUnscaledInside(source, dest.right - dest.left, dest.bottom - dest.top, info.width, info.height)) {
        if (alpha >= 255 && DrawDirect(graphics, info, dest, source))
            return Ok;
        return DrawUnscaled(graphics, info, dest, source, alpha);
    }
    return DrawScaled(graphics, info, dest, source, alpha);
}
