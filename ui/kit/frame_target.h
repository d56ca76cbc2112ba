// The pixel memory behind a frame's GDI+ graphics, so that drawing code can
// write plain pixel copies and blends straight into it instead of going
// through GDI+. Only the toolkit's own frame graphics are registered: they
// have no world transform, and their clip is only ever a rectangle set
// through SetFrameClip below, so it is known without asking GDI+.
#pragma once

#include <cstdint>

#include "ui/kit/gdiplus_objects.h"

struct FrameTarget {
    uint32_t* pixels;  // premultiplied 0xAARRGGBB, top-down rows of `width`
    int width;
    int height;
    RECT clip;  // the graphics' current clip, within the frame
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

// Clips `graphics` to `rect` (or lifts its clip) and notes that in its
// target. Asking Wine's GDI+ for clip bounds converts the clip region to a
// GDI region each time, about 25 us, more than a small image's copy.
void SetFrameClip(Gdiplus::GpGraphics* graphics, const RECT& rect);
void ResetFrameClip(Gdiplus::GpGraphics* graphics);

// The part of `area` a draw into `target` may touch: inside its clip. False
// when nothing is left.
bool ClipToFrame(const FrameTarget& target, RECT& area);
