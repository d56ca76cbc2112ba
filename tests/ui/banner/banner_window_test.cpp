// The installer's own window, with and without a web-browser control: the
// banner is a child window at the banner rectangle, run by a thread of its
// own, or it is absent and the skin shows through.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/unique_resource.h"
#include "tests/support/child_process.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/windows.h"
#include "tests/ui/banner/banner_test_support.h"
#include "tests/ui/kit/kit_test_support.h"
#include "ui/banner/banner_thread.h"
#include "ui/kit/toolkit_window.h"

namespace {

// The local installer under another name, so per-program settings of the
// prefix apply to this copy only and no share key is recorded.
std::wstring CopyInstaller(const ScratchDir& dir, const wchar_t* name)
{
    return CopyProgram(dir, L"local/Download_kp_local.exe", name);
}

// Disables the browser control's library for one program name, as on a
// machine without the control; removed again at the end.
class NoBrowserFor {
public:
    explicit NoBrowserFor(const std::wstring& exeName) : path_(L"Software\\Wine\\AppDefaults\\" + exeName)
    {
        UniqueKey key;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (path_ + L"\\DllOverrides").c_str(), 0, nullptr,
                                                 0, KEY_SET_VALUE, nullptr, key.put(), nullptr));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), L"ieframe", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""),
                                                sizeof(wchar_t)));
    }
    ~NoBrowserFor() { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }

private:
    std::wstring path_;
};

// Screen pixels of a window's client rectangle `area`, as 0xRRGGBB.
std::vector<uint32_t> ScreenPixels(HWND window, const RECT& area)
{
    RECT onScreen = area;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
    std::vector<uint32_t> pixels = CaptureScreen(onScreen).argb;
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

size_t Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    if (a.size() != b.size() || a.empty())
        return SIZE_MAX;
    size_t count = 0;
    for (size_t i = 0; i < a.size(); i++)
        count += a[i] != b[i];
    return count;
}

// What lies beneath the banner in the installer's layout: the background
// and the two images over it, nothing else reaches that area.
class SkinBeneath : public ToolkitWindow {
public:
    explicit SkinBeneath(int x, int y)
        : ToolkitWindow(x, y, MAKEINTRESOURCEW(1101), L"BannerReference", nullptr, 0, WS_POPUP | WS_VISIBLE, 0, 0,
                        L"IMAGE", GetModuleHandleW(nullptr))
    {
        new Widget(1, 1, MAKEINTRESOURCEW(1102), this, 0, nullptr, L"IMAGE", GetModuleHandleW(nullptr));
        new Widget(1, 1, MAKEINTRESOURCEW(1103), this, 0, nullptr, L"IMAGE", GetModuleHandleW(nullptr));
    }
};

// The banner thread's host has finished embedding (or failing to) once the
// thread answers at its message loop: its request window is made first.
bool BannerThreadIdle(DWORD processId)
{
    HWND found = nullptr;
    for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, L"BrowserHostRequests", nullptr); w && !found;
         w = FindWindowExW(HWND_MESSAGE, w, L"BrowserHostRequests", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId)
            found = w;
    }
    DWORD_PTR answer = 0;
    return found && SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
}

TEST(BannerWindow, WithoutABrowserControlTheBannerAreaShowsTheSkinBeneath)
{
    ScratchDir dir;
    std::wstring exe = CopyInstaller(dir, L"Download_kp_nobrowser.exe");
    NoBrowserFor noBrowser(L"Download_kp_nobrowser.exe");
    ChildProcess installer(exe);
    ASSERT_TRUE(installer.started());
    HWND window = WaitForProcessWindow(installer.id(), "DownloadWindow", 20000);
    ASSERT_TRUE(window) << "no window";
    ASSERT_TRUE(PumpUntil([&] { return BannerThreadIdle(installer.id()); }, 20000)) << "banner thread never idle";

    EXPECT_EQ(nullptr, GetWindow(window, GW_CHILD)) << "a child window over the banner";
    // Above or below the installer's window, so neither covers the other's
    // banner (the screen is too narrow for the two side by side).
    RECT placed;
    GetWindowRect(window, &placed);
    int below = placed.bottom + 10;
    SkinBeneath reference(placed.left, below + 350 <= GetSystemMetrics(SM_CYSCREEN) ? below : 0);
    for (HWND w : {window, reference.GetHwnd()}) {
        RECT banner = kBannerRect, other, overlap;
        MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&banner), 2);
        GetWindowRect(w == window ? reference.GetHwnd() : window, &other);
        ASSERT_FALSE(IntersectRect(&overlap, &banner, &other)) << "the windows overlap a banner area";
    }
    std::vector<uint32_t> got, expected;
    bool same = PumpUntil(
        [&] {
            got = ScreenPixels(window, kBannerRect);
            expected = ScreenPixels(reference.GetHwnd(), kBannerRect);
            return Differences(got, expected) == 0;
        },
        10000);
    EXPECT_TRUE(same) << Differences(got, expected) << " of " << got.size() << " pixels differ";

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(installer.Wait(10000)) << "did not end on close";
    EXPECT_EQ(0u, installer.ExitCode());
}

TEST(BannerWindow, WithABrowserControlItIsAChildOfTheWindowAtTheBannerRectangleOnItsOwnThread)
{
    if (!BrowserControlAvailable())
        GTEST_SKIP() << "this Wine creates no web-browser control";
    ScratchDir dir;
    ChildProcess installer(CopyInstaller(dir, L"Download_kp_banner.exe"));
    ASSERT_TRUE(installer.started());
    HWND window = WaitForProcessWindow(installer.id(), "DownloadWindow", 20000);
    ASSERT_TRUE(window) << "no window";
    // The control makes its window at once and places it when it is shown.
    HWND control = nullptr;
    bool placed = PumpUntil(
        [&] { return (control = OnlyChild(window)) && Box(ChildRect(control)) == Box(kBannerRect); }, 20000);
    ASSERT_TRUE(control) << "no control window";
    EXPECT_TRUE(placed) << "control at " << Box(ChildRect(control));
    DWORD controlProcess = 0;
    DWORD controlThread = GetWindowThreadProcessId(control, &controlProcess);
    EXPECT_EQ(installer.id(), controlProcess);
    EXPECT_NE(GetWindowThreadProcessId(window, nullptr), controlThread);

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(installer.Wait(10000)) << "did not end on close";
    EXPECT_EQ(0u, installer.ExitCode());
}

}  // namespace
