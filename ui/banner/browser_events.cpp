// The control's events, taken apart into the host's event operations.
#include <exdispid.h>

#include "ui/banner/browser_host.h"

namespace {

// DISPPARAMS hold the arguments last first. A missing argument is null, and
// every typed read below gives null or 0 for a value of another type, so a
// short or odd event cannot make the host read past what it was given.
class EventArgs {
public:
    explicit EventArgs(const DISPPARAMS* params) : params_(params) {}

    VARIANT* At(UINT i) const
    {
        if (!params_ || !params_->rgvarg || i >= params_->cArgs)
            return nullptr;
        return &params_->rgvarg[params_->cArgs - 1 - i];
    }
    BSTR Text(UINT i) const
    {
        VARIANT* v = At(i);
        return v && V_VT(v) == VT_BSTR ? V_BSTR(v) : nullptr;
    }
    long Long(UINT i) const
    {
        VARIANT* v = At(i);
        return v && V_VT(v) == VT_I4 ? V_I4(v) : 0;
    }
    VARIANT_BOOL Bool(UINT i) const
    {
        VARIANT* v = At(i);
        return v && V_VT(v) == VT_BOOL ? V_BOOL(v) : VARIANT_FALSE;
    }
    IDispatch* Dispatch(UINT i) const
    {
        VARIANT* v = At(i);
        return v && V_VT(v) == VT_DISPATCH ? V_DISPATCH(v) : nullptr;
    }
    // A VARIANT passed by reference, or the argument itself.
    VARIANT* Variant(UINT i) const
    {
        VARIANT* v = At(i);
        return v && V_VT(v) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(v) : v;
    }
    VARIANT_BOOL* BoolRef(UINT i) const
    {
        VARIANT* v = At(i);
        return v && V_VT(v) == (VT_BYREF | VT_BOOL) ? V_BOOLREF(v) : nullptr;
    }
    IDispatch** DispatchRef(UINT i) const
    {
        VARIANT* v = At(i);
        return v && V_VT(v) == (VT_BYREF | VT_DISPATCH) ? V_DISPATCHREF(v) : nullptr;
    }
    // The control declares some flags unsigned; either integer type reads.
    DWORD Flags(UINT i) const
    {
        VARIANT* v = At(i);
        return v && (V_VT(v) == VT_I4 || V_VT(v) == VT_UI4) ? V_UI4(v) : 0;
    }
    long* LongRef(UINT i) const
    {
        VARIANT* v = At(i);
        return v && V_VT(v) == (VT_BYREF | VT_I4) ? V_I4REF(v) : nullptr;
    }

private:
    const DISPPARAMS* params_;
};

}  // namespace

// Events and the site's ambient-property requests alike: any other DISPID
// is answered S_OK without a result, so the control keeps its defaults.
STDMETHODIMP BrowserHost::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    EventArgs a(params);
    switch (id) {
    case DISPID_STATUSTEXTCHANGE:
        StatusTextChange(a.Text(0));
        break;
    case DISPID_DOWNLOADCOMPLETE:
        DownloadComplete();
        break;
    case DISPID_COMMANDSTATECHANGE:
        CommandStateChange(a.Long(0), a.Bool(1));
        break;
    case DISPID_DOWNLOADBEGIN:
        DownloadBegin();
        break;
    case DISPID_PROGRESSCHANGE:
        ProgressChange(a.Long(0), a.Long(1));
        break;
    case DISPID_PROPERTYCHANGE:
        PropertyChange(a.Text(0));
        break;
    case DISPID_TITLECHANGE:
        TitleChange(a.Text(0));
        break;
    case DISPID_BEFORENAVIGATE2:
        BeforeNavigate2(a.Dispatch(0), a.Variant(1), a.Variant(2), a.Variant(3), a.Variant(4), a.Variant(5),
                        a.BoolRef(6));
        break;
    case DISPID_NEWWINDOW2:
        NewWindow2(a.DispatchRef(0), a.BoolRef(1));
        break;
    case DISPID_NAVIGATECOMPLETE2:
        NavigateComplete2(a.Dispatch(0), a.Variant(1));
        break;
    case DISPID_ONQUIT:
        OnQuit();
        break;
    case DISPID_ONVISIBLE:
        OnVisible(a.Bool(0));
        break;
    case DISPID_ONTOOLBAR:
        OnToolBar(a.Bool(0));
        break;
    case DISPID_ONMENUBAR:
        OnMenuBar(a.Bool(0));
        break;
    case DISPID_ONSTATUSBAR:
        OnStatusBar(a.Bool(0));
        break;
    case DISPID_ONFULLSCREEN:
        OnFullScreen(a.Bool(0));
        break;
    case DISPID_DOCUMENTCOMPLETE:
        DocumentComplete(a.Dispatch(0), a.Variant(1));
        break;
    case DISPID_ONTHEATERMODE:
        OnTheaterMode(a.Bool(0));
        break;
    case DISPID_WINDOWSETRESIZABLE:
        WindowSetResizable(a.Bool(0));
        break;
    case DISPID_WINDOWCLOSING:
        WindowClosing(a.Bool(0), a.BoolRef(1));
        break;
    case DISPID_WINDOWSETLEFT:
        WindowSetLeft(a.Long(0));
        break;
    case DISPID_WINDOWSETTOP:
        WindowSetTop(a.Long(0));
        break;
    case DISPID_WINDOWSETWIDTH:
        WindowSetWidth(a.Long(0));
        break;
    case DISPID_WINDOWSETHEIGHT:
        WindowSetHeight(a.Long(0));
        break;
    case DISPID_CLIENTTOHOSTWINDOW:
        ClientToHostWindow(a.LongRef(0), a.LongRef(1));
        break;
    case DISPID_SETSECURELOCKICON:
        SetSecureLockIcon(a.Long(0));
        break;
    case DISPID_FILEDOWNLOAD:
        FileDownload(a.Bool(0), a.BoolRef(1));
        break;
    case DISPID_NAVIGATEERROR:
        NavigateError(a.Dispatch(0), a.Variant(1), a.Variant(2), a.Variant(3), a.BoolRef(4));
        break;
    case DISPID_NEWWINDOW3:
        NewWindow3(a.DispatchRef(0), a.BoolRef(1), a.Flags(2), a.Text(3), a.Text(4));
        break;
    }
    return S_OK;
}

void BrowserHost::StatusTextChange(BSTR) {}
void BrowserHost::DownloadComplete() {}
void BrowserHost::CommandStateChange(long, VARIANT_BOOL) {}
void BrowserHost::DownloadBegin() {}
void BrowserHost::ProgressChange(long, long) {}
void BrowserHost::PropertyChange(BSTR) {}
void BrowserHost::TitleChange(BSTR) {}
void BrowserHost::BeforeNavigate2(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) {}
void BrowserHost::NewWindow2(IDispatch**, VARIANT_BOOL*) {}
void BrowserHost::NavigateComplete2(IDispatch*, VARIANT*) {}
void BrowserHost::OnQuit() {}
void BrowserHost::OnVisible(VARIANT_BOOL) {}
void BrowserHost::OnToolBar(VARIANT_BOOL) {}
void BrowserHost::OnMenuBar(VARIANT_BOOL) {}
void BrowserHost::OnStatusBar(VARIANT_BOOL) {}
void BrowserHost::OnFullScreen(VARIANT_BOOL) {}
void BrowserHost::DocumentComplete(IDispatch*, VARIANT*) {}
void BrowserHost::OnTheaterMode(VARIANT_BOOL) {}
void BrowserHost::WindowSetResizable(VARIANT_BOOL) {}
void BrowserHost::WindowClosing(VARIANT_BOOL, VARIANT_BOOL*) {}
void BrowserHost::WindowSetLeft(long) {}
void BrowserHost::WindowSetTop(long) {}
void BrowserHost::WindowSetWidth(long) {}
void BrowserHost::WindowSetHeight(long) {}
void BrowserHost::ClientToHostWindow(long*, long*) {}
void BrowserHost::SetSecureLockIcon(long) {}
void BrowserHost::FileDownload(VARIANT_BOOL, VARIANT_BOOL*) {}
void BrowserHost::NavigateError(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) {}
void BrowserHost::NewWindow3(IDispatch**, VARIANT_BOOL*, DWORD, BSTR, BSTR) {}
