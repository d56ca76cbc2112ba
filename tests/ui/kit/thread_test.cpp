// Widgets belong to their window's thread. From any other thread their
// mutating calls do nothing and leave a debug trace in the shipped program,
// so a worker can never block on a window whose thread is waiting for that
// worker; a test program ends at such a call instead.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/misuse.h"
#include "base/unique_resource.h"
#include "tests/ui/kit/kit_test_support.h"
#include "ui/kit/button_widget.h"
#include "ui/kit/text_label.h"

namespace {

struct VectoredHandler {
    using Type = PVOID;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { RemoveVectoredExceptionHandler(h); }
};

// The shipped program's response to a misuse, for one test.
class ShippedMisuseResponse {
public:
    ShippedMisuseResponse() : previous_(SetMisuseResponse(MisuseResponse::TraceAndIgnore)) {}
    ~ShippedMisuseResponse() { SetMisuseResponse(previous_); }
    ShippedMisuseResponse(const ShippedMisuseResponse&) = delete;
    ShippedMisuseResponse& operator=(const ShippedMisuseResponse&) = delete;

private:
    MisuseResponse previous_;
};

// OutputDebugStringA raises its text as an exception that vectored handlers
// see first; the strings of one thread are kept.
DWORD tracedThread = 0;
std::vector<std::string> traces;

LONG CALLBACK CatchTrace(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2 &&
        GetCurrentThreadId() == tracedThread)
        traces.emplace_back(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_SEARCH;
}

struct Tree {
    TestWindow window{RECT{100, 100, 300, 250}};
    Widget* panel = new Widget(&kPanel, L"", &window, 1, nullptr);
    ButtonWidget* button = new ButtonWidget(70, 10, Skin(1107), &window, 2, kImageType);
    TextLabel* label = new TextLabel(&kLabel, L"", &window, nullptr, nullptr, nullptr, 3);
    // Built without a parent and attached afterwards on the window's thread.
    Widget* late = new Widget(&kLate, L"", nullptr, 4, nullptr);
    // Never on a window until a call attaches it.
    std::unique_ptr<Widget> stray = std::make_unique<Widget>(&kLate, L"", nullptr, 5, nullptr);
    int toolkitMessages = 0;
    // Poisoned: a refused SetRect leaves it alone.
    RECT oldOut = {-7, -7, -7, -7};

    ~Tree()
    {
        if (window.Contains(stray.get()))
            (void)stray.release();
    }

    static constexpr RECT kPanel = {10, 10, 60, 60}, kLabel = {10, 70, 190, 100}, kLate = {120, 10, 160, 50};
};

struct Call {
    const char* name;
    std::function<void(Tree&)> run;
};

// Each changes something observable on the window's thread; each is refused
// before it does anything else, so it leaves exactly one trace elsewhere.
const std::vector<Call>& Calls()
{
    static const RECT moved = {20, 20, 80, 80}, screen = {150, 120, 350, 270};
    static const std::vector<Call> calls = {
        {"Widget::SetVisible", [](Tree& t) { t.panel->SetVisible(0); }},
        {"ButtonWidget::SetEnabled", [](Tree& t) { t.button->SetEnabled(0); }},
        {"TextLabel::SetLabelText", [](Tree& t) { t.label->SetLabelText(L"changed"); }},
        {"Widget::SetText", [](Tree& t) { t.label->SetText(L"changed"); }},
        {"Widget::SetRect", [](Tree& t) { t.panel->SetRect(&t.oldOut, &moved, 1); }},
        {"ToolkitWindow::SetRect", [](Tree& t) { t.window.SetRect(&t.oldOut, &screen, 1); }},
        {"Widget::SetFrame", [](Tree& t) { t.late->SetFrame(1, 0); }},
        {"Widget::SetAlpha", [](Tree& t) { t.late->SetAlpha(10); }},
        {"Widget::SetFocus", [](Tree& t) { t.label->SetFocus(); }},
        {"Widget::GetFocus", [](Tree& t) { t.label->HasFocus(); }},
        {"ToolkitWindow::SetEnabled", [](Tree& t) { t.window.SetEnabled(0); }},
        {"Widget::Invalidate", [](Tree& t) { t.label->Invalidate(nullptr, 0); }},
        {"Widget::SetParent", [](Tree& t) { t.stray->SetParent(&t.window); }},
        {"Widget::DeleteLater", [](Tree& t) { t.late->DeleteLater(); }},
    };
    return calls;
}

std::string Text(const wchar_t* text)
{
    return text ? std::string(text, text + lstrlenW(text)) : "(null)";
}

std::string Box(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// What the calls change, by name; read on the window's thread.
std::vector<std::pair<const char*, std::string>> Observe(Tree& t)
{
    // Reading the focus asks the window itself; that request is not counted.
    int messages = t.toolkitMessages;
    Widget* focus = t.window.Focus();
    t.toolkitMessages = messages;
    RECT panel, window, update;
    t.panel->GetRect(&panel);
    GetWindowRect(t.window.GetHwnd(), &window);
    int col = -1, row = -1, alpha = -1;
    // A DeleteLater that went through may have deleted it already.
    if (t.window.Contains(t.late)) {
        t.late->GetFrame(&col, &row);
        t.late->GetAlpha(&alpha);
    }
    return {
        {"panel visible", std::to_string(t.panel->IsVisible())},
        {"button enabled", std::to_string(t.button->IsEnabled())},
        {"window enabled", std::to_string(t.window.IsEnabled())},
        {"label text", Text(t.label->GetLabelText())},
        {"widget text", Text(t.label->GetText())},
        {"panel rect", Box(panel)},
        {"window rect", Box(window)},
        {"old rect out", Box(t.oldOut)},
        {"late cell", std::to_string(col)},
        {"late alpha", std::to_string(alpha)},
        {"focus", std::to_string(reinterpret_cast<uintptr_t>(focus))},
        {"invalidated", std::to_string(GetUpdateRect(t.window.GetHwnd(), &update, FALSE))},
        {"stray parent", std::to_string(reinterpret_cast<uintptr_t>(t.stray->GetParent()))},
        {"toolkit messages", std::to_string(messages)},
    };
}

DWORD WINAPI HideFromWorker(void* widget)
{
    static_cast<Widget*>(widget)->SetVisible(0);
    return 0;
}

DWORD WINAPI RunCalls(void* tree)
{
    for (const Call& call : Calls())
        call.run(*static_cast<Tree*>(tree));
    return 0;
}

// Lets a worker stuck in a send to this thread's window finish.
bool FinishWhilePumping(HANDLE thread, DWORD ms)
{
    DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
        if (GetTickCount() - start > ms)
            return false;
        Drain();
    }
    return true;
}

TEST(WidgetThread, CallsFromAWorkerTheWindowWaitsForReturnAtOnceAndChangeNothing)
{
    ShippedMisuseResponse shipped;
    Tree t;
    t.late->SetParent(&t.window);
    t.window.onMessage = [&t](UINT msg) { t.toolkitMessages += msg == WM_TOOLKIT ? 1 : 0; };
    Drain();
    ValidateRect(t.window.GetHwnd(), nullptr);
    t.toolkitMessages = 0;
    auto before = Observe(t);

    UniqueResource<VectoredHandler> catcher(AddVectoredExceptionHandler(1, CatchTrace));
    ASSERT_TRUE(catcher);
    traces.clear();
    DWORD id = 0;
    UniqueHandle worker(CreateThread(nullptr, 0, RunCalls, &t, CREATE_SUSPENDED, &id));
    ASSERT_TRUE(worker);
    tracedThread = id;
    ResumeThread(worker.get());
    // The window's thread blocks without pumping, as it would waiting for an
    // install worker: a single send from the worker would hang here.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker.get(), 5000)) << "the worker blocked on the window";
    ASSERT_TRUE(FinishWhilePumping(worker.get(), 10000));
    catcher.reset();

    // Read before pumping, which would validate a window the worker invalidated.
    auto after = Observe(t);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(before[i].second, after[i].second) << before[i].first << " changed from the worker";
    Drain();
    EXPECT_EQ(1, t.window.Contains(t.late)) << "DeleteLater from the worker deleted";
    ASSERT_EQ(Calls().size(), traces.size());
    for (size_t i = 0; i < traces.size(); ++i)
        EXPECT_NE(std::string::npos, traces[i].find(Calls()[i].name)) << traces[i];

    // The same calls on the window's own thread take effect.
    RunCalls(&t);
    auto done = Observe(t);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_NE(before[i].second, done[i].second) << before[i].first << " unchanged on the window's thread";
    Drain();
    EXPECT_EQ(0, t.window.Contains(t.late)) << "DeleteLater on the window's thread did not delete";
}

// As every test program runs (tests/support/loud_misuse.cpp): the first
// call from the wrong thread ends the process with its name on the error
// output, so a test cannot pass on a call that was dropped.
TEST(WidgetThreadDeathTest, InATestProgramAWorkersCallEndsTheProcess)
{
    auto callFromWorker = [] {
        TestWindow window(RECT{100, 100, 300, 250});
        auto* panel = new Widget(&Tree::kPanel, L"", &window, 1, nullptr);
        UniqueHandle worker(CreateThread(nullptr, 0, HideFromWorker, panel, 0, nullptr));
        if (worker)
            WaitForSingleObject(worker.get(), 10000);
    };
    EXPECT_EXIT(callFromWorker(), testing::ExitedWithCode(static_cast<int>(kMisuseExitCode)),
                "misuse: ui/kit: Widget::SetVisible called off its window's thread");
}

}  // namespace
