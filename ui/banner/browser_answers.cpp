// The container's answers to the control: the window, the site rectangle and
// the external object; almost everything else is refused, so the control
// keeps its own defaults.
#include "ui/banner/browser_host.h"

HRESULT BrowserHost::GetWindow(HWND* window)
{
    if (!site || !window)
        return E_FAIL;
    *window = site->parentWindow;
    return S_OK;
}

HRESULT BrowserHost::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::GetBorder(LPRECT)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::RequestBorderSpace(LPCBORDERWIDTHS)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::SetBorderSpace(LPCBORDERWIDTHS)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::SetMenu(HMENU, HOLEMENU, HWND)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::RemoveMenus(HMENU)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::SetStatusText(LPCOLESTR)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::FrameEnableModeless(BOOL)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::FrameTranslateAccelerator(LPMSG, WORD)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::EnumObjects(DWORD, IEnumUnknown**)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::LockContainer(BOOL)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::SaveObject()
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::GetMoniker(DWORD, DWORD, IMoniker**)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::GetContainer(IOleContainer** container)
{
    if (!site || !container)
        return E_NOTIMPL;
    *container = &site->container;
    return S_OK;
}

HRESULT BrowserHost::ShowObject()
{
    return S_OK;
}

HRESULT BrowserHost::OnShowWindow(BOOL)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::RequestNewObjectLayout()
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::CanInPlaceActivate()
{
    return S_OK;
}

HRESULT BrowserHost::OnInPlaceActivate()
{
    return S_OK;
}

HRESULT BrowserHost::OnUIActivate()
{
    return S_OK;
}

HRESULT BrowserHost::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                      LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    if (!site || !frame)
        return E_FAIL;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceFrame, reinterpret_cast<void**>(frame))))
        return E_FAIL;
    if (document)
        *document = nullptr;
    if (position)
        *position = site->rect;
    if (clip)
        GetClientRect(site->parentWindow, clip);
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = site->parentWindow;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT BrowserHost::Scroll(SIZE)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::OnUIDeactivate(BOOL)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::OnInPlaceDeactivate()
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::DiscardUndoState()
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::DeactivateAndUndo()
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::OnPosRectChange(LPCRECT)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::OnControlInfoChanged()
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::LockInPlaceActive(BOOL)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::GetExtendedControl(IDispatch**)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::TransformCoords(POINTL*, POINTF*, DWORD)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::ControlTranslateAccelerator(MSG*, DWORD)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::OnFocus(BOOL)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::ShowPropertyFrame()
{
    return E_NOTIMPL;
}

// S_FALSE: the browser shows its own menu.
HRESULT BrowserHost::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*)
{
    return S_FALSE;
}

HRESULT BrowserHost::GetHostInfo(DOCHOSTUIINFO*)
{
    return S_OK;
}

HRESULT BrowserHost::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                            IOleInPlaceUIWindow*)
{
    return S_OK;
}

HRESULT BrowserHost::HideUI()
{
    return S_OK;
}

HRESULT BrowserHost::UpdateUI()
{
    return S_OK;
}

HRESULT BrowserHost::HostEnableModeless(BOOL)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::OnDocWindowActivate(BOOL)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::OnFrameWindowActivate(BOOL)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return E_NOTIMPL;
}

// Every key counts as handled: the browser's own shortcuts (refresh, print)
// do nothing inside the host.
HRESULT BrowserHost::HostTranslateAccelerator(LPMSG, const GUID*, DWORD)
{
    return S_OK;
}

HRESULT BrowserHost::GetOptionKeyPath(LPOLESTR*, DWORD)
{
    return E_NOTIMPL;
}

HRESULT BrowserHost::GetDropTarget(IDropTarget*, IDropTarget**)
{
    return E_NOTIMPL;
}

// Scripts get the sink, whose names they cannot look up: window.external
// exists but offers nothing. Not counted, like every reference here.
HRESULT BrowserHost::GetExternal(IDispatch** external)
{
    if (!external)
        return E_POINTER;
    *external = static_cast<IDispatch*>(this);
    return S_OK;
}

HRESULT BrowserHost::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated)
{
    if (translated)
        *translated = nullptr;
    return E_NOTIMPL;
}

HRESULT BrowserHost::FilterDataObject(IDataObject*, IDataObject** filtered)
{
    if (filtered)
        *filtered = nullptr;
    return E_NOTIMPL;
}
