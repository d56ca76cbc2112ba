// The installer's window: a 600 x 350 skinned toolkit window that is at the
// same time the HTTP client its install workers download with. It lays out
// the skin, turns clicks and messages into install commands, shows the
// download's progress and applies what the worker posts.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "app/debug_log.h"
#include "base/unique_resource.h"
#include "install/install_client.h"
#include "install/install_protocol.h"
#include "install/worker_queue.h"
#include "ui/kit/button_widget.h"
#include "ui/kit/popup_window.h"
#include "ui/kit/text_label.h"
#include "ui/kit/toolkit_window.h"
#include "ui/main/tray_icon.h"

// Posted by the banner thread: lParam is the banner host widget to attach.
constexpr UINT MSG_BANNER_HOST = WM_APP + 0x140;

class MainWindow : public ToolkitWindow, public InstallClient {
public:
    MainWindow();
    ~MainWindow() override;

    int OnNotify(NotifyRecord* record, Widget* sender) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int GetDragRect(RECT* out, Widget* pressed) override;
    // Ends the process with exit code 0, at once or, while the worker sends
    // a statistics report, once it is out (a few seconds at most); no
    // destructor runs.
    int CanClose() override;
    void OnTimer(UINT_PTR timerId) override;

    void LogDebug(const char* format, ...) __attribute__((format(ms_printf, 2, 3)));

    // Where workers queue their changes for this window; MSG_WORKER_QUEUE
    // makes it apply them.
    const std::shared_ptr<WorkerQueue>& workerUpdates() const { return workerQueue; }

private:
    // Layout (main_layout.cpp), in construction order.
    void BuildImages();
    void BuildButtons();
    void BuildLabels();
    void BuildFailurePanel();
    // The banner thread's widget joins the tree here, on this thread.
    void AttachBanner(Widget* host);

    // Commands (main_commands.cpp).
    void OnMainButton();
    void StartWorker(bool parked);
    void OnActivate();
    bool FailurePanelAnswered();
    void OnRetryInstall();
    void OnParkInstall();
    void ChooseFolder();
    void LaunchClient();

    // The worker's side (worker_messages.cpp).
    void ApplyWorkerUpdates();
    Widget* WorkerElementWidget(UINT_PTR element);
    // Ends a running worker and waits for it, a bounded time.
    void StopWorker();

    // Progress (progress_timers.cpp).
    void OnProgressTimer();
    void OnAnimationTimer();
    void OnTipsTimer();

    // Desktop tip (tip_bubble.cpp).
    void OnIconTipTimer();
    void OnIconFound();
    void OnTipCloseTimer();

    std::wstring InstallDir();
    void SetCaption(const wchar_t* text);

    TextLabel* versionLabel = nullptr;
    Widget* titleBar = nullptr;
    Widget* runner = nullptr;
    Widget* progressFill = nullptr;
    TextLabel* pathLabel = nullptr;
    TextLabel* sizeLabel = nullptr;
    TextLabel* speedLabel = nullptr;
    TextLabel* percentLabel = nullptr;
    TextLabel* tipLabel = nullptr;
    ButtonWidget* installButton = nullptr;
    TextLabel* captionLabel = nullptr;
    ButtonWidget* changeDirButton = nullptr;
    UniqueHandle workerThread;
    // Shared with the running worker, which may outlive a window that gave
    // up waiting for it.
    std::shared_ptr<WorkerQueue> workerQueue = std::make_shared<WorkerQueue>();
    // Menu 119: its first popup is the icon's menu. The icon goes first.
    UniqueMenu trayMenu;
    TrayIcon trayIcon;
    DebugLog debugLog;
    std::unique_ptr<PopupWindow> failurePanel;
    std::unique_ptr<ToolkitWindow> tipWindow;
    ButtonWidget* retryButton = nullptr;
    TextLabel* failureTitle = nullptr;
    TextLabel* failureHeader = nullptr;
    TextLabel* failureReasons = nullptr;
    int tipIndex = 0;
    // What the icon tip timer found, for its MSG_ICON_FOUND: the message
    // itself carries nothing the window reads.
    struct FoundIcon {
        HWND listView;
        RECT icon;
    };
    std::optional<FoundIcon> foundIcon;
    // In the tree but owned by the banner thread.
    Widget* banner = nullptr;
};

// The extraction destination, ending with a backslash: chosen at start-up,
// replaced by the folder the player picks.
extern std::wstring installRoot;
