// The installer's window: a 600 x 350 skinned toolkit window that is at the
// same time the HTTP client its install workers download with. It lays out
// the skin, turns clicks and messages into install commands, shows the
// download's progress and applies what the worker posts.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/debug_log.h"
#include "base/unique_resource.h"
#include "install/install_client.h"
#include "install/install_protocol.h"
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
    // Ends the process at once with exit code 0; no destructor runs.
    int CanClose() override;
    void OnTimer(UINT_PTR timerId) override;

    void LogDebug(const char* format, ...) __attribute__((format(ms_printf, 2, 3)));

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
    void OnRetryInstall();
    void OnParkInstall();
    void ChooseFolder();
    void LaunchClient();

    // The worker's side (worker_messages.cpp).
    bool OnWorkerMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    Widget* WorkerElementWidget(WPARAM element);

    // Progress (progress_timers.cpp).
    void OnProgressTimer();
    void OnAnimationTimer();
    void OnTipsTimer();

    // Desktop tip (tip_bubble.cpp).
    void OnIconTipTimer();
    void OnIconFound(HWND listView, const RECT* icon);
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
    // In the tree but owned by the banner thread.
    Widget* banner = nullptr;
};

// The extraction destination, ending with a backslash: chosen at start-up,
// replaced by the folder the player picks.
extern std::wstring installRoot;
