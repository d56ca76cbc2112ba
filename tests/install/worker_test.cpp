// One install worker at a time, in a host process of its own, against the
// real update and statistics hosts (nginx, the fault server) on 127.0.0.1.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include "archive/archive_result.h"
#include "base/ansi_text.h"
#include "base/unique_resource.h"
#include "install/install_protocol.h"
#include "tests/install/worker_host_messages.h"
#include "tests/install/worker_run.h"
#include "tests/net/net_peers.h"

namespace {

const wchar_t kArchive[] = L"quillmoor.zip";
const wchar_t kBroken[] = L"quillmoor_broken.zip";

std::wstring Element(WorkerElement element, const std::wstring& rest)
{
    return std::to_wstring(element) + L" " + rest;
}

std::wstring Text(WorkerElement element, const std::wstring& text)
{
    return L"text " + Element(element, text);
}

std::wstring Visible(WorkerElement element, bool visible)
{
    return L"visible " + Element(element, visible ? L"1" : L"0");
}

std::wstring Timer(UINT_PTR id, UINT ms)
{
    return L"timer " + std::to_wstring(id) + L" " + std::to_wstring(ms);
}

// The transcript without the host's own first line.
std::vector<std::wstring> Arrivals(const WorkerHost& host)
{
    std::vector<std::wstring> lines = host.Lines();
    if (!lines.empty() && lines.front().rfind(L"window ", 0) == 0)
        lines.erase(lines.begin());
    return lines;
}

// The last line; empty when there is none (a host that crashed), so a check
// fails instead of the test program.
std::wstring LastArrival(const WorkerHost& host)
{
    std::vector<std::wstring> lines = Arrivals(host);
    return lines.empty() ? std::wstring() : lines.back();
}

void ExpectArrivals(const WorkerHost& host, const std::vector<std::wstring>& expected)
{
    std::vector<std::wstring> lines = Arrivals(host);
    EXPECT_EQ(expected.size(), lines.size());
    for (size_t i = 0; i < std::min(expected.size(), lines.size()); ++i)
        EXPECT_EQ(ToAnsi(expected[i].c_str()), ToAnsi(lines[i].c_str())) << "line " << i;
}

std::vector<std::wstring> DownloadFailureTexts()
{
    return {Text(ELEMENT_FAILURE_TITLE, L"下载失败："),
            Text(ELEMENT_FAILURE_HEADER, L"以下问题可能是造成您下载失败的主要原因："),
            Text(ELEMENT_FAILURE_REASONS, L"1.网络不稳定造成。"), L"2.安全软件或防火墙阻挡了本次下载。",
            L"3.检查客户端下载器是否是最新版本。", Visible(ELEMENT_RETRY_BUTTON, true),
            Visible(ELEMENT_FAILURE_PANEL, true)};
}

std::vector<std::wstring> InstallFailureTexts()
{
    return {Text(ELEMENT_FAILURE_TITLE, L"安装失败："),
            Text(ELEMENT_FAILURE_HEADER, L"以下问题可能是造成您安装失败的主要原因："),
            Text(ELEMENT_FAILURE_REASONS, L"1.硬盘空间不足或被写保护。"), L"2.退出正在运行的游戏。",
            L"3.防火墙阻挡导致安装失败。", Visible(ELEMENT_RETRY_BUTTON, false),
            Visible(ELEMENT_FAILURE_PANEL, true)};
}

std::wstring SizeText(const std::string& archive)
{
    char text[64];
    float mb = static_cast<float>(archive.size()) / 1024.0f / 1024.0f;
    snprintf(text, sizeof text, "%.02fM/%.02fM", mb, mb);
    return std::wstring(text, text + strlen(text));
}

// The download's part of a transcript up to the extraction.
std::vector<std::wstring> DownloadArrivals(const std::string& archive)
{
    return {Timer(TIMER_ANIMATION, 50), Timer(TIMER_ANIMATION, 0), Timer(TIMER_PROGRESS, 0),
            Text(ELEMENT_SIZE_LABEL, SizeText(archive)), Text(ELEMENT_PERCENT_LABEL, L"100%"),
            Text(ELEMENT_CAPTION_LABEL, L"正在启动")};
}

std::vector<std::wstring> Join(std::vector<std::wstring> a, const std::vector<std::wstring>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::wstring Decode(const std::string& query, const char* key)
{
    return FromUtf8(QueryValue(query, key));
}

uint64_t WriteSeconds(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime) /
           10000000;
}

int NextChannel()
{
    static int channel = 700000 + static_cast<int>(GetCurrentProcessId() % 1000) * 100;
    return ++channel;
}

// The public key lines of the signature tests' throwaway keys.
std::string PublicKey(const wchar_t* name)
{
    return ReadFileBytes(BuildPath(L"tests/signature/fixtures/") + name + L".pubkey");
}

std::string BothKeys()
{
    return PublicKey(L"first") + " " + PublicKey(L"second");
}

// One case of the signed samples, served as "/signed_<case>/quillmoor.zip"
// with its signature file (if it has one) beside it.
std::string ServeSigned(const std::wstring& name)
{
    std::wstring from = FolderFromEnvironment("LOBBY_INSTALL_DATA") + L"signed\\" + name + L"\\";
    std::wstring to = Peers().dataDir + L"signed_" + name + L"\\";
    CreateDirectoryW(to.c_str(), nullptr);
    for (const wchar_t* file : {L"quillmoor.zip", L"quillmoor.zip.minisig"})
        CopyFileW((from + file).c_str(), (to + file).c_str(), FALSE);
    return "/signed_" + ToAnsi(name.c_str()) + "/quillmoor.zip";
}

class InstallWorkerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(0, Peers().nginxPort) << "no HTTP peers";
        DeleteFileW(DesktopShortcutPath().c_str());
        // The debug log is written only when it exists.
        WriteFileBytes(scratch / L"__lobby_dl_debug.log", "");
        root = scratch / L"root\\";
        installDir = root + L"Quillmoor\\";
    }
    void TearDown() override { DeleteFileW(DesktopShortcutPath().c_str()); }

    HostOptions Options(const std::string& path, const std::string& host = NginxHost())
    {
        HostOptions options;
        options.update = host;
        options.path = path;
        options.root = root;
        options.channel = channel;
        return options;
    }

    // Runs a host to its end.
    void Run(WorkerHost& host)
    {
        ASSERT_TRUE(host.started());
        ASSERT_TRUE(host.Finish()) << "the worker did not end";
        EXPECT_EQ(0u, host.process().ExitCode());
    }

    void ExpectInstalled(const std::string& archive)
    {
        EXPECT_EQ(ClientBytes(), ReadFileBytes(installDir + L"lobby.exe"));
        EXPECT_EQ(archive, ReadFileBytes(installDir + L"kp_lobby.install"));
        // Flagged UTF-8 in the archive, written under the names it holds,
        // also those the code page cannot hold.
        EXPECT_TRUE(FileExists(installDir + L"说明.txt"));
        EXPECT_EQ("Greek and Swedish\r\n", ReadFileBytes(installDir + L"Ωμέγα\\smörgåsbord.txt"));
        EXPECT_EQ("a game controller\r\n", ReadFileBytes(installDir + L"\U0001F3AE.txt"));
    }

    ScratchDir scratch;
    std::wstring root;
    std::wstring installDir;
    int channel = NextChannel();
};

}  // namespace

TEST_F(InstallWorkerTest, DownloadsExtractsMakesTheShortcutAndReportsOnce)
{
    std::string archive = SampleBytes(kArchive);
    WorkerHost host(scratch, Options(ServeSample(kArchive)));
    Run(host);

    ExpectArrivals(host, Join(DownloadArrivals(archive),
                              {Timer(TIMER_ICON_TIP, 500), L"activate 3", Visible(ELEMENT_RUNNER, false),
                               Timer(TIMER_TIP_CLOSE, 60000), L"end 3"}));
    ExpectInstalled(archive);

    Shortcut shortcut = ReadShortcut(DesktopShortcutPath());
    ASSERT_TRUE(shortcut.exists);
    // Handed over as "<installDir>\\lobby.exe"; the link object keeps it
    // with the doubled separator collapsed.
    EXPECT_EQ(ToAnsi((installDir + L"lobby.exe").c_str()), ToAnsi(shortcut.target.c_str()));
    EXPECT_EQ(ToAnsi(installDir.c_str()), ToAnsi(shortcut.directory.c_str()));

    std::vector<std::string> reports = WaitForReports(channel);
    ASSERT_EQ(1u, reports.size());
    EXPECT_EQ("100", QueryValue(reports[0], "SiteID"));
    EXPECT_EQ("1", QueryValue(reports[0], "StatistsType"));
    EXPECT_EQ("UrlTest", ReportAgent(reports[0]));
    // A channel without keys asks for no signature file.
    EXPECT_EQ(std::string::npos,
              ReadFileBytes(Peers().dataDir + L"..\\nginx-access.log").find("GET /quillmoor.zip.minisig"));
    std::wstring result = Decode(reports[0], "UnzipResult");
    std::wstring expected = installDir + L"|0|attr:0|create:0|errid:";
    EXPECT_EQ(ToAnsi(expected.c_str()), ToAnsi(result.substr(0, expected.size()).c_str()));
    EXPECT_EQ(L"|size:0", result.substr(result.size() - 7));
}

// The installer is usually ended by TerminateProcess; a player may end it
// mid-download too. The next run must resume, not start over.
TEST_F(InstallWorkerTest, RunEndedMidDownloadResumesWithOneRangeRequest)
{
    std::string archive = SampleBytes(kArchive);
    ServeSample(kArchive);
    size_t cut = archive.size() * 2 / 3 / 4096 * 4096;
    std::string tag = TestTag();
    // The server stops sending after `cut` bytes and holds the connection
    // (never released), so the worker waits in a read, its last chunk
    // written and stamped.
    std::string stalling =
        "/f/tag=" + tag + ",hold=" + tag + ",holdat=" + std::to_string(cut) + "/" + ToAnsi(kArchive);
    {
        WorkerHost first(scratch, Options(stalling, FaultHost()));
        ASSERT_TRUE(first.started());
        std::wstring partial = installDir + L"kp_lobby.install";
        DWORD start = GetTickCount();
        std::wstring served = Peers().dataDir + kArchive;
        while (FileSize(partial) < cut || WriteSeconds(partial) != WriteSeconds(served)) {
            ASSERT_LT(GetTickCount() - start, 30000u) << "the download did not reach the stall";
            Sleep(10);
        }
        first.process().Terminate();
    }
    EXPECT_EQ(archive.substr(0, cut), ReadFileBytes(installDir + L"kp_lobby.install"));

    WorkerHost second(scratch, Options(stalling, FaultHost()));
    Run(second);
    ExpectInstalled(archive);
    std::vector<LoggedRequest> requests = RequestLog(tag);
    int ranged = 0;
    for (const LoggedRequest& request : requests) {
        if (request.headers.count("range")) {
            ++ranged;
            EXPECT_EQ("bytes=" + std::to_string(cut) + "-", request.headers.at("range"));
        }
    }
    EXPECT_EQ(1, ranged);
    EXPECT_EQ(3u, requests.size());

    // Already complete: one request, no body, straight to the extraction.
    std::string again = "/f/tag=" + tag + "b/" + ToAnsi(kArchive);
    WorkerHost third(scratch, Options(again, FaultHost()));
    Run(third);
    EXPECT_EQ(1u, RequestLog(tag + "b").size());
    EXPECT_EQ(archive, ReadFileBytes(installDir + L"kp_lobby.install"));
    std::vector<std::wstring> arrivals = Arrivals(third);
    ASSERT_GT(arrivals.size(), DownloadArrivals(archive).size() + 1);
    EXPECT_EQ(L"activate 3", arrivals[DownloadArrivals(archive).size() + 1]);
}

TEST_F(InstallWorkerTest, DownloadThatNeverSucceedsShowsTheRetryPanelAndReportsNothing)
{
    HostOptions options = Options("/quillmoor.zip", "127.0.0.1:1");  // nothing listens there
    options.attempts = 3;
    WorkerHost host(scratch, options);
    Run(host);
    ExpectArrivals(host, Join({Timer(TIMER_ANIMATION, 50)}, Join(DownloadFailureTexts(), {L"end 1"})));
    EXPECT_TRUE(ReportsFor(channel).empty());
}

// Without its folder the worker could not keep a byte: it fails before it
// asks the update host for anything, and reports what it found there.
// A host that refuses or has no archive costs a player a few requests,
// spaced by growing rests, and the panel comes once no byte has come for
// the stall limit.
TEST_F(InstallWorkerTest, UnreachableOrMissingArchiveGivesThePanelAfterTheStallLimitWithFewRequests)
{
    constexpr DWORD kStallMs = 4000;
    std::string tag = TestTag();
    struct Case {
        const char* what;
        std::string host;
        std::string path;
    };
    for (const Case& c : {Case{"404", FaultHost(), "/f/tag=" + tag + ",status=404/quillmoor.zip"},
                          Case{"refused", "127.0.0.1:1", "/quillmoor.zip"}}) {
        SCOPED_TRACE(c.what);
        HostOptions options = Options(c.path, c.host);
        options.stallMs = kStallMs;
        DWORD start = GetTickCount();
        WorkerHost host(scratch, options);
        Run(host);
        DWORD took = GetTickCount() - start;
        EXPECT_GE(took, kStallMs);
        EXPECT_LT(took, kStallMs + 10000);
        ExpectArrivals(host, Join({Timer(TIMER_ANIMATION, 50)}, Join(DownloadFailureTexts(), {L"end 1"})));
    }
    // At 0, 0.5, 1.5, 3.5 and 4 s: rests of 0.5, 1 and 2 s, then what was
    // left of the limit.
    size_t requests = RequestLog(tag).size();
    EXPECT_GE(requests, 4u);
    EXPECT_LE(requests, 6u);
}

TEST_F(InstallWorkerTest, DownloadCutAgainAndAgainStillCompletes)
{
    std::string archive = SampleBytes(kArchive);
    ServeSample(kArchive);
    std::string cuts = "/f/tag=" + TestTag() + ",cutrand=" + std::to_string(archive.size() / 3) + "/" + ToAnsi(kArchive);
    WorkerHost host(scratch, Options(cuts, FaultHost()));
    Run(host);
    EXPECT_EQ(L"end 3", LastArrival(host));
    ExpectInstalled(archive);
}

// The failure report goes out before the panel shows: a statistics host
// that takes the request and never answers holds the panel back for its
// time-outs only.
TEST_F(InstallWorkerTest, StatisticsHostThatNeverAnswersHoldsThePanelBackSecondsOnly)
{
    SilentHost silent;
    ASSERT_FALSE(silent.host().empty());
    HostOptions options = Options(ServeSample(kBroken));
    options.stats = silent.host();
    DWORD start = GetTickCount();
    WorkerHost host(scratch, options);
    Run(host);
    EXPECT_LT(GetTickCount() - start, 20000u);
    EXPECT_EQ(L"end 4", LastArrival(host));
}

TEST_F(InstallWorkerTest, RootThatIsAFileFailsBeforeTheDownloadWithItsFiguresReported)
{
    std::wstring file = scratch / L"rootfile";
    WriteFileBytes(file, "not a folder");
    root = file + L"\\";
    installDir = root + L"Quillmoor\\";
    std::string tag = TestTag();
    WorkerHost host(scratch, Options("/f/tag=" + tag + "/" + ToAnsi(kArchive), FaultHost()));
    Run(host);

    ExpectArrivals(host, Join({Timer(TIMER_ANIMATION, 50), Timer(TIMER_ANIMATION, 0), Timer(TIMER_PROGRESS, 0)},
                              Join(InstallFailureTexts(), {L"end 4"})));
    EXPECT_TRUE(RequestLog(tag).empty()) << "the archive was asked for";
    std::vector<std::string> reports = WaitForReports(channel);
    ASSERT_EQ(1u, reports.size());
    EXPECT_EQ("2", QueryValue(reports[0], "StatistsType"));
    std::wstring result = Decode(reports[0], "UnzipResult");
    DWORD attributes = GetFileAttributesW(file.c_str());
    std::wstring expected = installDir + L"|4294967293|attr:" + std::to_wstring(attributes) + L"|create:";
    EXPECT_EQ(ToAnsi(expected.c_str()), ToAnsi(result.substr(0, expected.size()).c_str()));
    EXPECT_EQ(L"|size:0", result.substr(result.size() - 7));

    std::string log = ReadFileBytes(scratch / L"__lobby_dl_debug.log");
    std::string line = ToAnsi(L"安装失败！strURL=") + "http://" + NginxHost() +
                       "/ajax/quickDownLoadStatistics/quickDownStatistics.jsp?" + reports[0] + "\r\n";
    EXPECT_EQ(line, log);
}

TEST_F(InstallWorkerTest, HeldClientIsStartedInsteadAndTheInstallerEnds)
{
    std::wstring client = installDir + L"lobby.exe";
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW(installDir.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(BuildPath(L"tests/install/install_test_client.exe").c_str(), client.c_str(), FALSE));
    // Held as a running client holds its program: readable, not writable.
    UniqueFile held(CreateFileW(client.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    WorkerHost host(scratch, Options(ServeSample(kArchive)));
    Run(host);
    EXPECT_TRUE(WaitForFile(installDir + L"lobby_started.txt", 20000)) << "the client was not started";
    std::vector<std::wstring> lines = Arrivals(host);
    EXPECT_EQ(L"text 3 正在启动", lines.empty() ? L"" : lines.back());  // ended there: no activate, no end
    EXPECT_FALSE(FileExists(DesktopShortcutPath()));
    EXPECT_TRUE(ReportsFor(channel).empty());
}

TEST_F(InstallWorkerTest, HeldFileWithoutAClientIsAnInstallFailure)
{
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW(installDir.c_str(), nullptr);
    std::wstring readme = installDir + L"readme.txt";
    WriteFileBytes(readme, "old");
    UniqueFile held(CreateFileW(readme.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    WorkerHost host(scratch, Options(ServeSample(kArchive)));
    Run(host);
    std::vector<std::wstring> lines = Arrivals(host);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(L"end 4", lines.back());
    EXPECT_FALSE(FileExists(installDir + L"lobby.exe"));
    std::vector<std::string> reports = WaitForReports(channel);
    ASSERT_EQ(1u, reports.size());
    EXPECT_NE(std::wstring::npos, Decode(reports[0], "UnzipResult").find(L"|512|attr:"));
}

// A failure of the folder proves nothing against the archive: it stays, and
// the next worker (the panel's OK, then a continue) installs from it without
// asking the update host again.
TEST_F(InstallWorkerTest, LocalFailureKeepsTheArchiveAndTheNextWorkerAsksForNothing)
{
    std::string archive = SampleBytes(kArchive);
    ServeSample(kArchive);
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW(installDir.c_str(), nullptr);
    std::wstring obstacle = installDir + L"data";  // a file where the archive has a folder
    WriteFileBytes(obstacle, "in the way");
    std::string tag = TestTag();
    HostOptions options = Options("/f/tag=" + tag + "/" + ToAnsi(kArchive), FaultHost());
    options.runs = 2;
    WorkerHost host(scratch, options);
    ASSERT_TRUE(host.started());
    ASSERT_TRUE(host.WaitForLine(L"end 4"));
    EXPECT_EQ(archive, ReadFileBytes(installDir + L"kp_lobby.install"));
    std::vector<std::string> reports = WaitForReports(channel);
    ASSERT_EQ(1u, reports.size());
    EXPECT_NE(std::wstring::npos, Decode(reports[0], "UnzipResult").find(L"|1024|attr:"));

    DeleteFileW(obstacle.c_str());
    PostMessageW(host.window(), MSG_HOST_CONTINUE, 0, 0);
    Run(host);
    EXPECT_EQ(L"end 3", LastArrival(host));
    ExpectInstalled(archive);
    EXPECT_EQ(1u, RequestLog(tag).size());
}

// Paths beyond 259 characters below a deep install root install all the same.
TEST_F(InstallWorkerTest, DeepInstallRootInstalls)
{
    std::string archive = SampleBytes(kArchive);
    root = scratch / (std::wstring(100, L'd') + L"\\" + std::wstring(100, L'e') + L"\\");
    installDir = root + L"Quillmoor\\";
    WorkerHost host(scratch, Options(ServeSample(kArchive)));
    Run(host);
    EXPECT_EQ(L"end 3", LastArrival(host));
    ASSERT_GT((installDir + L"data\\maps\\pack_000.dat").size(), 259u);
    ExpectInstalled(archive);
}

TEST_F(InstallWorkerTest, SignedArchiveInstallsWithEitherOfTwoKeys)
{
    std::string archive = SampleBytes(kArchive);
    for (const wchar_t* name : {L"signed", L"second"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        root = scratch / (std::wstring(name) + L"\\");
        installDir = root + L"Quillmoor\\";
        HostOptions options = Options(ServeSigned(name));
        options.keys = BothKeys();
        WorkerHost host(scratch, options);
        Run(host);
        EXPECT_EQ(L"end 3", LastArrival(host));
        ExpectInstalled(archive);
    }
}

// Nothing of an archive runs with administrator rights unless the portal
// signed it: without a good signature nothing is extracted, the archive
// goes (no later attempt may resume its bytes), and the report says why.
TEST_F(InstallWorkerTest, ArchiveWithoutAGoodSignatureIsRefusedDeletedAndNotExtracted)
{
    for (const wchar_t* name : {L"missing", L"other_bytes", L"truncated", L"garbled", L"stranger", L"other_name",
                                L"legacy"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        root = scratch / (std::wstring(name) + L"\\");
        installDir = root + L"Quillmoor\\";
        channel = NextChannel();
        HostOptions options = Options(ServeSigned(name));
        options.keys = BothKeys();
        WorkerHost host(scratch, options);
        Run(host);
        EXPECT_EQ(L"end 4", LastArrival(host));
        EXPECT_FALSE(FileExists(installDir + L"kp_lobby.install"));
        EXPECT_FALSE(FileExists(installDir + L"lobby.exe"));
        EXPECT_FALSE(FileExists(installDir + L"readme.txt"));
        std::vector<std::string> reports = WaitForReports(channel);
        ASSERT_EQ(1u, reports.size());
        EXPECT_NE(std::wstring::npos, Decode(reports[0], "UnzipResult").find(L"|4294967292|attr:"));
    }
}

// Bytes that fail as an archive would fail every later attempt the same way.
TEST_F(InstallWorkerTest, CorruptArchiveIsDeletedAndTheNextRunGetsAGoodOne)
{
    std::wstring served = Peers().dataDir + L"switch_" + std::to_wstring(channel) + L".zip";
    std::string path = "/switch_" + std::to_string(channel) + ".zip";
    WriteFileBytes(served, SampleBytes(kBroken));
    {
        WorkerHost host(scratch, Options(path));
        Run(host);
        EXPECT_EQ(L"end 4", LastArrival(host));
    }
    EXPECT_FALSE(FileExists(installDir + L"kp_lobby.install"));
    EXPECT_FALSE(FileExists(installDir + L"lobby.exe")) << "a corrupt client stayed under its name";
    std::vector<std::string> reports = WaitForReports(channel);
    ASSERT_EQ(1u, reports.size());
    EXPECT_NE(std::wstring::npos, Decode(reports[0], "UnzipResult").find(L"|83886080|attr:"));

    std::string good = SampleBytes(kArchive);
    WriteFileBytes(served, good);
    WorkerHost host(scratch, Options(path));
    Run(host);
    EXPECT_EQ(L"end 3", LastArrival(host));
    ExpectInstalled(good);
    DeleteFileW(served.c_str());
}

TEST_F(InstallWorkerTest, PauseStopsBetweenChunksWhileTheWindowAnswers)
{
    std::string archive = SampleBytes(kArchive);
    ServeSample(kArchive);
    HostOptions options = Options("/slow/" + ToAnsi(kArchive));
    options.parked = true;
    WorkerHost host(scratch, options);
    ASSERT_TRUE(host.started());
    HWND window = nullptr;
    for (DWORD start = GetTickCount(); !(window = host.window()) && GetTickCount() - start < 20000;)
        Sleep(10);
    ASSERT_TRUE(window);

    // Parked: not a single step before it is continued.
    std::wstring partial = installDir + L"kp_lobby.install";
    for (int i = 0; i < 10; ++i) {
        DWORD_PTR answer = 0;
        ASSERT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer));
        Sleep(30);
    }
    EXPECT_TRUE(Arrivals(host).empty());
    EXPECT_FALSE(FileExists(partial));

    PostMessageW(window, MSG_HOST_CONTINUE, 0, 0);
    DWORD start = GetTickCount();
    while (FileSize(partial) < archive.size() / 4) {
        ASSERT_LT(GetTickCount() - start, 30000u);
        Sleep(10);
    }
    PostMessageW(window, MSG_HOST_PAUSE, 0, 0);
    // The chunk under way may still land; once the worker holds at its
    // checkpoint the file stays put while the window keeps answering.
    ASSERT_TRUE(host.WaitForLine(L"holding"));
    uint64_t settled = FileSize(partial);
    for (int i = 0; i < 30; ++i) {
        DWORD_PTR answer = 0;
        ASSERT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer)) << "window hung";
        Sleep(50);
        ASSERT_EQ(settled, FileSize(partial)) << "grew while paused";
    }
    EXPECT_LT(settled, archive.size());
    PostMessageW(window, MSG_HOST_CONTINUE, 0, 0);
    Run(host);
    EXPECT_EQ(L"end 3", LastArrival(host));
    ExpectInstalled(archive);
}
