#include "ui/banner/banner_thread.h"

#include <atomic>
#include <memory>
#include <string>

#include "base/thread_start.h"
#include "base/unique_resource.h"
#include "ui/banner/banner_host.h"

namespace {

// The host the thread built, for the window to check what it is handed.
std::atomic<Widget*> builtHost{nullptr};

struct BannerStart {
    HWND window;
    UINT attachMessage;
    std::wstring url;
};

void RunBanner(const BannerStart& start)
{
    constexpr DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    auto host = std::make_unique<BannerHost>(&kBannerRect, start.window, style, 0);
    host->CreateControl();
    host->Navigate(start.url.c_str());
    Widget* widget = host.get();
    builtHost.store(widget);
    // Once posted, the window may hold it in its tree at any time, so it
    // stays until the process ends. A window that is gone never saw it.
    if (!PostMessageW(start.window, start.attachMessage, 0, reinterpret_cast<LPARAM>(widget))) {
        builtHost.store(nullptr);
        return;
    }
    static_cast<void>(host.release());
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) == 1) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

bool IsBannerHost(const Widget* widget)
{
    return widget && widget == builtHost.load();
}

bool StartBannerThread(HWND window, const wchar_t* url, UINT attachMessage)
{
    // Out of memory ends the thread: no banner, the window goes on without it.
    return static_cast<bool>(StartThread(L"banner", [start = BannerStart{window, attachMessage, url ? url : L""}] {
        RunBanner(start);
    }));
}
