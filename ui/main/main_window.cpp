#include "ui/main/main_window.h"

#include "app/channel_file.h"
#include "app/config.h"
#include "app/instance.h"
#include "app/narrow_texts.h"
#include "app/share_id.h"

std::wstring installRoot;

namespace {

const char kClassName[] = "DownloadWindow";
constexpr int kWidth = 600;
constexpr int kHeight = 350;

void RegisterClassOnce()
{
    WNDCLASSEXA wc = {sizeof wc};
    if (GetClassInfoExA(GetModuleHandleA(nullptr), kClassName, &wc))
        return;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassExA(&wc);
}

}  // namespace

MainWindow::MainWindow()
{
    RegisterClassOnce();
    hwnd_ = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticProc));

    loadConfiguration();
    recordShareId();
    debugLog.Open();

    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - kWidth) / 2,
                 work.top + (work.bottom - work.top - kHeight) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hwnd_, SW_SHOW);
    SetWindowTextA(hwnd_, kTextWindowTitle);

    installRoot = GetDriveTypeA("D:") == DRIVE_NO_ROOT_DIR ? L"C:\\Program Files\\" : L"D:\\Program Files\\";
    installDir_ = installRoot + productRow.displayName + L"\\";
}

MainWindow::~MainWindow()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void MainWindow::LogDebug(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    debugLog.WriteV(format, args);
    va_end(args);
}

int MainWindow::CanClose()
{
    TerminateProcess(GetCurrentProcess(), 0);
    return 1;
}

LRESULT CALLBACK MainWindow::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return self->WindowProc(message, wParam, lParam);
}

LRESULT MainWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == ActivateMessage) {
        OnActivate();
        return 0;
    }
    switch (message) {
    case WM_CLOSE:
        CanClose();
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void MainWindow::OnActivate()
{
    writeChannelFile(installDir_.c_str());
    ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
}

void MainWindow::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT rc = {0, 0, kWidth, kHeight};
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    std::wstring text = L"安装路径：" + installDir_;
    TextOutW(dc, 30, 225, text.c_str(), static_cast<int>(text.size()));
    EndPaint(hwnd_, &ps);
}
