#include "ui/kit/pixel_blend.h"

// Wine's GDI+ blends pixel by pixel through its generic pixel accessors: it
// reads the destination back un-premultiplied, mixes in straight colour with
// truncating divisions, and premultiplies again on writing. Each step loses
// precision its own way, so the steps are repeated literally here (checked
// against Wine 8 for every source colour and alpha over every premultiplied
// destination); only shortcuts that give the same bytes are taken.

namespace {

struct Straight {
    unsigned a, r, g, b;
};

inline unsigned Channel(uint32_t pixel, int shift)
{
    return (pixel >> shift) & 0xFF;
}

// Reading a premultiplied pixel back: a transparent one reads as black;
// otherwise each channel is scaled by a 16-bit fixed-point reciprocal of the
// alpha, truncated and capped at 255 (so 10/25 reads as 101, not 102).
inline unsigned Unpremultiply(unsigned channel, unsigned reciprocal)
{
    unsigned value = (channel * reciprocal) >> 16;
    return value < 255 ? value : 255;
}

inline Straight ReadBack(uint32_t pixel)
{
    unsigned a = pixel >> 24;
    if (a == 0)
        return {0, 0, 0, 0};
    unsigned reciprocal = (255u << 16) / a;
    return {a, Unpremultiply(Channel(pixel, 16), reciprocal), Unpremultiply(Channel(pixel, 8), reciprocal),
            Unpremultiply(Channel(pixel, 0), reciprocal)};
}

// Writing premultiplies with rounding.
inline uint32_t WriteBack(unsigned a, unsigned r, unsigned g, unsigned b)
{
    return (a << 24) | (((r * a + 127) / 255) << 16) | (((g * a + 127) / 255) << 8) | ((b * a + 127) / 255);
}

// Source-over in straight colour, then premultiplied again.
inline uint32_t Over(uint32_t dst, uint32_t src)
{
    unsigned srcAlpha = src >> 24;
    Straight bg = ReadBack(dst);
    unsigned bgAlpha = bg.a * (255 - srcAlpha) / 255;
    if (srcAlpha == 255 || bgAlpha == 0)
        return WriteBack(srcAlpha, Channel(src, 16), Channel(src, 8), Channel(src, 0));
    unsigned a = bgAlpha + srcAlpha;
    unsigned r = (bg.r * bgAlpha + Channel(src, 16) * srcAlpha) / a;
    unsigned g = (bg.g * bgAlpha + Channel(src, 8) * srcAlpha) / a;
    unsigned b = (bg.b * bgAlpha + Channel(src, 0) * srcAlpha) / a;
    return WriteBack(a, r, g, b);
}

// Over an opaque destination every step above reduces to one truncating
// mix per channel (reading back and premultiplying by 255 change nothing).
inline uint32_t OverOpaque(uint32_t dst, uint32_t src)
{
    unsigned srcAlpha = src >> 24;
    unsigned keep = 255 - srcAlpha;
    unsigned r = (Channel(dst, 16) * keep + Channel(src, 16) * srcAlpha) / 255;
    unsigned g = (Channel(dst, 8) * keep + Channel(src, 8) * srcAlpha) / 255;
    unsigned b = (Channel(dst, 0) * keep + Channel(src, 0) * srcAlpha) / 255;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

}  // namespace

uint32_t BlendStraight(uint32_t dst, uint32_t src)
{
    BlendRowStraight(&dst, &src, 1);
    return dst;
}

void BlendRowStraight(uint32_t* dst, const uint32_t* src, int count)
{
    for (int i = 0; i < count; ++i) {
        uint32_t s = src[i];
        unsigned srcAlpha = s >> 24;
        if (srcAlpha == 0)
            continue;
        if (srcAlpha == 255)
            dst[i] = s;
        else
            dst[i] = (dst[i] >> 24) == 255 ? OverOpaque(dst[i], s) : Over(dst[i], s);
    }
}
