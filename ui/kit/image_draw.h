// Drawing one cell of a skin image into a frame. Unscaled cells take
// shortcuts that give the same pixels as one plain GDI+ call, much faster
// under Wine.
#pragma once

#include <windows.h>

#include "ui/kit/gdiplus_objects.h"
#include "ui/kit/geometry.h"
#include "ui/kit/image_pixels.h"

struct ImageInfo {
    Gdiplus::GpImage* image;
    unsigned width;
    unsigned height;
    // The image's own pixels, read at load (may be empty).
    const ImagePixels* pixels;
};

// Draws `source` (mirrored where its extent is negative) into `dest`, at a
// constant opacity of `alpha` (0..255); the result is the last GDI+ status.
Gdiplus::GpStatus DrawImageCell(Gdiplus::GpGraphics* graphics, const ImageInfo& info, const RECT& dest,
                                const CellSource& source, unsigned alpha);
