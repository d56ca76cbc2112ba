#include "tests/ui/kit/kit_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/dib_section.h"
#include "base/unique_resource.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/windows.h"

TestWindow::TestWindow(const RECT& screenRect, LPCWSTR image, LPCWSTR type, DWORD exStyle, HWND parent, DWORD style,
                       int id)
    : ToolkitWindow(&screenRect, image, L"KitTestWindow", parent, exStyle, style, CS_DBLCLKS, id, type, nullptr)
{
}

int TestWindow::OnNotify(NotifyRecord* record, Widget* sender)
{
    notes.push_back({record->code, sender ? sender->GetId() : -1, record->param2});
    return 0;
}

LRESULT TestWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (onMessage)
        onMessage(msg);
    // Recorded instead of entering the system's modal move loop, which would
    // wait for a real button release.
    if (msg == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
        ++captionDrags;
        return 0;
    }
    return ToolkitWindow::WindowProc(msg, wParam, lParam);
}

int TestWindow::GetDragRect(RECT* out, Widget* pressed)
{
    if (!dragHandle || pressed != dragHandle)
        return 0;
    dragHandle->GetRect(out);
    return 1;
}

int TestWindow::PreTranslateMessage(MSG* msg)
{
    if (watchedMessage == 0 || msg->message != watchedMessage)
        return 0;
    if (preTranslateLog)
        preTranslateLog->push_back(GetId());
    return consumeWatched ? 1 : 0;
}

std::vector<int32_t> TestWindow::Codes() const
{
    std::vector<int32_t> codes;
    for (const Note& note : notes)
        codes.push_back(note.code);
    return codes;
}

void PointAt(HWND hwnd, int x, int y)
{
    POINT at = {x, y};
    ClientToScreen(hwnd, &at);
    SetCursorPos(at.x, at.y);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

void Send(HWND hwnd, UINT msg, int x, int y, WPARAM keys)
{
    SendMessageA(hwnd, msg, keys, MAKELPARAM(x, y));
}

void Drain()
{
    PumpMessages(50);
}

Pixels Capture(HWND hwnd, uint32_t poison)
{
    RECT client;
    GetClientRect(hwnd, &client);
    Pixels pixels;
    pixels.width = client.right;
    pixels.height = client.bottom;
    void* bits = nullptr;
    UniqueBitmapDc canvas = MakeDibSectionDc(pixels.width, pixels.height, &bits);
    if (!canvas)
        return pixels;
    auto* words = static_cast<uint32_t*>(bits);
    size_t count = static_cast<size_t>(pixels.width) * pixels.height;
    std::fill(words, words + count, poison);
    SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.get().dc), PRF_CLIENT);
    GdiFlush();
    pixels.argb.assign(words, words + count);
    return pixels;
}

Pixels CaptureScreen(const RECT& area, uint32_t poison)
{
    Pixels pixels;
    pixels.width = area.right - area.left;
    pixels.height = area.bottom - area.top;
    void* bits = nullptr;
    UniqueBitmapDc canvas = MakeDibSectionDc(pixels.width, pixels.height, &bits);
    WindowDc screen(nullptr);
    if (!canvas || !screen)
        return pixels;
    auto* words = static_cast<uint32_t*>(bits);
    size_t count = static_cast<size_t>(pixels.width) * pixels.height;
    std::fill(words, words + count, poison);
    BitBlt(canvas.get().dc, 0, 0, pixels.width, pixels.height, screen.get(), area.left, area.top, SRCCOPY);
    GdiFlush();
    pixels.argb.assign(words, words + count);
    return pixels;
}

std::string Hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

int ColourDistance(uint32_t a, uint32_t b)
{
    int distance = 0;
    for (int shift = 0; shift < 24; shift += 8)
        distance = std::max(distance, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return distance;
}

namespace {

void PutU16(std::string& out, uint16_t v)
{
    out.append(reinterpret_cast<const char*>(&v), 2);
}

void PutU32(std::string& out, uint32_t v)
{
    out.append(reinterpret_cast<const char*>(&v), 4);
}

std::string BmpHeaders(int width, int height, int bits, uint32_t imageSize)
{
    std::string out = "BM";
    PutU32(out, 54 + imageSize);
    PutU32(out, 0);
    PutU32(out, 54);
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(width));
    PutU32(out, static_cast<uint32_t>(-height));  // top-down rows
    PutU16(out, 1);
    PutU16(out, static_cast<uint16_t>(bits));
    for (int i = 0; i < 6; ++i)
        PutU32(out, 0);
    return out;
}

}  // namespace

void WriteBmp(const std::wstring& path, int width, int height, const std::function<uint32_t(int, int)>& colour)
{
    int stride = (width * 3 + 3) & ~3;
    std::string out = BmpHeaders(width, height, 24, static_cast<uint32_t>(stride * height));
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            uint32_t c = colour(x, y);
            row += static_cast<char>(c & 0xFF);
            row += static_cast<char>((c >> 8) & 0xFF);
            row += static_cast<char>((c >> 16) & 0xFF);
        }
        row.resize(stride, '\0');
        out += row;
    }
    WriteFileBytes(path, out);
}

void WriteBmp32(const std::wstring& path, const Pixels& pixels)
{
    std::string out = BmpHeaders(pixels.width, pixels.height, 32, static_cast<uint32_t>(pixels.argb.size() * 4));
    out.append(reinterpret_cast<const char*>(pixels.argb.data()), pixels.argb.size() * 4);
    WriteFileBytes(path, out);
}

void ExpectPixel(uint32_t rgb, uint32_t got, int tolerance)
{
    EXPECT_LE(ColourDistance(rgb, got), tolerance) << "expected ~" << Hex(rgb) << ", saw " << Hex(got);
}
