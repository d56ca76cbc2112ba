// Paint benchmark: a 600 x 350 window laid out like the installer's main
// window, timed for the 100-ms progress update (fill, runner, three labels)
// and for a full-window compose. Prints medians in milliseconds; the last
// line is the full compose.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/unique_resource.h"
#include "ui/kit/button_widget.h"
#include "ui/kit/text_label.h"
#include "ui/kit/toolkit_window.h"

namespace {

constexpr LPCWSTR kImage = L"IMAGE";
constexpr int kRounds = 300;

LPCWSTR Skin(int id)
{
    return MAKEINTRESOURCEW(id);
}

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceFrequency(&frequency_); }
    void Start() { QueryPerformanceCounter(&start_); }
    double ElapsedMs() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_;
    LARGE_INTEGER start_ = {};
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Layout {
    Widget* fill;
    Widget* runner;
    TextLabel* size;
    TextLabel* speed;
    TextLabel* percent;
};

TextLabel* Label(Widget* parent, RECT r, GdiplusFont& font, Gdiplus::ARGB colour, const wchar_t* text)
{
    GdiplusBrush brush = MakeSolidBrush(colour);
    auto* label = new TextLabel(&r, L"", parent, &font, nullptr, &brush, 0);
    label->SetLabelText(text);
    return label;
}

Layout Build(ToolkitWindow& window)
{
    new Widget(1, 1, Skin(1102), &window, 0, nullptr, kImage);
    new Widget(1, 1, Skin(1103), &window, 0, nullptr, kImage);
    new Widget(30, 250, Skin(1111), &window, 0, nullptr, kImage);
    new Widget(0, 0, Skin(1106), &window, 0, nullptr, kImage);
    RECT fillRect = {31, 252, 31, 266};
    Layout layout;
    layout.fill = new Widget(&fillRect, Skin(1113), &window, 0, nullptr, kImage);
    RECT runnerRect = {11, 237, 461, 278};
    layout.runner = new Widget(&runnerRect, Skin(1114), &window, 0, nullptr, kImage);
    layout.runner->SetFrameGrid(18, 1);
    new ButtonWidget(565, 1, Skin(1107), &window, 902, kImage);
    new ButtonWidget(530, 1, Skin(1108), &window, 903, kImage);
    new ButtonWidget(543, 225, Skin(1112), &window, 905, kImage);
    auto* install = new ButtonWidget(425, 275, Skin(1110), &window, 901, kImage);

    GdiplusFont small = MakeFont(L"新宋体", 9.0f);
    GdiplusFont large = MakeFont(L"微软雅黑", 10.0f);
    Label(&window, {105, 13, 500, 35}, small, 0xFEC8C8C8, L"简装版 2.1");
    Label(&window, {30, 225, 400, 250}, small, 0xFEFFFFFF, L"安装路径：C:\\Program Files\\Quillmoor\\");
    layout.size = Label(&window, {30, 280, 400, 305}, small, 0xFEC8C8C8, L"");
    layout.speed = Label(&window, {240, 280, 650, 305}, small, 0xFEC8C8C8, L"");
    Label(install, {44, 14, 200, 36}, large, 0xFEFFFFFF, L"暂停安装");
    layout.percent = Label(&window, {280, 253, 430, 278}, small, 0xFEC8C8C8, L"");
    Label(&window, {130, 329, 300, 360}, small, 0xFEFFB23E, L"新手提示：");
    Label(&window, {190, 329, 600, 360}, small, 0x50FFFFFF, L"安装完成后桌面上会出现大厅的快捷方式");
    return layout;
}

// One tick of the progress display: the fill grows, the runner steps and
// moves along, and the three figures change.
void ProgressTick(const Layout& layout, int round)
{
    int width = 536 * (round % kRounds + 1) / kRounds;
    RECT old, fill = {31, 252, 31 + width, 266};
    layout.fill->SetRect(&old, &fill, 0);
    RECT runner = {11 + width * 450 / 536 / 2, 237, 36 + width * 450 / 536 / 2, 278};
    layout.runner->SetRect(&old, &runner, 1);
    layout.runner->SetFrame(round % 18, 0);
    wchar_t text[64];
    swprintf(text, 64, L"%.2fMB/%.2fMB", width * 0.37, 536 * 0.37);
    layout.size->SetLabelText(text);
    swprintf(text, 64, L"%dKB/S", 900 + round % 37);
    layout.speed->SetLabelText(text);
    swprintf(text, 64, L"%d%%", width * 100 / 536);
    layout.percent->SetLabelText(text);
}

}  // namespace

int main()
{
    ToolkitWindow window(0, 0, Skin(1101), L"PaintBench", nullptr, 0, WS_POPUP | WS_VISIBLE, 0, 0, kImage, nullptr);
    HWND hwnd = window.GetHwnd();
    if (!hwnd) {
        std::printf("no window\n");
        return 1;
    }
    Layout layout = Build(window);
    layout.runner->SetFrame(0, 0);
    UpdateWindow(hwnd);

    Stopwatch watch;
    std::vector<double> progress, full, print;
    // The first rounds warm caches (glyphs, decoded images) and are dropped.
    const int warmUp = 20;
    for (int round = 0; round < kRounds + warmUp; ++round) {
        watch.Start();
        ProgressTick(layout, round);
        UpdateWindow(hwnd);
        double tick = watch.ElapsedMs();

        InvalidateRect(hwnd, nullptr, FALSE);
        watch.Start();
        UpdateWindow(hwnd);
        double whole = watch.ElapsedMs();
        if (round >= warmUp) {
            progress.push_back(tick);
            full.push_back(whole);
        }
    }

    // Composition alone, without copying to the screen.
    {
        WindowDc screen(nullptr);
        UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
        UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), 600, 350));
        SelectedObject selected(memory.get(), bitmap.get());
        for (int round = 0; round < kRounds / 3; ++round) {
            watch.Start();
            SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
            print.push_back(watch.ElapsedMs());
        }
    }

    std::printf("paint bench: %d rounds, 600x350 window, copy path\n", kRounds);
    std::printf("progress update (fill, runner, 3 labels, WM_PAINT): median %.3f ms\n", Median(progress));
    std::printf("full compose into memory (WM_PRINTCLIENT): median %.3f ms\n", Median(print));
    std::printf("full 600x350 compose and copy to the window (WM_PAINT): median %.3f ms\n", Median(full));
    return 0;
}
