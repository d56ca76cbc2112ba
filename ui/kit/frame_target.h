// The pixel memory behind a frame's GDI+ graphics, so that drawing code can
// write plain pixel copies and blends straight into it instead of going
// through GDI+. Only the toolkit's own frame graphics are registered: they
// have no world transform and are clipped by rectangles only.
#pragma once

#include <cstdint>

#include "ui/kit/gdiplus_objects.h"

struct FrameTarget {
    uint32_t* pixels;  // premultiplied 0xAARRGGBB, top-down rows of `width`
    int width;
    int height;
};

// Makes `target` known for `graphics` on this thread for the scope's life.
class FrameTargetScope {
public:
    FrameTargetScope(Gdiplus::GpGraphics* graphics, const FrameTarget& target);
    ~FrameTargetScope();
    FrameTargetScope(const FrameTargetScope&) = delete;
    FrameTargetScope& operator=(const FrameTargetScope&) = delete;

private:
    Gdiplus::GpGraphics* graphics_;
};

// The registered target of `graphics`, or null: then only GDI+ may draw.
const FrameTarget* FindFrameTarget(Gdiplus::GpGraphics* graphics);

// The part of `area` a draw on `graphics` may touch: inside its clip bounds
// and the target. False when nothing is left.
bool ClipToFrame(Gdiplus::GpGraphics* graphics, const FrameTarget& target, RECT& area);
