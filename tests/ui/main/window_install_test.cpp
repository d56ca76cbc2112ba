// Whole installations driven from the window: started, paused and continued
// by clicks on the main button, and by second starts of the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <tuple>

#include "base/ansi_text.h"
#include "install/install_protocol.h"
#include "tests/support/planted_dlls.h"
#include "ui/kit/widget.h"
#include "tests/support/xdotool.h"
#include "tests/ui/main/window_session.h"

namespace {

constexpr int kMainX = 499, kMainY = 300;  // on the caption

std::wstring Archive()
{
    return std::wstring(kDefaultInstallDir) + L"kp_lobby.install";
}

bool WaitForSize(const std::wstring& path, uint64_t atLeast, DWORD ms = 30000)
{
    DWORD start = GetTickCount();
    while (FileSize(path) < atLeast) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(20);
    }
    return true;
}

// The size once it has held still for a quarter of a second (at most 10 s).
uint64_t SettledSize(const std::wstring& path)
{
    uint64_t size = FileSize(path);
    DWORD start = GetTickCount(), still = start;
    while (GetTickCount() - still < 250 && GetTickCount() - start < 10000) {
        Sleep(20);
        uint64_t now = FileSize(path);
        if (now != size) {
            size = now;
            still = GetTickCount();
        }
    }
    return size;
}

MainLook Look(const wchar_t* caption, const wchar_t* speed = L"")
{
    MainLook look;
    look.caption = caption;
    look.speed = speed;
    look.changeDirEnabled = false;
    return look;
}

// Columns of the progress bar, from its left end, that show the fill: the
// running figure rides on the fill's front, so this grows with both.
int FilledColumns(const Pixels& shot, const Pixels& full)
{
    for (int x = 31; x < 567; ++x) {
        for (int y = 252; y < 266; ++y) {
            if ((shot.at(x, y) & 0xFFFFFF) != (full.at(x, y) & 0xFFFFFF))
                return x - 31;
        }
    }
    return 536;
}

// What the window shows for `done` of `total` bytes, in the single
// precision the display uses.
MainLook ProgressLook(uint64_t done, uint64_t total)
{
    MainLook look = Look(L"继续安装", L"当前下载速度：0K/S");
    float doneK = static_cast<float>(done) * (1.0f / 1024.0f);
    float totalK = static_cast<float>(total) * (1.0f / 1024.0f);
    char text[64];
    snprintf(text, sizeof text, "%.02fM/%.02fM", doneK / 1024.0f, totalK / 1024.0f);
    look.size = ToWide(text);
    float ratio = 1.0f / totalK;
    snprintf(text, sizeof text, "%d%%", static_cast<int>(ratio * doneK * 100.0f));
    look.percent = ToWide(text);
    look.fill = static_cast<int>(ratio * doneK * 536.0f);
    return look;
}

// The paused window shows the figures of the last refresh before the
// pause, a little behind the file: one of the readings for the last 96 KB
// before `fileSize` must be on the screen, in the size and percentage labels
// and in the fill left of the running figure.
testing::AssertionResult ShowsAReadingNear(const Pixels& shot, uint64_t fileSize, uint64_t total)
{
    std::set<std::tuple<std::wstring, std::wstring, int>> readings;
    uint64_t from = fileSize > 98304 ? fileSize - 98304 : 0;
    for (uint64_t done = from; done <= fileSize; ++done) {
        MainLook look = ProgressLook(done, total);
        readings.insert({look.size, look.percent, look.fill});
    }
    for (const auto& [size, percent, fill] : readings) {
        MainLook look = Look(L"继续安装", L"当前下载速度：0K/S");
        look.size = size;
        look.percent = percent;
        look.fill = fill;
        Pixels expected = ComposeMain(look);
        std::string first;
        RECT bar = {31, 252, 11 + fill, 266};
        if (Differences(shot, expected, kSizeSpeed.rect, &first) == 0 &&
            Differences(shot, expected, {280, 253, 430, 278}, &first) == 0 &&
            Differences(shot, expected, bar, &first) == 0)
            return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "none of " << readings.size() << " readings below " << fileSize
                                       << " bytes is shown";
}

class WindowInstall : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        wholeReports = WholeReportCount();
    }

    // What a finished installation leaves, once the installer ended. The
    // statistics host takes two seconds to answer; the report is not lost
    // to the end of the process all the same.
    void ExpectInstalled(InstallerRun& run, const std::string& archive)
    {
        EXPECT_EQ(0u, run.WaitForExit(30000));
        EXPECT_EQ(wholeReports + 1, WholeReportCount()) << "the success report was cut short";
        std::wstring dir = kDefaultInstallDir;
        EXPECT_TRUE(archive == ReadFileBytes(Archive())) << "the archive is not the served one";
        EXPECT_TRUE(ClientBytes() == ReadFileBytes(dir + L"lobby.exe"));
        EXPECT_EQ("[ChannelID]\r\nChannelID=200500\r\n", ReadFileBytes(dir + L"IsLobbyLogin.dat"));
        EXPECT_TRUE(FileExists(DesktopShortcutPath()));
        EXPECT_TRUE(WaitForFile(dir + L"lobby_started.txt", 10000)) << "the client was not started";
    }

    // After a continue the caption says the installation goes on. What
    // nginx sent during the pause waits in the socket, and after a stall
    // nginx catches up on its pace: on a busy machine the rest can arrive,
    // and the installation end, before a shot shows the caption.
    testing::AssertionResult GoesOn(const InstallerRun& run, size_t archiveSize)
    {
        testing::AssertionResult shown = run.WaitForLook(ComposeMain(Look(L"暂停安装")), kCaption);
        if (!shown && FileSize(Archive()) == archiveSize)
            return testing::AssertionSuccess();
        return shown;
    }

    int wholeReports = 0;
};

}  // namespace

TEST_F(WindowInstall, ClicksStartPauseAndContinueAnInstallationThatStartsTheClient)
{
    std::string archive = SampleBytes(L"quillmoor.zip");
    InstallerRun run(kPacedInstaller);
    ASSERT_TRUE(run.WaitForWindow());
    ASSERT_TRUE(run.WaitForLook(ComposeMain({}), kMainButton));
    Pixels full = ComposeMain([] {
        MainLook look;
        look.fill = 536;
        return look;
    }());
    ASSERT_TRUE(run.Click(kMainX, kMainY));
    EXPECT_TRUE(run.WaitForLook(ComposeMain(Look(L"暂停安装")), kCaption));

    // While the first third arrives, the displays move.
    std::set<std::vector<uint32_t>> sizes, percents;
    std::vector<int> filled;
    DWORD sampling = GetTickCount();
    while (FileSize(Archive()) < archive.size() / 3) {
        ASSERT_EQ(0xDEADBEEF, run.WaitForExit(0)) << "the installer ended";
        ASSERT_LT(GetTickCount() - sampling, 60000u) << "the download stalled";
        Pixels shot = run.Shot();
        int columns = FilledColumns(shot, full);
        if (filled.empty() || filled.back() != columns)
            filled.push_back(columns);
        auto crop = [&](RECT r) {
            std::vector<uint32_t> part;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    part.push_back(shot.at(x, y) & 0xFFFFFF);
            return part;
        };
        sizes.insert(crop({30, 280, 240, 305}));
        percents.insert(crop({280, 253, 430, 278}));
        Sleep(100);
    }
    EXPECT_GE(sizes.size(), 3u) << "the size label hardly changed";
    EXPECT_GE(percents.size(), 3u) << "the percentage hardly changed";
    EXPECT_GE(filled.size(), 3u) << "the fill hardly moved";
    EXPECT_TRUE(std::is_sorted(filled.begin(), filled.end())) << "the fill went back";

    // Paused: the caption and the speed say so, and nothing moves.
    ASSERT_TRUE(run.Click(kMainX, kMainY));
    Pixels paused = ComposeMain(Look(L"继续安装", L"当前下载速度：0K/S"));
    EXPECT_TRUE(run.WaitForLook(paused, kCaption));
    EXPECT_TRUE(run.WaitForLook(paused, kSpeed));
    // A chunk read before the pause may still land.
    uint64_t pausedSize = SettledSize(Archive());
    Pixels frozen = run.Shot();
    EXPECT_TRUE(ShowsAReadingNear(frozen, pausedSize, archive.size()));
    // Watched for a second (the tip line may turn meanwhile). The worker
    // stops at its next checkpoint, after the chunk it is reading.
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 1000) {
        std::string first;
        ASSERT_EQ(0, Differences(run.Shot(), frozen, {0, 211, 600, 326}, &first)) << "moved while paused: " << first;
        ASSERT_LE(FileSize(Archive()), pausedSize + 4096) << "the download went on while paused";
        Sleep(50);
    }
    pausedSize = FileSize(Archive());

    ASSERT_TRUE(run.Click(kMainX, kMainY));
    EXPECT_TRUE(GoesOn(run, archive.size()));
    EXPECT_TRUE(WaitForSize(Archive(), pausedSize + 1)) << "the download did not go on";
    ExpectInstalled(run, archive);
}

// The local variant at full speed: one click does it all. The shipped label
// runs this with the 32-bit program.
TEST_F(WindowInstall, OneClickInstallsAndStartsTheClient)
{
    std::string archive = SampleBytes(L"quillmoor.zip");
    InstallerRun run(kLocalInstaller);
    ASSERT_TRUE(run.WaitForWindow());
    ASSERT_TRUE(run.WaitForLook(ComposeMain({}), kMainButton));
    ASSERT_TRUE(run.Click(kMainX, kMainY));
    ExpectInstalled(run, archive);
}

// A second start hands over to the running window as a click on the main
// button: it starts, pauses and continues the installation.
TEST_F(WindowInstall, SecondStartsStartPauseAndContinue)
{
    std::string archive = SampleBytes(L"quillmoor.zip");
    InstallerRun run(kPacedInstaller);
    ASSERT_TRUE(run.WaitForWindow());
    ASSERT_TRUE(run.WaitForLook(ComposeMain({}), kMainButton));
    auto startAgain = [] {
        InstallerRun second(kPacedInstaller);
        EXPECT_EQ(0u, second.WaitForExit(20000)) << "the second start did not end by itself";
    };

    startAgain();
    EXPECT_TRUE(run.WaitForLook(ComposeMain(Look(L"暂停安装")), kCaption));
    EXPECT_TRUE(WaitForSize(Archive(), 1));
    startAgain();
    Pixels paused = ComposeMain(Look(L"继续安装", L"当前下载速度：0K/S"));
    EXPECT_TRUE(run.WaitForLook(paused, kCaption));
    EXPECT_TRUE(run.WaitForLook(paused, kSpeed));
    // A chunk read before the pause may still land.
    uint64_t pausedSize = SettledSize(Archive());
    startAgain();
    EXPECT_TRUE(GoesOn(run, archive.size()));
    EXPECT_TRUE(WaitForSize(Archive(), pausedSize + 1));
    ExpectInstalled(run, archive);
}

// Whatever ends the message loop, the window stops its worker before the
// objects it uses are gone: the process ends by itself, without a crash,
// and leaves a partial archive the next run resumes.
TEST_F(WindowInstall, EndOfTheMessageLoopStopsTheWorkerFirst)
{
    std::wstring crashDump = BuildPath(L"tests/ui/main/crash.dat");
    DeleteFileW(crashDump.c_str());
    InstallerRun run(kPacedInstaller);
    ASSERT_TRUE(run.WaitForWindow());
    ASSERT_TRUE(run.Click(kMainX, kMainY));
    ASSERT_TRUE(WaitForSize(Archive(), 256 * 1024));
    PostMessageW(run.window(), WM_QUIT, 0, 0);
    EXPECT_EQ(0u, run.WaitForExit(15000));
    EXPECT_FALSE(FileExists(crashDump));
    WIN32_FILE_ATTRIBUTE_DATA partial, served;
    ASSERT_TRUE(GetFileAttributesExW(Archive().c_str(), GetFileExInfoStandard, &partial));
    ASSERT_TRUE(GetFileAttributesExW((ServedFolder() + L"quillmoor.zip").c_str(), GetFileExInfoStandard, &served));
    auto seconds = [](const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000000; };
    EXPECT_EQ(seconds(served.ftLastWriteTime), seconds(partial.ftLastWriteTime)) << "not resumable";
}

// Any program on the desktop can post the window's private messages. With
// garbage in them they change nothing: no crash, no second worker, and the
// installation ends as it would have.
TEST_F(WindowInstall, ForeignMessagesWithGarbageChangeNothing)
{
    constexpr UINT kBannerHost = WM_APP + 0x140;
    std::string archive = SampleBytes(L"quillmoor.zip");
    int requests = RequestCount("/paced/quillmoor.zip");
    InstallerRun run(kPacedInstaller);
    ASSERT_TRUE(run.WaitForWindow());
    ASSERT_TRUE(run.Click(kMainX, kMainY));
    ASSERT_TRUE(WaitForSize(Archive(), 1));
    const std::pair<WPARAM, LPARAM> garbage[] = {
        {0, 0}, {0xDEADBEEF, 0x12345678}, {1, -1}, {reinterpret_cast<WPARAM>(run.window()), 64}};
    for (UINT msg : {MSG_ICON_FOUND, MSG_RETRY_INSTALL, MSG_PARK_INSTALL, MSG_WORKER_QUEUE, kBannerHost, WM_TOOLKIT}) {
        for (auto [wParam, lParam] : garbage)
            PostMessageW(run.window(), msg, wParam, lParam);
    }
    ExpectInstalled(run, archive);
    EXPECT_EQ(requests + 1, RequestCount("/paced/quillmoor.zip")) << "a second worker asked for the archive";
}

// The installer in a folder with stand-ins of the DLLs it must take from the
// system folder, and Wine told to prefer them as Windows' search order would:
// a whole installation, started by a second start, loads none of them.
TEST_F(WindowInstall, AnInstallationTakesNoDllFromTheProgramsFolder)
{
    std::string archive = SampleBytes(L"quillmoor.zip");
    ScratchDir dir;
    const std::wstring name = L"Download_kp_planted.exe";
    std::wstring exe = CopyProgram(dir, kLocalInstaller, name);
    PlantedDlls planted(dir, name);
    InstallerRun run(exe);
    ASSERT_TRUE(run.WaitForWindow()) << "stand-ins loaded: " << testing::PrintToString(planted.Loaded());
    {
        InstallerRun second(exe);
        EXPECT_EQ(0u, second.WaitForExit(20000)) << "the second start did not end by itself";
    }
    ExpectInstalled(run, archive);
    EXPECT_EQ(std::vector<std::wstring>{}, planted.Loaded());
}
