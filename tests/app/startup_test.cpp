// The real installer started as players start it: single instance, share
// key, configuration messages, crash dump, DLLs from the system folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/instance.h"
#include "base/unique_resource.h"
#include "tests/support/child_process.h"
#include "tests/support/planted_dlls.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/share_key.h"
#include "tests/support/windows.h"

namespace {

const wchar_t kInstallDir[] = L"C:\\Program Files\\Quillmoor\\";

// Starts an installer, waits for its window and closes it again, which
// ends the process with 0.
void RunUntilWindow(const std::wstring& exe)
{
    SCOPED_TRACE(testing::PrintToString(exe));
    ChildProcess installer(exe);
    ASSERT_TRUE(installer.started());
    HWND window = WaitForProcessWindow(installer.id(), "DownloadWindow", 20000);
    ASSERT_TRUE(window) << "no window";
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(installer.Wait(10000)) << "did not end on close";
    EXPECT_EQ(0u, installer.ExitCode());
}

void ExpectShareValue(const char* expected)
{
    DWORD type = 0;
    std::wstring value = ReadShareValue(&type);
    if (!expected) {
        EXPECT_EQ(L"absent", value);
        return;
    }
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(std::wstring(expected, expected + strlen(expected)), value);

    // As the installed client reads it: the digits, and at most the one
    // terminator the system itself adds, nothing the program wrote past them.
    UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\ZelkGame\\Lobby\\Share\\shareid_100", 0,
                                           KEY_READ, key.put()));
    char bytes[64];
    memset(bytes, 'x', sizeof bytes);
    DWORD size = sizeof bytes;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.get(), nullptr, nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(bytes), &size));
    size_t digits = strlen(expected);
    ASSERT_TRUE(size == digits || (size == digits + 1 && bytes[digits] == '\0')) << size << " bytes";
    EXPECT_EQ(std::string(expected), std::string(bytes, digits));
}

// A hidden top-level window that counts ActivateMessage broadcasts.
class BroadcastCounter {
public:
    BroadcastCounter()
    {
        message_ = RegisterWindowMessageA("{88899063-CFEA-492b-93E3-51F14B34CE70}");
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "BroadcastCounter";
        RegisterClassA(&wc);
        window_.reset(CreateWindowA("BroadcastCounter", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr));
        SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    int count() const { return count_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<BroadcastCounter*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && message == self->message_)
            ++self->count_;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    UINT message_ = 0;
    int count_ = 0;
    UniqueWindow window_;
};

}  // namespace

TEST(ShareKey, RecordsTheNumberOfTheProgramName)
{
    struct Case {
        const wchar_t* name;
        const char* value;
    } cases[] = {
        {L"Download_kp_2001.exe", "2001"}, {L"Download_kp_0042.exe", "0042"}, {L"Download_kp.exe", nullptr},
        {L"setup.exe", nullptr},           {L"a_12.3.exe", "12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        DeleteShareKey();
        ScratchDir dir;
        RunUntilWindow(CopyProgram(dir, L"Download_kp_200500.exe", c.name));
        ExpectShareValue(c.value);
    }
}

TEST(ShareKey, ALaterRunReplacesTheNumber)
{
    DeleteShareKey();
    ScratchDir dir;
    RunUntilWindow(CopyProgram(dir, L"Download_kp_200500.exe", L"Download_kp_2001.exe"));
    RunUntilWindow(CopyProgram(dir, L"Download_kp_200500.exe", L"Download_kp_77.exe"));
    ExpectShareValue("77");
}

TEST(SingleInstance, SecondStartHandsOverAndEnds)
{
    DeleteShareKey();
    CreateDirectoryW(L"C:\\Program Files", nullptr);
    CreateDirectoryW(kInstallDir, nullptr);
    std::wstring channelFile = std::wstring(kInstallDir) + L"IsLobbyLogin.dat";
    DeleteFileW(channelFile.c_str());

    ScratchDir firstDir, secondDir;
    ChildProcess first(CopyProgram(firstDir, L"Download_kp_200500.exe", L"Download_kp_1111.exe"));
    ASSERT_TRUE(first.started());
    HWND window = WaitForProcessWindow(first.id(), "DownloadWindow", 20000);
    ASSERT_TRUE(window);
    // The names other programs know it by: the taskbar's title and the
    // session's instance mutex.
    wchar_t title[64];
    wmemset(title, L'x', 64);
    // Named right after the window is made.
    EXPECT_TRUE(PumpUntil([&] { return GetWindowTextW(window, title, 64) > 0; }, 10000));
    EXPECT_EQ(std::wstring(L"客户端下载器"), title);
    {
        // Let go at once: a handle kept here would keep the mutex, and the
        // instance rule, alive after the installer.
        UniqueHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, "{8B8E8CAC-C0B5-4588-94E6-31E3C6DD5535}"));
        EXPECT_TRUE(mutex) << GetLastError();
    }

    BroadcastCounter counter;
    ChildProcess second(CopyProgram(secondDir, L"Download_kp_200500.exe", L"Download_kp_2222.exe"));
    ASSERT_TRUE(second.started());
    size_t secondWindows = 0;
    for (int i = 0; i < 500 && !second.Wait(0); ++i) {
        secondWindows += ProcessWindows(second.id()).size();
        PumpMessages(20);
    }
    ASSERT_TRUE(second.Wait(0)) << "second instance still running";
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_EQ(0u, secondWindows) << "the second instance made windows";

    for (int i = 0; i < 100 && counter.count() == 0; ++i)
        PumpMessages(50);
    EXPECT_EQ(1, counter.count()) << "ActivateMessage broadcasts seen";

    // The first instance took the message: it writes the channel file.
    for (int i = 0; i < 100 && !FileExists(channelFile); ++i)
        PumpMessages(50);
    EXPECT_EQ("[ChannelID]\r\nChannelID=200500\r\n", ReadFileBytes(channelFile));

    // Nothing of the second run stayed behind: no file, no share number.
    WIN32_FIND_DATAW data;
    int entries = 0;
    UniqueFindFile find(FindFirstFileW((secondDir / L"*").c_str(), &data));
    do {
        ++entries;
    } while (find && FindNextFileW(find.get(), &data));
    EXPECT_EQ(3, entries) << "., .. and the program only";
    ExpectShareValue("1111");

    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(first.Wait(0));

    // With the first instance gone the next start is a first instance again.
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.Wait(10000));
    RunUntilWindow(BuildPath(L"Download_kp_200500.exe"));
    DeleteFileW(channelFile.c_str());
}

// The ids of the processes named `name` that process `parent` started.
std::vector<DWORD> ChildrenOf(DWORD parent, const wchar_t* name)
{
    std::vector<DWORD> ids;
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {sizeof entry};
    for (BOOL more = snapshot && Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID == parent && _wcsicmp(entry.szExeFile, name) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

// Under Wine a process joins its desktop on its first window call, and Wine
// starts the desktop's owner process (explorer.exe /desktop) for a desktop
// that has none, waiting ten seconds for it. One that comes up later leaves
// the process without a display driver: no window can be made, and a start
// that waited in its loop regardless would hold the desktop and the
// instance mutex for ever. The start goes to a desktop of its own, whose
// owner is held suspended, so the test prefix's desktop stays as it is.
TEST(StartUp, AStartWhoseDesktopProcessComesUpTooLateEnds)
{
    using ProcessFn = LONG(NTAPI*)(HANDLE);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto suspend = reinterpret_cast<ProcessFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtSuspendProcess")));
    auto resume = reinterpret_cast<ProcessFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtResumeProcess")));
    ASSERT_TRUE(suspend && resume);
    ScratchDir dir;
    std::wstring exe = CopyProgram(dir, L"Download_kp_200500.exe", L"Download_kp_200500.exe");
    WriteFileBytes(dir / L"__lobby_dl_debug.log", "");

    // Started from a thread on that desktop: under Wine only a process's
    // first thread takes the desktop named at its start, the others its
    // starter's.
    std::unique_ptr<ChildProcess> started;
    std::thread([&] {
        HDESK desktop = CreateDesktopW(L"lobby-late-desktop", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        if (desktop && SetThreadDesktop(desktop))
            started = std::make_unique<ChildProcess>(exe, dir.path());
    }).join();
    ASSERT_TRUE(started && started->started());
    ChildProcess& installer = *started;
    UniqueHandle owner;
    for (DWORD start = GetTickCount(); !owner && GetTickCount() - start < 20000; PumpMessages(5)) {
        std::vector<DWORD> owners = ChildrenOf(installer.id(), L"explorer.exe");
        if (!owners.empty())
            owner.reset(OpenProcess(PROCESS_ALL_ACCESS, FALSE, owners.front()));
    }
    ASSERT_TRUE(owner) << "no desktop process started";
    suspend(owner.get());
    bool ended = installer.Wait(40000);
    // The owner of the test's own desktop goes with it.
    resume(owner.get());
    TerminateProcess(owner.get(), 1);
    WaitForSingleObject(owner.get(), 10000);

    ASSERT_TRUE(ended) << "still running without a window";
    EXPECT_EQ(static_cast<DWORD>(kExitNoWindow), installer.ExitCode());
    // Which call notices depends on how far Wine got before the owner stopped.
    std::string log = ReadFileBytes(dir / L"__lobby_dl_debug.log");
    EXPECT_TRUE(log.rfind("CreateWindowEx [", 0) == 0 || log.rfind("GetDesktopWindow [no answer]", 0) == 0) << log;
    UniqueHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, "{8B8E8CAC-C0B5-4588-94E6-31E3C6DD5535}"));
    EXPECT_FALSE(mutex) << "the instance mutex outlived the start";
}

TEST(Configuration, MissingStringsAreReportedAndStartUpGoesOn)
{
    ChildProcess installer(BuildPath(L"tests/app/Download_kp_nostrings.exe"));
    ASSERT_TRUE(installer.started());
    std::vector<std::wstring> boxes = AnswerMessageBoxes(installer.id(), 4, 30000);
    ASSERT_EQ(4u, boxes.size()) << testing::PrintToString(boxes);
    EXPECT_EQ(L"读取ID_CHANNAL配置错误", boxes[0]);
    EXPECT_EQ(L"读取ID_IFOFFICIAL配置错误", boxes[1]);
    EXPECT_EQ(L"读取ID_DOWNLOADURL配置错误", boxes[2]);
    EXPECT_EQ(L"读取ID_BANNERURL配置错误", boxes[3]);
    EXPECT_TRUE(WaitForProcessWindow(installer.id(), "DownloadWindow", 20000));
}

TEST(CrashDump, FaultInAWorkerThreadReplacesCrashDat)
{
    ScratchDir dir;
    std::wstring exe = CopyProgram(dir, L"tests/app/crasher.exe", L"crasher.exe");
    WriteFileBytes(dir / L"crash.dat", std::string(100000, 'o'));

    ChildProcess crasher(exe);
    ASSERT_TRUE(crasher.started());
    ASSERT_TRUE(crasher.Wait(60000)) << "the crashing program did not end";
    EXPECT_NE(3u, crasher.ExitCode());

    std::string dump = ReadFileBytes(dir / L"crash.dat");
    ASSERT_GE(dump.size(), 32u);
    EXPECT_EQ("MDMP", dump.substr(0, 4));
    EXPECT_EQ(std::string::npos, dump.find(std::string(64, 'o'))) << "old content left in the dump";
}

// The installer itself, with stand-ins of its DLLs planted beside it, made to
// fault: a thread started in it at address 0. The dump is written by the
// system's dbghelp, and no stand-in was loaded on the way.
// The installer's own diagnostics, from its debug log to its crash dump,
// written without a DLL from its folder. The shipped label runs this with the
// 32-bit program, whose dump comes from the 32-bit dbghelp under WOW64.
TEST(CrashDump, TheInstallersLogAndDumpTakeNoDllFromItsFolder)
{
    ScratchDir dir;
    const std::wstring name = L"Download_kp_planted.exe";
    std::wstring exe = CopyProgram(dir, L"Download_kp_200500.exe", name);
    WriteFileBytes(dir / L"__lobby_dl_debug.log", "");
    PlantedDlls planted(dir, name);
    ChildProcess installer(exe);
    ASSERT_TRUE(installer.started());
    HWND window = WaitForProcessWindow(installer.id(), "DownloadWindow", 20000);
    ASSERT_TRUE(window) << "no window; stand-ins loaded: " << testing::PrintToString(planted.Loaded());

    // The desktop icon search logs what it finds: on the test prefix, no
    // desktop list at all.
    PostMessageW(window, WM_TIMER, 114, 0);
    std::wstring logFile = dir / L"__lobby_dl_debug.log";
    const std::string expected = "hwndSysListView32 = NULL\r\nIsRectEmpty() = true\r\n";
    EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(logFile) == expected; }, 20000)) << ReadFileBytes(logFile);

    UniqueHandle fault(CreateRemoteThread(installer.handle(), nullptr, 0, nullptr, nullptr, 0, nullptr));
    ASSERT_TRUE(fault) << GetLastError();
    ASSERT_TRUE(installer.Wait(60000)) << "the installer did not end";
    EXPECT_EQ("MDMP", ReadFileBytes(dir / L"crash.dat").substr(0, 4));
    EXPECT_EQ(std::vector<std::wstring>{}, planted.Loaded());
}

// A delay-loaded DLL that cannot be loaded (Wine told not to load GDI+) is
// named in a message, and the program ends with the loader's error rather
// than with a crash.
TEST(DllSearch, AMissingSystemDllIsNamedAndEndsTheProgram)
{
    ScratchDir dir;
    const std::wstring name = L"Download_kp_nogdiplus.exe";
    AppDllOverrides disabled(name, {L"gdiplus"}, L"");
    ChildProcess installer(CopyProgram(dir, L"Download_kp_200500.exe", name));
    ASSERT_TRUE(installer.started());
    std::vector<std::wstring> boxes = AnswerMessageBoxes(installer.id(), 1, 30000);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::wstring::npos, boxes[0].find(L"gdiplus.dll 中的 GdiplusStartup")) << boxes[0];
    ASSERT_TRUE(installer.Wait(10000)) << "did not end";
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), installer.ExitCode());
}
