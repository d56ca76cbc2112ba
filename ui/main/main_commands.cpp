// The main window's commands: its buttons, the install states the main
// button walks through, and the messages from a second instance, the
// worker and the failure panel.
#include "ui/main/main_window.h"

#include "app/build_values.h"
#include "app/channel_file.h"
#include "app/config.h"
#include "app/instance.h"
#include "install/install_worker.h"
#include "ui/main/client_launch.h"
#include "ui/main/folder_choice.h"

int MainWindow::OnNotify(NotifyRecord* record, Widget* sender)
{
    if (record->code != WN_BUTTON_CLICKED)
        return 0;
    switch (sender->GetId()) {
    case 901:
        OnMainButton();
        break;
    case 902:
        trayIcon.Show();
        // The toolkit's own visible flag stays: the window comes back as it was.
        ShowWindow(hwnd, SW_HIDE);
        break;
    case 903:
        ShowWindow(hwnd, SW_MINIMIZE);
        break;
    case 905:
        ChooseFolder();
        break;
    }
    return 0;
}

void MainWindow::OnMainButton()
{
    switch (installState.load()) {
    case Ready:
        SetTimer(TIMER_PROGRESS, 100);
        installState = Installing;
        SetCaption(L"暂停安装");
        StartWorker(false);
        changeDirButton->SetEnabled(0);
        runner->SetVisible(1);
        break;
    case Installing: {
        // The worker may have finished the download meanwhile; unpacking
        // cannot be paused.
        int expected = Installing;
        if (!installState.compare_exchange_strong(expected, Paused))
            break;
        KillTimer(TIMER_PROGRESS);
        SetCaption(L"继续安装");
        speedLabel->SetLabelText(L"当前下载速度：0K/S");
        // The worker stops at its next checkpoint; nothing here waits for it.
        gate().Pause();
        KillTimer(TIMER_ANIMATION);
        break;
    }
    case Paused:
        SetTimer(TIMER_PROGRESS, 100);
        installState = Installing;
        SetCaption(L"暂停安装");
        gate().Continue();
        SetTimer(TIMER_ANIMATION, 50);
        break;
    case Installed:
        KillTimer(TIMER_TIPS);
        LaunchClient();
        break;
    default:
        break;
    }
}

void MainWindow::StartWorker(bool parked)
{
    // The previous worker has ended (a new one starts only from Ready or a
    // failure panel); its handle goes with the assignment.
    WorkerSettings settings;
    settings.updateHost = appConfig.updateHost;
    settings.downloadPath = appConfig.downloadPath;
    settings.archiveName = productRow.archiveName;
    settings.statsHost = kStatsHost;
    // Both from this moment's window: the folder the worker makes and
    // enters and the one it extracts to are one.
    settings.installRoot = installRoot;
    settings.installDir = InstallDir();
    settings.displayName = productRow.displayName;
    settings.channelId = appConfig.channelId;
    settings.archiveKeys = kArchiveKeys;
    settings.attempts = kDownloadAttempts;
    settings.stallLimitMs = kDownloadStallMs;
    workerThread = StartInstallWorker(*this, hwnd, workerQueue, &debugLog, settings, parked);
}

void MainWindow::OnActivate()
{
    writeChannelFile(InstallDir().c_str());
    trayIcon.Remove();
    ShowWindow(hwnd, SW_RESTORE);
    SetForegroundWindow(hwnd);
    NotifyRecord click = {0, 0, WN_BUTTON_CLICKED};
    OnNotify(&click, installButton);
}

// Only the failure panel's own buttons start a worker this way: the panel
// shows, and the worker that showed it has ended. Anyone on the desktop can
// post these messages.
bool MainWindow::FailurePanelAnswered()
{
    constexpr DWORD kWorkerEndMs = 1000;
    if (!failurePanel || !failurePanel->IsVisible())
        return false;
    return !workerThread || WaitForSingleObject(workerThread.get(), kWorkerEndMs) == WAIT_OBJECT_0;
}

void MainWindow::OnRetryInstall()
{
    if (!FailurePanelAnswered())
        return;
    installState = Installing;
    SetCaption(L"暂停安装");
    StartWorker(false);
}

void MainWindow::OnParkInstall()
{
    if (!FailurePanelAnswered())
        return;
    installState = Paused;
    SetCaption(L"继续安装");
    StartWorker(true);
}

void MainWindow::ChooseFolder()
{
    std::optional<InstallLocation> location = AskForInstallFolder(hwnd, productRow.displayName);
    // A second start may have begun the installation while the dialog was
    // open: its folder is settled.
    if (!location || installState.load() != Ready)
        return;
    installRoot = location->root;
    pathLabel->SetLabelText(location->label.c_str());
}

void MainWindow::LaunchClient()
{
    LaunchInstalledClient(InstallDir(), debugLog);
    CanClose();
}

LRESULT MainWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == ActivateMessage) {
        OnActivate();
        return 0;
    }
    switch (msg) {
    case MSG_WORKER_QUEUE:
        ApplyWorkerUpdates();
        return 0;
    case WM_COMMAND:
        if (wParam == 40004) {
            trayIcon.Remove();
            CanClose();
        }
        break;
    case MSG_RETRY_INSTALL:
        OnRetryInstall();
        return 0;
    case MSG_PARK_INSTALL:
        OnParkInstall();
        return 0;
    case MSG_BANNER_HOST:
        AttachBanner(reinterpret_cast<Widget*>(lParam));
        return 0;
    case MSG_ICON_FOUND:
        OnIconFound();
        return 0;
    }
    return ToolkitWindow::WindowProc(msg, wParam, lParam);
}
