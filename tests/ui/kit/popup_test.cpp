// The notice popup over its owner: one message per click, hidden after it,
// dragged by its panel only, transparent where nothing draws. Also writes a
// screenshot of a sample window with the popup over it for people to look at.
#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"
#include "tests/ui/kit/kit_test_support.h"
#include "ui/kit/button_widget.h"
#include "ui/kit/popup_window.h"
#include "ui/kit/text_label.h"

namespace {

constexpr UINT kOkMessage = WM_APP + 4;
constexpr UINT kRetryMessage = WM_APP + 3;

// Records caption drags instead of entering the system's modal move loop.
class TestPopup : public PopupWindow {
public:
    using PopupWindow::PopupWindow;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
            ++captionDrags;
            return 0;
        }
        return PopupWindow::WindowProc(msg, wParam, lParam);
    }
    int captionDrags = 0;
};

// The owner's client size, like the installer's failure panel.
class Popup : public ::testing::Test {
protected:
    Popup() : owner(RECT{100, 100, 700, 450}, Skin(1101), kImageType), popup(&client, owner.GetHwnd(), kOkMessage, kRetryMessage)
    {
        owner.onMessage = [this](UINT msg) {
            retries += msg == kRetryMessage;
            parks += msg == kOkMessage;
        };
        panel = new Widget(80, 60, Skin(1117), &popup, 0, nullptr, kImageType);
        new ButtonWidget(425, 205, Skin(1118), &popup, PopupWindow::ID_OK_BUTTON, kImageType);
        new ButtonWidget(330, 205, Skin(1119), &popup, PopupWindow::ID_RETRY_BUTTON, kImageType);
        RECT text = {20, 30, 420, 60};
        label = new TextLabel(&text, L"", panel, nullptr, nullptr, nullptr, 0);
        label->SetLabelText(L"下载失败，请检查网络后重试");
        popup.SetDragWidget(panel);
    }
    ~Popup() override { Drain(); }
    HWND hwnd() { return popup.GetHwnd(); }
    void Click(int x, int y, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP)
    {
        PointAt(hwnd(), x, y);
        Send(hwnd(), down, x, y, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON);
        Send(hwnd(), up, x, y);
    }

    RECT client = {0, 0, 600, 350};
    TestWindow owner;
    TestPopup popup;
    Widget* panel;
    TextLabel* label;
    int retries = 0;
    int parks = 0;
};

TEST_F(Popup, StartsHiddenOverItsOwner)
{
    EXPECT_FALSE(IsWindowVisible(hwnd()));
    EXPECT_EQ(0, popup.IsVisible());
    EXPECT_EQ(owner.GetHwnd(), GetWindow(hwnd(), GW_OWNER));
    RECT mine, theirs;
    GetWindowRect(hwnd(), &mine);
    GetWindowRect(owner.GetHwnd(), &theirs);
    EXPECT_TRUE(EqualRect(&mine, &theirs)) << mine.left << "," << mine.top << " vs " << theirs.left << "," << theirs.top;
}

TEST_F(Popup, EachButtonSendsOneMessageToTheOwnerAndHides)
{
    popup.SetVisible(1);
    Click(340, 215);
    EXPECT_EQ(1, retries);
    EXPECT_EQ(0, parks);
    EXPECT_EQ(0, popup.IsVisible());

    popup.SetVisible(1);
    Click(435, 215);
    EXPECT_EQ(1, retries);
    EXPECT_EQ(1, parks);
    EXPECT_EQ(0, popup.IsVisible());

    // A right click is no command.
    popup.SetVisible(1);
    Click(435, 215, WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_EQ(1, parks);
    EXPECT_EQ(1, popup.IsVisible());
}

TEST_F(Popup, DragsByThePanelOnly)
{
    popup.SetVisible(1);
    Click(100, 200);  // bare panel
    EXPECT_EQ(1, popup.captionDrags);
    Click(340, 215);  // a button
    popup.SetVisible(1);
    Click(200, 100);  // the label on the panel
    Click(10, 10);    // outside the panel
    EXPECT_EQ(1, popup.captionDrags);
}

TEST_F(Popup, IsTransparentWhereNothingDraws)
{
    popup.SetVisible(1);
    Pixels p = Capture(hwnd(), 0x12345678);
    EXPECT_EQ(Hex(0), Hex(p.at(10, 10)));
    EXPECT_EQ(Hex(0), Hex(p.at(590, 340)));
    EXPECT_EQ(0xFFu, p.at(90, 230) >> 24) << Hex(p.at(90, 230));
}

// What the screen shows (owner, popup and all), read from the desktop.
Pixels ScreenArea(const RECT& r)
{
    Pixels pixels = CaptureScreen(r);
    for (uint32_t& px : pixels.argb)
        px |= 0xFF000000;
    return pixels;
}

TEST_F(Popup, SampleScreenshot)
{
    new Widget(1, 1, Skin(1106), &owner, 0, nullptr, kImageType);
    new ButtonWidget(565, 1, Skin(1107), &owner, 902, kImageType);
    new ButtonWidget(530, 1, Skin(1108), &owner, 903, kImageType);
    new ButtonWidget(425, 275, Skin(1110), &owner, 901, kImageType);
    RECT titleArea = {12, 8, 300, 30};
    auto* title = new TextLabel(&titleArea, L"", &owner, nullptr, nullptr, nullptr, 0);
    title->SetLabelText(L"客户端下载器");
    popup.SetVisible(1);
    UpdateWindow(owner.GetHwnd());
    UpdateWindow(hwnd());
    Drain();

    RECT area;
    GetWindowRect(owner.GetHwnd(), &area);
    Pixels shot = ScreenArea(area);
    std::wstring path = BuildPath(L"ui-kit-sample.bmp");
    WriteBmp32(path, shot);
    ASSERT_TRUE(FileExists(path));
    // The popup's panel lies over the owner's background on screen.
    Pixels ownerPixels = Capture(owner.GetHwnd());
    uint32_t panelPixel = Capture(hwnd()).at(300, 200);
    EXPECT_PIXEL(panelPixel & 0xFFFFFF, shot.at(300, 200), 8);
    EXPECT_GT(ColourDistance(ownerPixels.at(300, 200), shot.at(300, 200)), 8) << "the popup is not on screen";
    // Where the popup is transparent the owner shows through.
    EXPECT_PIXEL(ownerPixels.at(20, 330) & 0xFFFFFF, shot.at(20, 330), 8);
}

}  // namespace
