// A label's text as GDI+ renders it: the straight ARGB pixels that GDI+
// would blend into the frame, kept while the text, font, format, brush,
// rectangle and frame size stay the same, and blended into the frame with
// GDI+'s own arithmetic. Rendering text is by far the dearest part of a
// frame under Wine, and most labels repaint unchanged.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/kit/frame_target.h"
#include "ui/kit/gdiplus_objects.h"

struct TextStyle {
    Gdiplus::GpFont* font;
    Gdiplus::GpStringFormat* format;
    Gdiplus::GpBrush* brush;
};

class RenderedText {
public:
    // Draws `text` laid out in `rect` into `target` within its clip,
    // rendering it first unless the same is kept. The last GDI+ status of
    // rendering (Ok when it was kept).
    Gdiplus::GpStatus Draw(const FrameTarget& target, const std::wstring& text, const TextStyle& style,
                           const RECT& rect);

private:
    Gdiplus::GpStatus Render(const FrameTarget& target, const std::wstring& text, const TextStyle& style,
                             const RECT& rect);
    bool Matches(const FrameTarget& target, const std::wstring& text, const TextStyle& style, const RECT& rect) const;

    std::wstring text_;
    TextStyle style_ = {};
    RECT rect_ = {};
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    bool valid_ = false;
    // rect_ clipped to the frame, and its pixels in rows of its width.
    RECT area_ = {};
    std::vector<uint32_t> pixels_;
};
