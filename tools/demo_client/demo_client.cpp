// The demo lobby client: a small window saying that the client started and
// from which folder, open until it is closed.
#include <windows.h>

#include <string>

#include "base/unique_resource.h"

namespace {

constexpr wchar_t kClass[] = L"QuillmoorDemoLobby";
constexpr wchar_t kTitle[] = L"Quillmoor 大厅";
constexpr wchar_t kHeadline[] = L"Quillmoor 大厅已启动";
constexpr int kWidth = 440;
constexpr int kHeight = 170;

struct DemoState {
    std::wstring folder;
    UniqueFont headlineFont;
    UniqueFont textFont;
};

std::wstring OwnFolder()
{
    wchar_t self[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// The face of a Chinese system; GDI takes a similar one where it is missing.
UniqueFont MakeFont(int height, int weight)
{
    return UniqueFont(CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"微软雅黑"));
}

void Paint(HWND hwnd, const DemoState& state)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    RECT band = {client.left, client.top, client.right, client.top + 6};
    FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetBkMode(dc, TRANSPARENT);

    RECT headline = {client.left, client.top + 28, client.right, client.top + 72};
    SetTextColor(dc, RGB(0x1e, 0x5a, 0xa8));
    {
        SelectedObject font(dc, state.headlineFont.get());
        DrawTextW(dc, kHeadline, -1, &headline, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    }
    RECT line = {client.left + 16, client.top + 92, client.right - 16, client.top + 116};
    std::wstring text = L"运行位置：" + state.folder;
    SetTextColor(dc, RGB(0x40, 0x40, 0x40));
    {
        SelectedObject font(dc, state.textFont.get());
        DrawTextW(dc, text.c_str(), -1, &line, DT_CENTER | DT_SINGLELINE | DT_PATH_ELLIPSIS);
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK DemoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<DemoState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE: {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_PAINT:
        if (!state)
            break;
        Paint(hwnd, *state);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    DemoState state;
    state.folder = OwnFolder();
    state.headlineFont = MakeFont(26, FW_BOLD);
    state.textFont = MakeFont(14, FW_NORMAL);

    WNDCLASSW wc = {};
    wc.lpfnWndProc = DemoProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.lpszClassName = kClass;
    if (!RegisterClassW(&wc))
        return 1;

    // Centred on the screen.
    RECT frame = {0, 0, kWidth, kHeight};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, style, FALSE);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND hwnd = CreateWindowExW(0, kClass, kTitle, style, x, y, width, height, nullptr, nullptr, instance, &state);
    if (!hwnd)
        return 1;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
