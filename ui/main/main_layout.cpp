// Construction of the main window: every image, button and label in the
// order they are painted (later children over earlier ones).
#include "ui/main/main_window.h"

#include "app/config.h"
#include "app/narrow_texts.h"
#include "app/share_id.h"
#include "base/ansi_text.h"
#include "ui/banner/banner_thread.h"
#include "ui/main/install_location.h"

std::wstring installRoot;

namespace {

constexpr LPCWSTR kImage = L"IMAGE";

LPCWSTR Skin(int id)
{
    return MAKEINTRESOURCEW(id);
}

HMODULE Self()
{
    return GetModuleHandleW(nullptr);
}

constexpr LabelStyle kSmallGrey = {L"新宋体", 9.0f, 0xFEC8C8C8};
constexpr LabelStyle kSmallWhite = {L"新宋体", 9.0f, 0xFEFFFFFF};

TextLabel* MakeLabel(Widget* parent, RECT rect, const LabelStyle& style, const wchar_t* text, bool enabled)
{
    auto* label = new TextLabel(&rect, parent, style);
    if (text)
        label->SetLabelText(text);
    if (!enabled)
        label->SetEnabled(0);
    return label;
}

bool DriveDIsFixed()
{
    // A drive that is not there is not asked about: Wine answers
    // GetDriveType through its mount manager, a request to another process,
    // and where 32-bit programs run emulated that request was seen to hang
    // or crash the caller.
    if ((GetLogicalDrives() & (1u << ('D' - 'A'))) == 0)
        return false;
    // Any other kind of D: (a CD-ROM, a card reader) would make every
    // first installation fail.
    return GetDriveTypeA("D:\\") == DRIVE_FIXED;
}

}  // namespace

MainWindow::MainWindow()
    : ToolkitWindow(0, 0, Skin(1101), L"DownloadWindow", nullptr, 0, WS_POPUP, 0, 0, kImage, Self())
{
    if (!hwnd) {
        // Nothing to lay out or show; WinMain ends this start.
        debugLog.Open();
        debugLog.Write("CreateWindowEx [%lu]", createError);
        return;
    }
    loadConfiguration();
    recordShareId();
    debugLog.Open();
    CenterWindow(nullptr);
    SetVisible(1);
    // Not drawn; it names the window in the taskbar.
    SetWindowTextA(hwnd, kTextWindowTitle);
    // Ready for the close button, not shown yet; a failure leaves the
    // window without an icon.
    trayMenu.reset(LoadMenuA(nullptr, MAKEINTRESOURCEA(119)));
    trayIcon.Setup(hwnd, LoadIconA(Self(), MAKEINTRESOURCEA(1100)), GetSubMenu(trayMenu.get(), 0),
                   ToAnsi(productRow.displayName).c_str(), 1, WM_LBUTTONUP, WM_RBUTTONUP);

    BuildImages();
    StartBannerThread(hwnd, appConfig.bannerUrl, MSG_BANNER_HOST);
    BuildButtons();
    new Widget(91, 326, Skin(1115), this, 0, nullptr, kImage, Self());
    BuildLabels();

    SetTimer(TIMER_TIPS, 8000);
    BuildFailurePanel();
}

MainWindow::~MainWindow()
{
    // Whatever ended the message loop: the worker uses this object.
    StopWorker();
    // Its control belongs to the banner thread's apartment: the tree must
    // not delete it from this thread.
    std::erase(children, banner);
}

void MainWindow::AttachBanner(Widget* host)
{
    if (banner || !IsBannerHost(host))
        return;
    banner = host;
    banner->SetParent(this);
}

void MainWindow::BuildImages()
{
    new Widget(1, 1, Skin(1102), this, 0, nullptr, kImage, Self());
    new Widget(1, 1, Skin(1103), this, 0, nullptr, kImage, Self());
    new Widget(30, 250, Skin(1111), this, 0, nullptr, kImage, Self());
    titleBar = new Widget(0, 0, Skin(1106), this, 0, nullptr, kImage, Self());
    RECT fill = {31, 252, 31, 266};
    progressFill = new Widget(&fill, Skin(1113), this, 0, nullptr, kImage, Self());
    RECT figure = {11, 237, 461, 278};
    runner = new Widget(&figure, Skin(1114), this, 0, nullptr, kImage, Self());
    runner->SetVisible(0);
    runner->SetFrameGrid(18, 1);
}

void MainWindow::BuildButtons()
{
    new ButtonWidget(565, 1, Skin(1107), this, 902, kImage, Self());
    new ButtonWidget(530, 1, Skin(1108), this, 903, kImage, Self());
    changeDirButton = new ButtonWidget(543, 225, Skin(1112), this, 905, kImage, Self());
    installButton = new ButtonWidget(425, 275, Skin(1110), this, 901, kImage, Self());
}

void MainWindow::BuildLabels()
{
    versionLabel = MakeLabel(this, {105, 13, 500, 35}, kSmallGrey, L"简装版 2.1", true);
    InstallLocation location = DefaultInstallLocation(DriveDIsFixed(), productRow.displayName);
    installRoot = location.root;
    pathLabel = MakeLabel(this, {30, 225, 400, 250}, kSmallWhite, location.label.c_str(), true);
    sizeLabel = MakeLabel(this, {30, 280, 400, 305}, kSmallGrey, nullptr, false);
    speedLabel = MakeLabel(this, {240, 280, 650, 305}, kSmallGrey, nullptr, false);
    captionLabel = MakeLabel(installButton, {44, 14, 200, 36}, {L"微软雅黑", 10.0f, 0xFEFFFFFF}, L"点击安装", false);
    percentLabel = MakeLabel(this, {280, 253, 430, 278}, kSmallGrey, nullptr, true);
    MakeLabel(this, {130, 329, 300, 360}, {L"新宋体", 9.0f, 0xFEFFB23E}, L"新手提示：", true);
    tipLabel = MakeLabel(this, {190, 329, 600, 360}, {L"新宋体", 9.0f, 0x50FFFFFF}, tipTexts[0], false);
}

void MainWindow::BuildFailurePanel()
{
    RECT client;
    GetClientRect(hwnd, &client);
    failurePanel = std::make_unique<PopupWindow>(&client, hwnd, MSG_PARK_INSTALL, MSG_RETRY_INSTALL);
    PopupWindow* panel = failurePanel.get();
    auto* failureImage = new Widget(80, 60, Skin(1117), panel, 0, nullptr, kImage, Self());
    new ButtonWidget(425, 205, Skin(1118), panel, PopupWindow::ID_OK_BUTTON, kImage, Self());
    retryButton = new ButtonWidget(330, 205, Skin(1119), panel, PopupWindow::ID_RETRY_BUTTON, kImage, Self());
    failureTitle = MakeLabel(panel, {102, 100, 300, 360}, {L"微软雅黑", 12.0f, 0xFEFF0000}, nullptr, false);
    failureHeader = MakeLabel(panel, {105, 125, 500, 360}, {L"微软雅黑", 10.0f, 0xFEE6E6E6}, nullptr, false);
    failureReasons = MakeLabel(panel, {105, 150, 500, 360}, {L"微软雅黑", 9.0f, 0xFEB4B4B4}, nullptr, false);
    panel->SetDragWidget(failureImage);
}

int MainWindow::GetDragRect(RECT* out, Widget* pressed)
{
    if (!pressed || (pressed != titleBar && pressed != versionLabel))
        return 0;
    GetClientRect(hwnd, out);
    return 1;
}

int MainWindow::CanClose()
{
    WaitForReport(kReportGraceMs);
    TerminateProcess(GetCurrentProcess(), 0);
    return 1;
}

void MainWindow::LogDebug(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    debugLog.WriteV(format, args);
    va_end(args);
}

std::wstring MainWindow::InstallDir()
{
    const wchar_t* text = pathLabel->GetLabelText();
    return InstallDirFromLabel(text ? text : L"");
}

void MainWindow::SetCaption(const wchar_t* text)
{
    captionLabel->SetLabelText(text);
}
