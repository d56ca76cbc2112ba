// The banner thread against a toolkit window of this thread: the widget
// joins the tree on the window's thread, the control's window is a child of
// the window but belongs to the banner thread, and a move from the window's
// thread reaches it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "tests/ui/banner/banner_test_support.h"
#include "ui/banner/banner_thread.h"
#include "ui/kit/toolkit_window.h"

namespace {

constexpr UINT kAttach = WM_APP + 0x140;

// Attaches what the banner thread posts, as the main window does.
class AttachWindow : public ToolkitWindow {
public:
    AttachWindow()
        : ToolkitWindow(&kScreen, L"", L"BannerTestWindow", nullptr, 0, WS_POPUP | WS_VISIBLE, 0, 0)
    {
    }
    ~AttachWindow() override { std::erase(children, banner); }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg != kAttach)
            return ToolkitWindow::WindowProc(msg, wParam, lParam);
        banner = reinterpret_cast<Widget*>(lParam);
        banner->SetParent(this);
        return 0;
    }

    Widget* banner = nullptr;
    static constexpr RECT kScreen = {40, 40, 640, 390};
};

TEST(BannerThread, TheWindowsThreadAttachesTheHostAtTheBannerRectangle)
{
    AttachWindow window;
    ASSERT_TRUE(StartBannerThread(window.GetHwnd(), L"http://127.0.0.1:9/banner", kAttach));
    ASSERT_TRUE(PumpUntil([&] { return window.banner != nullptr; }, 20000)) << "never attached";

    EXPECT_EQ(&window, window.banner->GetParent());
    EXPECT_EQ(window.GetHwnd(), window.banner->GetHwnd());
    RECT rect;
    window.banner->GetRect(&rect);
    EXPECT_EQ(Box(kBannerRect), Box(rect));
    // It draws nothing but takes the pointer over the banner area.
    EXPECT_EQ(window.banner, window.HitTest(300, 100));
}

TEST(BannerThread, TheControlIsAChildOfTheWindowOnTheBannerThreadAndFollowsMoves)
{
    if (!BrowserControlAvailable())
        GTEST_SKIP() << "this Wine creates no web-browser control";
    AttachWindow window;
    ASSERT_TRUE(StartBannerThread(window.GetHwnd(), L"http://127.0.0.1:9/banner", kAttach));
    HWND control = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return window.banner && (control = OnlyChild(window.GetHwnd())); }, 20000))
        << "no control window";

    EXPECT_EQ(Box(kBannerRect), Box(ChildRect(control)));
    EXPECT_NE(GetCurrentThreadId(), GetWindowThreadProcessId(control, nullptr));
    LONG style = GetWindowLongW(control, GWL_STYLE);
    constexpr LONG kBits = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    EXPECT_EQ(kBits, style & kBits);

    // The window's thread moves the widget; the banner thread the control.
    const RECT moved = {10, 50, 310, 150};
    RECT old;
    window.banner->SetRect(&old, &moved, 1);
    EXPECT_EQ(Box(kBannerRect), Box(old));
    EXPECT_TRUE(PumpUntil([&] { return Box(ChildRect(control)) == Box(moved); }, 10000))
        << "control at " << Box(ChildRect(control));

    // Hiding asks the control itself, on its own thread.
    window.banner->SetVisible(0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(control); }, 10000)) << "control still shown";
    window.banner->SetVisible(1);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(control) != FALSE; }, 10000)) << "control still hidden";
}

}  // namespace
