// Pixels the toolkit blends itself must equal, byte for byte, what GDI+
// writes for the same source-over: checked against Wine's GDI+ directly,
// and through a window drawing translucent images over translucent ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"
#include "tests/ui/kit/frame_compare.h"
#include "tests/ui/kit/kit_test_support.h"
#include "ui/kit/image_loader.h"
#include "ui/kit/pixel_blend.h"

namespace {

// Every valid premultiplied pixel: row = alpha, column = colour (capped at
// the alpha), the three channels differing.
uint32_t GridPixel(int x, int y)
{
    uint32_t a = static_cast<uint32_t>(y), r = static_cast<uint32_t>(x < y ? x : y), g = a - r;
    uint32_t b = (r * 7) % (a + 1);
    return (a << 24) | (r << 16) | (g << 8) | b;
}

TEST(PixelBlend, MatchesGdiplusSourceOverOnEveryPremultipliedDestination)
{
    Canvas canvas(256, 256);
    ASSERT_TRUE(canvas.graphics());
    const uint32_t sources[] = {0x0100FF00, 0x02FF0000, 0x1080FF40, 0x40102030, 0x7F00FFFF, 0x80FF8000,
                                0xC0000000, 0xFE808080, 0xFEFFFFFF, 0xFF123456, 0x00FFFFFF, 0x50FFFFFF};
    for (uint32_t source : sources) {
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                canvas.pixels()[static_cast<size_t>(y) * 256 + x] = GridPixel(x, y);
        GdiplusBrush brush = MakeSolidBrush(source);
        ASSERT_EQ(Gdiplus::Ok, gdip::GdipFillRectangleI(canvas.graphics(), brush.get(), 0, 0, 256, 256));
        gdip::GdipFlush(canvas.graphics(), Gdiplus::FlushIntentionSync);
        int differing = 0;
        std::string first;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                uint32_t mine = BlendStraight(GridPixel(x, y), source);
                if (mine == canvas.at(x, y))
                    continue;
                if (differing++ == 0)
                    first = Hex(GridPixel(x, y)) + ": " + Hex(mine) + " instead of " + Hex(canvas.at(x, y));
            }
        }
        EXPECT_EQ(0, differing) << Hex(source) << " over " << first;
    }
}

TEST(ImageDrawing, TranslucentImagesOverTranslucentOnesMatchGdiplusPixelForPixel)
{
    ScratchDir dir;
    // A sprite with every alpha from 0 to 255 along its rows.
    std::vector<uint32_t> backdrop = Backdrop(), sprite(256 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            sprite[y * 256 + x] = (static_cast<uint32_t>(x) << 24) | (static_cast<uint32_t>(y * 4) << 16) |
                                  (static_cast<uint32_t>(255 - x) << 8) | static_cast<uint32_t>(y * 3);
    const std::wstring backdropPath = dir / L"backdrop.png", spritePath = dir / L"sprite.png";
    ASSERT_TRUE(SavePng(backdropPath, 200, 120, backdrop));
    ASSERT_TRUE(SavePng(spritePath, 256, 64, sprite));

    // Layered: the frame starts fully transparent, so the sprite also lands
    // on bare pixels beside the backdrop.
    RECT screen = {0, 0, 300, 160};
    TestWindow window(screen, L"", nullptr, WS_EX_LAYERED);
    new Widget(10, 10, backdropPath.c_str(), &window, 1, nullptr);
    new Widget(30, 90, spritePath.c_str(), &window, 2, nullptr);

    Canvas expected(300, 160);
    GdiplusImage back = LoadImageFromFile(backdropPath.c_str());
    GdiplusImage front = LoadImageFromFile(spritePath.c_str());
    ASSERT_TRUE(back && front);
    ASSERT_EQ(Gdiplus::Ok, gdip::GdipDrawImageRectRectI(expected.graphics(), back.get(), 10, 10, 200, 120, 0, 0, 200,
                                                        120, Gdiplus::UnitPixel, nullptr, nullptr, nullptr));
    ASSERT_EQ(Gdiplus::Ok, gdip::GdipDrawImageRectRectI(expected.graphics(), front.get(), 30, 90, 256, 64, 0, 0, 256,
                                                        64, Gdiplus::UnitPixel, nullptr, nullptr, nullptr));
    gdip::GdipFlush(expected.graphics(), Gdiplus::FlushIntentionSync);

    Pixels got = Capture(window.GetHwnd());
    ASSERT_EQ(300, got.width);
    std::string first;
    EXPECT_EQ(0, CountDifferences(got, expected, &first)) << "first at " << first;
    // Blended over the backdrop, not laid over bare pixels.
    EXPECT_NE(Hex(BlendStraight(0, sprite[20 * 256 + 100])), Hex(got.at(130, 110)));
}

}  // namespace
