#include "install/install_worker.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>

#include "app/debug_log.h"
#include "app/narrow_texts.h"
#include "archive/archive_result.h"
#include "archive/extract_archive.h"
#include "base/ansi_text.h"
#include "base/thread_start.h"
#include "install/desktop_shortcut.h"
#include "install/path_label.h"
#include "install/report_text.h"
#include "install/retry_pace.h"
#include "install/show_failure.h"
#include "install/size_text.h"
#include "install/stall_count.h"
#include "install/statistics_report.h"

namespace {

enum class Download { Complete, Failed, Stopped };

// Attempts until the archive is complete, the attempts run out or no byte
// came for the stall limit. An attempt that brought nothing is followed by
// a rest that grows; time spent paused does not count as a stall.
Download DownloadArchive(InstallClient& client, const WorkerSettings& settings)
{
    PauseGate& gate = client.gate();
    StallCount stall;
    RetryPace pace;
    DWORD lastBytes = GetTickCount();
    unsigned pauses = gate.Pauses();
    for (int attempt = 0; attempt < settings.attempts; ++attempt) {
        if (!gate.Checkpoint())
            return Download::Stopped;
        ULONGLONG before = client.receivedBytes();
        if (client.DownloadFile(settings.downloadPath.c_str(), settings.archiveName.c_str(), 1) >= 0)
            return Download::Complete;
        if (gate.Stopped())
            return Download::Stopped;
        ULONGLONG after = client.receivedBytes();
        if (stall.AfterFailure(before, after)) {
            client.SetReceivedBytes(0);
            client.progress().ResetReceived();
        }
        if (after != before || gate.Pauses() != pauses) {
            lastBytes = GetTickCount();
            pauses = gate.Pauses();
            pace.Reset();
            continue;
        }
        DWORD quiet = GetTickCount() - lastBytes;
        if (quiet >= settings.stallLimitMs)
            return Download::Failed;
        gate.Rest(std::min<DWORD>(pace.Next(), settings.stallLimitMs - quiet));
    }
    return Download::Failed;
}

bool ReadMark(const std::wstring& path, InstallClient::ArchiveMark* mark)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    mark->path = path;
    mark->size = static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    mark->written = data.ftLastWriteTime;
    return true;
}

// The archive an earlier worker of this process completed, unchanged since.
bool StillComplete(InstallClient& client, const std::wstring& archive)
{
    const InstallClient::ArchiveMark& known = client.completedArchive;
    InstallClient::ArchiveMark now;
    if (known.path.empty() || known.path != archive || !ReadMark(archive, &now))
        return false;
    if (now.size != known.size || CompareFileTime(&now.written, &known.written) != 0)
        return false;
    client.OnProgress(INVALID_HANDLE_VALUE, 0, client.elapsedMs(), client.receivedBytes(), now.size, now.size,
                      client.userValue());
    return true;
}

// A pause taken after the last chunk's checkpoint must not be overwritten:
// the worker would stop at its next checkpoint in a state whose button does
// nothing, and nobody could continue it. It waits for the continue instead.
bool EnterUnpacking(InstallClient& client)
{
    for (int expected = Installing; !installState.compare_exchange_strong(expected, Unpacking);
         expected = Installing) {
        if (expected != Paused) {
            installState = Unpacking;
            return true;
        }
        if (!client.gate().Checkpoint())
            return false;
    }
    return true;
}

void ShowDownloadComplete(InstallClient& client, const WindowLink& window)
{
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

// What the report says when the install folder itself failed: what the
// extraction's destination check would have said.
ExtractionFigures FolderFigures(const WorkerSettings& settings)
{
    ExtractionFigures figures;
    figures.attr = static_cast<int32_t>(DestinationAttributes(settings.installRoot.c_str()));
    figures.create = SHCreateDirectoryExW(nullptr, settings.installRoot.c_str(), nullptr);
    figures.errid = static_cast<int32_t>(GetLastError());
    bool rootIsFile = figures.attr != -1 && !(figures.attr & FILE_ATTRIBUTE_DIRECTORY);
    figures.code = rootIsFile ? EXTRACT_DEST_NOT_DIRECTORY : EXTRACT_DEST_NOT_CREATED;
    return figures;
}

ExtractionFigures Extract(const WorkerSettings& settings)
{
    std::wstring archive = settings.installDir + ToWide(settings.archiveName.c_str());
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

std::wstring ReportUrl(const WorkerSettings& settings, int type, const ExtractionFigures& figures)
{
    std::wstring resultText = FormatResultText(settings.installDir, figures);
    return FormatStatisticsUrl(settings.statsHost, type, urlEncode(resultText.c_str()), settings.channelId);
}

void Succeed(InstallClient& client, const WindowLink& window, const WorkerSettings& settings,
             const ExtractionFigures& figures)
{
    if (!client.gate().Checkpoint())
        return;
    createDesktopShortcut(settings.installDir, settings.displayName);
    window.StartTimer(TIMER_ICON_TIP, 500);
    {
        // Under way before the window learns of the success: the launch of
        // the client that follows ends the process, but only once the
        // report is out.
        InstallClient::ReportUnderWay report(client);
        installState = Installed;
        window.Activate();
        window.SetVisible(ELEMENT_RUNNER, false);
        reportStatistics(ReportUrl(settings, kReportSucceeded, figures).c_str());
    }
    window.StartTimer(TIMER_TIP_CLOSE, 60000);
}

void Fail(InstallClient& client, const WindowLink& window, DebugLog* log, const WorkerSettings& settings,
          const ExtractionFigures& figures)
{
    {
        InstallClient::ReportUnderWay report(client);
        std::wstring url = ReportUrl(settings, kReportFailed, figures);
        if (log)
            log->Write(kLogInstallFailed, url.c_str());
        reportStatistics(url.c_str());
    }
    // Bytes that failed as an archive would fail the same way on every later
    // attempt; without them the next attempt downloads the archive afresh.
    if (ArchiveBytesAreBad(figures.code))
        DeleteFileW((settings.installDir + ToWide(settings.archiveName.c_str())).c_str());
    showFailure(window, InstallFailed);
}

// The install folder, made and entered; false when either fails.
bool EnterInstallDir(const std::wstring& installDir)
{
    if (installDir.empty())
        return false;
    int made = SHCreateDirectoryExW(nullptr, installDir.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS)
        return false;
    return SetCurrentDirectoryW(installDir.c_str()) != FALSE;
}

// Without its folder the worker cannot keep a single byte: it fails before
// it asks the server for anything.
void FailWithoutFolder(InstallClient& client, const WindowLink& window, DebugLog* log, const WorkerSettings& settings)
{
    if (!EnterUnpacking(client))
        return;
    window.StopTimer(TIMER_ANIMATION);
    window.StopTimer(TIMER_PROGRESS);
    Fail(client, window, log, settings, FolderFigures(settings));
}

}  // namespace

void InstallWorker(InstallClient& client, const WindowLink& window, DebugLog* log, const WorkerSettings& settings)
{
    // The shell calls of this thread (shortcut, starting a running client)
    // want COM on it.
    UniqueComApartment apartment = EnterComApartment();
    if (!client.gate().Checkpoint())
        return;
    window.StartTimer(TIMER_ANIMATION, 50);
    client.Connect(settings.updateHost.c_str(), nullptr, nullptr, 0);
    if (!EnterInstallDir(settings.installDir)) {
        FailWithoutFolder(client, window, log, settings);
        return;
    }

    std::wstring archive = settings.installDir + ToWide(settings.archiveName.c_str());
    if (!StillComplete(client, archive)) {
        Download download = DownloadArchive(client, settings);
        if (download == Download::Stopped)
            return;
        if (download == Download::Failed) {
            showFailure(window, DownloadFailed);
            return;
        }
        ReadMark(archive, &client.completedArchive);
    }
    // First: a continue restarts the timers stopped next.
    if (!EnterUnpacking(client))
        return;
    ShowDownloadComplete(client, window);

    ExtractionFigures figures = Extract(settings);
    if (static_cast<uint32_t>(figures.code) == ARCHIVE_CANNOT_CREATE_FILE)
        StartRunningClient(settings.installDir);
    if (figures.code == 0)
        Succeed(client, window, settings, figures);
    else
        Fail(client, window, log, settings, figures);
}

UniqueHandle StartInstallWorker(InstallClient& client, HWND window, std::shared_ptr<WorkerQueue> queue, DebugLog* log,
                                const WorkerSettings& settings, bool parked)
{
    if (parked)
        client.gate().Pause();
    else
        client.gate().Continue();
    // Out of memory ends the worker; the window stays usable.
    return StartThread(kInstallWorkerThreadName, [&client, link = WindowLink(window, std::move(queue)), log, settings] {
        InstallWorker(client, link, log, settings);
    });
}
