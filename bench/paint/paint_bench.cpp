// Paint benchmark. Without arguments it times the installer's real main
// window (main_window_run.cpp). The arguments "standin", "profile" and
// "dump PREFIX" use a 600 x 350 tree laid out like it out of timed widgets:
// the 100-ms progress update (fill, runner, three labels) and a full
// compose, with "profile" first printing what each widget's Draw costs;
// "dump PREFIX" writes the pixels after a run of progress updates, as on the
// screen and as composed afresh, to PREFIX.screen.raw and PREFIX.print.raw,
// so that two builds can be compared pixel for pixel.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/dib_section.h"
#include "base/unique_resource.h"
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
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Draw times of every widget of the tree, in creation order.
class DrawLog {
public:
    struct Entry {
        std::string name;
        double frameMs = 0.0;  // this widget's Draw time in the current frame
        std::vector<double> frames;
    };
    static DrawLog& Instance()
    {
        static DrawLog log;
        return log;
    }
    size_t Add(std::string name)
    {
        entries_.push_back({std::move(name)});
        return entries_.size() - 1;
    }
    void Record(size_t index, double ms)
    {
        if (enabled_)
            entries_[index].frameMs += ms;
    }
    void SetEnabled(bool on) { enabled_ = on; }
    bool Enabled() const { return enabled_; }
    // Closes a frame: widgets that drew nothing count as 0.
    void EndFrame()
    {
        for (Entry& e : entries_) {
            e.frames.push_back(e.frameMs);
            e.frameMs = 0.0;
        }
    }
    void Print(const char* title)
    {
        std::printf("%s: median Draw per widget\n", title);
        double sum = 0.0;
        for (Entry& e : entries_) {
            double m = Median(e.frames);
            sum += m;
            std::printf("  %-28s %7.3f ms\n", e.name.c_str(), m);
            e.frames.clear();
        }
        std::printf("  %-28s %7.3f ms\n", "sum of medians", sum);
    }

private:
    std::vector<Entry> entries_;
    bool enabled_ = false;
};

// Any widget class with its Draw timed into the log.
template <typename Base>
class Timed : public Base {
public:
    template <typename... Args>
    explicit Timed(const char* name, Args&&... args)
        : Base(std::forward<Args>(args)...), index_(DrawLog::Instance().Add(name))
    {
    }
    void Draw(Gdiplus::GpGraphics* graphics) override
    {
        if (!DrawLog::Instance().Enabled()) {
            Base::Draw(graphics);
            return;
        }
        watch_.Start();
        Base::Draw(graphics);
        DrawLog::Instance().Record(index_, watch_.ElapsedMs());
    }

private:
    size_t index_;
    Stopwatch watch_;
};

struct Layout {
    Widget* fill;
    Widget* runner;
    TextLabel* size;
    TextLabel* speed;
    TextLabel* percent;
};

TextLabel* Label(const char* name, Widget* parent, RECT r, GdiplusFont& font, Gdiplus::ARGB colour,
                 const wchar_t* text)
{
    GdiplusBrush brush = MakeSolidBrush(colour);
    auto* label = new Timed<TextLabel>(name, &r, L"", parent, &font, nullptr, &brush, 0);
    label->SetLabelText(text);
    return label;
}

Widget* Image(const char* name, int x, int y, int id, Widget* parent)
{
    return new Timed<Widget>(name, x, y, Skin(id), parent, 0, nullptr, kImage);
}

ButtonWidget* Button(const char* name, int x, int y, int image, Widget* parent, int id)
{
    return new Timed<ButtonWidget>(name, x, y, Skin(image), parent, id, kImage);
}

Layout Build(ToolkitWindow& window)
{
    Image("banner backdrop 1102", 1, 1, 1102, &window);
    Image("lower backdrop 1103", 1, 1, 1103, &window);
    Image("progress track 1111", 30, 250, 1111, &window);
    Image("title bar 1106", 0, 0, 1106, &window);
    RECT fillRect = {31, 252, 31, 266};
    Layout layout;
    layout.fill = new Timed<Widget>("progress fill 1113", &fillRect, Skin(1113), &window, 0, nullptr, kImage);
    RECT runnerRect = {11, 237, 461, 278};
    layout.runner = new Timed<Widget>("runner 1114", &runnerRect, Skin(1114), &window, 0, nullptr, kImage);
    layout.runner->SetFrameGrid(18, 1);
    Button("close button", 565, 1, 1107, &window, 902);
    Button("minimise button", 530, 1, 1108, &window, 903);
    Button("change-dir button", 543, 225, 1112, &window, 905);
    auto* install = Button("install button", 425, 275, 1110, &window, 901);

    GdiplusFont small = MakeFont(L"新宋体", 9.0f);
    GdiplusFont large = MakeFont(L"微软雅黑", 10.0f);
    Label("edition label", &window, {105, 13, 500, 35}, small, 0xFEC8C8C8, L"简装版 2.1");
    Label("path label", &window, {30, 225, 400, 250}, small, 0xFEFFFFFF, L"安装路径：C:\\Program Files\\Quillmoor\\");
    layout.size = Label("size label", &window, {30, 280, 400, 305}, small, 0xFEC8C8C8, L"");
    layout.speed = Label("speed label", &window, {240, 280, 650, 305}, small, 0xFEC8C8C8, L"");
    Label("caption label", install, {44, 14, 200, 36}, large, 0xFEFFFFFF, L"暂停安装");
    layout.percent = Label("percent label", &window, {280, 253, 430, 278}, small, 0xFEC8C8C8, L"");
    Label("tip title label", &window, {130, 329, 300, 360}, small, 0xFEFFB23E, L"新手提示：");
    Label("tip label", &window, {190, 329, 600, 360}, small, 0x50FFFFFF, L"安装完成后桌面上会出现大厅的快捷方式");
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

// Per-widget Draw times of the progress update and of a full compose.
void Profile(HWND hwnd, const Layout& layout)
{
    DrawLog& log = DrawLog::Instance();
    Stopwatch watch;
    std::vector<double> tick, whole;
    log.SetEnabled(true);
    for (int round = 0; round < kRounds / 3; ++round) {
        ProgressTick(layout, round);
        watch.Start();
        UpdateWindow(hwnd);
        tick.push_back(watch.ElapsedMs());
        log.EndFrame();
    }
    log.Print("progress update");
    std::printf("  %-28s %7.3f ms\n", "whole WM_PAINT", Median(tick));
    for (int round = 0; round < kRounds / 3; ++round) {
        InvalidateRect(hwnd, nullptr, FALSE);
        watch.Start();
        UpdateWindow(hwnd);
        whole.push_back(watch.ElapsedMs());
        log.EndFrame();
    }
    log.Print("full compose");
    std::printf("  %-28s %7.3f ms\n", "whole WM_PAINT", Median(whole));
    log.SetEnabled(false);
}

// Writes width x height BGRA pixels copied from `source`, or composed by
// `window` through WM_PRINTCLIENT when `source` is null.
bool WritePixels(const std::string& path, HDC source, HWND window, int width, int height)
{
    void* bits = nullptr;
    UniqueBitmapDc canvas = MakeDibSectionDc(width, height, &bits);
    if (!canvas)
        return false;
    HDC memory = canvas.get().dc;
    if (source)
        BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    else
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    GdiFlush();
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    size_t size = static_cast<size_t>(width) * height * 4;
    bool ok = std::fwrite(bits, 1, size, out) == size;
    std::fclose(out);
    return ok;
}

// Progress updates as in the timed run, then the screen and a fresh compose.
int Dump(HWND hwnd, const Layout& layout, const std::string& prefix)
{
    for (int round = 0; round < kRounds; ++round) {
        ProgressTick(layout, round * 7);
        UpdateWindow(hwnd);
    }
    WindowDc screen(hwnd);
    bool ok = WritePixels(prefix + ".screen.raw", screen.get(), hwnd, 600, 350);
    ok = WritePixels(prefix + ".print.raw", nullptr, hwnd, 600, 350) && ok;
    std::printf("%s\n", ok ? "dumped" : "dump failed");
    return ok ? 0 : 1;
}

}  // namespace

int RunOnMainWindow();

int main(int argc, char** argv)
{
    if (argc < 2)
        return RunOnMainWindow();
    Timed<ToolkitWindow> window("window background 1101", 0, 0, Skin(1101), L"PaintBench", nullptr, 0,
                                WS_POPUP | WS_VISIBLE, 0, 0, kImage, nullptr);
    HWND hwnd = window.GetHwnd();
    if (!hwnd) {
        std::printf("no window\n");
        return 1;
    }
    Layout layout = Build(window);
    layout.runner->SetFrame(0, 0);
    UpdateWindow(hwnd);
    if (argc > 2 && std::strcmp(argv[1], "dump") == 0)
        return Dump(hwnd, layout, argv[2]);
    if (argc > 1 && std::strcmp(argv[1], "profile") == 0)
        Profile(hwnd, layout);
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
        UniqueBitmapDc memory = SelectIntoMemoryDc(CreateCompatibleBitmap(screen.get(), 600, 350), screen.get());
        for (int round = 0; round < kRounds / 3; ++round) {
            watch.Start();
            SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get().dc), PRF_CLIENT);
            print.push_back(watch.ElapsedMs());
        }
    }

    std::printf("paint bench: %d rounds, 600x350 window, copy path\n", kRounds);
    std::printf("progress update (fill, runner, 3 labels, WM_PAINT): median %.3f ms\n", Median(progress));
    std::printf("full compose into memory (WM_PRINTCLIENT): median %.3f ms\n", Median(print));
    std::printf("full 600x350 compose and copy to the window (WM_PAINT): median %.3f ms\n", Median(full));
    return 0;
}
