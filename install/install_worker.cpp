#include "install/install_worker.h"

#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "app/debug_log.h"
#include "app/narrow_texts.h"
#include "archive/archive_result.h"
#include "archive/extract_archive.h"
#include "base/ansi_text.h"
#include "install/desktop_shortcut.h"
#include "install/path_label.h"
#include "install/report_text.h"
#include "install/show_failure.h"
#include "install/size_text.h"
#include "install/stall_count.h"
#include "install/statistics_report.h"

namespace {

bool DownloadArchive(InstallClient& client, const WorkerSettings& settings)
{
    StallCount stall;
    for (int attempt = 0; attempt < settings.attempts; ++attempt) {
        client.gate().Checkpoint();
        ULONGLONG before = client.receivedBytes();
        if (client.DownloadFile(settings.downloadPath.c_str(), settings.archiveName.c_str(), 1) >= 0)
            return true;
        if (stall.AfterFailure(before, client.receivedBytes())) {
            client.SetReceivedBytes(0);
            client.progress().ResetReceived();
        }
    }
    return false;
}

// A pause taken after the last chunk's checkpoint must not be overwritten:
// the worker would stop at its next checkpoint in a state whose button does
// nothing, and nobody could continue it. It waits for the continue instead.
void EnterUnpacking(InstallClient& client)
{
    for (int expected = Installing; !installState.compare_exchange_strong(expected, Unpacking);
         expected = Installing) {
        if (expected != Paused) {
            installState = Unpacking;
            return;
        }
        client.gate().Checkpoint();
    }
}

void ShowDownloadComplete(InstallClient& client, const WindowLink& window)
{
    // First: a continue restarts the timers stopped here.
    EnterUnpacking(client);
    window.StopTimer(TIMER_ANIMATION);
    window.StopTimer(TIMER_PROGRESS);
    ProgressFigures figures = client.progress().Snapshot();
    window.SetText(ELEMENT_SIZE_LABEL, FormatSizeText(figures.done, figures.total));
    window.SetText(ELEMENT_PERCENT_LABEL, L"100%");
    window.SetText(ELEMENT_CAPTION_LABEL, L"正在启动");
}

int32_t ArchiveSize(const std::string& archiveName)
{
    UniqueFile file(CreateFileA(archiveName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return file ? static_cast<int32_t>(GetFileSize(file.get(), nullptr)) : 0;
}

ExtractionFigures Extract(const std::wstring& installDir, const WorkerSettings& settings)
{
    std::wstring archive = installDir + ToWide(settings.archiveName.c_str());
    const std::wstring& root = settings.installRoot;
    ExtractionFigures figures;
    figures.code = ExtractArchive(archive.c_str(), nullptr, root.c_str());
    if (figures.code != 0) {
        figures.size = ArchiveSize(settings.archiveName);
        // A root that names a file reports that file's attributes.
        figures.attr = static_cast<int32_t>(DestinationAttributes(root.c_str()));
        figures.create = SHCreateDirectoryExW(nullptr, settings.installRoot.c_str(), nullptr);
        if (figures.create == 0 || GetLastError() == ERROR_ALREADY_EXISTS)
            figures.code = ExtractArchive(archive.c_str(), nullptr, root.c_str());
    }
    figures.errid = static_cast<int32_t>(GetLastError());
    return figures;
}

// Bytes that failed as an archive would fail the same way on every later
// attempt; without them the next attempt downloads the archive afresh.
bool ArchiveIsBad(int code)
{
    switch (static_cast<uint32_t>(code)) {
    case ARCHIVE_CORRUPT:
    case ARCHIVE_READ_FAILED:
    case ARCHIVE_BAD_ARGUMENTS:
    case ARCHIVE_INFLATE_FAILED:
        return true;
    default:
        return false;
    }
}

// A target that exists and is held open means the client is running: start
// it instead and end the installer.
void StartRunningClient(const std::wstring& installDir)
{
    std::string client = ClientTarget(installDir);
    if (GetFileAttributesA(client.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    ShellExecuteA(nullptr, "open", client.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    TerminateProcess(GetCurrentProcess(), 0);
}

std::wstring ReportUrl(const WorkerSettings& settings, int type, const std::wstring& resultText)
{
    return FormatStatisticsUrl(settings.statsHost, type, urlEncode(resultText.c_str()), settings.channelId);
}

void Succeed(InstallClient& client, const WindowLink& window, const WorkerSettings& settings,
             const std::wstring& installDir, const std::wstring& resultText)
{
    client.gate().Checkpoint();
    createDesktopShortcut(installDir, settings.displayName);
    window.StartTimer(TIMER_ICON_TIP, 500);
    installState = Installed;
    window.PostActivate();
    window.SetVisible(ELEMENT_RUNNER, false);
    // The window may end the process meanwhile; the report is then lost.
    reportStatistics(ReportUrl(settings, kReportSucceeded, resultText).c_str());
    window.StartTimer(TIMER_TIP_CLOSE, 60000);
}

void Fail(const WindowLink& window, DebugLog* log, const WorkerSettings& settings, const std::wstring& installDir,
          const ExtractionFigures& figures, const std::wstring& resultText)
{
    std::wstring url = ReportUrl(settings, kReportFailed, resultText);
    if (log)
        log->Write(kLogInstallFailed, url.c_str());
    reportStatistics(url.c_str());
    if (ArchiveIsBad(figures.code))
        DeleteFileW((installDir + ToWide(settings.archiveName.c_str())).c_str());
    showFailure(window, InstallFailed);
}

}  // namespace

void InstallWorker(InstallClient& client, const WindowLink& window, DebugLog* log, const WorkerSettings& settings)
{
    client.gate().Checkpoint();
    window.StartTimer(TIMER_ANIMATION, 50);
    client.Connect(settings.updateHost.c_str(), nullptr, nullptr, 0);
    std::wstring installDir = InstallDirFromLabel(window.PathLabelText());
    SHCreateDirectoryExW(nullptr, installDir.c_str(), nullptr);
    SetCurrentDirectoryW(installDir.c_str());

    if (!DownloadArchive(client, settings)) {
        showFailure(window, DownloadFailed);
        return;
    }
    ShowDownloadComplete(client, window);

    ExtractionFigures figures = Extract(installDir, settings);
    std::wstring resultText = FormatResultText(installDir, figures);
    if (static_cast<uint32_t>(figures.code) == ARCHIVE_CANNOT_CREATE_FILE)
        StartRunningClient(installDir);
    if (figures.code == 0)
        Succeed(client, window, settings, installDir, resultText);
    else
        Fail(window, log, settings, installDir, figures, resultText);
}

namespace {

struct WorkerStart {
    InstallClient* client;
    WindowLink window;
    DebugLog* log;
    WorkerSettings settings;
};

DWORD WINAPI WorkerThread(void* parameter)
{
    std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(parameter));
    try {
        InstallWorker(*start->client, start->window, start->log, start->settings);
    } catch (...) {
        // Out of memory: the worker ends, the window stays usable.
        return 1;
    }
    return 0;
}

}  // namespace

UniqueHandle StartInstallWorker(InstallClient& client, HWND window, DebugLog* log, const WorkerSettings& settings,
                                bool parked)
{
    if (parked)
        client.gate().Pause();
    else
        client.gate().Continue();
    auto start = std::make_unique<WorkerStart>(WorkerStart{&client, WindowLink(window), log, settings});
    UniqueHandle thread(CreateThread(nullptr, 0, WorkerThread, start.get(), 0, nullptr));
    if (thread)
        start.release();
    return thread;
}
