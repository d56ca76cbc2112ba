#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "tests/net/net_peers.h"

namespace {

size_t RangedCount(const std::vector<LoggedRequest>& log)
{
    size_t count = 0;
    for (const LoggedRequest& request : log)
        count += request.headers.count("range");
    return count;
}

// Where the attempt's first chunk was written: the size the file had.
ULONGLONG FirstBase(const std::vector<RecordingDownloader::Call>& calls, ULONGLONG receivedBefore)
{
    return calls.empty() ? 0 : calls[0].offset - (calls[0].received - receivedBefore);
}

std::atomic<bool>* chunkSeen;

DWORD WINAPI StopOnceDataFlows(void* param)
{
    while (!chunkSeen->load())
        Sleep(10);
    static_cast<RecordingDownloader*>(param)->SetStopFlag(1);
    return 0;
}

}  // namespace

using DownloadFaultTest = DownloadFixture;

TEST_F(DownloadFaultTest, RangedAnswerOf200RestartsInsteadOfAppending)
{
    std::string object = ServedBytes("small.bin");
    WritePartialFile(LocalPath(), object.substr(0, 40000), ServedStamp());
    ConnectTo(FaultHost());
    EXPECT_EQ(DOWNLOAD_DONE, Download("/f/norange/small.bin"));
    EXPECT_TRUE(LocalBytes() == object) << "size " << LocalBytes().size();
    ExpectSteadyProgress(client_.calls, 0, object.size());
}

TEST_F(DownloadFaultTest, RangedAnswerForAnotherRangeRestarts)
{
    std::string object = ServedBytes("small.bin");
    ConnectTo(FaultHost());
    for (const char* fault : {"shift=1000", "nocr"}) {
        SCOPED_TRACE(fault);
        WritePartialFile(LocalPath(), object.substr(0, 40000), ServedStamp());
        std::string tag = TestTag();
        EXPECT_EQ(DOWNLOAD_DONE, Download("/f/tag=" + tag + "," + fault + "/small.bin"));
        EXPECT_TRUE(LocalBytes() == object) << "size " << LocalBytes().size();
        std::vector<LoggedRequest> log = RequestLog(tag);
        ASSERT_EQ(3u, log.size()) << "plain, ranged, then plain again";
        EXPECT_EQ(0u, log[2].headers.count("range"));
        ExpectSteadyProgress(client_.calls, 0, object.size());
    }
}

TEST_F(DownloadFaultTest, RefusedRangeFailsAndStartsOverNextTime)
{
    std::string object = ServedBytes("small.bin");
    WritePartialFile(LocalPath(), object.substr(0, 40000), ServedStamp());
    ConnectTo(FaultHost());
    EXPECT_EQ(DOWNLOAD_REQUEST_FAILED, Download("/f/rangestatus=416/small.bin"));
    EXPECT_EQ(0u, LocalBytes().size()) << "the refused bytes are dropped";

    EXPECT_EQ(DOWNLOAD_DONE, Download("/small.bin"));
    EXPECT_TRUE(LocalBytes() == object);
}

TEST_F(DownloadFaultTest, RangedRequestFailingOtherwiseKeepsThePartialFile)
{
    std::string object = ServedBytes("small.bin");
    WritePartialFile(LocalPath(), object.substr(0, 40000), ServedStamp());
    ConnectTo(FaultHost());
    EXPECT_EQ(DOWNLOAD_REQUEST_FAILED, Download("/f/rangestatus=500/small.bin"));
    EXPECT_TRUE(LocalBytes() == object.substr(0, 40000));

    std::string tag = TestTag();
    EXPECT_EQ(DOWNLOAD_DONE, Download("/f/tag=" + tag + "/small.bin"));
    EXPECT_TRUE(LocalBytes() == object);
    EXPECT_EQ(1u, RangedCount(RequestLog(tag)));
}

TEST_F(DownloadFaultTest, PartialFileResumesThroughARedirectToAnotherServer)
{
    std::string object = ServedBytes("small.bin");
    WritePartialFile(LocalPath(), object.substr(0, 40000), ServedStamp());
    ConnectTo(FaultHost());
    std::string tag = TestTag();
    std::string target = "http%3A%2F%2F127.0.0.1%3A" + std::to_string(Peers().nginxPort) + "%2Fsmall.bin";
    EXPECT_EQ(DOWNLOAD_DONE, Download("/f/tag=" + tag + ",status=302,loc=" + target + "/small.bin"));
    EXPECT_TRUE(LocalBytes() == object) << "size " << LocalBytes().size();
    std::vector<LoggedRequest> log = RequestLog(tag);
    ASSERT_EQ(2u, log.size()) << "both requests start at the connected server";
    EXPECT_EQ("bytes=40000-", log[1].headers["range"]);
    ExpectSteadyProgress(client_.calls, 40000, object.size());
}

TEST_F(DownloadFaultTest, LongerLocalFileStartsOverAtOnce)
{
    std::string object = ServedBytes("small.bin");
    WritePartialFile(LocalPath(), object + std::string(50000, 'x'), ServedStamp());
    ConnectTo(FaultHost());
    std::string tag = TestTag();
    EXPECT_EQ(DOWNLOAD_DONE, Download("/f/tag=" + tag + "/small.bin"));
    EXPECT_TRUE(LocalBytes() == object) << "size " << LocalBytes().size();
    EXPECT_EQ(0u, RangedCount(RequestLog(tag)));
}

TEST_F(DownloadFaultTest, ObjectChangedBetweenAttemptsStartsOver)
{
    std::string object = ServedBytes("small.bin");
    ConnectTo(FaultHost());
    ASSERT_EQ(DOWNLOAD_READ_FAILED, Download("/f/lm=1600000000,cut=50000/small.bin"));
    std::string tag = TestTag();
    EXPECT_EQ(DOWNLOAD_DONE, Download("/f/tag=" + tag + ",lm=1600000001/small.bin"));
    EXPECT_TRUE(LocalBytes() == object);
    EXPECT_EQ(0u, RangedCount(RequestLog(tag)));
    SYSTEMTIME expected = {2020, 9, 0, 13, 12, 26, 41, 0};  // 1600000001 s after 1970
    ExpectSameSecond(expected, LastWriteTime(LocalPath()));
}

TEST_F(DownloadFaultTest, MoreBytesThanAnnouncedNeverGivesALongerFile)
{
    std::string object = ServedBytes("small.bin");
    ConnectTo(FaultHost());
    int result = Download("/f/extra=5000/small.bin");
    // Either the surplus is read and the attempt fails, or the library stops
    // at Content-Length; a success must hold exactly the object.
    if (result == DOWNLOAD_DONE)
        EXPECT_TRUE(LocalBytes() == object);
    else
        EXPECT_EQ(DOWNLOAD_READ_FAILED, result);
    EXPECT_EQ(object.size(), client_.calls.back().total);
}

TEST_F(DownloadFaultTest, StalledServerEndsTheAttemptAndKeepsWhatCame)
{
    std::string object = ServedBytes("small.bin");
    ConnectTo(FaultHost());
    // The server goes on only when released: the receive time-out alone ends the attempt.
    std::string key = TestTag();
    EXPECT_EQ(DOWNLOAD_READ_FAILED, Download("/f/hold=" + key + ",holdat=8192/small.bin"));
    EXPECT_TRUE(ReleaseHold(key));
    std::string kept = LocalBytes();
    EXPECT_LE(kept.size(), 8192u);
    EXPECT_TRUE(object.compare(0, kept.size(), kept) == 0);
}

TEST_F(DownloadFaultTest, StopFlagEndsTheLoopAfterTheCurrentChunk)
{
    ConnectTo(NginxHost());
    client_.onCall = [](RecordingDownloader& self) {
        if (self.calls.size() == 3)
            self.SetStopFlag(1);
    };
    EXPECT_EQ(DOWNLOAD_STOPPED, Download("/small.bin"));
    ASSERT_EQ(3u, client_.calls.size());
    EXPECT_EQ(client_.calls.back().offset, LocalBytes().size());

    client_.onCall = [](RecordingDownloader& self) {
        if (self.calls.back().offset == self.calls.back().total)
            self.SetStopFlag(1);
    };
    EXPECT_EQ(DOWNLOAD_STOPPED, Download("/small.bin")) << "even when the last chunk completed the file";
}

TEST_F(DownloadFaultTest, StopWithAnotherValueNeverReportsAPartialFileAsDone)
{
    ConnectTo(NginxHost());
    client_.onCall = [](RecordingDownloader& self) { self.SetStopFlag(2); };
    EXPECT_EQ(DOWNLOAD_STOPPED, Download("/small.bin"));
    EXPECT_EQ(1u, client_.calls.size());
}

TEST_F(DownloadFaultTest, StopFlagFromAnotherThread)
{
    ConnectTo(NginxHost());
    std::atomic<bool> started{false};
    chunkSeen = &started;
    client_.onCall = [](RecordingDownloader&) { chunkSeen->store(true); };
    UniqueHandle stopper(CreateThread(nullptr, 0, StopOnceDataFlows, &client_, 0, nullptr));
    ASSERT_TRUE(stopper);
    // Rate-limited: the transfer is still running when the flag is set.
    int result = Download("/slow/big.bin");
    started.store(true);  // lets the stopper end even if no chunk ever came
    WaitForSingleObject(stopper.get(), INFINITE);
    EXPECT_EQ(DOWNLOAD_STOPPED, result);
    EXPECT_LT(LocalBytes().size(), 10485760u);
}

// The install worker's way: attempt after attempt at once, resume flag 1,
// until a result of 0 or more. Each cut waits until the client has read all
// it can before it: a reset drops what Wine received but the client had not
// read yet, and the cuts would fall elsewhere from run to run.
TEST_F(DownloadFaultTest, DownloadCutAgainAndAgainEndsIdenticalToTheObject)
{
    const long seed = Peers().faultSeed;
    SCOPED_TRACE("fault server seed " + std::to_string(seed) + " (LOBBY_FAULT_SEED=" + std::to_string(seed) +
                 " replays these cuts)");
    // A fresh tag starts a fresh stream of cuts.
    const std::string tag = TestTag();
    const std::string path = "/f/tag=" + tag + ",hold=" + tag + ",cutrand=4096-200000,rstround=4096/cuts.bin";
    const ULONGLONG total = 4194304;
    struct {
        ULONGLONG receivedBefore = 0;
        ULONGLONG base = 0;  // where this attempt's answer starts
        DrawnCut cut;        // the server's draw for that answer
        bool released = false;
    } held;
    // Wine returns a read of 4096 bytes only when it is full or the answer
    // ends: before a cut the client gets the whole reads, and the rest with
    // the close. A reset comes after whole reads only, so that nothing the
    // client has not read yet is lost with it.
    auto wholeReads = [](ULONGLONG bytes) { return bytes - bytes % kDownloadChunk; };
    client_.onCall = [&](RecordingDownloader& self) {
        if (self.calls.size() == 1) {
            held.base = FirstBase(self.calls, held.receivedBefore);
            held.cut = LatestCut(tag);
            held.released = false;
        }
        ULONGLONG rest = total - held.base;
        ULONGLONG readable = held.cut.bytes >= rest ? rest : wholeReads(held.cut.bytes);
        if (!held.released && self.calls.back().offset - held.base >= readable)
            held.released = ReleaseHold(tag + "." + std::to_string(held.cut.number));
    };
    ConnectTo(FaultHost());
    int attempts = 0;
    int result = -100;
    while (result < 0 && attempts < 500) {
        ++attempts;
        LARGE_INTEGER before{};
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExW(LocalPath().c_str(), GetFileExInfoStandard, &data))
            before.QuadPart = (LONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        held.receivedBefore = client_.receivedBytes();

        result = Download(path);

        SCOPED_TRACE("attempt " + std::to_string(attempts) + ", cut " + std::to_string(held.cut.number) + " after " +
                     std::to_string(held.cut.bytes) + " bytes, " + (held.cut.reset ? "reset" : "closed"));
        EXPECT_FALSE(client_.calls.empty()) << "result " << result;
        if (HasFailure())
            break;
        EXPECT_TRUE(held.released);
        EXPECT_EQ(static_cast<ULONGLONG>(before.QuadPart), held.base) << "resumed exactly at the file's size";
        ULONGLONG rest = total - held.base;
        EXPECT_EQ(held.base + std::min(held.cut.bytes, rest), client_.calls.back().offset) << "all that came was kept";
        ExpectSteadyProgress(client_.calls, held.base, total);
        if (HasFailure())
            break;
    }
    EXPECT_EQ(DOWNLOAD_DONE, result);
    EXPECT_GE(attempts, 20) << "each cut is at most 200000 bytes in";
    EXPECT_EQ(ServedSha256("cuts.bin"), Sha256Hex(LocalBytes()));
    ExpectSameSecond(ServedStamp(), LastWriteTime(LocalPath()));
    printf("[ info ] %d attempts with seed %ld\n", attempts, seed);
}
