// Helpers for the toolkit tests: a recording window, pointer input at client
// points, pixel read-back through WM_PRINTCLIENT and synthetic images.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/kit/toolkit_window.h"

inline LPCWSTR Skin(int id)
{
    return MAKEINTRESOURCEW(id);
}
constexpr LPCWSTR kImageType = L"IMAGE";

struct Note {
    int32_t code;
    int senderId;
    int32_t param2;
};

// A visible top-level window that records what reaches it.
class TestWindow : public ToolkitWindow {
public:
    explicit TestWindow(const RECT& screenRect, LPCWSTR image = L"", LPCWSTR type = nullptr, DWORD exStyle = 0,
                        HWND parent = nullptr, DWORD style = WS_POPUP | WS_VISIBLE, int id = 0);

    int OnNotify(NotifyRecord* record, Widget* sender) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int GetDragRect(RECT* out, Widget* pressed) override;
    int CanClose() override { return canClose; }
    int PreTranslateMessage(MSG* msg) override;

    Widget* Focus() { return GetFocus(); }
    std::vector<int32_t> Codes() const;

    std::vector<Note> notes;
    Widget* dragHandle = nullptr;
    int canClose = 1;
    int captionDrags = 0;
    // Messages offered to PreTranslateMessage with this id are logged with
    // the window's id; consumeId makes them consumed here.
    UINT watchedMessage = 0;
    bool consumeWatched = false;
    std::vector<int>* preTranslateLog = nullptr;
    std::function<void(UINT)> onMessage;
};

// The real pointer is put on the client point as well, so the window's own
// follow-up moves and leave tracking agree with the synthetic messages.
void PointAt(HWND hwnd, int x, int y);
void Send(HWND hwnd, UINT msg, int x, int y, WPARAM keys = 0);
// Handles what is queued for this thread (posted moves, cursor updates).
void Drain();

class Pixels {
public:
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
    uint32_t at(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};
// The client area rendered through WM_PRINTCLIENT into a 32-bit DIB whose
// pixels were first set to `poison`.
Pixels Capture(HWND hwnd, uint32_t poison = 0xDEADBEEF);
// What the X server shows in a screen area (every window over it), read
// through the desktop's device context as a screenshot tool would, into
// pixels first set to `poison`.
Pixels CaptureScreen(const RECT& area, uint32_t poison = 0xDEADBEEF);
std::string Hex(uint32_t value);
// Channel distance of two pixels, alpha ignored.
int ColourDistance(uint32_t a, uint32_t b);

// A 24-bit BMP whose pixel (x, y) is colour(x, y) as 0xRRGGBB.
void WriteBmp(const std::wstring& path, int width, int height, const std::function<uint32_t(int, int)>& colour);
// 32-bit top-down BGRA pixels as a BMP (alpha kept).
void WriteBmp32(const std::wstring& path, const Pixels& pixels);

// Colours of the synthetic test images, as 0xRRGGBB.
constexpr uint32_t kRed = 0xE02020, kGreen = 0x20C020, kBlue = 0x2040E0, kWhite = 0xFFFFFF, kGrey = 0x404040;

// Fails (at the caller's line, through EXPECT_PIXEL) when `got` differs from
// the opaque colour `rgb` by more than `tolerance` in any channel.
void ExpectPixel(uint32_t rgb, uint32_t got, int tolerance);
#define EXPECT_PIXEL(rgb, got, tolerance)      \
    do {                                       \
        SCOPED_TRACE(#got);                    \
        ExpectPixel((rgb), (got), (tolerance)); \
    } while (0)
