// Rendering read back through WM_PRINTCLIENT: cells, crop and stretch,
// mirroring, constant alpha, the layered and copy paths, paint clipping, and
// the surface's GDI objects.
#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"
#include "tests/ui/kit/kit_test_support.h"
#include "ui/kit/surface.h"

namespace {

// Red rises and blue falls by 2 per column, so a column can be told from its
// neighbours after scaling.
uint32_t Ramp(int x)
{
    return static_cast<uint32_t>(x * 2) << 16 | static_cast<uint32_t>(200 - x * 2);
}

class Rendering : public ::testing::Test {
protected:
    Rendering()
    {
        WriteBmp(dir / L"grey.bmp", 8, 8, [](int, int) { return kGrey; });
        WriteBmp(dir / L"white.bmp", 8, 8, [](int, int) { return kWhite; });
        WriteBmp(dir / L"ramp.bmp", 100, 10, [](int x, int) { return Ramp(x); });
        WriteBmp(dir / L"quad.bmp", 20, 20,
                 [](int x, int y) { return x < 10 ? (y < 10 ? kRed : kBlue) : (y < 10 ? kGreen : kWhite); });
        const uint32_t cells[4] = {kRed, kGreen, kBlue, kWhite};
        WriteBmp(dir / L"cells.bmp", 40, 10, [cells](int x, int) { return cells[x / 10]; });
    }
    std::wstring Image(const wchar_t* name) { return dir / name; }

    ScratchDir dir;
    RECT screen = {100, 100, 300, 160};
};

TEST_F(Rendering, CropRevealsTheImageFromTheLeftWhileStretchScalesIt)
{
    TestWindow window(screen, Image(L"grey.bmp").c_str());
    auto* bar = new Widget(0, 0, Image(L"ramp.bmp").c_str(), &window, 1, nullptr);
    RECT old, narrow = {0, 0, 30, 10}, wide = {0, 0, 60, 10};

    bar->SetRect(&old, &narrow, 0);
    Pixels p = Capture(window.GetHwnd());
    EXPECT_PIXEL(Ramp(20), p.at(20, 5), 4);
    EXPECT_PIXEL(kGrey, p.at(40, 5), 4);

    // A growing progress fill shows more of the same, unscaled image.
    bar->SetRect(&old, &wide, 0);
    p = Capture(window.GetHwnd());
    EXPECT_PIXEL(Ramp(20), p.at(20, 5), 4);
    EXPECT_PIXEL(Ramp(55), p.at(55, 5), 4);

    // Stretched, the whole cell is squeezed into the same 60 columns.
    bar->SetRect(&old, &wide, 1);
    p = Capture(window.GetHwnd());
    EXPECT_PIXEL(Ramp(50), p.at(30, 5), 8);
    EXPECT_PIXEL(Ramp(25), p.at(15, 5), 8);
}

TEST_F(Rendering, FlipsMirrorTheCellAndCellsBeyondTheGridDrawNothing)
{
    TestWindow window(screen, Image(L"grey.bmp").c_str());
    RECT r = {0, 0, 20, 20};
    auto* quad = new Widget(&r, Image(L"quad.bmp").c_str(), &window, 1, nullptr);
    const struct {
        int x, y;
        uint32_t topLeft, bottomRight;
    } cases[] = {{0, 0, kRed, kWhite}, {1, 0, kGreen, kBlue}, {0, 1, kBlue, kGreen}, {1, 1, kWhite, kRed}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "flip " << c.x << "," << c.y);
        quad->SetFlip(c.x, c.y);
        Pixels p = Capture(window.GetHwnd());
        EXPECT_PIXEL(c.topLeft, p.at(4, 4), 6);
        EXPECT_PIXEL(c.bottomRight, p.at(15, 15), 6);
    }

    auto* strip = new Widget(0, 30, Image(L"cells.bmp").c_str(), &window, 2, nullptr);
    strip->SetFrameGrid(4, 1);
    strip->SetFrame(2, 0);
    Pixels p = Capture(window.GetHwnd());
    EXPECT_PIXEL(kBlue, p.at(5, 35), 4);
    // The rectangle is one cell wide.
    EXPECT_PIXEL(kGrey, p.at(15, 35), 4);
}

TEST_F(Rendering, CellBeyondTheGridDrawsNothing_FixedFault)
{
    TestWindow window(screen, Image(L"grey.bmp").c_str());
    auto* strip = new Widget(0, 0, Image(L"cells.bmp").c_str(), &window, 2, nullptr);
    strip->SetFrameGrid(4, 1);
    strip->SetFrame(4, 0);
    EXPECT_PIXEL(kGrey, Capture(window.GetHwnd()).at(5, 5), 4);
    strip->SetFrame(0, -1);
    EXPECT_PIXEL(kGrey, Capture(window.GetHwnd()).at(5, 5), 4);
}

TEST_F(Rendering, ConstantAlphaFadesTheWholeImage)
{
    TestWindow window(screen, Image(L"grey.bmp").c_str());
    RECT r = {0, 0, 20, 20};
    auto* white = new Widget(&r, Image(L"white.bmp").c_str(), &window, 1, nullptr);
    EXPECT_PIXEL(kWhite, Capture(window.GetHwnd()).at(10, 10), 2);
    white->SetAlpha(0);
    EXPECT_PIXEL(kGrey, Capture(window.GetHwnd()).at(10, 10), 2);
    white->SetAlpha(128);
    EXPECT_PIXEL(0x9F9F9F, Capture(window.GetHwnd()).at(10, 10), 6);
    white->SetAlpha(300);
    int alpha = -1;
    white->GetAlpha(&alpha);
    EXPECT_EQ(255, alpha);
    EXPECT_PIXEL(kWhite, Capture(window.GetHwnd()).at(10, 10), 2);
}

TEST_F(Rendering, LayeredWindowLeavesUncoveredPixelsFullyTransparent)
{
    TestWindow window(screen, L"", nullptr, WS_EX_LAYERED);
    ASSERT_TRUE(UsesLayeredPath(window.GetHwnd()));
    RECT opaque = {0, 0, 20, 20}, faded = {30, 0, 50, 20};
    auto* white = new Widget(&opaque, Image(L"white.bmp").c_str(), &window, 1, nullptr);
    auto* half = new Widget(&faded, Image(L"white.bmp").c_str(), &window, 2, nullptr);
    half->SetAlpha(128);

    Pixels p = Capture(window.GetHwnd());
    EXPECT_EQ(Hex(0xFFFFFFFF), Hex(p.at(10, 10)));
    EXPECT_EQ(Hex(0), Hex(p.at(100, 40))) << "uncovered pixel";
    // The layered path takes premultiplied pixels: no channel above alpha.
    uint32_t mixed = p.at(40, 10);
    EXPECT_NEAR(128, static_cast<int>(mixed >> 24), 3) << Hex(mixed);
    EXPECT_LE((mixed >> 16) & 0xFF, mixed >> 24) << Hex(mixed);

    // Cleared before every frame: a hidden widget leaves nothing behind.
    white->SetVisible(0);
    EXPECT_EQ(Hex(0), Hex(Capture(window.GetHwnd()).at(10, 10)));
}

TEST_F(Rendering, CopyPathKeepsStalePixelsAndSoDoesALayeredWindowWithAttributes)
{
    TestWindow plain(screen);
    RECT r = {0, 0, 20, 20};
    auto* white = new Widget(&r, Image(L"white.bmp").c_str(), &plain, 1, nullptr);
    EXPECT_PIXEL(kWhite, Capture(plain.GetHwnd()).at(10, 10), 2);
    white->SetVisible(0);
    // Nothing paints there any more: the old frame shows.
    EXPECT_PIXEL(kWhite, Capture(plain.GetHwnd()).at(10, 10), 2);

    RECT other = {100, 200, 300, 260};
    TestWindow faded(other, L"", nullptr, WS_EX_LAYERED);
    ASSERT_TRUE(SetLayeredWindowAttributes(faded.GetHwnd(), 0, 200, LWA_ALPHA));
    EXPECT_FALSE(UsesLayeredPath(faded.GetHwnd()));
    auto* second = new Widget(&r, Image(L"white.bmp").c_str(), &faded, 1, nullptr);
    EXPECT_PIXEL(kWhite, Capture(faded.GetHwnd()).at(10, 10), 2);
    second->SetVisible(0);
    EXPECT_PIXEL(kWhite, Capture(faded.GetHwnd()).at(10, 10), 2);
}

// Records the clip each Draw call gets.
class ClipRecorder : public Widget {
public:
    ClipRecorder(const RECT& r, Widget* parent, const std::wstring& image)
        : Widget(&r, image.c_str(), parent, 0, nullptr)
    {
    }
    void Draw(Gdiplus::GpGraphics* graphics) override
    {
        Gdiplus::Rect bounds;
        gdip::GdipGetClipBoundsI(graphics, &bounds);
        clips.push_back({bounds.X, bounds.Y, bounds.X + bounds.Width, bounds.Y + bounds.Height});
        Widget::Draw(graphics);
    }
    std::vector<RECT> clips;
};

TEST_F(Rendering, PaintIsClippedToTheDamagedRectangle)
{
    TestWindow window(screen, Image(L"grey.bmp").c_str());
    auto* left = new ClipRecorder({0, 0, 40, 40}, &window, Image(L"white.bmp"));
    auto* right = new ClipRecorder({100, 0, 140, 40}, &window, Image(L"white.bmp"));
    UpdateWindow(window.GetHwnd());
    left->clips.clear();
    right->clips.clear();

    RECT damage = {30, 10, 60, 20};
    InvalidateRect(window.GetHwnd(), &damage, FALSE);
    UpdateWindow(window.GetHwnd());
    ASSERT_EQ(1u, left->clips.size());
    RECT expected = {30, 10, 40, 20};
    const RECT& got = left->clips[0];
    EXPECT_TRUE(EqualRect(&expected, &got)) << got.left << "," << got.top << "," << got.right << "," << got.bottom;
    EXPECT_TRUE(right->clips.empty()) << "a widget outside the damage was drawn";
    RECT update;
    EXPECT_FALSE(GetUpdateRect(window.GetHwnd(), &update, FALSE)) << "WM_PAINT left the region invalid";
}

// Windows refuses to delete a bitmap still selected into a DC and leaks it;
// Wine defers the delete until the DC lets go, so the release order itself
// cannot be seen here. What can: nothing outlives a replaced or destroyed
// surface, and a moved-from one no longer points at the pixels.
TEST(SurfaceObjects, ReplacedAndDestroyedSurfacesLeaveNoDcOrBitmap)
{
    Surface surface(40, 30);
    HDC firstDc = surface.dc();
    ASSERT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(firstDc));
    HGDIOBJ firstBitmap = GetCurrentObject(firstDc, OBJ_BITMAP);
    ASSERT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(firstBitmap));

    Surface next(20, 10);
    HDC nextDc = next.dc();
    HGDIOBJ nextBitmap = GetCurrentObject(nextDc, OBJ_BITMAP);
    surface = std::move(next);
    EXPECT_EQ(0u, GetObjectType(firstDc)) << "the replaced DC is left";
    EXPECT_EQ(0u, GetObjectType(firstBitmap)) << "the replaced bitmap is left";
    EXPECT_EQ(nextDc, surface.dc());
    EXPECT_EQ(nextBitmap, GetCurrentObject(surface.dc(), OBJ_BITMAP));
    EXPECT_EQ(20, surface.width());
    EXPECT_EQ(nullptr, next.dc());
    EXPECT_EQ(nullptr, next.bits()) << "the moved-from surface still points at the pixels";
    next.Clear();

    surface = Surface();
    EXPECT_EQ(0u, GetObjectType(nextDc));
    EXPECT_EQ(0u, GetObjectType(nextBitmap));
    EXPECT_EQ(nullptr, surface.bits());
}

}  // namespace
