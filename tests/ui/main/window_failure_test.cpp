// The download failure panel over the window: retry runs a new worker, OK
// parks one that runs completely on the next click.
#include <gtest/gtest.h>

#include "tests/support/windows.h"
#include "tests/support/xdotool.h"
#include "tests/ui/main/window_session.h"
#include "ui/kit/button_widget.h"

namespace {

const char kMissing[] = "/later.zip";
const char kReports[] = "/ajax/quickDownLoadStatistics/quickDownStatistics.jsp?";
constexpr Region kPanel = {"failure panel", {80, 60, 520, 244}};
constexpr Region kPanelTexts = {"failure panel's texts", {80, 60, 520, 205}};
constexpr Region kOkButton = {"OK button", {425, 205, 514, 237}};
constexpr Region kRetryButton = {"retry button", {330, 205, 419, 237}};

bool WaitForPanel(DWORD processId, bool visible, HWND* panel, DWORD ms = 30000)
{
    DWORD start = GetTickCount();
    do {
        *panel = FindProcessWindow(processId, "ERROR_WINDOW", false);
        if (*panel && (IsWindowVisible(*panel) != FALSE) == visible)
            return true;
        Sleep(20);
    } while (GetTickCount() - start < ms);
    return false;
}

bool WaitForRequests(int count, DWORD ms = 30000)
{
    DWORD start = GetTickCount();
    while (RequestCount(kMissing) < count) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(20);
    }
    return RequestCount(kMissing) == count;
}

}  // namespace

using WindowFailure = WindowTest;

TEST_F(WindowFailure, DownloadFailurePanelRetriesAndParksANewWorker)
{
    int requests = RequestCount(kMissing);
    int reports = RequestCount(kReports, true);
    InstallerRun run(kLaterInstaller);
    ASSERT_TRUE(run.WaitForWindow());
    ASSERT_TRUE(run.Click(499, 300));

    // Three attempts, then the panel, exactly over the window.
    HWND panel = nullptr;
    ASSERT_TRUE(WaitForPanel(run.process().id(), true, &panel)) << "no failure panel";
    EXPECT_TRUE(WaitForRequests(requests + 3));
    RECT over = {}, window = run.ScreenRect();
    GetWindowRect(panel, &over);
    EXPECT_TRUE(EqualRect(&over, &window)) << "the panel does not cover the window";
    Pixels look = ComposeDownloadFailurePanel();
    EXPECT_TRUE(run.WaitForLook(look, kPanel));

    // Retry: a new worker, three more attempts, the panel again. Its retry
    // button may come back in the hover cell it had when the panel hid
    // under the pointer (the toolkit keeps a hidden window's hover, and
    // Wine sends it no leave).
    ASSERT_TRUE(run.Click(330 + 44, 205 + 16));
    EXPECT_TRUE(WaitForRequests(requests + 6));
    ASSERT_TRUE(WaitForPanel(run.process().id(), true, &panel));
    EXPECT_TRUE(run.WaitForLook(look, kPanelTexts));
    EXPECT_TRUE(run.WaitForLook(look, kOkButton));
    EXPECT_TRUE(run.WaitForLook(look, kRetryButton, 500) ||
                run.WaitForLook(ComposeDownloadFailurePanel(ButtonWidget::CELL_HOVER), kRetryButton, 500));

    // OK: paused with a worker that waits for the main button.
    ASSERT_TRUE(run.Click(425 + 44, 205 + 16));
    ASSERT_TRUE(WaitForPanel(run.process().id(), false, &panel));
    MainLook parked;
    parked.caption = L"继续安装";
    parked.changeDirEnabled = false;
    EXPECT_TRUE(run.WaitForLook(ComposeMain(parked), kCaption));
    EXPECT_EQ(requests + 6, RequestCount(kMissing)) << "the parked worker ran";
    EXPECT_EQ(reports, RequestCount(kReports, true)) << "a failed download was reported";

    // Now the archive is there: the next click runs the whole installation.
    Serve(L"quillmoor.zip", L"later.zip");
    ASSERT_TRUE(run.Click(499, 300));
    EXPECT_EQ(0u, run.WaitForExit(30000));
    EXPECT_TRUE(ClientBytes() == ReadFileBytes(std::wstring(kDefaultInstallDir) + L"lobby.exe"));
    EXPECT_TRUE(WaitForFile(std::wstring(kDefaultInstallDir) + L"lobby_started.txt", 10000));
}
