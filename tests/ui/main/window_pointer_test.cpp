// Moving the window with the pointer, and closing it from the keyboard.
#include <gtest/gtest.h>

#include "tests/support/xdotool.h"
#include "tests/ui/main/window_session.h"

namespace {

bool InMoveLoop(HWND window)
{
    GUITHREADINFO info = {sizeof info};
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && (info.flags & GUI_INMOVESIZE);
}

bool WaitForMoveLoop(HWND window, bool running, DWORD ms = 5000)
{
    DWORD start = GetTickCount();
    while (InMoveLoop(window) != running) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(10);
    }
    return true;
}

std::string At(POINT p)
{
    return std::to_string(p.x) + " " + std::to_string(p.y);
}

// Presses at a client point, moves by (dx, dy) in steps and releases. On a
// drag handle the system's move loop takes over after the press: the moves
// wait for it, so none is lost before it starts.
void Drag(InstallerRun& run, POINT from, int dx, int dy, bool handle)
{
    POINT press = run.ScreenPoint(from.x, from.y);
    ASSERT_TRUE(Xdo(ArriveAt(press) + " mousedown 1"));
    if (handle) {
        ASSERT_TRUE(WaitForMoveLoop(run.window(), true)) << "no move loop";
    }
    std::string moves;
    for (int i = 1; i <= 4; ++i)
        moves += "mousemove " + At({press.x + dx * i / 4, press.y + dy * i / 4}) + " ";
    ASSERT_TRUE(Xdo(moves + "mouseup 1"));
    if (handle) {
        ASSERT_TRUE(WaitForMoveLoop(run.window(), false)) << "the move loop did not end";
    }
}

}  // namespace

using WindowPointer = WindowTest;

TEST_F(WindowPointer, OnlyTheTitleBarAndTheEditionTextDragTheWindow)
{
    InstallerRun run(kLocalInstaller);
    ASSERT_TRUE(run.WaitForWindow());
    RECT start = run.ScreenRect();

    // Presses elsewhere: the path label, the banner's place, the background
    // under the tip line. Input is handled in order, so the drags on the
    // handles that follow show these moved nothing.
    for (POINT elsewhere : {POINT{100, 232}, POINT{300, 120}, POINT{40, 340}})
        ASSERT_NO_FATAL_FAILURE(Drag(run, elsewhere, 40, 30, false));
    ASSERT_NO_FATAL_FAILURE(Drag(run, {60, 20}, 50, 40, true));  // the title bar
    RECT moved = run.ScreenRect();
    EXPECT_EQ(start.left + 50, moved.left);
    EXPECT_EQ(start.top + 40, moved.top);

    ASSERT_NO_FATAL_FAILURE(Drag(run, {150, 24}, -30, 25, true));  // the edition text "简装版 2.1"
    RECT again = run.ScreenRect();
    EXPECT_EQ(moved.left - 30, again.left);
    EXPECT_EQ(moved.top + 25, again.top);
    EXPECT_EQ(600, again.right - again.left);

    // Alt+F4 where the window has the keyboard: the process ends with 0.
    ASSERT_TRUE(PointerTo(run.ScreenPoint(300, 300)));
    ASSERT_TRUE(PressKeys("alt+F4"));
    EXPECT_EQ(0u, run.WaitForExit(10000));
}
