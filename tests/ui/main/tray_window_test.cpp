// The installer's notification-area icon, driven through the real program
// and Wine's own notification area (tests/support/notification_area.h).
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/child_process.h"
#include "tests/support/notification_area.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/windows.h"

namespace {

constexpr DWORD kWaitMs = 20000;

bool WaitFor(const std::function<bool()>& condition)
{
    return PumpUntil(condition, kWaitMs);
}

// A click as the toolkit sees one: the pointer moves onto the client point,
// then the left button goes down and up there. Posted, not sent: sent
// messages overtake the moves the window has posted to itself, which would
// take the hover off the button between press and release.
void ClickAt(HWND window, int x, int y)
{
    POINT at = {x, y};
    ClientToScreen(window, &at);
    SetCursorPos(at.x, at.y);
    LPARAM where = MAKELPARAM(x, y);
    PostMessageA(window, WM_MOUSEMOVE, 0, where);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageA(window, WM_LBUTTONUP, 0, where);
}

// The installer with its window hidden by the close button (902) and its
// icon in the notification area.
class TrayWindow : public testing::Test {
protected:
    static void SetUpTestSuite() { keptIcon = new KeptTrayIcon; }
    static void TearDownTestSuite() { delete keptIcon; }
    static KeptTrayIcon* keptIcon;

    void SetUp() override
    {
        ASSERT_TRUE(installer.started());
        window = WaitForProcessWindow(installer.id(), "DownloadWindow", kWaitMs);
        ASSERT_TRUE(window) << "no window";
        // The window shows before its buttons are made; the hidden failure
        // panel comes last.
        ASSERT_TRUE(WaitFor([&] { return FindProcessWindow(installer.id(), "ERROR_WINDOW", false) != nullptr; }));
        std::vector<HWND> before = ShellTrayIcons();
        ClickAt(window, 565 + 17, 1 + 17);
        icon = WaitForNewTrayIcon(before, kWaitMs);
        ASSERT_TRUE(icon) << "no icon added";
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(window); })) << "window still shown";
    }

    ChildProcess installer{ProgramPath(L"local/Download_kp_local.exe")};
    HWND window = nullptr;
    HWND icon = nullptr;
};

KeptTrayIcon* TrayWindow::keptIcon;

}  // namespace

TEST_F(TrayWindow, LeftClickOnTheIconShowsTheWindowInFrontAndRemovesTheIcon)
{
    // The shell's icon window turns the click into the icon's callback
    // message, with the icon's id and WM_LBUTTONUP.
    PostMessageA(icon, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
    PostMessageA(icon, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; })) << "window still hidden";
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; })) << "not in front";
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(icon); })) << "icon still there";

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(installer.Wait(kWaitMs));
}

TEST_F(TrayWindow, RightClickOpensTheMenuAtTheCursorAndItsItemEndsTheProgram)
{
    // The pointer stays where the close button was clicked: moved now, it
    // could be put back by the program's late handling of that click's
    // pointer events.
    POINT cursor;
    GetCursorPos(&cursor);
    PostMessageA(icon, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(8, 8));
    PostMessageA(icon, WM_RBUTTONUP, 0, MAKELPARAM(8, 8));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = FindProcessWindow(installer.id(), "#32768", true)) != nullptr; })) << "no menu";
    RECT rect;
    GetWindowRect(menu, &rect);
    EXPECT_EQ(cursor.x, rect.left);
    EXPECT_EQ(cursor.y, rect.top);

    // The menu's own loop takes the keys: down to its one item, then choose it.
    PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(installer.Wait(kWaitMs)) << "still running";
    EXPECT_EQ(0u, installer.ExitCode());
    EXPECT_FALSE(IsWindow(icon)) << "icon left behind";
}
