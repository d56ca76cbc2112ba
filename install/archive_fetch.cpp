#include "install/archive_fetch.h"

#include <algorithm>

#include "base/ansi_text.h"
#include "install/retry_pace.h"
#include "install/stall_count.h"
#include "signature/archive_signature.h"

std::wstring ArchivePath(const WorkerSettings& settings)
{
    return settings.installDir + ToWide(settings.archiveName.c_str());
}

namespace {

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

// The archive an earlier worker of this process completed, unchanged since:
// nothing to ask the update host.
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

}  // namespace

ArchiveFetch FetchArchive(InstallClient& client, const WorkerSettings& settings, std::string* signature)
{
    std::wstring archive = ArchivePath(settings);
    bool complete = StillComplete(client, archive);
    bool needSignature = !settings.archiveKeys.empty();
    std::string signaturePath = settings.downloadPath + ".minisig";
    signature->clear();

    PauseGate& gate = client.gate();
    StallCount stall;
    RetryPace pace;
    DWORD lastBytes = GetTickCount();
    unsigned pauses = gate.Pauses();
    for (int attempt = 0; attempt < settings.attempts; ++attempt) {
        if (!gate.Checkpoint())
            return ArchiveFetch::Stopped;
        ULONGLONG before = client.receivedBytes();
        if (needSignature) {
            HttpDownloader::Fetch fetched = client.FetchSmall(signaturePath.c_str(), kMaxArchiveSignatureBytes, signature);
            if (fetched == HttpDownloader::Fetch::Refused)
                return ArchiveFetch::Unsigned;
            needSignature = fetched != HttpDownloader::Fetch::Done;
        }
        if (!needSignature && (complete || client.DownloadFile(settings.downloadPath.c_str(),
                                                                settings.archiveName.c_str(), 1) >= 0)) {
            ReadMark(archive, &client.completedArchive);
            return ArchiveFetch::Complete;
        }
        if (gate.Stopped())
            return ArchiveFetch::Stopped;
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
            return ArchiveFetch::Failed;
        gate.Rest(std::min<DWORD>(pace.Next(), settings.stallLimitMs - quiet));
    }
    return ArchiveFetch::Failed;
}
