// The desktop tip: the item records placed in the desktop's process, the
// bubble, and the real installer searching a desktop of our own
// (desktop_helper) in another process.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/unique_resource.h"
#include "install/install_protocol.h"
#include "tests/support/child_process.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/windows.h"
#include "ui/kit/text_label.h"
#include "ui/main/desktop_icon_locator.h"
#include "ui/main/tip_bubble.h"

namespace {

uint64_t ReadLittle(const std::vector<unsigned char>& bytes, size_t offset, size_t size)
{
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value |= uint64_t(bytes[offset + i]) << (8 * i);
    return value;
}

bool TestRunsUnderWow64()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

// The installer under test: the build's own, or the shipped 32-bit one.
bool InstallerIs32Bit()
{
    return Is32BitProgram(ProgramPath(L"local/Download_kp_local.exe"));
}

// What the installer, built like this test, takes the desktop to be.
bool InstallerReads64Bit()
{
    return sizeof(void*) == 8 || TestRunsUnderWow64();
}

// The helper whose records are the ones the installer writes.
std::wstring MatchingHelper()
{
    bool wow64Program = sizeof(void*) == 4 && TestRunsUnderWow64();
    return BuildPath(wow64Program ? L"tests/ui/main/desktop_helper64.exe" : L"tests/ui/main/desktop_helper.exe");
}

std::string NotFoundLine()
{
    return InstallerReads64Bit() ? "not found x64 'Quillmoor'" : "not found x32 'Quillmoor'";
}

// A desktop helper: its windows and item rectangles as it reported them.
class Desktop {
public:
    Desktop(const std::wstring& exe, const std::wstring& mode, const std::wstring& events = L"")
        : report_(dir_ / L"report.txt"), process_(exe, L"", L" " + mode + L" \"" + report_ + L"\"" + events)
    {
    }

    // False when it ended or did not report in time.
    bool Ready()
    {
        if (!process_.started() || !PumpUntil([&] { return FileExists(report_) || process_.Wait(0); }, 20000))
            return false;
        std::istringstream in(ReadFileBytes(report_));
        std::string word;
        uintptr_t handle = 0;
        while (in >> word) {
            if (word == "item") {
                RECT r;
                in >> r.left >> r.top >> r.right >> r.bottom;
                items.push_back(r);
                continue;
            }
            in >> handle;
            (word == "progman" ? progman : listView) = reinterpret_cast<HWND>(handle);
        }
        return progman && listView;
    }

    // The installer finds this desktop rather than another one on the display.
    void ExpectFoundFirst() const
    {
        EXPECT_EQ(nullptr, FindWindowA("WorkerW", nullptr)) << "a WorkerW window would be searched first";
        EXPECT_EQ(progman, FindWindowA("Progman", "Program Manager")) << "another Progman is in front";
    }

    ChildProcess& process() { return process_; }

    HWND progman = nullptr;
    HWND listView = nullptr;
    std::vector<RECT> items;

private:
    ScratchDir dir_;
    std::wstring report_;
    ChildProcess process_;
};

// The local variant in a folder of its own, with its debug log switched on.
class Installer {
public:
    Installer()
    {
        std::wstring exe = CopyProgram(dir_, L"local/Download_kp_local.exe", L"Download_kp_local.exe");
        WriteFileBytes(log_, "");
        process_ = std::make_unique<ChildProcess>(exe);
        window = WaitForProcessWindow(process_->id(), "DownloadWindow", 20000);
    }
    ~Installer() { EXPECT_TRUE(process_->Wait(0) ? process_->ExitCode() == 0 : Close()) << "it crashed or hung"; }

    // Its close request, taken by its message loop, ends it with 0; anything
    // else means it hung or crashed.
    bool Close() const
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return process_->Wait(10000) && process_->ExitCode() == 0;
    }

    // One of its timers fires (the worker starts them through the window's
    // own queue, out of reach of other programs).
    void FireTimer(UINT_PTR id) const { PostMessageW(window, WM_TIMER, id, 0); }
    std::string Log() const { return ReadFileBytes(log_); }
    bool WaitForLog(const std::string& line, DWORD ms) const
    {
        return PumpUntil([&] { return Log().find(line + "\r\n") != std::string::npos; }, ms);
    }
    DWORD id() const { return process_->id(); }

    HWND window = nullptr;

private:
    ScratchDir dir_;
    std::wstring log_ = dir_ / L"__lobby_dl_debug.log";
    std::unique_ptr<ChildProcess> process_;
};

// The whole tip against a desktop whose records have the installer's layout:
// the first item named like the product, in any case, gets the bubble, and
// timer 115 hides it again.
void ExpectBubbleBesideFirstMatch(const std::wstring& helper, const char* wow64Line)
{
    Desktop desktop(helper, L"icons");
    ASSERT_TRUE(desktop.Ready()) << "desktop helper did not start";
    ASSERT_EQ(5u, desktop.items.size());
    desktop.ExpectFoundFirst();
    Installer installer;
    ASSERT_TRUE(installer.window) << "no installer window";

    installer.FireTimer(TIMER_ICON_TIP);
    HWND bubble = WaitForProcessWindow(installer.id(), "ICO_TIPS", 15000);
    ASSERT_TRUE(bubble) << "no bubble; log:\n" << installer.Log();
    const RECT& icon = desktop.items[2];
    RECT expected = {icon.right, icon.top + 5, icon.right + 209, icon.top + 5 + 46};
    RECT placed = {-1, -1, -1, -1};
    GetWindowRect(bubble, &placed);
    EXPECT_TRUE(EqualRect(&expected, &placed)) << "at " << placed.left << "," << placed.top << " beside an icon at "
                                                << icon.left << "," << icon.top << " " << icon.right << ","
                                                << icon.bottom;
    // Owned by the desktop, not by the installer's window.
    EXPECT_EQ(desktop.progman, GetWindow(bubble, GW_OWNER));
    EXPECT_EQ(std::string(wow64Line) + "\r\nsendmessage WM_APP+2\r\n", installer.Log());

    installer.FireTimer(TIMER_TIP_CLOSE);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(bubble); }, 10000)) << "timer 115 left the bubble shown";
    EXPECT_TRUE(IsWindow(bubble)) << "hidden, not destroyed";
}

const char kNoThirtyTwoBit[] =
    "the installer under test is the 64-bit build (tools/target-arch.sh prints x86_64); the shipped label runs the "
    "32-bit one";

}  // namespace

// Both layouts, since a host runs only one of them against a live desktop.
TEST(ItemRecord, BothDesktopLayouts)
{
    struct Case {
        bool bits64;
        size_t recordSize, blockSize, textOffset, textSize, maxOffset;
        uint64_t block;
    } cases[] = {
        {false, 60, 1084, 20, 4, 24, 0x7FFE1000},
        {true, 88, 1112, 24, 8, 32, 0x00007FF812345000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits64 ? "64-bit desktop" : "32-bit desktop");
        ItemRecordLayout layout = ItemLayoutFor(c.bits64);
        EXPECT_EQ(c.blockSize, RequestBlockSize(layout));
        std::vector<unsigned char> record = MakeTextRequest(layout, c.block);
        ASSERT_EQ(c.recordSize, record.size());
        EXPECT_EQ(c.block + c.recordSize, ReadLittle(record, c.textOffset, c.textSize)) << "pszText";
        EXPECT_EQ(1024u, ReadLittle(record, c.maxOffset, 4)) << "cchTextMax";
        std::fill_n(record.begin() + c.textOffset, c.textSize, 0);
        std::fill_n(record.begin() + c.maxOffset, 4, 0);
        EXPECT_EQ(std::vector<unsigned char>(c.recordSize, 0), record) << "every other byte is 0";
    }
}

// What the bubble holds; where it opens is checked on the real installer.
TEST(TipBubble, Greeting)
{
    UniqueWindow owner(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    std::unique_ptr<ToolkitWindow> bubble = OpenTipBubble(owner.get(), {100, 200, 175, 270});
    EXPECT_TRUE(IsWindowVisible(bubble->GetHwnd()));
    ASSERT_EQ(1u, bubble->Children().size());
    auto* label = dynamic_cast<TextLabel*>(bubble->Children()[0]);
    ASSERT_TRUE(label);
    EXPECT_STREQ(L"HI，恭候您多时了！世界那么大，有您更精彩！戳我开启游戏之旅！", label->GetLabelText());
    RECT area = {-1, -1, -1, -1};
    label->GetRect(&area);
    RECT expectedArea = {15, 5, 209, 40};
    EXPECT_TRUE(EqualRect(&expectedArea, &area));
    float size = -1;
    gdip::GdipGetFontSize(label->Font().get(), &size);
    EXPECT_EQ(9.0f, size);
    GdiplusFontFamily family;
    gdip::GdipGetFamily(label->Font().get(), family.put());
    wchar_t familyName[LF_FACESIZE] = L"poison";
    gdip::GdipGetFamilyName(family.get(), familyName, LANG_NEUTRAL);
    EXPECT_STREQ(L"微软雅黑", familyName);
    Gdiplus::ARGB colour = 0xDEADBEEF;
    gdip::GdipGetSolidFillColor(reinterpret_cast<Gdiplus::GpSolidFill*>(label->Brush().get()), &colour);
    EXPECT_EQ(0xFEC8C8C8u, colour);
}

TEST(DesktopTipLayouts, Program32ReadsDesktop32)
{
    if (!InstallerIs32Bit())
        GTEST_SKIP() << kNoThirtyTwoBit;
    if (TestRunsUnderWow64())
        GTEST_SKIP() << "needs a 32-bit prefix: under WOW64 the program takes the desktop to be 64-bit";
    ExpectBubbleBesideFirstMatch(BuildPath(L"tests/ui/main/desktop_helper.exe"), "IsWow64 = false");
}

TEST(DesktopTipLayouts, Program32ReadsDesktop64UnderWow64)
{
    if (!InstallerIs32Bit())
        GTEST_SKIP() << kNoThirtyTwoBit;
    if (!TestRunsUnderWow64() && sizeof(void*) == 4)
        GTEST_SKIP() << "needs a 64-bit prefix";
    ExpectBubbleBesideFirstMatch(BuildPath(sizeof(void*) == 4 ? L"tests/ui/main/desktop_helper64.exe"
                                                              : L"tests/ui/main/desktop_helper.exe"),
                                 "IsWow64 = true");
}

TEST(DesktopTipLayouts, Program64ReadsDesktop64)
{
    if (InstallerIs32Bit())
        GTEST_SKIP() << "the 32-bit program is tested against 32- and 64-bit desktops instead";
    ExpectBubbleBesideFirstMatch(BuildPath(L"tests/ui/main/desktop_helper.exe"), "IsWow64 = false");
}

TEST(DesktopTip, MissingIconShowsNothing)
{
    Desktop desktop(MatchingHelper(), L"missing");
    ASSERT_TRUE(desktop.Ready()) << "desktop helper did not start";
    desktop.ExpectFoundFirst();
    Installer installer;
    ASSERT_TRUE(installer.window) << "no installer window";

    // Timer 115 first, without a bubble ever made: nothing to hide.
    installer.FireTimer(TIMER_TIP_CLOSE);
    installer.FireTimer(TIMER_ICON_TIP);
    ASSERT_TRUE(installer.WaitForLog("IsRectEmpty() = true", 15000)) << installer.Log();
    EXPECT_EQ("IsWow64 = " + std::string(TestRunsUnderWow64() ? "true" : "false") + "\r\n" + NotFoundLine() +
                  "\r\nIsRectEmpty() = true\r\n",
              installer.Log());
    EXPECT_TRUE(WaitForProcessWindow(installer.id(), "ICO_TIPS", 0) == nullptr);
}

// A desktop that holds the first text request: the window goes on, and the
// late answer still lands in memory of the desktop's own.
TEST(DesktopTip, DesktopThatDoesNotAnswerFreezesNothing)
{
    std::wstring suffix = std::to_wstring(GetCurrentProcessId());
    std::wstring releaseName = L"lobby_desktop_release_" + suffix, answeredName = L"lobby_desktop_answered_" + suffix;
    UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str()));
    UniqueHandle answered(CreateEventW(nullptr, TRUE, FALSE, answeredName.c_str()));
    ASSERT_TRUE(release && answered);
    Desktop desktop(MatchingHelper(), L"late", L" " + releaseName + L" " + answeredName);
    ASSERT_TRUE(desktop.Ready()) << "desktop helper did not start";
    desktop.ExpectFoundFirst();
    Installer installer;
    ASSERT_TRUE(installer.window) << "no installer window";

    installer.FireTimer(TIMER_ICON_TIP);
    EXPECT_TRUE(installer.WaitForLog(NotFoundLine(), 15000)) << installer.Log();
    EXPECT_TRUE(WaitForProcessWindow(installer.id(), "ICO_TIPS", 0) == nullptr);
    // Its message loop runs while the desktop still holds the request.
    EXPECT_TRUE(installer.Close()) << "the window hangs with the desktop";
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(answered.get(), 0)) << "the desktop answered after all";

    SetEvent(release.get());
    HANDLE ends[] = {answered.get(), desktop.process().handle()};
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, ends, FALSE, 15000))
        << "the desktop did not come through its late answer";
}
