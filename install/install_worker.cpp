#include "install/install_worker.h"

#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "app/debug_log.h"
#include "app/narrow_texts.h"
#include "archive/archive_result.h"
#include "archive/extract_archive.h"
#include "base/ansi_text.h"
#include "base/file_io.h"
#include "base/thread_start.h"
#include "base/utf8_text.h"
#include "install/archive_fetch.h"
#include "install/desktop_shortcut.h"
#include "install/path_label.h"
#include "install/report_text.h"
#include "install/show_failure.h"
#include "install/size_text.h"
#include "install/statistics_report.h"
#include "signature/archive_signature.h"

namespace {

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

ExtractionFigures SignatureFigures()
{
    ExtractionFigures figures;
    figures.code = EXTRACT_SIGNATURE_REFUSED;
    figures.errid = static_cast<int32_t>(GetLastError());
    return figures;
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

// What the extraction gave, and whether the archive could be opened at all.
struct Extraction {
    ExtractionFigures figures;
    bool opened = false;
};

// The trusted comment of the archive's signature names the file as the
// update host serves it, in UTF-8.
std::string ServedFileName(const std::string& downloadPath)
{
    size_t slash = downloadPath.rfind('/');
    std::string name = slash == std::string::npos ? downloadPath : downloadPath.substr(slash + 1);
    return ToUtf8(ToWide(name.c_str()));
}

int32_t SizeOf(HANDLE file)
{
    LARGE_INTEGER size = {};
    return GetFileSizeEx(file, &size) ? static_cast<int32_t>(size.LowPart) : 0;
}

Extraction Extract(const WorkerSettings& settings, const std::string& signature)
{
    Extraction extraction;
    ExtractionFigures& figures = extraction.figures;
    // Opened once, refusing writers and deleters, and held until the
    // extraction is over: the bytes the signature was checked against are
    // the bytes extracted, whoever else may write the player's folder.
    UniqueFile archive(CreateFileW(ArchivePath(settings).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!archive) {
        figures.code = static_cast<int>(ARCHIVE_BAD_ARGUMENTS);
        figures.errid = static_cast<int32_t>(GetLastError());
        return extraction;
    }
    extraction.opened = true;
    if (!settings.archiveKeys.empty() &&
        !ArchiveSignatureHolds(archive.get(), signature, settings.archiveKeys, ServedFileName(settings.downloadPath))) {
        figures.code = EXTRACT_SIGNATURE_REFUSED;
        figures.errid = static_cast<int32_t>(GetLastError());
        return extraction;
    }
    const std::wstring& root = settings.installRoot;
    figures.code = ExtractArchive(archive.get(), nullptr, root.c_str());
    if (figures.code != 0) {
        figures.size = SizeOf(archive.get());
        // A root that names a file reports that file's attributes.
        figures.attr = static_cast<int32_t>(DestinationAttributes(root.c_str()));
        figures.create = SHCreateDirectoryExW(nullptr, root.c_str(), nullptr);
        if (figures.create == 0 || GetLastError() == ERROR_ALREADY_EXISTS)
            figures.code = ExtractArchive(archive.get(), nullptr, root.c_str());
    }
    figures.errid = static_cast<int32_t>(GetLastError());
    return extraction;
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

// `archiveCondemned`: its bytes failed as an archive or under its signature,
// and would fail the same way on every later attempt; without them the next
// attempt downloads it afresh (and resumes no bad prefix).
void Fail(InstallClient& client, const WindowLink& window, DebugLog* log, const WorkerSettings& settings,
          const ExtractionFigures& figures, bool archiveCondemned)
{
    {
        InstallClient::ReportUnderWay report(client);
        std::wstring url = ReportUrl(settings, kReportFailed, figures);
        if (log)
            log->Write(kLogInstallFailed, url.c_str());
        reportStatistics(url.c_str());
    }
    if (archiveCondemned)
        DeleteJustWritten(ArchivePath(settings).c_str());
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
    Fail(client, window, log, settings, FolderFigures(settings), false);
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

    std::string signature;
    switch (FetchArchive(client, settings, &signature)) {
    case ArchiveFetch::Complete:
        break;
    case ArchiveFetch::Stopped:
        return;
    case ArchiveFetch::Failed:
        showFailure(window, DownloadFailed);
        return;
    case ArchiveFetch::Unsigned:
        // Refused like a signature that does not hold, before a single
        // byte of the archive is fetched.
        if (EnterUnpacking(client)) {
            window.StopTimer(TIMER_ANIMATION);
            window.StopTimer(TIMER_PROGRESS);
            Fail(client, window, log, settings, SignatureFigures(), true);
        }
        return;
    }
    // First: a continue restarts the timers stopped next.
    if (!EnterUnpacking(client))
        return;
    ShowDownloadComplete(client, window);

    Extraction extraction = Extract(settings, signature);
    const ExtractionFigures& figures = extraction.figures;
    if (static_cast<uint32_t>(figures.code) == ARCHIVE_CANNOT_CREATE_FILE)
        StartRunningClient(settings.installDir);
    if (figures.code == 0)
        Succeed(client, window, settings, figures);
    else
        Fail(client, window, log, settings, figures, extraction.opened && ArchiveBytesAreBad(figures.code));
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
