// What the banner refuses, through the events the control fires: each event
// sent to the host's sink as the control shapes it (arguments last first,
// Cancel by reference), then Wine's own control asking the host before it
// navigates, and, where the control has an HTML engine, a served page's
// links.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <exdispid.h>
#include <mshtml.h>
#include <shobjidl.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/unique_socket.h"
#include "tests/support/windows.h"
#include "tests/ui/banner/banner_test_support.h"
#include "ui/banner/banner_host.h"

namespace {

constexpr RECT kRect = {2, 37, 597, 211};
constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
const wchar_t* const kRefused[] = {L"file:///C:/windows/win.ini", L"C:\\windows\\win.ini", L"mailto:a@127.0.0.1",
                                   L"ms-settings:windowsupdate", L"lobby-custom:run"};
const wchar_t* const kAllowed[] = {L"http://127.0.0.1/next", L"https://127.0.0.1/", L"about:blank",
                                   L"javascript:void(0)"};

UniqueWindow MakeParent()
{
    return UniqueWindow(CreateWindowExW(0, L"STATIC", L"banner parent", WS_POPUP | WS_VISIBLE, 50, 50, 600, 350,
                                        nullptr, nullptr, nullptr, nullptr));
}

VARIANT ByRef(VARIANT* target)
{
    VARIANT v;
    V_VT(&v) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&v) = target;
    return v;
}

VARIANT BoolRef(VARIANT_BOOL* value)
{
    VARIANT v;
    V_VT(&v) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&v) = value;
    return v;
}

VARIANT Text(BSTR text)
{
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = text;
    return v;
}

// Invokes `id` on `sink` with `args`, the last argument first, and returns
// `cancel`, the Cancel that `args` refer to, as the sink left it.
VARIANT_BOOL Fire(IDispatch* sink, DISPID id, std::vector<VARIANT> args, VARIANT_BOOL* cancel)
{
    DISPPARAMS params = {args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    EXPECT_EQ(S_OK, sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                                 nullptr));
    return *cancel;
}

// BeforeNavigate2: the page's or frame's browser, then address, flags,
// target frame, post data (a reference to a reference) and headers, each by
// reference to a VARIANT, and Cancel.
VARIANT_BOOL BeforeNavigate2(IDispatch* sink, IDispatch* browser, VARIANT address,
                             VARIANT_BOOL cancel = VARIANT_FALSE)
{
    VARIANT flags, frame = Text(nullptr), post, postRef = ByRef(&post), headers = Text(nullptr), top;
    V_VT(&flags) = VT_I4;
    V_I4(&flags) = 0;
    V_VT(&post) = VT_EMPTY;
    V_VT(&top) = VT_DISPATCH;
    V_DISPATCH(&top) = browser;
    return Fire(sink, DISPID_BEFORENAVIGATE2,
                {BoolRef(&cancel), ByRef(&headers), ByRef(&postRef), ByRef(&frame), ByRef(&flags), ByRef(&address),
                 top},
                &cancel);
}

VARIANT_BOOL BeforeNavigate2(IDispatch* sink, IDispatch* browser, const wchar_t* url,
                             VARIANT_BOOL cancel = VARIANT_FALSE)
{
    UniqueBstr text(SysAllocString(url));
    return BeforeNavigate2(sink, browser, Text(text.get()), cancel);
}

TEST(BannerRefusals, NavigationsAwayFromTheWebAreCancelledInThePageAndInItsFrames)
{
    UniqueWindow parent = MakeParent();
    BannerHost banner(&kRect, parent.get(), kStyle, 0);
    // The event names the page's browser or a frame's; any object stands for
    // them here, as the address alone decides.
    BrowserHost frame(&kRect, parent.get(), kStyle, 0);
    IDispatch* sink = &banner;
    for (IDispatch* browser : {sink, static_cast<IDispatch*>(&frame)}) {
        for (const wchar_t* url : kRefused)
            EXPECT_EQ(VARIANT_TRUE, BeforeNavigate2(sink, browser, url)) << "went to " << url;
        for (const wchar_t* url : kAllowed)
            EXPECT_EQ(VARIANT_FALSE, BeforeNavigate2(sink, browser, url)) << "cancelled " << url;
    }
    // A cancel set before stays set: the banner only ever adds one.
    EXPECT_EQ(VARIANT_TRUE, BeforeNavigate2(sink, sink, L"http://127.0.0.1/", VARIANT_TRUE));

    // The address by reference to a string is read; anything else is no
    // address to open.
    UniqueBstr web(SysAllocString(L"https://127.0.0.1/")), local(SysAllocString(L"file:///C:/x"));
    BSTR webText = web.get(), localText = local.get();
    VARIANT address;
    V_VT(&address) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&address) = &webText;
    EXPECT_EQ(VARIANT_FALSE, BeforeNavigate2(sink, sink, address));
    V_BSTRREF(&address) = &localText;
    EXPECT_EQ(VARIANT_TRUE, BeforeNavigate2(sink, sink, address));
    V_VT(&address) = VT_I4;
    V_I4(&address) = 0;
    EXPECT_EQ(VARIANT_TRUE, BeforeNavigate2(sink, sink, address));
    V_VT(&address) = VT_EMPTY;
    EXPECT_EQ(VARIANT_TRUE, BeforeNavigate2(sink, sink, address));
}

TEST(BannerRefusals, NewWindowsOpenOnlyForWebAddressesAndDownloadsNever)
{
    UniqueWindow parent = MakeParent();
    BannerHost banner(&kRect, parent.get(), kStyle, 0);
    IDispatch* sink = &banner;
    UniqueBstr opener(SysAllocString(L"http://127.0.0.1/banner"));
    // NewWindow3: the new browser (out), Cancel, flags, the opener's address
    // and the new window's address.
    auto newWindow3 = [&](const wchar_t* url) {
        UniqueBstr text(SysAllocString(url));
        IDispatch* created = nullptr;
        VARIANT out, flags;
        V_VT(&out) = VT_BYREF | VT_DISPATCH;
        V_DISPATCHREF(&out) = &created;
        V_VT(&flags) = VT_I4;
        V_I4(&flags) = NWMF_USERINITED | NWMF_FIRST;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        Fire(sink, DISPID_NEWWINDOW3, {Text(text.get()), Text(opener.get()), flags, BoolRef(&cancel), out}, &cancel);
        EXPECT_EQ(nullptr, created) << "the banner made a browser for " << url;
        return cancel;
    };
    for (const wchar_t* url : kRefused)
        EXPECT_EQ(VARIANT_TRUE, newWindow3(url)) << "opened " << url;
    for (const wchar_t* url : kAllowed)
        EXPECT_EQ(VARIANT_FALSE, newWindow3(url)) << "cancelled " << url;

    // NewWindow2 has no address: it is left to the NewWindow3 that follows.
    IDispatch* created = nullptr;
    VARIANT out;
    V_VT(&out) = VT_BYREF | VT_DISPATCH;
    V_DISPATCHREF(&out) = &created;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(VARIANT_FALSE, Fire(sink, DISPID_NEWWINDOW2, {BoolRef(&cancel), out}, &cancel));

    // FileDownload: whether the answer is a page the control shows, Cancel.
    auto fileDownload = [&](VARIANT_BOOL activeDocument) {
        VARIANT active;
        V_VT(&active) = VT_BOOL;
        V_BOOL(&active) = activeDocument;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        return Fire(sink, DISPID_FILEDOWNLOAD, {BoolRef(&cancel), active}, &cancel);
    };
    EXPECT_EQ(VARIANT_TRUE, fileDownload(VARIANT_FALSE)) << "a download went ahead";
    EXPECT_EQ(VARIANT_FALSE, fileDownload(VARIANT_TRUE)) << "a page was cancelled";
}

// Records the events it is sent after the host under test has answered.
template <typename Host>
class Recorder : public Host {
public:
    explicit Recorder(HWND parent) : Host(&kRect, parent, kStyle, 0) {}

    struct Asked {
        std::wstring url;
        bool cancelled;
    };
    std::vector<Asked> asked;
    std::vector<bool> downloadsCancelled;
    int loaded = 0, failed = 0;

    void BeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* frame, VARIANT* post,
                         VARIANT* headers, VARIANT_BOOL* cancel) override
    {
        Host::BeforeNavigate2(browser, url, flags, frame, post, headers, cancel);
        asked.push_back({url && V_VT(url) == VT_BSTR && V_BSTR(url) ? V_BSTR(url) : L"",
                         cancel && *cancel != VARIANT_FALSE});
    }
    void FileDownload(VARIANT_BOOL activeDocument, VARIANT_BOOL* cancel) override
    {
        Host::FileDownload(activeDocument, cancel);
        if (activeDocument == VARIANT_FALSE)
            downloadsCancelled.push_back(cancel && *cancel != VARIANT_FALSE);
    }
    void DocumentComplete(IDispatch*, VARIANT*) override { loaded++; }
    void NavigateError(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) override { failed++; }

    std::wstring Location()
    {
        UniqueBstr location;
        if (this->Browser())
            this->Browser()->get_LocationURL(location.put());
        return location ? location.get() : L"";
    }
    // Navigates and handles messages until the control has asked about it.
    bool NavigateAndWait(const std::wstring& url)
    {
        size_t before = asked.size();
        this->Navigate(url.c_str());
        return PumpUntil([&] { return asked.size() > before; }, 20000);
    }
};

// A protocol handler of this prefix, as a program would register one; it
// only starts and ends. Removed at the end.
class ProtocolHandler {
public:
    explicit ProtocolHandler(const wchar_t* scheme) : scheme_(scheme)
    {
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(system) + L"\\cmd.exe\" /c exit";
        std::wstring open = scheme_ + L"\\shell\\open\\command";
        EXPECT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CLASSES_ROOT, scheme, L"URL Protocol", REG_SZ, L"", 2));
        EXPECT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CLASSES_ROOT, open.c_str(), nullptr, REG_SZ, command.c_str(),
                                                 static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))));
    }
    ~ProtocolHandler() { RegDeleteTreeW(HKEY_CLASSES_ROOT, scheme_.c_str()); }

private:
    std::wstring scheme_;
};

// How many processes this program has started, directly or through the
// shell: its children join the job it puts itself in, at their creation.
DWORD StartedProcesses()
{
    static UniqueHandle job = [] {
        UniqueHandle made(CreateJobObjectW(nullptr, nullptr));
        if (made && !AssignProcessToJobObject(made.get(), GetCurrentProcess()))
            made.reset();
        return made;
    }();
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    if (!job || !QueryInformationJobObject(job.get(), JobObjectBasicAccountingInformation, &info, sizeof info,
                                           nullptr))
        return 0;
    return info.TotalProcesses;
}

// Without an HTML engine Wine's control still runs a navigation's first
// steps: it asks the host, then takes the address as its location and, when
// no page loads, starts the address's protocol handler, all in one go.
TEST(BannerRefusals, WinesControlAsksTheBannerFirstAndARefusalStartsNoHandler)
{
    if (!BrowserControlAvailable())
        GTEST_SKIP() << "this Wine creates no web-browser control";
    ProtocolHandler handler(L"lobby-probe");
    UniqueWindow parent = MakeParent();
    Recorder<BannerHost> banner(parent.get());
    Recorder<BrowserHost> plain(parent.get());
    ASSERT_TRUE(banner.CreateControl() && plain.CreateControl());
    const DWORD started = StartedProcesses();
    ASSERT_NE(0u, started) << "this program's processes cannot be counted";

    ASSERT_TRUE(banner.NavigateAndWait(L"about:blank"));
    EXPECT_FALSE(banner.asked.back().cancelled);
    EXPECT_EQ(L"about:blank", banner.Location());
    for (const wchar_t* url : {L"file:///C:/windows/win.ini", L"lobby-probe:refused"}) {
        ASSERT_TRUE(banner.NavigateAndWait(url)) << "never asked about " << url;
        EXPECT_TRUE(banner.asked.back().cancelled) << "went to " << url;
        EXPECT_EQ(L"about:blank", banner.Location()) << "moved on to " << url;
    }
    EXPECT_EQ(started, StartedProcesses()) << "the banner started a program";

    // A host that refuses nothing starts the handler.
    const DWORD before = StartedProcesses();
    ASSERT_TRUE(plain.NavigateAndWait(L"lobby-probe:plain"));
    EXPECT_EQ(L"lobby-probe:plain", plain.Location());
    EXPECT_EQ(before + 1, StartedProcesses()) << "the handler did not start";
}


// Whole HTTP answers by request path on a free port of 127.0.0.1, one
// connection at a time, until destroyed.
class PageServer {
public:
    explicit PageServer(std::map<std::string, std::string> answers) : answers_(std::move(answers))
    {
        unsigned short port = 0;
        listener_ = ListenOnLoopback(8, &port);
        if (!listener_)
            return;
        origin_ = L"http://127.0.0.1:" + std::to_wstring(port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~PageServer()
    {
        // Closing the listener ends the waiting accept.
        listener_.reset();
        if (thread_.joinable())
            thread_.join();
        WSACleanup();
    }
    // Empty when no socket could listen.
    const std::wstring& origin() const { return origin_; }
    int requests() const { return requests_; }

private:
    void Serve()
    {
        for (;;) {
            UniqueSocket client(accept(listener_.get(), nullptr, nullptr));
            if (!client)
                return;
            std::string request;
            char buffer[1024];
            int got;
            while (request.find("\r\n\r\n") == std::string::npos &&
                   (got = recv(client.get(), buffer, sizeof buffer, 0)) > 0)
                request.append(buffer, got);
            requests_++;
            size_t start = request.find(' ') + 1, end = request.find(' ', start);
            auto found = answers_.find(request.substr(start, end - start));
            std::string answer = found != answers_.end() ? found->second
                                                         : "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
            send(client.get(), answer.data(), static_cast<int>(answer.size()), 0);
            shutdown(client.get(), SD_SEND);
        }
    }

    std::map<std::string, std::string> answers_;
    UniqueSocket listener_;
    std::wstring origin_;
    std::atomic<int> requests_{0};
    std::thread thread_;
};

std::string Answer(const std::string& headers, const std::string& body)
{
    return "HTTP/1.1 200 OK\r\n" + headers + "Content-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// Clicks the element with `id` in the control's page; false when there is
// no such element.
bool Click(IWebBrowser2* browser, const wchar_t* id)
{
    UniqueCom<IDispatch> document;
    browser->get_Document(document.put());
    auto html = QueryAs<IHTMLDocument3>(document.get(), IID_IHTMLDocument3);
    UniqueBstr name(SysAllocString(id));
    UniqueCom<IHTMLElement> element;
    if (!html || FAILED(html.get()->getElementById(name.get(), element.put())) || !element)
        return false;
    return SUCCEEDED(element.get()->click());
}

TEST(BannerRefusals, AServedPagesDownloadAndFileLinksGoNowhere)
{
    if (!BrowserControlAvailable())
        GTEST_SKIP() << "this Wine creates no web-browser control";
    const std::string page = "<html><body>"
                             "<a id='local' href='file:///C:/windows/win.ini'>file</a>"
                             "<a id='download' href='/client.zip'>download</a>"
                             "<a id='framed' href='file:///C:/windows/win.ini' target='inner'>in frame</a>"
                             "<iframe name='inner' src='about:blank'></iframe>"
                             "</body></html>";
    PageServer server({{"/banner.html", Answer("Content-Type: text/html\r\n", page)},
                       {"/client.zip", Answer("Content-Type: application/octet-stream\r\n"
                                              "Content-Disposition: attachment; filename=client.zip\r\n",
                                              std::string(4096, 'z'))}});
    ASSERT_FALSE(server.origin().empty()) << "no port of 127.0.0.1 could listen";
    UniqueWindow parent = MakeParent();
    Recorder<BannerHost> banner(parent.get());
    ASSERT_TRUE(banner.CreateControl());
    const std::wstring pageUrl = server.origin() + L"/banner.html";
    banner.Navigate(pageUrl.c_str());
    ASSERT_TRUE(PumpUntil([&] { return banner.loaded > 0 || banner.failed > 0; }, 30000))
        << "the served page neither loaded nor failed";
    UniqueCom<IDispatch> document;
    banner.Browser()->get_Document(document.put());
    if (banner.loaded == 0 || !QueryAs<IHTMLDocument3>(document.get(), IID_IHTMLDocument3))
        GTEST_SKIP() << "this browser control has no HTML engine (Wine without Gecko, or mshtml disabled in the "
                        "test bed): the page was requested "
                     << server.requests() << " time(s) but not shown, so its links cannot be clicked";

    for (const wchar_t* id : {L"local", L"framed"}) {
        size_t before = banner.asked.size();
        // Once the page is complete enough to hold the link.
        ASSERT_TRUE(PumpUntil([&] { return Click(banner.Browser(), id); }, 20000)) << "no link " << id;
        ASSERT_TRUE(PumpUntil([&] { return banner.asked.size() > before; }, 20000)) << "never asked for " << id;
        EXPECT_TRUE(banner.asked.back().cancelled) << id << " went to " << banner.asked.back().url;
    }
    ASSERT_TRUE(PumpUntil([&] { return Click(banner.Browser(), L"download"); }, 20000)) << "no download link";
    ASSERT_TRUE(PumpUntil([&] { return !banner.downloadsCancelled.empty(); }, 20000)) << "no download asked";
    EXPECT_TRUE(banner.downloadsCancelled.front()) << "the download went ahead";
    EXPECT_EQ(pageUrl, banner.Location()) << "the page was left";
}

}  // namespace
