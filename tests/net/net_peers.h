// The HTTP peers of these tests (started by peers.sh before the run) and
// checks on what they served.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "net/http_downloader.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/unique_socket.h"

#include <gtest/gtest.h>

struct NetPeers {
    int nginxPort = 0;
    int faultPort = 0;
    long faultSeed = -1;         // of its random cuts; LOBBY_FAULT_SEED forces one
    std::wstring dataDir;  // Windows path of the served files, ends with "\"
};

// Read once from the folder named by LOBBY_NET_PEERS.
const NetPeers& Peers();
std::string NginxHost();
std::string FaultHost();
std::string ServedBytes(const std::string& name);
std::string ServedSha256(const std::string& name);  // from the peers' SHA256SUMS
SYSTEMTIME ServedStamp();                            // last-write time of the served files

// A tag unique to the running test, for the fault server's request log.
std::string TestTag();

struct LoggedRequest {
    std::string requestLine;
    std::map<std::string, std::string> headers;  // lower-case names
};
// What the fault server saw under `tag`, in arrival order.
std::vector<LoggedRequest> RequestLog(const std::string& tag);
// Lets the fault server go on with the answers held under "hold=key".
bool ReleaseHold(const std::string& key);

// The fault server's latest random cut under `tag`; number 0 when none.
struct DrawnCut {
    int number = 0;  // of the request in the tag's stream
    ULONGLONG bytes = 0;
    bool reset = false;
};
DrawnCut LatestCut(const std::string& tag);

std::string Sha256Hex(const std::string& bytes);
std::string Narrow(const std::wstring& path);  // ASCII paths only
SYSTEMTIME LastWriteTime(const std::wstring& path);
// Writes `bytes` and sets the file's last-write time to `stamp`.
void WritePartialFile(const std::wstring& path, const std::string& bytes, const SYSTEMTIME& stamp);

// Keeps every progress call; `onCall` may act on the downloader (stop it).
class RecordingDownloader : public HttpDownloader {
public:
    struct Call {
        int status;
        DWORD elapsedMs;
        ULONGLONG received;
        ULONGLONG total;
        ULONGLONG offset;
        LONG userValue;
    };
    std::vector<Call> calls;
    std::function<void(RecordingDownloader& self)> onCall;

    void OnProgress(HANDLE file, int status, DWORD elapsedMs, ULONGLONG received, ULONGLONG total, ULONGLONG offset,
                    LONG userValue) override;
};

// Offsets grow by at most one chunk per call, the total never changes and
// every call reports status 1.
void ExpectSteadyProgress(const std::vector<RecordingDownloader::Call>& calls, ULONGLONG firstBase, ULONGLONG total);

// A scratch folder and a downloader; the local file is "archive.bin" there.
class DownloadFixture : public testing::Test {
protected:
    std::wstring LocalPath() const { return dir_ / L"archive.bin"; }
    std::string Local() const { return Narrow(LocalPath()); }
    std::string LocalBytes() const { return ReadFileBytes(LocalPath()); }
    void ConnectTo(const std::string& host) { ASSERT_EQ(1, client_.Connect(host.c_str(), nullptr, nullptr, 0x5eed)); }
    int Download(const std::string& path, int resumeFlag = 1)
    {
        client_.calls.clear();
        return client_.DownloadFile(path.c_str(), Local().c_str(), resumeFlag);
    }

    ScratchDir dir_;
    RecordingDownloader client_;
};

// A host on a free port of 127.0.0.1 that takes connections and requests
// and never answers (the system completes the connections for it).
class SilentHost {
public:
    SilentHost();
    ~SilentHost();
    SilentHost(const SilentHost&) = delete;
    SilentHost& operator=(const SilentHost&) = delete;
    // "127.0.0.1:<port>"; empty when no socket could listen.
    std::string host() const { return host_; }

private:
    UniqueSocket socket_;
    std::string host_;
};

// Stamps equal to the second, as the resume check compares them.
void ExpectSameSecond(const SYSTEMTIME& expected, const SYSTEMTIME& actual);
