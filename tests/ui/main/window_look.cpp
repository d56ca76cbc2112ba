#include "tests/ui/main/window_look.h"

#include <memory>

#include "ui/kit/button_widget.h"
#include "ui/kit/text_label.h"
#include "ui/kit/toolkit_window.h"

const wchar_t kFirstTip[] = L"玩游戏赠送奖品券，奖品券可免费兑换实物奖励。";
const wchar_t kDefaultPathC[] = L"安装路径：C:\\Program Files\\Quillmoor\\";
const wchar_t kDefaultPathD[] = L"安装路径：D:\\Program Files\\Quillmoor\\";

namespace {

constexpr Gdiplus::ARGB kLabelGrey = 0xFEC8C8C8, kLabelWhite = 0xFEFFFFFF;

HMODULE Self()
{
    return GetModuleHandleW(nullptr);
}

void Image(Widget* parent, int id, int x, int y)
{
    new Widget(x, y, Skin(id), parent, 0, nullptr, kImageType, Self());
}

// A button strip shown in one cell, as a plain image.
void ButtonCell(Widget* parent, int id, int x, int y, int cell, Widget** out = nullptr)
{
    auto* button = new Widget(x, y, Skin(id), parent, 0, nullptr, kImageType, Self());
    button->SetFrameGrid(4, 1);
    button->SetFrame(cell, 0);
    if (out)
        *out = button;
}

void Label(Widget* parent, RECT rect, const wchar_t* family, float points, Gdiplus::ARGB colour,
           const std::wstring& text)
{
    auto* label = new TextLabel(&rect, parent, {family, points, colour});
    if (!text.empty())
        label->SetLabelText(text.c_str());
}

// Never shown, so it takes neither the screen nor the activation from the
// window under test; the toolkit paints only a tree it takes for visible.
class LookWindow : public ToolkitWindow {
public:
    using ToolkitWindow::ToolkitWindow;
    Pixels Render()
    {
        visible = 1;
        return Capture(hwnd);
    }
};

}  // namespace

Pixels ComposeMain(const MainLook& look)
{
    // Hidden: it is only ever printed.
    LookWindow window(0, 0, Skin(1101), L"ExpectedMainWindow", nullptr, 0, WS_POPUP, 0, 0, kImageType, Self());
    Image(&window, 1102, 1, 1);
    Image(&window, 1103, 1, 1);
    Image(&window, 1111, 30, 250);
    Image(&window, 1106, 0, 0);
    if (look.fill > 0) {
        RECT fill = {31, 252, 31 + look.fill, 266};
        auto* bar = new Widget(&fill, Skin(1113), &window, 0, nullptr, kImageType, Self());
        RECT scratch;
        bar->SetRect(&scratch, &fill, 0);
    }
    if (look.runnerCell >= 0) {
        RECT figure = {11 + look.fill, 237, 461 + look.fill, 278};
        auto* runner = new Widget(&figure, Skin(1114), &window, 0, nullptr, kImageType, Self());
        runner->SetFrameGrid(18, 1);
        runner->SetFrame(look.runnerCell, 0);
    }
    ButtonCell(&window, 1107, 565, 1, ButtonWidget::CELL_NORMAL);
    ButtonCell(&window, 1108, 530, 1, ButtonWidget::CELL_NORMAL);
    ButtonCell(&window, 1112, 543, 225,
               look.changeDirEnabled ? ButtonWidget::CELL_NORMAL : ButtonWidget::CELL_DISABLED);
    Widget* mainButton = nullptr;
    ButtonCell(&window, 1110, 425, 275, ButtonWidget::CELL_NORMAL, &mainButton);
    Image(&window, 1115, 91, 326);

    Label(&window, {105, 13, 500, 35}, L"新宋体", 9, kLabelGrey, L"简装版 2.1");
    Label(&window, {30, 225, 400, 250}, L"新宋体", 9, kLabelWhite, look.path);
    Label(&window, {30, 280, 400, 305}, L"新宋体", 9, kLabelGrey, look.size);
    Label(&window, {240, 280, 650, 305}, L"新宋体", 9, kLabelGrey, look.speed);
    Label(mainButton, {44, 14, 200, 36}, L"微软雅黑", 10, kLabelWhite, look.caption);
    Label(&window, {280, 253, 430, 278}, L"新宋体", 9, kLabelGrey, look.percent);
    Label(&window, {130, 329, 300, 360}, L"新宋体", 9, 0xFEFFB23E, L"新手提示：");
    Label(&window, {190, 329, 600, 360}, L"新宋体", 9, 0x50FFFFFF, look.tip);
    return window.Render();
}

Pixels ComposeDownloadFailurePanel(int retryCell)
{
    RECT client = {0, 0, 600, 350};
    LookWindow panel(&client, L"", L"ExpectedFailurePanel", nullptr, WS_EX_LAYERED, WS_POPUP, 0, 0);
    Image(&panel, 1117, 80, 60);
    ButtonCell(&panel, 1118, 425, 205, ButtonWidget::CELL_NORMAL);
    ButtonCell(&panel, 1119, 330, 205, retryCell);
    Label(&panel, {102, 100, 300, 360}, L"微软雅黑", 12, 0xFEFF0000, L"下载失败：");
    Label(&panel, {105, 125, 500, 360}, L"微软雅黑", 10, 0xFEE6E6E6, L"以下问题可能是造成您下载失败的主要原因：");
    Label(&panel, {105, 150, 500, 360}, L"微软雅黑", 9, 0xFEB4B4B4,
          L"1.网络不稳定造成。\n2.安全软件或防火墙阻挡了本次下载。\n3.检查客户端下载器是否是最新版本。");
    return panel.Render();
}
