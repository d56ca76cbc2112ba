#include "ui/kit/rendered_text.h"

#include <algorithm>
#include <cstring>

#include "ui/kit/pixel_blend.h"

using namespace Gdiplus;

namespace {

// A straight-ARGB canvas of the frame's size that text is rendered into.
// Over transparent straight pixels GDI+ stores exactly the colours it would
// blend, which a premultiplied canvas would round away. The text is laid out
// at its own frame position, so nothing about its layout changes.
class Scratch {
public:
    static Scratch& ForThread()
    {
        thread_local Scratch scratch;
        return scratch;
    }

    uint32_t* Prepare(int width, int height)
    {
        size_t size = static_cast<size_t>(width) * static_cast<size_t>(height);
        if (pixels_.size() < size)
            pixels_.resize(size);
        return pixels_.data();
    }

private:
    std::vector<uint32_t> pixels_;
};

}  // namespace

bool RenderedText::Matches(const FrameTarget& target, const std::wstring& text, const TextStyle& style,
                           const RECT& rect) const
{
    return valid_ && text == text_ && style.font == style_.font && style.format == style_.format &&
           style.brush == style_.brush && EqualRect(&rect, &rect_) && target.width == frameWidth_ &&
           target.height == frameHeight_;
}

GpStatus RenderedText::Render(const FrameTarget& target, const std::wstring& text, const TextStyle& style,
                              const RECT& rect)
{
    valid_ = false;
    pixels_.clear();
    RECT frame = {0, 0, target.width, target.height};
    if (!IntersectRect(&area_, &rect, &frame))
        area_ = {};
    const int width = area_.right - area_.left;
    const int height = area_.bottom - area_.top;
    GpStatus status = Ok;
    if (width > 0 && height > 0) {
        uint32_t* canvas = Scratch::ForThread().Prepare(target.width, target.height);
        for (int y = area_.top; y < area_.bottom; ++y)
            std::memset(canvas + static_cast<size_t>(y) * target.width + area_.left, 0, width * sizeof(uint32_t));
        GpBitmap* view = nullptr;
        status = gdip::GdipCreateBitmapFromScan0(target.width, target.height, target.width * 4, PixelFormat32bppARGB,
                                                 reinterpret_cast<BYTE*>(canvas), &view);
        GdiplusImage bitmap(view);
        if (status != Ok)
            return status;
        GdiplusGraphics graphics;
        if ((status = gdip::GdipGetImageGraphicsContext(bitmap.get(), graphics.put())) != Ok)
            return status;
        // The frame's own settings, so the text renders the same.
        gdip::GdipSetSmoothingMode(graphics.get(), SmoothingModeAntiAlias);
        gdip::GdipSetClipRectI(graphics.get(), area_.left, area_.top, width, height, CombineModeReplace);
        RectF layout(static_cast<float>(rect.left), static_cast<float>(rect.top),
                     static_cast<float>(rect.right - rect.left), static_cast<float>(rect.bottom - rect.top));
        status = gdip::GdipDrawString(graphics.get(), text.c_str(), -1, style.font, &layout, style.format, style.brush);
        if (status != Ok)
            return status;
        pixels_.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(pixels_.data() + static_cast<size_t>(y) * width,
                        canvas + static_cast<size_t>(area_.top + y) * target.width + area_.left,
                        width * sizeof(uint32_t));
    }
    text_ = text;
    style_ = style;
    rect_ = rect;
    frameWidth_ = target.width;
    frameHeight_ = target.height;
    valid_ = true;
    return status;
}

GpStatus RenderedText::Draw(const FrameTarget& target, const std::wstring& text, const TextStyle& style,
                            const RECT& rect)
{
    GpStatus status = Ok;
    if (!Matches(target, text, style, rect)) {
        status = Render(target, text, style, rect);
        if (status != Ok)
            return status;
    }
    RECT visible = area_;
    if (pixels_.empty() || !ClipToFrame(target, visible))
        return Ok;
    const int width = area_.right - area_.left;
    for (LONG y = visible.top; y < visible.bottom; ++y) {
        const uint32_t* from = pixels_.data() + static_cast<size_t>(y - area_.top) * width + (visible.left - area_.left);
        BlendRowStraight(target.pixels + static_cast<size_t>(y) * target.width + visible.left, from,
                         visible.right - visible.left);
    }
    return Ok;
}
