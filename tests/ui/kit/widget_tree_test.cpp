// The widget tree: ownership, absolute rectangles, moving, hit testing,
// notification bubbling and the window forgetting widgets that go away.
#include <gtest/gtest.h>

#include "tests/ui/kit/kit_test_support.h"
#include "ui/kit/button_widget.h"
#include "ui/kit/geometry.h"

namespace {

// Records its own deletion.
class TrackedWidget : public Widget {
public:
    TrackedWidget(const RECT& r, Widget* parent, int id, bool* deleted = nullptr)
        : Widget(&r, L"", parent, id, nullptr), deleted_(deleted)
    {
    }
    ~TrackedWidget() override
    {
        if (deleted_)
            *deleted_ = true;
    }

private:
    bool* deleted_;
};

RECT Rect(long l, long t, long r, long b)
{
    return {l, t, r, b};
}

void ExpectRect(const RECT& expected, Widget* w)
{
    RECT got;
    w->GetRect(&got);
    EXPECT_TRUE(EqualRect(&expected, &got)) << "got " << got.left << "," << got.top << "," << got.right << ","
                                            << got.bottom;
}

class WidgetTree : public ::testing::Test {
protected:
    WidgetTree() : window(Rect(100, 100, 300, 250)) {}
    HWND hwnd() { return window.GetHwnd(); }
    TestWindow window;
};

TEST(Geometry, GridCellsAndMirroredSources)
{
    Box button = {10, 20, 146, 54};
    ASSERT_TRUE(ShrinkToCell(button, 4, 1));
    EXPECT_EQ(44, button.right);
    EXPECT_EQ(54, button.bottom);
    Box unchanged = {0, 0, 50, 50};
    EXPECT_FALSE(ShrinkToCell(unchanged, 0, 1));
    EXPECT_FALSE(ShrinkToCell(unchanged, 1, 0));
    EXPECT_EQ(50, unchanged.right);

    CellSource s;
    ASSERT_TRUE(ComputeCellSource(136, 34, 4, 1, 2, 0, true, false, true, 60, 60, &s));
    EXPECT_EQ(102, s.x);  // far edge of cell 2, read backwards
    EXPECT_EQ(-34, s.width);
    EXPECT_EQ(34, s.height);
    ASSERT_TRUE(ComputeCellSource(136, 34, 4, 1, 0, 0, false, true, false, 20, 10, &s));
    EXPECT_EQ(34, s.y);
    EXPECT_EQ(20, s.width);  // crop mode reads the destination size 1:1
    EXPECT_EQ(-10, s.height);
    EXPECT_FALSE(ComputeCellSource(136, 34, 4, 1, 4, 0, false, false, true, 34, 34, &s));
    EXPECT_FALSE(ComputeCellSource(136, 34, 4, 1, 0, 1, false, false, true, 34, 34, &s));
    EXPECT_FALSE(ComputeCellSource(136, 34, 4, 1, -1, 0, false, false, true, 34, 34, &s));
}

TEST_F(WidgetTree, ChildrenAreAbsoluteMoveAlongAndDieWithTheirParent)
{
    RECT r = Rect(10, 10, 110, 60);
    auto* container = new TrackedWidget(r, &window, 1);
    bool childDeleted = false;
    auto* child = new TrackedWidget(Rect(5, 5, 25, 25), container, 2, &childDeleted);
    ExpectRect(Rect(15, 15, 35, 35), child);
    EXPECT_EQ(hwnd(), child->GetHwnd());

    RECT old;
    container->SetRect(&old, &r, 1);
    ValidateRect(hwnd(), nullptr);
    container->SetRect(&old, &r, 1);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(hwnd(), &update, FALSE)) << "an identical SetRect invalidated";

    RECT moved = Rect(50, 20, 150, 70);
    container->SetRect(&old, &moved, 1);
    EXPECT_TRUE(EqualRect(&old, &r));
    ExpectRect(Rect(55, 25, 75, 45), child);
    EXPECT_TRUE(GetUpdateRect(hwnd(), &update, FALSE));

    // Re-parenting keeps the offset to the new parent.
    auto* other = new TrackedWidget(Rect(0, 100, 50, 150), &window, 3);
    EXPECT_EQ(container, child->SetParent(other));
    ExpectRect(Rect(5, 105, 25, 125), child);
    EXPECT_EQ(0, container->Contains(child));
    EXPECT_EQ(1, window.Contains(child));

    delete other;
    EXPECT_TRUE(childDeleted);
    EXPECT_EQ(1u, window.Children().size());
    EXPECT_EQ(container, window.Children().front());
}

TEST_F(WidgetTree, HitTestPrefersLaterSiblingsAndSkipsDisabledOrHidden)
{
    auto* parent = new TrackedWidget(Rect(0, 0, 100, 100), &window, 1);
    auto* first = new TrackedWidget(Rect(10, 10, 60, 60), parent, 2);
    auto* second = new TrackedWidget(Rect(40, 40, 150, 90), parent, 3);
    EXPECT_EQ(second, window.HitTest(50, 50));
    EXPECT_EQ(first, window.HitTest(20, 20));
    // Beyond the parent's rectangle a child is not hit.
    EXPECT_EQ(&window, window.HitTest(120, 50));

    second->SetEnabled(0);
    EXPECT_EQ(first, window.HitTest(50, 50));
    first->SetVisible(0);
    EXPECT_EQ(parent, window.HitTest(50, 50));
    parent->SetEnabled(0);
    EXPECT_EQ(&window, window.HitTest(50, 50));

    Widget orphan(5, 5, L"", nullptr, 0, nullptr);
    ExpectRect(Rect(5, 5, 0, 0), &orphan);
    EXPECT_EQ(nullptr, orphan.HitTest(5, 5));
    auto* filler = new Widget(10, 20, L"", &window, 0, nullptr);
    ExpectRect(Rect(10, 20, 200, 150), filler);
}

TEST_F(WidgetTree, NotificationsBubbleOnlyThroughParentsThatNotify)
{
    auto* container = new TrackedWidget(Rect(0, 0, 150, 100), &window, 1);
    auto* button = new ButtonWidget(20, 20, Skin(1107), container, 902, kImageType);
    PointAt(hwnd(), 30, 30);
    Send(hwnd(), WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);
    Send(hwnd(), WM_LBUTTONUP, 30, 30);
    EXPECT_TRUE(window.notes.empty()) << "passed a parent with notify 0";

    container->SetNotify(1, 0);
    Send(hwnd(), WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);
    Send(hwnd(), WM_LBUTTONUP, 30, 30);
    ASSERT_FALSE(window.notes.empty());
    EXPECT_EQ(WN_BUTTON_CLICKED, window.notes.back().code);
    EXPECT_EQ(902, window.notes.back().senderId) << "the sender is the button, not the relaying parent";
    (void)button;
}

TEST_F(WidgetTree, HidingAContainerResetsDescendantCellsButNotALoneWidget)
{
    auto* container = new TrackedWidget(Rect(0, 0, 100, 100), &window, 1);
    auto* inner = new TrackedWidget(Rect(0, 0, 50, 50), container, 2);
    auto* lone = new TrackedWidget(Rect(60, 0, 100, 50), &window, 3);
    inner->SetFrameGrid(2, 2);
    inner->SetFrame(1, 1);
    lone->SetFrameGrid(2, 1);
    lone->SetFrame(1, 0);
    container->SetVisible(0);
    lone->SetVisible(0);
    int col = -1, row = -1;
    inner->GetFrame(&col, &row);
    EXPECT_EQ(0, col);
    EXPECT_EQ(0, row);
    lone->GetFrame(&col, &row);
    EXPECT_EQ(1, col);

    // An empty grid is refused rather than dividing by zero.
    inner->SetFrameGrid(0, 3);
    int cols = 0, rows = 0;
    inner->GetFrameGrid(&cols, &rows);
    EXPECT_EQ(2, cols);
    EXPECT_EQ(2, rows);
    ExpectRect(Rect(0, 0, 25, 25), inner);
}

// Pressing a widget makes it hover, capture and focus; hiding, disabling or
// deleting it or an ancestor must drop all three at once.
class WindowForgets : public WidgetTree, public ::testing::WithParamInterface<int> {};

TEST_P(WindowForgets, HoverCaptureAndFocusOfAVanishingSubtree)
{
    auto* container = new TrackedWidget(Rect(0, 0, 100, 100), &window, 1);
    auto* target = new TrackedWidget(Rect(10, 10, 60, 60), container, 2);
    container->SetNotify(1, 1);
    PointAt(hwnd(), 20, 20);
    Send(hwnd(), WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    ASSERT_EQ(target, window.Focus());
    ASSERT_EQ(hwnd(), GetCapture());

    switch (GetParam()) {
    case 0: container->SetVisible(0); break;
    case 1: container->SetEnabled(0); break;
    default: delete container; break;
    }
    EXPECT_EQ(nullptr, window.Focus());
    EXPECT_EQ(nullptr, GetCapture());
    window.notes.clear();
    // A stale hover or capture would hand these to the vanished widget.
    SendMessageA(hwnd(), WM_MOUSELEAVE, 0, 0);
    Send(hwnd(), WM_LBUTTONUP, 20, 20);
    EXPECT_TRUE(window.notes.empty()) << "first code seen " << window.notes.front().code;
    Drain();
}

INSTANTIATE_TEST_SUITE_P(HiddenDisabledDeleted, WindowForgets, ::testing::Values(0, 1, 2));

TEST(WidgetConstruction, FixedFault_NoInvalidationOfOtherWindowsBeforeTheHandleExists)
{
    RECT screen = {400, 400, 500, 500};
    TestWindow bystander(screen);
    UpdateWindow(bystander.GetHwnd());
    ValidateRect(bystander.GetHwnd(), nullptr);
    RECT update;
    ASSERT_FALSE(GetUpdateRect(bystander.GetHwnd(), &update, FALSE));

    // Its own widget part is built before its handle: with no window to
    // invalidate, nothing else may be hit.
    RECT other = {420, 420, 480, 480};
    TestWindow second(other, Skin(1104), kImageType, 0, nullptr, WS_POPUP);
    EXPECT_FALSE(GetUpdateRect(bystander.GetHwnd(), &update, FALSE))
        << "invalidated " << update.left << "," << update.top << "," << update.right << "," << update.bottom;
}

}  // namespace
