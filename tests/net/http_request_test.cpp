#include <gtest/gtest.h>

#include <string>

#include "net/http_downloader.h"
#include "tests/net/net_peers.h"

namespace {

// A fault-server path: "/f/<directives>/<file>".
std::string Faulty(const std::string& directives, const std::string& file = "small.bin")
{
    return "/f/" + directives + "/" + file;
}

ULONGLONG ContentLength(HttpDownloader& client)
{
    ULONGLONG length = 0xdeadbeef;
    EXPECT_EQ(1, client.QueryContentLength(&length));
    return length;
}

// SendGet on a fresh connection to the fault server; the status it saw.
int SendToFault(HttpDownloader& client, const std::string& path, const char* extra = nullptr)
{
    EXPECT_EQ(1, client.Connect(FaultHost().c_str(), nullptr, nullptr, 0));
    return client.SendGet(path.c_str(), extra);
}

std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == ',' || c == '/' || c == ' ' || c == ':' || c == '%') {
            char hex[4];
            snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

TEST(HttpConnect, HostTextForms)
{
    HttpDownloader client;
    EXPECT_EQ(1, client.Connect(NginxHost().c_str(), nullptr, nullptr, 42));
    EXPECT_EQ(42, client.userValue());
    EXPECT_EQ(1u, client.elapsedMs());
    EXPECT_EQ(1, client.SendGet("/small.bin", nullptr));
    EXPECT_EQ(100000u, ContentLength(client));

    EXPECT_EQ(0, client.Connect(nullptr, nullptr, nullptr, 5));
    EXPECT_EQ(0, client.SendGet("/small.bin", nullptr)) << "no connection after a failed Connect";
    std::string tooLong(300, 'h');
    EXPECT_EQ(0, client.Connect(tooLong.c_str(), nullptr, nullptr, 5));
    EXPECT_EQ(0, client.Connect("", nullptr, nullptr, 5));
}

TEST(HttpConnect, ResetsTheStopFlagAndCounters)
{
    HttpDownloader client;
    client.SetStopFlag(1);
    ASSERT_EQ(1, client.Connect(NginxHost().c_str(), nullptr, nullptr, 7));
    EXPECT_EQ(0, client.stopFlag());
    EXPECT_EQ(0u, client.receivedBytes());
}

TEST(HttpSendGet, AnswersOtherThan200And206Fail)
{
    HttpDownloader client;
    ASSERT_EQ(1, client.Connect(NginxHost().c_str(), nullptr, nullptr, 0));
    EXPECT_EQ(0, client.SendGet("/missing.bin", nullptr));
    EXPECT_EQ(404u, client.lastStatus());
    EXPECT_EQ(0, client.SendGet("/small.bin", "range:bytes=100000-"));
    EXPECT_EQ(416u, client.lastStatus());
    EXPECT_EQ(1, client.SendGet("/small.bin", "range:bytes=99000-"));
    EXPECT_EQ(206u, client.lastStatus());
    EXPECT_EQ(1000u, ContentLength(client));
}

TEST(HttpSendGet, SendsHttp10AndTheRangeLineAsGiven)
{
    HttpDownloader client;
    std::string tag = TestTag();
    ASSERT_EQ(1, SendToFault(client, Faulty("tag=" + tag), "range:bytes=3145-"));
    std::vector<LoggedRequest> log = RequestLog(tag);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("GET /f/tag=" + tag + "/small.bin HTTP/1.0", log[0].requestLine);
    EXPECT_EQ("bytes=3145-", log[0].headers["range"]);
    EXPECT_EQ(206u, client.lastStatus());
}

TEST(HttpSendGet, FollowsRedirectForms)
{
    HttpDownloader client;
    ASSERT_EQ(1, client.Connect(NginxHost().c_str(), nullptr, nullptr, 9));
    EXPECT_EQ(1, client.SendGet("/r/chain1", nullptr)) << "301 then 302 then 200";
    EXPECT_EQ(100000u, ContentLength(client));
    EXPECT_EQ(0, client.userValue()) << "a redirect reconnects with user value 0";

    EXPECT_EQ(1, client.SendGet("/r/hostonly", nullptr)) << "a Location with a host alone asks for /";
    EXPECT_EQ(5u, ContentLength(client));

    std::string upper = "HTTP://" + NginxHost() + "/small.bin";
    EXPECT_EQ(1, SendToFault(client, Faulty("status=302,loc=" + Escaped(upper))));
    EXPECT_EQ(100000u, ContentLength(client));

    EXPECT_EQ(1, SendToFault(client, Faulty("status=301,loc=" + Escaped("/empty.bin"))))
        << "a path alone stays on the same server";
    EXPECT_EQ(0u, ContentLength(client));
}

// To another server and its port (a free one: a host without a port goes to
// port 80, which SplitLocation's and SplitHostText's tests show).
TEST(HttpSendGet, LocationWithAHostAndAPortGoesThere)
{
    HttpDownloader client;
    std::string target = "http://" + NginxHost() + "/small.bin";
    EXPECT_EQ(1, SendToFault(client, Faulty("status=302,loc=" + Escaped(target))));
    EXPECT_EQ(100000u, ContentLength(client));

    target = "http://" + NginxHost() + "/missing.bin";
    EXPECT_EQ(0, SendToFault(client, Faulty("status=302,loc=" + Escaped(target))));
    EXPECT_EQ(404u, client.lastStatus()) << "the answer came from the other server";
}

TEST(HttpSendGet, RequestAfterARedirectElsewhereStartsAtTheConnectedServer)
{
    HttpDownloader client;
    std::string tag = TestTag();
    std::string path = Faulty("tag=" + tag + ",status=302,loc=" + Escaped("http://" + NginxHost() + "/small.bin"));
    ASSERT_EQ(1, SendToFault(client, path));
    // The same path again: it means nothing to nginx, where the redirect
    // left the connection, so it must go to the fault server once more.
    EXPECT_EQ(1, client.SendGet(path.c_str(), "range:bytes=99000-"));
    EXPECT_EQ(206u, client.lastStatus());
    EXPECT_EQ(1000u, ContentLength(client));
    std::vector<LoggedRequest> log = RequestLog(tag);
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("bytes=99000-", log[1].headers["range"]);
}

TEST(HttpSendGet, ServerSilentAfterTheRequestFailsIt)
{
    HttpDownloader client;
    // The answer comes only when released: the time-out alone ends the wait.
    std::string key = TestTag();
    EXPECT_EQ(0, SendToFault(client, Faulty("hold=" + key + ",holdat=head")));
    EXPECT_EQ(0u, client.lastStatus());
    EXPECT_TRUE(ReleaseHold(key));
}

TEST(HttpSendGet, RedirectKeepsTheExtraHeaderLines)
{
    HttpDownloader client;
    std::string tag = TestTag();
    std::string target = "http://" + FaultHost() + Faulty("tag=" + tag);
    ASSERT_EQ(1, SendToFault(client, Faulty("status=302,loc=" + Escaped(target)), "range:bytes=10-"));
    std::vector<LoggedRequest> log = RequestLog(tag);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("bytes=10-", log[0].headers["range"]);
    EXPECT_EQ(206u, client.lastStatus());
}

TEST(HttpSendGet, RedirectCycleEndsAfterTenRedirects)
{
    HttpDownloader client;
    ASSERT_EQ(1, client.Connect(NginxHost().c_str(), nullptr, nullptr, 0));
    EXPECT_EQ(0, client.SendGet("/r/cycle1", nullptr));
    EXPECT_EQ(302u, client.lastStatus());
    EXPECT_EQ(0, client.SendGet("/r/self", nullptr));

    std::string tag = TestTag();
    EXPECT_EQ(0, SendToFault(client, Faulty("tag=" + tag + ",status=302,selfloc")));
    EXPECT_EQ(static_cast<size_t>(kMaxRedirects + 1), RequestLog(tag).size());
}

TEST(HttpSendGet, UnusableLocationsFail)
{
    HttpDownloader client;
    std::string other = "https://" + NginxHost() + "/small.bin";
    EXPECT_EQ(0, SendToFault(client, Faulty("status=302,loc=" + Escaped(other))));
    std::string overlong = "http://" + FaultHost() + "/" + std::string(300, 'p');
    EXPECT_EQ(0, SendToFault(client, Faulty("status=302,loc=" + Escaped(overlong))));
    EXPECT_EQ(0, SendToFault(client, Faulty("status=302")));
}

TEST(HttpQueryLastModified, ReadsRfc1123Dates)
{
    HttpDownloader client;
    SYSTEMTIME stamp;
    memset(&stamp, 0xcc, sizeof stamp);
    ASSERT_EQ(1, SendToFault(client, Faulty("lmraw=" + Escaped("Sun, 06 Nov 1994 08:49:37 GMT"))));
    ASSERT_EQ(1, client.QueryLastModified(&stamp));
    EXPECT_EQ(1994, stamp.wYear);
    EXPECT_EQ(11, stamp.wMonth);
    EXPECT_EQ(6, stamp.wDay);
    EXPECT_EQ(8, stamp.wHour);
    EXPECT_EQ(49, stamp.wMinute);
    EXPECT_EQ(37, stamp.wSecond);
    EXPECT_EQ(0, stamp.wDayOfWeek);
    EXPECT_EQ(0, stamp.wMilliseconds);

    ASSERT_EQ(1, SendToFault(client, Faulty("lmraw=" + Escaped("sun, 06 nov 1994 08:49:37 gmt"))));
    ASSERT_EQ(1, client.QueryLastModified(&stamp));
    EXPECT_EQ(11, stamp.wMonth);
    ASSERT_EQ(1, SendToFault(client, Faulty("lmraw=" + Escaped("Sun, 06 Foo 1994 08:49:37 GMT"))));
    ASSERT_EQ(1, client.QueryLastModified(&stamp));
    EXPECT_EQ(0, stamp.wMonth);
}

TEST(HttpQueryLastModified, MissingOrOverlongHeaderLeavesTheOutputAlone)
{
    HttpDownloader client;
    SYSTEMTIME stamp;
    memset(&stamp, 0xcc, sizeof stamp);
    ASSERT_EQ(1, SendToFault(client, Faulty("nolm")));
    EXPECT_EQ(0, client.QueryLastModified(&stamp));
    ASSERT_EQ(1, SendToFault(client, Faulty("lmraw=" + Escaped("Sunday, 06 November 1994 08:49:37 GMT+0000"))));
    EXPECT_EQ(0, client.QueryLastModified(&stamp));
    EXPECT_EQ(0xcccc, stamp.wYear);
    EXPECT_EQ(0, client.QueryLastModified(nullptr));
}

TEST(HttpQueryContentLength, SixtyFourBitLengthsAndBadTexts)
{
    HttpDownloader client;
    ASSERT_EQ(1, SendToFault(client, Faulty("clraw=5000000000")));
    EXPECT_EQ(5000000000ULL, ContentLength(client));

    ULONGLONG length = 77;
    ASSERT_EQ(1, SendToFault(client, Faulty("nocl")));
    EXPECT_EQ(0, client.QueryContentLength(&length));
    ASSERT_EQ(1, SendToFault(client, Faulty("clraw=" + std::string(40, '9'))));
    EXPECT_EQ(0, client.QueryContentLength(&length)) << "longer than the 32-byte buffer";
    ASSERT_EQ(1, SendToFault(client, Faulty("clraw=lots")));
    EXPECT_EQ(0, client.QueryContentLength(&length));
    EXPECT_EQ(77u, length);

    HttpDownloader unconnected;
    EXPECT_EQ(0, unconnected.QueryContentLength(&length));
}
