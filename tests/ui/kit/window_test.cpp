// Window behaviour: caption drag, close veto, deferred deletion, requests
// that name no widget of the window, the registry and the message loop's
// pre-translation chain.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/ui/kit/kit_test_support.h"

namespace {

// A plain widget that can ask for its own deletion from inside a handler.
class SelfDeleting : public Widget {
public:
    SelfDeleting(const RECT& r, Widget* parent, bool* deleted)
        : Widget(&r, L"", parent, 7, nullptr), deleted_(deleted)
    {
    }
    ~SelfDeleting() override { *deleted_ = true; }
    void OnLButtonDown(WPARAM wParam, LPARAM lParam) override
    {
        DeleteLater();
        aliveAfterRequest = !*deleted_;
        Widget::OnLButtonDown(wParam, lParam);
    }
    bool aliveAfterRequest = false;

private:
    bool* deleted_;
};

bool TakeQuit(WPARAM* code)
{
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    *code = msg.wParam;
    return true;
}

class Windows : public ::testing::Test {
protected:
    static constexpr RECT kInside = {10, 10, 60, 60};
    Windows() : window(RECT{100, 100, 300, 200}) {}
    HWND hwnd() { return window.GetHwnd(); }
    TestWindow window;
};

TEST_F(Windows, CaptionDragStartsOnlyOnTheHandleAndTouchesNoWidget)
{
    RECT bar = {0, 0, 200, 30}, body = {0, 40, 200, 100};
    auto* handle = new Widget(&bar, L"", &window, 1, nullptr);
    auto* other = new Widget(&body, L"", &window, 2, nullptr);
    handle->SetNotify(1, 0);
    other->SetNotify(1, 0);
    window.dragHandle = handle;
    PointAt(hwnd(), 50, 50);
    Send(hwnd(), WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    Send(hwnd(), WM_LBUTTONUP, 50, 50);
    ASSERT_EQ(other, window.Focus());
    window.notes.clear();

    PointAt(hwnd(), 20, 10);
    window.notes.clear();
    SetLastError(0xDEADBEEF);
    Send(hwnd(), WM_LBUTTONDOWN, 20, 10, MK_LBUTTON);
    EXPECT_EQ(1, window.captionDrags);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(other, window.Focus()) << "focus moved to the drag handle";
    for (const Note& note : window.notes)
        EXPECT_NE(WN_LBUTTON_DOWN, note.code) << "the handle got a button-down";

    // A right press on the handle, or a left one elsewhere, is no drag.
    Send(hwnd(), WM_RBUTTONDOWN, 20, 10, MK_RBUTTON);
    Send(hwnd(), WM_RBUTTONUP, 20, 10);
    PointAt(hwnd(), 50, 50);
    Send(hwnd(), WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    Send(hwnd(), WM_LBUTTONUP, 50, 50);
    EXPECT_EQ(1, window.captionDrags);
    Drain();
}

TEST(WindowClose, IsVetoedWhenDisabledOrRefusedAndOtherwiseQuitsAndForgets)
{
    WPARAM code = 0;
    while (TakeQuit(&code)) {
    }
    TestWindow window(RECT{100, 100, 300, 200});
    HWND hwnd = window.GetHwnd();
    ASSERT_EQ(&window, WindowRegistry::Instance().Find(hwnd));

    window.SetEnabled(0);
    EXPECT_EQ(0, SendMessageA(hwnd, WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(TakeQuit(&code));

    window.SetEnabled(1);
    window.canClose = 0;
    EXPECT_EQ(0, SendMessageA(hwnd, WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(TakeQuit(&code));

    window.canClose = 1;
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(TakeQuit(&code));
    EXPECT_EQ(0u, code);
    // The object outlives its window, but the registry must not hand it out.
    EXPECT_EQ(nullptr, WindowRegistry::Instance().Find(hwnd));
}

TEST_F(Windows, DeleteLaterFromAHandlerWaitsUntilTheHandlerReturned)
{
    bool deleted = false;
    auto* w = new SelfDeleting({10, 10, 60, 60}, &window, &deleted);
    PointAt(hwnd(), 20, 20);
    Send(hwnd(), WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_TRUE(w->aliveAfterRequest);
    EXPECT_FALSE(deleted) << "deleted before its WM_NULL was handled";
    EXPECT_EQ(1, window.Contains(w));
    Drain();
    EXPECT_TRUE(deleted);
    EXPECT_TRUE(window.Children().empty());
    // Capture and hover went with it: the release reaches nobody.
    window.notes.clear();
    Send(hwnd(), WM_LBUTTONUP, 20, 20);
    Drain();
}

TEST(WindowDeleteLater, ADirectDeleteCancelsTheQueuedOne_FixedFault)
{
    TestWindow window(RECT{100, 100, 300, 200});
    bool deleted = false;
    auto* w = new SelfDeleting({10, 10, 60, 60}, &window, &deleted);
    w->DeleteLater();
    delete w;
    ASSERT_TRUE(deleted);
    // Likely to land where the first one was.
    bool secondDeleted = false;
    auto* second = new SelfDeleting({10, 10, 60, 60}, &window, &secondDeleted);
    Drain();
    EXPECT_FALSE(secondDeleted) << "a queued request outlived the widget it named";
    EXPECT_EQ(1, window.Contains(second));
}

TEST(WindowDeleteLater, TheWindowItselfGoesWithItsHandle)
{
    auto* window = new TestWindow(RECT{100, 100, 300, 200});
    HWND hwnd = window->GetHwnd();
    window->DeleteLater();
    EXPECT_TRUE(IsWindow(hwnd));
    Drain();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, WindowRegistry::Instance().Find(hwnd));
}

// Any process can post the toolkit's requests with any pointer: a widget of
// another window, or memory that holds no widget at all (calling through it
// would crash). None of them may act.
TEST_F(Windows, RequestsNamingNoWidgetOfTheTreeChangeNothing)
{
    auto* own = new Widget(&kInside, L"", &window, 1, nullptr);
    own->SetNotify(1, 0);
    ASSERT_EQ(1, own->SetFocus());
    TestWindow other(RECT{400, 100, 600, 200});
    auto* stranger = new Widget(&kInside, L"", &other, 2, nullptr);
    stranger->SetNotify(1, 0);
    Drain();
    window.notes.clear();
    std::vector<uintptr_t> junk(64, 0xDEADBEEF);
    const WPARAM requests[] = {TK_SET_FOCUS, TK_WIDGET_GONE, TK_DELETE_LATER};
    for (WPARAM request : requests) {
        for (const void* garbage : {static_cast<const void*>(stranger), static_cast<const void*>(junk.data())})
            ASSERT_TRUE(PostMessageA(hwnd(), WM_TOOLKIT, request, reinterpret_cast<LPARAM>(garbage)));
    }
    Drain();
    EXPECT_EQ(own, window.Focus());
    EXPECT_EQ(static_cast<Widget*>(&other), other.Focus()) << "the other window's focus moved";
    EXPECT_EQ(1, window.Contains(own));
    EXPECT_EQ(1, other.Contains(stranger)) << "a widget of another window was deleted";
    EXPECT_TRUE(window.notes.empty()) << "first code seen " << window.notes.front().code;
    EXPECT_TRUE(other.notes.empty()) << "first code seen " << other.notes.front().code;
}

TEST(MessageLoop, OffersMessagesToTheWindowThenEachAncestorInnermostFirst)
{
    const UINT watched = WM_APP + 77;
    std::vector<int> log;
    TestWindow outer(RECT{100, 100, 400, 300}, L"", nullptr, 0, nullptr, WS_POPUP | WS_VISIBLE, 1);
    TestWindow middle(RECT{10, 10, 200, 150}, L"", nullptr, 0, outer.GetHwnd(), WS_CHILD | WS_VISIBLE, 2);
    TestWindow inner(RECT{10, 10, 100, 100}, L"", nullptr, 0, middle.GetHwnd(), WS_CHILD | WS_VISIBLE, 3);
    int innerSaw = 0;
    inner.onMessage = [&](UINT msg) { innerSaw += msg == watched; };
    for (TestWindow* w : {&outer, &middle, &inner}) {
        w->watchedMessage = watched;
        w->preTranslateLog = &log;
    }

    PostMessageA(inner.GetHwnd(), watched, 0, 0);
    PostQuitMessage(5);
    RunMessageLoop();
    EXPECT_EQ((std::vector<int>{3, 2, 1}), log);
    EXPECT_EQ(1, innerSaw);
    WPARAM code = 0;
    EXPECT_TRUE(TakeQuit(&code)) << "the loop did not pass the quit on";
    EXPECT_EQ(5u, code);

    // Consumed by the middle window: the outer one is not asked, and the
    // message is not dispatched.
    log.clear();
    innerSaw = 0;
    middle.consumeWatched = true;
    PostMessageA(inner.GetHwnd(), watched, 0, 0);
    PostQuitMessage(0);
    RunMessageLoop();
    TakeQuit(&code);
    EXPECT_EQ((std::vector<int>{3, 2}), log);
    EXPECT_EQ(0, innerSaw);
}

TEST(WindowClass, ASecondWindowOfTheSameClassIsCreatedNormally)
{
    TestWindow first(RECT{100, 100, 200, 200});
    TestWindow second(RECT{150, 150, 250, 250});
    EXPECT_TRUE(IsWindow(first.GetHwnd()));
    ASSERT_TRUE(IsWindow(second.GetHwnd()));
    EXPECT_NE(first.GetHwnd(), second.GetHwnd());
    RECT r;
    GetClientRect(second.GetHwnd(), &r);
    EXPECT_EQ(100, r.right);
    EXPECT_EQ(&second, WindowRegistry::Instance().Find(second.GetHwnd()));
}

TEST(WindowCentring, CentresOnTheGivenRectangle)
{
    TestWindow window(RECT{0, 0, 101, 50});
    RECT reference = {100, 200, 400, 301};
    window.CenterWindow(&reference);
    RECT r;
    GetWindowRect(window.GetHwnd(), &r);
    EXPECT_EQ(199, r.left);  // 100 + (300 - 101) / 2, truncated
    EXPECT_EQ(225, r.top);
}

}  // namespace
