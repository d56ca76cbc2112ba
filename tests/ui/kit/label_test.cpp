// Text labels: CJK text drawn with the substituted face, empty text drawing
// nothing, text on layered windows, and clicks reported only for a release
// inside the label.
#include <gtest/gtest.h>

#include "tests/ui/kit/kit_test_support.h"
#include "ui/kit/text_label.h"

namespace {

struct Changes {
    int inside = 0;
    int outside = 0;
};

Changes Compare(const Pixels& before, const Pixels& after, const RECT& area)
{
    Changes changes;
    for (int y = 0; y < before.height; ++y) {
        for (int x = 0; x < before.width; ++x) {
            if (before.at(x, y) == after.at(x, y))
                continue;
            POINT at = {x, y};
            ++(PtInRect(&area, at) ? changes.inside : changes.outside);
        }
    }
    return changes;
}

std::wstring FamilyName(const GdiplusFont& font)
{
    GdiplusFontFamily family;
    if (gdip::GdipGetFamily(font.get(), family.put()) != Gdiplus::Ok)
        return L"(no family)";
    wchar_t name[LF_FACESIZE] = L"(poisoned)";
    gdip::GdipGetFamilyName(family.get(), name, LANG_NEUTRAL);
    return name;
}

class Labels : public ::testing::Test {
protected:
    Labels() : window(RECT{100, 100, 400, 200}, Skin(1101), kImageType) {}
    HWND hwnd() { return window.GetHwnd(); }
    TestWindow window;
    RECT area = {10, 10, 210, 40};
};

TEST_F(Labels, ChineseTextDrawsWithTheSubstitutedFaceInsideTheLabelOnly)
{
    auto* label = new TextLabel(&area, L"", &window, nullptr, nullptr, nullptr, 5);
    ASSERT_TRUE(label->Font()) << "font status " << label->Font().status();
    EXPECT_EQ(L"宋体", FamilyName(label->Font()));
    EXPECT_EQ(nullptr, label->GetLabelText());

    Pixels before = Capture(hwnd());
    label->SetLabelText(L"客户端下载器");
    EXPECT_STREQ(L"客户端下载器", label->GetLabelText());
    Changes drawn = Compare(before, Capture(hwnd()), area);
    EXPECT_GT(drawn.inside, 100) << "too little ink for six CJK characters";
    EXPECT_EQ(0, drawn.outside);

    label->SetLabelText(L"");
    EXPECT_EQ(nullptr, label->GetLabelText());
    Changes cleared = Compare(before, Capture(hwnd()), area);
    EXPECT_EQ(0, cleared.inside + cleared.outside) << "empty text left ink";
}

TEST_F(Labels, KeepClonesOfWhatTheCallerPasses)
{
    GdiplusFont font = MakeFont(L"微软雅黑", 9.0f);
    GdiplusBrush brush = MakeSolidBrush(0xFFFF0000);
    GdiplusStringFormat format = MakeStringFormat();
    auto* label = new TextLabel(&area, L"", &window, &font, &format, &brush, 6);
    ASSERT_TRUE(label->Font());
    EXPECT_NE(font.get(), label->Font().get());
    EXPECT_NE(brush.get(), label->Brush().get());
    EXPECT_EQ(L"微软雅黑", FamilyName(label->Font()));
    // The caller's objects may go; the label still draws.
    font.reset();
    brush.reset();
    format.reset();
    Pixels before = Capture(hwnd());
    label->SetLabelText(L"下载");
    EXPECT_GT(Compare(before, Capture(hwnd()), area).inside, 20);
}

TEST(LayeredLabels, TextPixelsAreCoveredNotHoles)
{
    TestWindow window(RECT{100, 100, 400, 200}, L"", nullptr, WS_EX_LAYERED);
    RECT area = {0, 0, 200, 40};
    auto* label = new TextLabel(&area, L"", &window, nullptr, nullptr, nullptr, 5);
    label->SetLabelText(L"正在启动");
    Pixels p = Capture(window.GetHwnd());
    int opaque = 0, broken = 0;
    for (uint32_t px : p.argb) {
        uint32_t a = px >> 24;
        opaque += a > 128;
        broken += ((px >> 16) & 0xFF) > a || ((px >> 8) & 0xFF) > a || (px & 0xFF) > a;
    }
    EXPECT_GT(opaque, 50);
    EXPECT_EQ(0, broken) << "pixels brighter than their alpha cannot be premultiplied";
}

TEST_F(Labels, ClickIsReportedOnlyForAReleaseInsideWithNotificationsOn)
{
    auto* label = new TextLabel(&area, L"", &window, nullptr, nullptr, nullptr, 5);
    PointAt(hwnd(), 20, 20);
    Send(hwnd(), WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    Send(hwnd(), WM_LBUTTONUP, 20, 20);
    EXPECT_TRUE(window.notes.empty()) << "reported with notifications off";

    label->SetNotify(1, 0);
    Send(hwnd(), WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    PointAt(hwnd(), 250, 20);
    Send(hwnd(), WM_LBUTTONUP, 250, 20);
    std::vector<int32_t> codes = window.Codes();
    EXPECT_NE(codes.end(), std::find(codes.begin(), codes.end(), WN_LBUTTON_UP));
    EXPECT_EQ(codes.end(), std::find(codes.begin(), codes.end(), WN_LABEL_CLICKED));

    window.notes.clear();
    PointAt(hwnd(), 20, 20);
    Send(hwnd(), WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    Send(hwnd(), WM_LBUTTONUP, 30, 25);
    ASSERT_GE(window.notes.size(), 2u);
    EXPECT_EQ(WN_LBUTTON_UP, window.notes[window.notes.size() - 2].code);
    EXPECT_EQ(WN_LABEL_CLICKED, window.notes.back().code);
    EXPECT_EQ(MAKELPARAM(30, 25), window.notes.back().param2);

    Send(hwnd(), WM_RBUTTONDOWN, 20, 20, MK_RBUTTON);
    Send(hwnd(), WM_RBUTTONUP, 20, 20);
    EXPECT_EQ(WN_LABEL_RCLICKED, window.notes.back().code);
    Drain();
}

TEST_F(Labels, ADisabledLabelPassesClicksToTheWidgetBelow)
{
    auto* below = new Widget(&area, L"", &window, 9, nullptr);
    auto* label = new TextLabel(&area, L"", &window, nullptr, nullptr, nullptr, 5);
    below->SetNotify(1, 0);
    label->SetNotify(1, 0);
    label->SetEnabled(0);
    window.notes.clear();
    PointAt(hwnd(), 20, 20);
    Send(hwnd(), WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    Send(hwnd(), WM_LBUTTONUP, 20, 20);
    ASSERT_FALSE(window.notes.empty());
    for (const Note& note : window.notes)
        EXPECT_EQ(9, note.senderId) << "code " << note.code;
    Drain();
}

}  // namespace
