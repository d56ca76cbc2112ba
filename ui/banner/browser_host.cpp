#include "ui/banner/browser_host.h"

#include <windowsx.h>

namespace {

constexpr UINT kVerbRequest = WM_APP + 1;  // wParam: 1 shows
constexpr UINT kMoveRequest = WM_APP + 2;  // wParam: left, top; lParam: right, bottom
constexpr wchar_t kRequestClass[] = L"BrowserHostRequests";

bool IsZero(const GUID& guid)
{
    static const GUID zero = {};
    return IsEqualGUID(guid, zero) != FALSE;
}

}  // namespace

BrowserHost::BrowserHost(const RECT* rect, HWND parentWindow, DWORD style, int id)
    : Widget(rect, L"", nullptr, id, nullptr), parentWindow(parentWindow), style(style),
      hostThread(GetCurrentThreadId())
{
    ole = EnterOle();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = RequestProc;
    wc.lpszClassName = kRequestClass;
    if (RegisterClassW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        requests.reset(CreateWindowExW(0, kRequestClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                       nullptr));
    if (requests)
        SetWindowLongPtrW(requests.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

BrowserHost::~BrowserHost()
{
    controlWindow.reset();
    if (connectionPoint)
        connectionPoint.get()->Unadvise(cookie);
    connectionPoint.reset();
    cookie = 0xFFFFFFFF;
    DropSite();
    browser.reset();
    // Only now: the control holds no pointer to the site any more.
    site.reset();
    eventsIid = {};
}

void BrowserHost::DropSite()
{
    if (auto object = QueryAs<IOleObject>(browser.get(), IID_IOleObject))
        object.get()->SetClientSite(nullptr);
}

bool BrowserHost::CreateControl()
{
    if (browser)
        return true;
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IWebBrowser2, reinterpret_cast<void**>(browser.put()))))
        return false;
    auto object = QueryAs<IOleObject>(browser.get(), IID_IOleObject);
    if (!object)
        return false;
    site = std::make_unique<HostSite>(parentWindow, rect, this);
    if (FAILED(object.get()->SetClientSite(&site->client))) {
        site.reset();
        return false;
    }
    auto inPlace = QueryAs<IOleInPlaceObject>(browser.get(), IID_IOleInPlaceObject);
    if (!inPlace) {
        object.get()->SetClientSite(nullptr);
        site.reset();
        return false;
    }
    HWND window = nullptr;
    inPlace.get()->GetWindow(&window);
    controlWindow.reset(window);
    inPlace.reset();
    LONG bits = static_cast<LONG>(style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    if (window)
        SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | bits);
    // No window or rectangle: the control takes both from GetWindowContext.
    LONG verb = (style & WS_VISIBLE) ? OLEIVERB_SHOW : OLEIVERB_HIDE;
    object.get()->DoVerb(verb, nullptr, &site->client, 0, nullptr, nullptr);

    if (auto info = QueryAs<IProvideClassInfo2>(browser.get(), IID_IProvideClassInfo2))
        info.get()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &eventsIid);
    if (!IsZero(eventsIid)) {
        if (auto points = QueryAs<IConnectionPointContainer>(browser.get(), IID_IConnectionPointContainer)) {
            if (SUCCEEDED(points.get()->FindConnectionPoint(eventsIid, connectionPoint.put())) &&
                FAILED(connectionPoint.get()->Advise(static_cast<IDispatch*>(this), &cookie)))
                connectionPoint.reset();
        }
    }
    return true;
}

void BrowserHost::Navigate(const wchar_t* url)
{
    if (!browser || !url)
        return;
    UniqueBstr address(SysAllocString(url));
    if (address)
        browser.get()->Navigate(address.get(), nullptr, nullptr, nullptr, nullptr);
}

void BrowserHost::SetVisible(int v)
{
    if (OffWindowThread("BrowserHost::SetVisible"))
        return;
    ApplyVerb(v);
    Widget::SetVisible(v);
}

void BrowserHost::SetEnabled(int e)
{
    if (OffWindowThread("BrowserHost::SetEnabled"))
        return;
    // Sent to the banner thread and waited for; nothing calls it while the
    // banner works.
    if (controlWindow)
        EnableWindow(controlWindow.get(), e);
    Widget::SetEnabled(e);
}

RECT* BrowserHost::SetRect(RECT* oldOut, const RECT* r, int s)
{
    if (OffWindowThread("BrowserHost::SetRect"))
        return oldOut;
    Widget::SetRect(oldOut, r, s);
    if (r)
        ApplyRect(rect);
    return oldOut;
}

// The control is an apartment object of the host's thread: calls on it from
// the window's thread go through the request window.
void BrowserHost::ApplyVerb(int v)
{
    if (GetCurrentThreadId() != hostThread) {
        if (requests)
            PostMessageW(requests.get(), kVerbRequest, v == 1, 0);
        return;
    }
    IOleClientSite* client = site ? &site->client : nullptr;
    if (auto object = QueryAs<IOleObject>(browser.get(), IID_IOleObject))
        object.get()->DoVerb(v == 1 ? OLEIVERB_SHOW : OLEIVERB_HIDE, nullptr, client, 0, nullptr, nullptr);
}

void BrowserHost::ApplyRect(const RECT& r)
{
    if (GetCurrentThreadId() != hostThread) {
        if (requests)
            PostMessageW(requests.get(), kMoveRequest, MAKEWPARAM(r.left, r.top), MAKELPARAM(r.right, r.bottom));
        return;
    }
    // The site is read by the control's own calls on this thread only.
    if (site)
        site->rect = r;
    if (controlWindow)
        MoveWindow(controlWindow.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

LRESULT CALLBACK BrowserHost::RequestProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* host = reinterpret_cast<BrowserHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (host && msg == kVerbRequest) {
        host->ApplyVerb(wParam == 1 ? 1 : 0);
        return 0;
    }
    if (host && msg == kMoveRequest) {
        host->ApplyRect({GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The sink: the control's event interface is known only once it is embedded.
STDMETHODIMP BrowserHost::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_FAIL;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        (!IsZero(eventsIid) && IsEqualIID(iid, eventsIid))) {
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP BrowserHost::GetTypeInfoCount(UINT*)
{
    return E_NOTIMPL;
}

STDMETHODIMP BrowserHost::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

STDMETHODIMP BrowserHost::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}
