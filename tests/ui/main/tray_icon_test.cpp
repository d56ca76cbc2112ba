// TrayIcon on a toolkit window of the test itself, against Wine's real
// notification area (tests/support/notification_area.h).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/unique_resource.h"
#include "ui/kit/toolkit_window.h"
#include "ui/main/tray_icon.h"
#include "tests/support/notification_area.h"

namespace {

const UINT kCallback = RegisterWindowMessageA("__TRAYMSG_{0342F300-E8F7-4fd5-9C12-2C023A2EA903}__");
const UINT kTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");

// A hidden toolkit window that logs what its own procedure receives.
class OwnerWindow : public ToolkitWindow {
public:
    OwnerWindow() : ToolkitWindow(&kRect, L"", L"TrayOwnerWindow", nullptr, 0, WS_POPUP, 0, 0) {}
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        log.push_back(msg);
        return ToolkitWindow::WindowProc(msg, wParam, lParam);
    }
    bool Got(UINT msg) const { return std::find(log.begin(), log.end(), msg) != log.end(); }

    static constexpr RECT kRect = {100, 100, 300, 200};
    std::vector<UINT> log;
};

class Tray : public testing::Test {
protected:
    static void SetUpTestSuite() { keptIcon = new KeptTrayIcon; }
    static void TearDownTestSuite() { delete keptIcon; }
    static KeptTrayIcon* keptIcon;

    int SetUpTray(TrayIcon& tray, const std::string& tip = "Quillmoor")
    {
        return tray.Setup(hwnd(), LoadIconA(nullptr, IDI_APPLICATION), menu, tip.c_str(), 1, WM_LBUTTONUP,
                          WM_RBUTTONUP);
    }
    HWND hwnd() { return window.GetHwnd(); }
    UINT id() { return static_cast<UINT>(HandleToULong(menu)); }
    LONG_PTR Procedure() { return GetWindowLongPtrA(hwnd(), GWLP_WNDPROC); }

    OwnerWindow window;
    UniqueMenu menuBar{LoadMenuA(nullptr, MAKEINTRESOURCEA(119))};
    HMENU menu = GetSubMenu(menuBar.get(), 0);
};

KeptTrayIcon* Tray::keptIcon;

std::string Repeat(const std::string& part, int times)
{
    std::string whole;
    for (int i = 0; i < times; ++i)
        whole.append(part);
    return whole;
}

// Another user of the platform's subclassing helpers on the same window.
int helperCalls;
LRESULT CALLBACK CountingSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    ++helperCalls;
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

WNDPROC foreignPrevious;
int foreignCalls;
LRESULT CALLBACK ForeignProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ++foreignCalls;
    return CallWindowProcA(foreignPrevious, hwnd, msg, wParam, lParam);
}

}  // namespace

TEST_F(Tray, TipKeepsWholeCharactersWithinItsField)
{
    ASSERT_EQ(936u, GetACP()) << "the cases are GBK";
    // U+554A in GBK: its trail byte is a lead-byte value as well.
    const std::string han = "\xB0\xA1";
    struct Case {
        std::string tip, kept;
    } cases[] = {
        {"Quillmoor", "Quillmoor"},
        {Repeat("x", 200), Repeat("x", 127)},
        {Repeat("a", 126) + han + "b", Repeat("a", 126)},
        {Repeat(han, 10) + "a" + Repeat(han, 90), Repeat(han, 10) + "a" + Repeat(han, 53)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.tip.substr(0, 12)) + " of " + std::to_string(c.tip.size()));
        TrayIcon tray;
        ASSERT_EQ(1, SetUpTray(tray, c.tip));
        const NOTIFYICONDATAA* data = tray.Record();
        EXPECT_EQ(c.kept + std::string(sizeof data->szTip - c.kept.size(), '\0'),
                  std::string(data->szTip, sizeof data->szTip));
        EXPECT_EQ(0u, data->dwState) << "written past the field";
    }
}

TEST_F(Tray, ShowAddsTheIconOnceAndRemoveTakesItAway)
{
    TrayIcon tray;
    ASSERT_EQ(1, SetUpTray(tray));
    EXPECT_EQ(1, tray.Setup(hwnd(), nullptr, nullptr, "other", 0, 0, 0)) << "a second set-up";
    EXPECT_STREQ("Quillmoor", tray.Record()->szTip) << "changed by the second set-up";
    EXPECT_EQ(0, tray.IsShown());
    EXPECT_FALSE(ShellHasIcon(hwnd(), id())) << "added before Show";

    EXPECT_TRUE(tray.Show());
    EXPECT_EQ(1, tray.IsShown());
    EXPECT_TRUE(ShellHasIcon(hwnd(), id()));
    EXPECT_FALSE(tray.Show()) << "the shell took the same icon twice";
    EXPECT_EQ(1, tray.IsShown());

    EXPECT_TRUE(tray.Remove());
    EXPECT_EQ(0, tray.IsShown());
    EXPECT_FALSE(ShellHasIcon(hwnd(), id()));
    EXPECT_FALSE(tray.Remove());
    EXPECT_EQ(0, tray.IsShown());
}

TEST_F(Tray, SetupOnAWindowOfAnotherProcessFails)
{
    TrayIcon tray;
    EXPECT_EQ(0, tray.Setup(GetDesktopWindow(), nullptr, menu, "tip", 1, WM_LBUTTONUP, WM_RBUTTONUP));
    EXPECT_EQ(nullptr, tray.Record());
    EXPECT_FALSE(tray.Show());
    EXPECT_EQ(0, tray.IsShown());
}

// On Windows the owner, elevated, hears the unelevated shell's broadcast only
// because the icon lets that one message through its filter. Wine has no
// integrity levels and every message arrives, so only what the icon does
// with the broadcast can be seen here.
TEST_F(Tray, TaskbarCreatedAddsBackOnlyAShownIcon)
{
    TrayIcon tray;
    ASSERT_EQ(1, SetUpTray(tray));
    ASSERT_TRUE(tray.Show());
    // As if the shell had restarted: it no longer knows the icon.
    NOTIFYICONDATAA forget = *tray.Record();
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &forget));
    SendMessageA(hwnd(), kTaskbarCreated, 0, 0);
    EXPECT_TRUE(ShellHasIcon(hwnd(), id())) << "not added back";
    EXPECT_EQ(1, tray.IsShown());
    EXPECT_TRUE(window.Got(kTaskbarCreated)) << "the window's own procedure missed it";

    ASSERT_TRUE(tray.Remove());
    SendMessageA(hwnd(), kTaskbarCreated, 0, 0);
    EXPECT_FALSE(ShellHasIcon(hwnd(), id())) << "a hidden icon was added";
    EXPECT_EQ(0, tray.IsShown());
}

TEST_F(Tray, CallbackComesBeforeTheWindowsOwnProcedureAndLeavesWithTheIcon)
{
    const LONG_PTR own = Procedure();
    {
        TrayIcon tray;
        ASSERT_EQ(1, SetUpTray(tray));
        EXPECT_NE(own, Procedure());
        SendMessageA(hwnd(), kCallback, id() + 1, WM_LBUTTONUP);
        EXPECT_FALSE(IsWindowVisible(hwnd())) << "another icon's click restored the window";
        window.log.clear();
        SendMessageA(hwnd(), kCallback, id(), WM_LBUTTONUP);
        EXPECT_TRUE(IsWindowVisible(hwnd()));
        auto shown = std::find(window.log.begin(), window.log.end(), WM_SHOWWINDOW);
        auto callback = std::find(window.log.begin(), window.log.end(), kCallback);
        ASSERT_NE(window.log.end(), callback) << "the window's own procedure missed the callback";
        EXPECT_LT(shown - window.log.begin(), callback - window.log.begin());
    }
    EXPECT_EQ(own, Procedure()) << "the procedure was not put back";
    ShowWindow(hwnd(), SW_HIDE);

    {
        TrayIcon tray;
        ASSERT_EQ(1, SetUpTray(tray));
        ASSERT_TRUE(tray.Show());
        foreignPrevious = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProcedure)));
    }
    EXPECT_FALSE(ShellHasIcon(hwnd(), id())) << "a shown icon outlived its object";
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&ForeignProcedure), Procedure()) << "the later subclass was cut out";
    foreignCalls = 0;
    window.log.clear();
    SendMessageA(hwnd(), kCallback, id(), WM_LBUTTONUP);
    EXPECT_EQ(1, foreignCalls);
    EXPECT_TRUE(window.Got(kCallback)) << "the chain is broken";
    EXPECT_FALSE(IsWindowVisible(hwnd())) << "a destroyed icon still acts";

    // The link left in the chain serves the next icon of the window.
    TrayIcon next;
    ASSERT_EQ(1, SetUpTray(next));
    SendMessageA(hwnd(), kCallback, id(), WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(hwnd()));
}

TEST_F(Tray, AnotherHelperSubclassKeepsTheChainWhicheverGoesFirst)
{
    const LONG_PTR own = Procedure();
    for (bool trayFirst : {true, false}) {
        SCOPED_TRACE(trayFirst ? "the icon's subclass goes first" : "the other subclass goes first");
        auto tray = std::make_unique<TrayIcon>();
        ASSERT_EQ(1, SetUpTray(*tray));
        ASSERT_TRUE(SetWindowSubclass(hwnd(), CountingSubclass, 7, 0));
        if (trayFirst)
            tray.reset();
        else
            ASSERT_TRUE(RemoveWindowSubclass(hwnd(), CountingSubclass, 7));
        helperCalls = 0;
        window.log.clear();
        SendMessageA(hwnd(), kCallback, id(), WM_LBUTTONUP);
        EXPECT_TRUE(window.Got(kCallback)) << "the chain is broken";
        EXPECT_EQ(trayFirst ? 1 : 0, helperCalls);
        EXPECT_EQ(!trayFirst, IsWindowVisible(hwnd()) != FALSE) << "the icon acts only while it is there";
        ShowWindow(hwnd(), SW_HIDE);
        if (trayFirst)
            ASSERT_TRUE(RemoveWindowSubclass(hwnd(), CountingSubclass, 7));
        else
            tray.reset();
        EXPECT_EQ(own, Procedure()) << "the window's own procedure was not put back";
    }
}
