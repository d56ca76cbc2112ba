// Labels keep their rendered text and blend it themselves; what they draw
// must equal GDI+'s own DrawString byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"
#include "tests/ui/kit/frame_compare.h"
#include "tests/ui/kit/kit_test_support.h"
#include "ui/kit/image_loader.h"
#include "ui/kit/text_label.h"

namespace {

// Over every kind of pixel, when repainted from what was kept, and after the
// text changes.
TEST(LabelDrawing, KeptTextMatchesGdiplusDrawStringPixelForPixel)
{
    ScratchDir dir;
    const std::wstring backdropPath = dir / L"backdrop.png";
    ASSERT_TRUE(SavePng(backdropPath, 200, 120, Backdrop()));
    RECT screen = {0, 0, 300, 160};
    TestWindow window(screen, L"", nullptr, WS_EX_LAYERED);
    new Widget(10, 10, backdropPath.c_str(), &window, 1, nullptr);
    // Half over the backdrop, half over bare pixels.
    RECT box = {20, 20, 290, 70};
    GdiplusBrush brush = MakeSolidBrush(0xFEC8C8C8);
    auto* label = new TextLabel(&box, L"", &window, nullptr, nullptr, &brush, 2);
    GdiplusImage back = LoadImageFromFile(backdropPath.c_str());
    ASSERT_TRUE(back);

    auto expect = [&](const wchar_t* text, bool* drewText) {
        Canvas expected(300, 160);
        gdip::GdipDrawImageRectRectI(expected.graphics(), back.get(), 10, 10, 200, 120, 0, 0, 200, 120,
                                     Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
        std::vector<uint32_t> bare = expected.pixels();
        gdip::GdipSetClipRectI(expected.graphics(), box.left, box.top, box.right - box.left, box.bottom - box.top,
                               Gdiplus::CombineModeReplace);
        Gdiplus::RectF layout(20.0f, 20.0f, 270.0f, 50.0f);
        EXPECT_EQ(Gdiplus::Ok, gdip::GdipDrawString(expected.graphics(), text, -1, label->Font().get(), &layout,
                                                    label->Format().get(), label->Brush().get()));
        gdip::GdipFlush(expected.graphics(), Gdiplus::FlushIntentionSync);
        *drewText = bare != expected.pixels();
        return expected;
    };
    const wchar_t* texts[] = {L"安装路径：C:\\Program Files\\ 50%", L"完成 100% 12.34MB/S"};
    for (const wchar_t* text : texts) {
        label->SetLabelText(text);
        bool drewText = false;
        Canvas expected = expect(text, &drewText);
        ASSERT_TRUE(drewText) << "the font draws nothing here";
        for (int pass = 0; pass < 2; ++pass) {
            std::string first;
            EXPECT_EQ(0, CountDifferences(Capture(window.GetHwnd()), expected, &first))
                << "pass " << pass << ", first at " << first;
        }
    }
}


}  // namespace
