// Buttons driven by real mouse messages: the cells they show, the clicks
// they report and in which order, the disabled cell and the hand cursor.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/scratch_dir.h"
#include "tests/ui/kit/kit_test_support.h"
#include "ui/kit/button_widget.h"

namespace {

// Logs every cell it changes to.
class CellLogButton : public ButtonWidget {
public:
    CellLogButton(int x, int y, LPCWSTR image, Widget* parent, int id, LPCWSTR type)
        : ButtonWidget(x, y, image, parent, id, type)
    {
        cells.clear();
    }
    void SetFrame(int col, int row) override
    {
        int oldCol = 0, oldRow = 0;
        GetFrame(&oldCol, &oldRow);
        if (col != oldCol || row != oldRow)
            cells.push_back(col);
        ButtonWidget::SetFrame(col, row);
    }
    std::vector<int> cells;
};

std::string Join(const std::vector<int>& values)
{
    std::string out;
    for (int v : values) {
        if (!out.empty())
            out += ',';
        out += std::to_string(v);
    }
    return out;
}

int Count(const std::vector<int32_t>& codes, int32_t code)
{
    return static_cast<int>(std::count(codes.begin(), codes.end(), code));
}

// A 34 x 34 close button (image 1107) at (20, 20) of a 200 x 100 window.
class Buttons : public ::testing::Test {
protected:
    Buttons() : window(RECT{100, 100, 300, 200}, Skin(1101), kImageType)
    {
        button = new CellLogButton(20, 20, Skin(1107), &window, 902, kImageType);
        PointAt(hwnd(), 150, 80);
        Drain();
        button->cells.clear();
        window.notes.clear();
    }
    ~Buttons() override { Drain(); }
    HWND hwnd() { return window.GetHwnd(); }

    TestWindow window;
    CellLogButton* button;
};

TEST_F(Buttons, GridMakesTheRectangleOneCell)
{
    RECT r;
    button->GetRect(&r);
    EXPECT_EQ(34, r.right - r.left);
    EXPECT_EQ(34, r.bottom - r.top);
    int cols = 0, rows = 0;
    button->GetFrameGrid(&cols, &rows);
    EXPECT_EQ(4, cols);
    EXPECT_EQ(1, rows);
}

TEST_F(Buttons, PressLeaveReleaseIsNoClick)
{
    PointAt(hwnd(), 30, 30);
    Send(hwnd(), WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);
    PointAt(hwnd(), 120, 30);
    Send(hwnd(), WM_LBUTTONUP, 120, 30);
    EXPECT_EQ("1,2,0", Join(button->cells));
    EXPECT_EQ(0, Count(window.Codes(), WN_BUTTON_CLICKED));
    EXPECT_EQ(1, Count(window.Codes(), WN_LBUTTON_UP)) << "the held button still gets the release";
}

TEST_F(Buttons, PressLeaveReturnReleaseIsOneClickAfterTheButtonUp)
{
    PointAt(hwnd(), 30, 30);
    Send(hwnd(), WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);
    PointAt(hwnd(), 120, 30);
    PointAt(hwnd(), 40, 40);
    Send(hwnd(), WM_LBUTTONUP, 40, 40);
    EXPECT_EQ("1,2,0,2,1", Join(button->cells));
    std::vector<int32_t> codes = window.Codes();
    ASSERT_EQ(1, Count(codes, WN_BUTTON_CLICKED)) << "codes " << Join({codes.begin(), codes.end()});
    auto up = std::find(codes.begin(), codes.end(), WN_LBUTTON_UP);
    auto click = std::find(codes.begin(), codes.end(), WN_BUTTON_CLICKED);
    EXPECT_LT(up, click) << "WN_BUTTON_CLICKED came before WN_LBUTTON_UP";
    EXPECT_EQ(902, window.notes.back().senderId);
    EXPECT_EQ(MAKELPARAM(40, 40), window.notes.back().param2);
}

// After the pointer left, a press with no move before it (a jump of the
// pointer, a touch) still reaches the button under it.
TEST_F(Buttons, PressWithoutAMoveAfterLeavingStillClicks_FixedFault)
{
    Send(hwnd(), WM_MOUSELEAVE, 0, 0);
    Send(hwnd(), WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);
    Send(hwnd(), WM_LBUTTONUP, 30, 30);
    EXPECT_EQ(1, Count(window.Codes(), WN_BUTTON_CLICKED));
}

TEST_F(Buttons, DoubleClickGivesTwoClicksAndShowsPressedBetween)
{
    PointAt(hwnd(), 30, 30);
    Send(hwnd(), WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);
    Send(hwnd(), WM_LBUTTONUP, 30, 30);
    Send(hwnd(), WM_LBUTTONDBLCLK, 30, 30, MK_LBUTTON);
    int col = -1, row = -1;
    button->GetFrame(&col, &row);
    EXPECT_EQ(ButtonWidget::CELL_PRESSED, col);
    Send(hwnd(), WM_LBUTTONUP, 30, 30);
    EXPECT_EQ("1,2,1,2,1", Join(button->cells));
    EXPECT_EQ(2, Count(window.Codes(), WN_BUTTON_CLICKED));
    EXPECT_EQ(1, Count(window.Codes(), WN_LBUTTON_DBLCLK));
}

TEST_F(Buttons, RightClickReportsItsOwnCode)
{
    PointAt(hwnd(), 30, 30);
    Send(hwnd(), WM_RBUTTONDOWN, 30, 30, MK_RBUTTON);
    Send(hwnd(), WM_RBUTTONUP, 30, 30);
    EXPECT_EQ(1, Count(window.Codes(), WN_BUTTON_RCLICKED));
    EXPECT_EQ(0, Count(window.Codes(), WN_BUTTON_CLICKED));
}

TEST_F(Buttons, DisablingAHoveredButtonShowsCellThreeAndTakesNoClicks)
{
    PointAt(hwnd(), 30, 30);
    Send(hwnd(), WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);
    Pixels pressed = Capture(hwnd());
    button->SetEnabled(0);
    Drain();
    EXPECT_EQ("1,2,3", Join(button->cells));
    EXPECT_EQ(nullptr, GetCapture());

    // The disabled cell is the darkest of the strip.
    Pixels disabled = Capture(hwnd());
    EXPECT_LT(disabled.at(30, 30) & 0xFF0000, pressed.at(30, 30) & 0xFF0000)
        << "pressed " << Hex(pressed.at(30, 30)) << ", disabled " << Hex(disabled.at(30, 30));

    window.notes.clear();
    PointAt(hwnd(), 35, 35);
    Send(hwnd(), WM_LBUTTONDOWN, 35, 35, MK_LBUTTON);
    Send(hwnd(), WM_LBUTTONUP, 35, 35);
    EXPECT_TRUE(window.notes.empty()) << "first code " << window.notes.front().code;
    EXPECT_EQ("1,2,3", Join(button->cells));

    button->SetEnabled(1);
    EXPECT_EQ("1,2,3,0", Join(button->cells));
}

TEST_F(Buttons, PointerOverAButtonShowsTheHand)
{
    HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    PointAt(hwnd(), 30, 30);
    Drain();
    EXPECT_EQ(hand, GetCursor());
    PointAt(hwnd(), 120, 60);
    Drain();
    EXPECT_EQ(arrow, GetCursor());
}

}  // namespace
