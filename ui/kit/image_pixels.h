// A skin image's pixels, read once at load in the straight 32-bit ARGB form
// GDI+ converts an image to whenever it draws it.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/kit/gdiplus_objects.h"

struct ImagePixels {
    std::vector<uint32_t> argb;  // top-down rows of `width`; empty when unread
    unsigned width = 0;
    unsigned height = 0;
    bool opaque = false;  // every pixel has alpha 255

    bool empty() const { return argb.empty(); }
    const uint32_t* row(unsigned y) const { return argb.data() + static_cast<size_t>(y) * width; }
};

// Empty for a null image, a metafile or a bitmap GDI+ cannot convert.
ImagePixels ReadImagePixels(Gdiplus::GpImage* image);
