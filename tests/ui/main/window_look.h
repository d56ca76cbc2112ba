// What the installer's window should show, composed in this process by the
// toolkit from the same skin images and fonts, element by element from the
// window's layout table (not by the window's own code).
#pragma once

#include <windows.h>

#include <string>

#include "tests/ui/kit/kit_test_support.h"

extern const wchar_t kFirstTip[];
extern const wchar_t kDefaultPathC[];  // "安装路径：C:\Program Files\Quillmoor\"
extern const wchar_t kDefaultPathD[];

struct MainLook {
    std::wstring path = kDefaultPathC;
    std::wstring caption = L"点击安装";
    std::wstring size;
    std::wstring speed;
    std::wstring percent;
    int fill = 0;         // revealed width of the progress fill
    int runnerCell = -1;  // hidden below 0
    bool changeDirEnabled = true;
    std::wstring tip = kFirstTip;
};

// Client pixels, straight from the toolkit's frame (WM_PRINTCLIENT).
Pixels ComposeMain(const MainLook& look);
// The download failure panel alone, premultiplied: transparent where it
// shows the window beneath. `retryCell` is the retry button's cell.
Pixels ComposeDownloadFailurePanel(int retryCell = 0);

// Named parts of the client area.
struct Region {
    const char* name;
    RECT rect;
};
constexpr Region kTitleBar = {"title bar and edition text", {0, 0, 530, 37}};
constexpr Region kTitleButtons = {"minimise and close buttons", {530, 0, 600, 37}};
constexpr Region kPathLine = {"path label and change button", {0, 211, 600, 250}};
constexpr Region kProgress = {"progress track", {0, 250, 600, 280}};
constexpr Region kSizeSpeed = {"size and speed labels", {0, 280, 425, 305}};
constexpr Region kMainButton = {"main button and its caption", {425, 275, 573, 325}};
constexpr Region kTipLine = {"tip line", {0, 326, 600, 350}};
constexpr Region kCaption = {"caption", {469, 289, 573, 311}};
constexpr Region kSpeed = {"speed label", {240, 280, 425, 305}};
constexpr Region kPath = {"path label", {30, 225, 400, 250}};
// Everything but the banner, whose page this test bed cannot render.
constexpr Region kAllButBanner[] = {kTitleBar, kTitleButtons, kPathLine, kProgress, kSizeSpeed, kMainButton, kTipLine,
                                    {"left edge", {0, 37, 2, 211}}, {"right edge", {597, 37, 600, 211}},
                                    {"lower background", {0, 305, 425, 326}}, {"lower right", {573, 275, 600, 326}}};
