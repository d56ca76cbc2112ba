// The container's answers, called through its interfaces as the control
// calls them: the QueryInterface maps of site and sink, the window context,
// the document-host answers, event dispatch and the fixed reference counts.
#include <gtest/gtest.h>
#include <windows.h>
#include <exdispid.h>
#include <olectl.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/banner/banner_host.h"

namespace {

constexpr RECT kRect = {2, 37, 597, 211};
constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
void* const kPoison = reinterpret_cast<void*>(0x5A5A5A5A);

// A 600 x 350 top-level window for the site to name.
UniqueWindow MakeParent()
{
    return UniqueWindow(CreateWindowExW(0, L"STATIC", L"banner parent", WS_POPUP, 50, 50, 600, 350, nullptr, nullptr,
                                        nullptr, nullptr));
}

// A host with a site of its own, so the answers can be reached without a
// control; it records the one event it overrides.
template <typename Host>
class Probe : public Host {
public:
    explicit Probe(HWND parent) : Host(&kRect, parent, kStyle, 0)
    {
        this->site = std::make_unique<HostSite>(parent, kRect, this);
        this->eventsIid = DIID_DWebBrowserEvents2;
    }
    HostSite& Site() { return *this->site; }
    IDispatch* Sink() { return static_cast<IDispatch*>(this); }

    void BeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT* headers,
                         VARIANT_BOOL* cancel) override
    {
        calls++;
        seenBrowser = browser;
        seenUrl = url && V_VT(url) == VT_BSTR ? V_BSTR(url) : L"(none)";
        seenHeaders = headers && V_VT(headers) == VT_BSTR ? V_BSTR(headers) : L"(none)";
        seenCancel = cancel;
    }

    int calls = 0;
    IDispatch* seenBrowser = nullptr;
    std::wstring seenUrl, seenHeaders;
    VARIANT_BOOL* seenCancel = nullptr;
};

class HostAnswers : public ::testing::Test {
protected:
    UniqueWindow parent = MakeParent();
    Probe<BannerHost> banner{parent.get()};
    Probe<BrowserHost> plain{parent.get()};

    // Every entry of the banner's site, as IUnknown.
    std::vector<IUnknown*> Entries()
    {
        HostSite& s = banner.Site();
        return {&s.frame, &s.container, &s.client, &s.inPlace, &s.control, &s.dispatch, &s.docHost};
    }
};

TEST_F(HostAnswers, EveryEntryAnswersWithTheSameInterfaceMap)
{
    ASSERT_TRUE(parent);
    HostSite& s = banner.Site();
    struct Row {
        const char* name;
        const IID& iid;
        void* expected;
    };
    const Row rows[] = {
        {"IUnknown", IID_IUnknown, static_cast<IOleInPlaceFrame*>(&s.frame)},
        {"IOleWindow", IID_IOleWindow, static_cast<IOleInPlaceFrame*>(&s.frame)},
        {"IOleInPlaceUIWindow", IID_IOleInPlaceUIWindow, static_cast<IOleInPlaceFrame*>(&s.frame)},
        {"IOleInPlaceFrame", IID_IOleInPlaceFrame, static_cast<IOleInPlaceFrame*>(&s.frame)},
        {"IParseDisplayName", IID_IParseDisplayName, static_cast<IOleContainer*>(&s.container)},
        {"IOleContainer", IID_IOleContainer, static_cast<IOleContainer*>(&s.container)},
        {"IOleClientSite", IID_IOleClientSite, static_cast<IOleClientSite*>(&s.client)},
        {"IOleInPlaceSite", IID_IOleInPlaceSite, static_cast<IOleInPlaceSite*>(&s.inPlace)},
        {"IOleControlSite", IID_IOleControlSite, static_cast<IOleControlSite*>(&s.control)},
        {"IDispatch", IID_IDispatch, static_cast<IDispatch*>(&s.dispatch)},
        {"IDocHostUIHandler", IID_IDocHostUIHandler, static_cast<IDocHostUIHandler*>(&s.docHost)},
        // Not a container interface: the control must not find one here.
        {"IOleObject", IID_IOleObject, nullptr},
        {"IServiceProvider", IID_IServiceProvider, nullptr},
        {"DWebBrowserEvents2", DIID_DWebBrowserEvents2, nullptr},
    };
    for (IUnknown* entry : Entries()) {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.name);
            void* out = kPoison;
            HRESULT hr = entry->QueryInterface(row.iid, &out);
            EXPECT_EQ(row.expected ? S_OK : E_NOINTERFACE, hr);
            EXPECT_EQ(row.expected, out);
        }
        EXPECT_EQ(E_POINTER, entry->QueryInterface(IID_IUnknown, nullptr));
    }
}

TEST_F(HostAnswers, SinkAnswersForItselfAndTheControlsEventInterface)
{
    IDispatch* sink = banner.Sink();
    for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &DIID_DWebBrowserEvents2}) {
        void* out = kPoison;
        EXPECT_EQ(S_OK, sink->QueryInterface(*iid, &out));
        EXPECT_EQ(static_cast<void*>(sink), out);
    }
    void* out = kPoison;
    EXPECT_EQ(E_NOINTERFACE, sink->QueryInterface(IID_IOleClientSite, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_FAIL, sink->QueryInterface(IID_IDispatch, nullptr));
    // A host without an event interface must not answer for the all-zero one.
    out = kPoison;
    BannerHost bare(&kRect, parent.get(), kStyle, 0);
    EXPECT_EQ(E_NOINTERFACE, static_cast<IDispatch*>(&bare)->QueryInterface(GUID{}, &out));
}

TEST_F(HostAnswers, WindowAndContextNameTheParentAndTheSiteRectangle)
{
    HostSite& s = banner.Site();
    HWND window = static_cast<HWND>(kPoison);
    EXPECT_EQ(S_OK, s.frame.GetWindow(&window));
    EXPECT_EQ(parent.get(), window);
    window = static_cast<HWND>(kPoison);
    EXPECT_EQ(S_OK, s.inPlace.GetWindow(&window));
    EXPECT_EQ(parent.get(), window);
    EXPECT_EQ(E_FAIL, s.inPlace.GetWindow(nullptr));

    IOleInPlaceFrame* frame = static_cast<IOleInPlaceFrame*>(kPoison);
    IOleInPlaceUIWindow* document = static_cast<IOleInPlaceUIWindow*>(kPoison);
    RECT position, clip;
    memset(&position, 0x55, sizeof position);
    memset(&clip, 0x55, sizeof clip);
    OLEINPLACEFRAMEINFO info;
    memset(&info, 0x55, sizeof info);
    info.cb = sizeof info;
    ASSERT_EQ(S_OK, s.inPlace.GetWindowContext(&frame, &document, &position, &clip, &info));
    EXPECT_EQ(static_cast<IOleInPlaceFrame*>(&s.frame), frame);
    EXPECT_EQ(nullptr, document);
    EXPECT_TRUE(EqualRect(&kRect, &position));
    RECT client = {0, 0, 600, 350};
    EXPECT_TRUE(EqualRect(&client, &clip));
    EXPECT_EQ(FALSE, info.fMDIApp);
    EXPECT_EQ(parent.get(), info.hwndFrame);
    EXPECT_EQ(nullptr, info.haccel);
    EXPECT_EQ(0u, info.cAccelEntries);

    IOleContainer* container = static_cast<IOleContainer*>(kPoison);
    EXPECT_EQ(S_OK, s.client.GetContainer(&container));
    EXPECT_EQ(static_cast<IOleContainer*>(&s.container), container);
}

TEST_F(HostAnswers, DocumentHostKeepsTheBrowsersMenuSwallowsShortcutsAndHidesScrollBarsOnlyForTheBanner)
{
    DOCHOSTUIINFO info;
    memset(&info, 0x55, sizeof info);
    info.cbSize = sizeof info;
    info.dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
    EXPECT_EQ(S_OK, banner.Site().docHost.GetHostInfo(&info));
    EXPECT_EQ(static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO), info.dwFlags);
    EXPECT_EQ(0x55555555u, info.dwDoubleClick);

    DOCHOSTUIINFO before = info, after = info;
    EXPECT_EQ(S_OK, plain.Site().docHost.GetHostInfo(&after));
    EXPECT_EQ(0, memcmp(&before, &after, sizeof before));

    IDocHostUIHandler& ui = banner.Site().docHost;
    POINT at = {10, 10};
    EXPECT_EQ(S_FALSE, ui.ShowContextMenu(CONTEXT_MENU_DEFAULT, &at, nullptr, nullptr));
    MSG key = {parent.get(), WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_EQ(S_OK, ui.TranslateAccelerator(&key, nullptr, 0));
    IDispatch* external = static_cast<IDispatch*>(kPoison);
    EXPECT_EQ(S_OK, ui.GetExternal(&external));
    EXPECT_EQ(banner.Sink(), external);
    // Scripts calling window.external find no names.
    LPOLESTR name = const_cast<LPOLESTR>(L"anything");
    DISPID id = 0x55;
    EXPECT_EQ(E_NOTIMPL, external->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
    EXPECT_EQ(0x55, id);
}

TEST_F(HostAnswers, InvokeTakesEventArgumentsInDeclaredOrderAndLetsOtherIdsPass)
{
    // DISPPARAMS carry the last argument first.
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT url, headers, args[7];
    VariantInit(&url);
    VariantInit(&headers);
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = SysAllocString(L"http://127.0.0.1/next");
    V_VT(&headers) = VT_BSTR;
    V_BSTR(&headers) = SysAllocString(L"X-Banner: 1");
    for (VARIANT& a : args)
        VariantInit(&a);
    V_VT(&args[6]) = VT_DISPATCH;
    V_DISPATCH(&args[6]) = banner.Sink();
    V_VT(&args[5]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&args[5]) = &url;
    V_VT(&args[1]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&args[1]) = &headers;
    V_VT(&args[0]) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&args[0]) = &cancel;
    DISPPARAMS params = {args, nullptr, 7, 0};

    VARIANT result;
    VariantInit(&result);
    V_VT(&result) = VT_I4;
    V_I4(&result) = 0x5A5A;
    EXPECT_EQ(S_OK, banner.Sink()->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &params, &result,
                                          nullptr, nullptr));
    EXPECT_EQ(1, banner.calls);
    EXPECT_EQ(banner.Sink(), banner.seenBrowser);
    EXPECT_EQ(L"http://127.0.0.1/next", banner.seenUrl);
    EXPECT_EQ(L"X-Banner: 1", banner.seenHeaders);
    EXPECT_EQ(&cancel, banner.seenCancel);
    EXPECT_EQ(VARIANT_FALSE, cancel);

    // Too few arguments: the operation sees nulls, nothing is read beyond.
    DISPPARAMS shortParams = {&args[6], nullptr, 1, 0};
    EXPECT_EQ(S_OK, banner.Sink()->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &shortParams,
                                          nullptr, nullptr, nullptr));
    EXPECT_EQ(2, banner.calls);
    EXPECT_EQ(L"(none)", banner.seenUrl);
    EXPECT_EQ(nullptr, banner.seenCancel);

    // An ambient-property request through the site: S_OK without a result.
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(S_OK, banner.Site().dispatch.Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET,
                                                  &none, &result, nullptr, nullptr));
    EXPECT_EQ(VT_I4, V_VT(&result));
    EXPECT_EQ(0x5A5A, V_I4(&result));
    EXPECT_EQ(2, banner.calls);
    VariantClear(&url);
    VariantClear(&headers);
}

TEST_F(HostAnswers, ReferenceCountsStayAtOneAndFreeNothing)
{
    std::vector<IUnknown*> all = Entries();
    all.push_back(banner.Sink());
    for (IUnknown* object : all) {
        EXPECT_EQ(1u, object->AddRef());
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(1u, object->Release());
    }
    // Everything still answers after more releases than references.
    HWND window = nullptr;
    EXPECT_EQ(S_OK, banner.Site().frame.GetWindow(&window));
    EXPECT_EQ(parent.get(), window);
    void* out = nullptr;
    EXPECT_EQ(S_OK, banner.Sink()->QueryInterface(IID_IDispatch, &out));
}

}  // namespace
