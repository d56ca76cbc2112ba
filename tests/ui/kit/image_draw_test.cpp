// The toolkit's image drawing against the plain way of drawing the same
// frame: one GDI+ call per image over its whole cell. Unscaled cells are
// drawn in clipped bands, which must not change a single pixel.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/ui/kit/frame_compare.h"
#include "tests/ui/kit/kit_test_support.h"
#include "ui/kit/geometry.h"
#include "ui/kit/image_loader.h"

namespace {

TEST(Geometry, UnscaledSourcesMustLieInsideTheImage)
{
    EXPECT_TRUE(IsUnscaledInside({296, 0, 148, 50}, 148, 50, 592, 50));
    EXPECT_TRUE(IsUnscaledInside({444, 0, 148, 50}, 148, 50, 592, 50));
    // One column past the image: GDI+ resamples that, so it is not a copy.
    EXPECT_FALSE(IsUnscaledInside({445, 0, 148, 50}, 148, 50, 592, 50));
    EXPECT_FALSE(IsUnscaledInside({0, 1, 148, 50}, 148, 50, 592, 50));
    EXPECT_FALSE(IsUnscaledInside({148, 0, -148, 50}, 148, 50, 592, 50)) << "mirrored";
    EXPECT_FALSE(IsUnscaledInside({0, 0, 148, 50}, 150, 50, 592, 50)) << "scaled";
    EXPECT_FALSE(IsUnscaledInside({0, 0, 0, 50}, 0, 50, 592, 50)) << "empty";

    EXPECT_EQ(27, RowsPerBand(598, 64 * 1024));
    EXPECT_EQ(1, RowsPerBand(100000, 64 * 1024));
}

// A frame drawn by direct GDI+ calls, as the toolkit drew before it took
// shortcuts.
class ReferenceFrame : public Canvas {
public:
    using Canvas::Canvas;

    // Cell (srcX, srcY) of skin `id`, 1:1 at `dest`, clipped to `clip`.
    void Draw(int id, const RECT& dest, int srcX, int srcY, const RECT& clip)
    {
        GdiplusImage image = LoadImageFromResource(nullptr, kImageType, Skin(id));
        ASSERT_TRUE(image) << id;
        GdiplusImageAttributes attributes;
        gdip::GdipCreateImageAttributes(attributes.put());
        gdip::GdipSetImageAttributesWrapMode(attributes.get(), Gdiplus::WrapModeTileFlipXY, 0xFF000000, FALSE);
        gdip::GdipSetClipRectI(graphics(), clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top,
                               Gdiplus::CombineModeReplace);
        int w = dest.right - dest.left, h = dest.bottom - dest.top;
        ASSERT_EQ(Gdiplus::Ok, gdip::GdipDrawImageRectRectI(graphics(), image.get(), dest.left, dest.top, w, h, srcX,
                                                            srcY, w, h, Gdiplus::UnitPixel, attributes.get(),
                                                            nullptr, nullptr));
        gdip::GdipFlush(graphics(), Gdiplus::FlushIntentionSync);
    }
};

TEST(ImageDrawing, UnscaledCellsMatchOneWholeGdiplusDrawPixelForPixel)
{
    RECT screen = {0, 0, 600, 350};
    TestWindow window(screen, Skin(1101), kImageType);
    // A backdrop larger than the window, inside a container that clips it
    // to an offset window: its visible part starts 20 columns and 10 rows
    // into the image and spans many bands.
    RECT box = {50, 40, 350, 240};
    auto* container = new Widget(&box, L"", &window, 1, nullptr);
    new Widget(-20, -10, Skin(1103), container, 2, nullptr, kImageType);
    // Transparent holes, and more than one band for the whole strip.
    new Widget(100, 280, Skin(1114), &window, 3, nullptr, kImageType);
    // A cell read from the middle of its strip.
    auto* button = new Widget(400, 10, Skin(1110), &window, 4, nullptr, kImageType);
    button->SetFrameGrid(4, 1);
    button->SetFrame(2, 0);

    ReferenceFrame expected(600, 350);
    expected.Draw(1101, {0, 0, 600, 350}, 0, 0, screen);
    expected.Draw(1103, {30, 30, 628, 460}, 0, 0, box);
    expected.Draw(1114, {100, 280, 550, 321}, 0, 0, screen);
    expected.Draw(1110, {400, 10, 548, 60}, 296, 0, screen);

    Pixels got = Capture(window.GetHwnd());
    ASSERT_EQ(600, got.width);
    std::string first;
    EXPECT_EQ(0, CountDifferences(got, expected, &first)) << "first at " << first;
    // The holes of the strip let the background through.
    EXPECT_EQ(Hex(expected.at(100, 280)), Hex(got.at(100, 280)));
}

}  // namespace
