// Source-over blending into a premultiplied 32-bit frame with the very
// arithmetic of Wine's GDI+ software renderer, so pixels written here are
// byte-identical to what a GDI+ call would have written. Pixels are
// 0xAARRGGBB words (blue first in memory).
#pragma once

#include <cstdint>

// `src`, straight (not premultiplied) colour, over the premultiplied `dst`.
// Wine blends images and text this way alike: an image is drawn from its
// straight 32-bit ARGB form.
uint32_t BlendStraight(uint32_t dst, uint32_t src);

// The same over `count` pixels; source pixels of alpha 0 leave the
// destination untouched, and opaque ones replace it.
void BlendRowStraight(uint32_t* dst, const uint32_t* src, int count);
