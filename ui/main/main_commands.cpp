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
    WorkerSettings settings;
    settings.updateHost = appConfig.updateHost;
    settings.downloadPath = appConfig.downloadPath;
    settings.archiveName = productRow.archiveName;
    settings.statsHost = kStatsHost;
    settings.installRoot = installRoot;
    settings.displayName = productRow.displayName;
    settings.channelId = appConfig.channelId;
    settings.attempts = kDownloadAttempts;
    // The previous worker has ended (a new one starts only from Ready or a
    // failure panel); its handle goes with the assignment.
    workerThread = StartInstallWorker(*this, hwnd, &debugLog, settings, parked);
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

void MainWindow::OnRetryInstall()
{
    installState = Installing;
    SetCaption(L"暂停安装");
    StartWorker(false);
}

void MainWindow::OnParkInstall()
{
    installState = Paused;
    SetCaption(L"继续安装");
    StartWorker(true);
}

void MainWindow::ChooseFolder()
{
    std::optional<InstallLocation> location = AskForInstallFolder(productRow.displayName);
    if (!location)
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
    if (OnWorkerMessage(msg, wParam, lParam))
        return 0;
    switch (msg) {
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
        // Only our own timer sends it, on this thread, with a rectangle on
        // its stack; a pointer from another thread or process is no rectangle.
        if (!InSendMessage())
            OnIconFound(reinterpret_cast<HWND>(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return ToolkitWindow::WindowProc(msg, wParam, lParam);
}
