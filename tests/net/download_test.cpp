#include <gtest/gtest.h>

#include "tests/net/net_peers.h"

namespace {

constexpr ULONGLONG kBigSize = 10485760;
constexpr ULONGLONG kPartSize = 3145728;

SYSTEMTIME SecondsLater(SYSTEMTIME stamp, int seconds)
{
    FILETIME time;
    SystemTimeToFileTime(&stamp, &time);
    ULARGE_INTEGER value{{time.dwLowDateTime, time.dwHighDateTime}};
    value.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000;
    time = {value.LowPart, value.HighPart};
    FileTimeToSystemTime(&time, &stamp);
    return stamp;
}

size_t RangedCount(const std::vector<LoggedRequest>& log)
{
    size_t count = 0;
    for (const LoggedRequest& request : log)
        count += request.headers.count("range");
    return count;
}

}  // namespace

using DownloadFileTest = DownloadFixture;

TEST_F(DownloadFileTest, NewFileGetsTheObjectAndTheServerStamp)
{
    ConnectTo(NginxHost());
    EXPECT_EQ(DOWNLOAD_DONE, Download("/small.bin"));
    EXPECT_TRUE(LocalBytes() == ServedBytes("small.bin"));
    ExpectSameSecond(ServedStamp(), LastWriteTime(LocalPath()));

    ASSERT_FALSE(client_.calls.empty());
    ExpectSteadyProgress(client_.calls, 0, 100000);
    EXPECT_EQ(100000u, client_.calls.back().offset);
    EXPECT_EQ(100000u, client_.calls.back().received);
    EXPECT_EQ(0x5eed, client_.calls.back().userValue);
}

// nginx sends /rate20k/ at 20 KB/s, a kilobyte every 50 ms. Reads take what
// has arrived rather than wait for a full buffer, so the reports come as the
// bytes do: ten a second or more leave at most 2048 bytes to a report.
TEST_F(DownloadFileTest, SlowLinkIsReportedAtLeastTenTimesASecond)
{
    ConnectTo(NginxHost());
    EXPECT_EQ(DOWNLOAD_DONE, Download("/rate20k/small.bin"));
    EXPECT_TRUE(LocalBytes() == ServedBytes("small.bin"));
    ExpectSteadyProgress(client_.calls, 0, 100000);
    EXPECT_GE(client_.calls.size(), 100000u / 2048) << "bytes per report at 20 KB/s";
}

TEST_F(DownloadFileTest, CompleteFileIsReportedOnceWithoutTransfer)
{
    ConnectTo(NginxHost());
    ASSERT_EQ(DOWNLOAD_DONE, Download("/small.bin"));
    ULONGLONG received = client_.receivedBytes();

    EXPECT_EQ(DOWNLOAD_ALREADY_COMPLETE, Download("/small.bin"));
    ASSERT_EQ(1u, client_.calls.size());
    EXPECT_EQ(0, client_.calls[0].status);
    EXPECT_EQ(100000u, client_.calls[0].offset);
    EXPECT_EQ(100000u, client_.calls[0].total);
    EXPECT_EQ(received, client_.receivedBytes()) << "no body was read";
}

TEST_F(DownloadFileTest, PartialFileIsResumedWithOneRangedRequest)
{
    std::string object = ServedBytes("big.bin");
    WritePartialFile(LocalPath(), object.substr(0, kPartSize), ServedStamp());
    ConnectTo(FaultHost());
    std::string tag = TestTag();

    EXPECT_EQ(DOWNLOAD_DONE, Download("/f/tag=" + tag + "/big.bin"));
    EXPECT_TRUE(LocalBytes() == object);

    std::vector<LoggedRequest> log = RequestLog(tag);
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(0u, log[0].headers.count("range"));
    EXPECT_EQ("bytes=3145728-", log[1].headers["range"]);
    ASSERT_FALSE(client_.calls.empty());
    EXPECT_EQ(kPartSize, client_.calls[0].offset - client_.calls[0].received);
    ExpectSteadyProgress(client_.calls, kPartSize, kBigSize);
    EXPECT_EQ(kBigSize - kPartSize, client_.receivedBytes());
}

TEST_F(DownloadFileTest, PartialFileStartsOverWithoutResumeOrWithAnotherStamp)
{
    std::string object = ServedBytes("big.bin");
    ConnectTo(FaultHost());
    struct Case {
        const char* what;
        int resumeFlag;
        int stampOffset;
    } cases[] = {{"resume flag 0", 0, 0}, {"resume flag 2", 2, 0}, {"stamp one second later", 1, 1},
                 {"stamp one second earlier", 1, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WritePartialFile(LocalPath(), object.substr(0, kPartSize), SecondsLater(ServedStamp(), c.stampOffset));
        std::string tag = TestTag();
        EXPECT_EQ(DOWNLOAD_DONE, Download("/f/tag=" + tag + "/big.bin", c.resumeFlag));
        EXPECT_TRUE(LocalBytes() == object);
        EXPECT_EQ(0u, RangedCount(RequestLog(tag)));
        ASSERT_FALSE(client_.calls.empty());
        ExpectSteadyProgress(client_.calls, 0, kBigSize);
    }
}

TEST_F(DownloadFileTest, ReadOnlyPartialFileIsReopenedAndResumed)
{
    std::string object = ServedBytes("small.bin");
    WritePartialFile(LocalPath(), object.substr(0, 40000), ServedStamp());
    SetFileAttributesW(LocalPath().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ConnectTo(FaultHost());
    std::string tag = TestTag();

    EXPECT_EQ(DOWNLOAD_DONE, Download("/f/tag=" + tag + "/small.bin"));
    EXPECT_TRUE(LocalBytes() == object);
    EXPECT_EQ(1u, RangedCount(RequestLog(tag)));
}

TEST_F(DownloadFileTest, RelativeNameLandsBelowTheCurrentDirectory)
{
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir_.path().c_str()));
    ConnectTo(NginxHost());
    int result = client_.DownloadFile("/small.bin", "nested/deeper/kp_lobby.install", 1);
    SetCurrentDirectoryW(previous);

    EXPECT_EQ(DOWNLOAD_DONE, result);
    EXPECT_TRUE(ReadFileBytes(dir_ / L"nested\\deeper\\kp_lobby.install") == ServedBytes("small.bin"));
}

TEST_F(DownloadFileTest, FailedRequestsLeaveNoFile)
{
    ConnectTo(FaultHost());
    for (const char* path : {"/missing.bin", "/f/nolm/small.bin", "/f/nocl/small.bin", "/f/status=500/small.bin"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(DOWNLOAD_REQUEST_FAILED, Download(path));
        EXPECT_FALSE(FileExists(LocalPath()));
        EXPECT_TRUE(client_.calls.empty());
    }
    HttpDownloader unconnected;
    EXPECT_EQ(DOWNLOAD_REQUEST_FAILED, unconnected.DownloadFile("/small.bin", Local().c_str(), 1));
}

// An attempt that could not keep a byte costs the server no request.
TEST_F(DownloadFileTest, LockedLocalFileFailsWithoutWritingOrAsking)
{
    WriteFileBytes(LocalPath(), "held");
    UniqueFile holder(CreateFileW(LocalPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    ConnectTo(FaultHost());
    std::string tag = TestTag();
    EXPECT_EQ(DOWNLOAD_FILE_FAILED, Download("/f/tag=" + tag + "/small.bin"));
    EXPECT_TRUE(RequestLog(tag).empty());
    holder.reset();
    EXPECT_EQ("held", LocalBytes());
}

TEST_F(DownloadFileTest, ServerClosingHalfWayKeepsTheHalfForTheNextAttempt)
{
    std::string object = ServedBytes("small.bin");
    ConnectTo(FaultHost());
    EXPECT_EQ(DOWNLOAD_READ_FAILED, Download("/f/cut=50000/small.bin"));
    EXPECT_TRUE(LocalBytes() == object.substr(0, 50000));
    ExpectSameSecond(ServedStamp(), LastWriteTime(LocalPath()));

    std::string tag = TestTag();
    EXPECT_EQ(DOWNLOAD_DONE, Download("/f/tag=" + tag + "/small.bin"));
    EXPECT_TRUE(LocalBytes() == object);
    std::vector<LoggedRequest> log = RequestLog(tag);
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("bytes=50000-", log[1].headers["range"]);
}

TEST_F(DownloadFileTest, ResetConnectionReadsAsAFailedRead)
{
    std::string object = ServedBytes("small.bin");
    ConnectTo(FaultHost());
    // The reset waits until the client has read all that was sent: one that
    // came before the status line was read would fail the request instead,
    // and Wine drops what arrived but was not read yet.
    const ULONGLONG sent = 12 * kDownloadChunk;
    std::string key = TestTag();
    bool released = false;
    client_.onCall = [&](RecordingDownloader& self) {
        if (self.calls.back().offset == sent)
            released = ReleaseHold(key);
    };
    EXPECT_EQ(DOWNLOAD_READ_FAILED, Download("/f/cut=" + std::to_string(sent) + ",rst,hold=" + key + "/small.bin"));
    EXPECT_TRUE(released) << "the reset came after the client read, not by a time-out";
    EXPECT_TRUE(LocalBytes() == object.substr(0, sent)) << "size " << LocalBytes().size();
}

TEST_F(DownloadFileTest, EmptyObjectReadsAsFailure)
{
    ConnectTo(NginxHost());
    EXPECT_EQ(DOWNLOAD_READ_FAILED, Download("/empty.bin"));
    EXPECT_TRUE(client_.calls.empty());
}

TEST_F(DownloadFileTest, CountersGrowAcrossAttemptsUntilTheNextConnect)
{
    ConnectTo(FaultHost());
    ASSERT_EQ(DOWNLOAD_READ_FAILED, Download("/f/cut=30000/small.bin"));
    ASSERT_EQ(DOWNLOAD_DONE, Download("/small.bin"));
    EXPECT_EQ(100000u, client_.receivedBytes());
    EXPECT_GE(client_.elapsedMs(), 1u);
    EXPECT_EQ(client_.receivedBytes(), client_.calls.back().received);

    ConnectTo(FaultHost());
    EXPECT_EQ(0u, client_.receivedBytes());
    EXPECT_EQ(1u, client_.elapsedMs());
}
