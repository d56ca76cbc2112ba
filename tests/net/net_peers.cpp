#include "tests/net/net_peers.h"

#include <wininet.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "base/unique_resource.h"
#include "tests/support/scratch_dir.h"

namespace {

NetPeers LoadPeers()
{
    NetPeers peers;
    const char* dir = getenv("LOBBY_NET_PEERS");
    if (!dir)
        return peers;
    std::istringstream ports(ReadFileBytes(WindowsFolder(dir) + L"ports"));
    std::string name;
    long value = 0;
    while (ports >> name >> value) {
        if (name == "nginx")
            peers.nginxPort = static_cast<int>(value);
        else if (name == "fault")
            peers.faultPort = static_cast<int>(value);
        else if (name == "faultseed")
            peers.faultSeed = value;
    }
    peers.dataDir = WindowsFolder(dir) + L"data\\";
    return peers;
}

std::string FetchText(int port, const std::string& path)
{
    UniqueInternet internet(InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    UniqueInternet connection(
        InternetConnectA(internet.get(), "127.0.0.1", static_cast<INTERNET_PORT>(port), nullptr, nullptr,
                         INTERNET_SERVICE_HTTP, 0, 0));
    UniqueInternet request(HttpOpenRequestA(connection.get(), "GET", path.c_str(), "HTTP/1.0", nullptr, nullptr,
                                            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request || !HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0))
        return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (InternetReadFile(request.get(), buffer, sizeof buffer, &got) && got > 0)
        text.append(buffer, got);
    return text;
}

// SHA-256 (FIPS 180-4), for comparing downloads with the peers' digests.
class Sha256 {
public:
    std::string Hex(const std::string& data)
    {
        std::string padded = data;
        padded += '\x80';
        while (padded.size() % 64 != 56)
            padded += '\0';
        uint64_t bits = static_cast<uint64_t>(data.size()) * 8;
        for (int i = 7; i >= 0; --i)
            padded += static_cast<char>(bits >> (i * 8));
        for (size_t at = 0; at < padded.size(); at += 64)
            Block(reinterpret_cast<const unsigned char*>(padded.data() + at));
        char hex[65];
        for (int i = 0; i < 8; ++i)
            snprintf(hex + i * 8, 9, "%08x", static_cast<unsigned>(h_[i]));
        return hex;
    }

private:
    static uint32_t Rotate(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

    void Block(const unsigned char* p)
    {
        static const uint32_t k[64] = {
            0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
            0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
            0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
            0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
            0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
            0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
            0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
            0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
        uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = (uint32_t(p[4 * i]) << 24) | (uint32_t(p[4 * i + 1]) << 16) | (uint32_t(p[4 * i + 2]) << 8) |
                   p[4 * i + 3];
        for (int i = 16; i < 64; ++i) {
            uint32_t s0 = Rotate(w[i - 15], 7) ^ Rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
            uint32_t s1 = Rotate(w[i - 2], 17) ^ Rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        uint32_t v[8];
        memcpy(v, h_, sizeof v);
        for (int i = 0; i < 64; ++i) {
            uint32_t t1 = v[7] + (Rotate(v[4], 6) ^ Rotate(v[4], 11) ^ Rotate(v[4], 25)) +
                          ((v[4] & v[5]) ^ (~v[4] & v[6])) + k[i] + w[i];
            uint32_t t2 = (Rotate(v[0], 2) ^ Rotate(v[0], 13) ^ Rotate(v[0], 22)) +
                          ((v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]));
            memmove(v + 1, v, 7 * sizeof v[0]);
            v[4] += t1;
            v[0] = t1 + t2;
        }
        for (int i = 0; i < 8; ++i)
            h_[i] += v[i];
    }

    uint32_t h_[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                      0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
};

}  // namespace

const NetPeers& Peers()
{
    static const NetPeers peers = LoadPeers();
    return peers;
}

std::string NginxHost()
{
    return "127.0.0.1:" + std::to_string(Peers().nginxPort);
}

std::string FaultHost()
{
    return "127.0.0.1:" + std::to_string(Peers().faultPort);
}

std::string ServedBytes(const std::string& name)
{
    return ReadFileBytes(Peers().dataDir + std::wstring(name.begin(), name.end()));
}

std::string ServedSha256(const std::string& name)
{
    std::istringstream sums(ReadFileBytes(Peers().dataDir + L"SHA256SUMS"));
    std::string digest, file;
    while (sums >> digest >> file) {
        if (file == name)
            return digest;
    }
    return "(no digest for " + name + ")";
}

SYSTEMTIME ServedStamp()
{
    return LastWriteTime(Peers().dataDir + L"small.bin");
}

std::string TestTag()
{
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    static int counter = 0;
    // The process id keeps tags apart when the peers outlive one run.
    return std::string(info->test_suite_name()) + "." + info->name() + "." +
           std::to_string(GetCurrentProcessId()) + "." + std::to_string(++counter);
}

std::vector<LoggedRequest> RequestLog(const std::string& tag)
{
    std::vector<LoggedRequest> log;
    std::istringstream text(FetchText(Peers().faultPort, "/_log/" + tag));
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line.find(':') == std::string::npos || line.rfind("GET ", 0) == 0) {
            log.push_back({line, {}});
            continue;
        }
        if (log.empty())
            continue;
        size_t colon = line.find(':');
        std::string name = line.substr(0, colon);
        for (char& c : name)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        size_t value = line.find_first_not_of(' ', colon + 1);
        log.back().headers[name] = value == std::string::npos ? "" : line.substr(value);
    }
    return log;
}

bool ReleaseHold(const std::string& key)
{
    return FetchText(Peers().faultPort, "/_release/" + key) == "released\n";
}

DrawnCut LatestCut(const std::string& tag)
{
    DrawnCut cut;
    std::istringstream text(FetchText(Peers().faultPort, "/_cuts/" + tag));
    std::string how;
    if (!(text >> cut.number >> cut.bytes >> how))
        return {};
    cut.reset = how == "reset";
    return cut;
}

std::string Sha256Hex(const std::string& bytes)
{
    return Sha256().Hex(bytes);
}

std::string Narrow(const std::wstring& path)
{
    return std::string(path.begin(), path.end());
}

SYSTEMTIME LastWriteTime(const std::wstring& path)
{
    SYSTEMTIME stamp = {};
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        FileTimeToSystemTime(&data.ftLastWriteTime, &stamp);
    return stamp;
}

void WritePartialFile(const std::wstring& path, const std::string& bytes, const SYSTEMTIME& stamp)
{
    WriteFileBytes(path, bytes);
    UniqueFile file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME written;
    SystemTimeToFileTime(&stamp, &written);
    SetFileTime(file.get(), nullptr, nullptr, &written);
}

void RecordingDownloader::OnProgress(HANDLE, int status, DWORD elapsedMs, ULONGLONG received, ULONGLONG total,
                                     ULONGLONG offset, LONG userValue)
{
    calls.push_back({status, elapsedMs, received, total, offset, userValue});
    if (onCall)
        onCall(*this);
}

void ExpectSteadyProgress(const std::vector<RecordingDownloader::Call>& calls, ULONGLONG firstBase, ULONGLONG total)
{
    ULONGLONG previous = firstBase;
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE("progress call " + std::to_string(i));
        EXPECT_EQ(1, calls[i].status);
        EXPECT_EQ(total, calls[i].total);
        EXPECT_GT(calls[i].offset, previous);
        EXPECT_LE(calls[i].offset - previous, kDownloadChunk);
        if (calls[i].offset <= previous || calls[i].total != total)
            return;  // one report of the first break is enough
        previous = calls[i].offset;
    }
}

void ExpectSameSecond(const SYSTEMTIME& expected, const SYSTEMTIME& actual)
{
    char want[32], got[32];
    snprintf(want, sizeof want, "%04u-%02u-%02u %02u:%02u:%02u", expected.wYear, expected.wMonth, expected.wDay,
             expected.wHour, expected.wMinute, expected.wSecond);
    snprintf(got, sizeof got, "%04u-%02u-%02u %02u:%02u:%02u", actual.wYear, actual.wMonth, actual.wDay,
             actual.wHour, actual.wMinute, actual.wSecond);
    EXPECT_STREQ(want, got);
}

SilentHost::SilentHost()
{
    unsigned short port = 0;
    socket_ = ListenOnLoopback(16, &port);
    if (!socket_)
        return;
    host_ = "127.0.0.1:" + std::to_string(port);
}

SilentHost::~SilentHost()
{
    socket_.reset();
    WSACleanup();
}
