#include "ui/banner/host_site.h"

#include "ui/banner/browser_host.h"

HostSite::HostSite(HWND parentWindow, const RECT& rect, BrowserHost* host)
    : parentWindow(parentWindow), rect(rect), host(host)
{
    frame.site = container.site = client.site = inPlace.site = control.site = dispatch.site = docHost.site = this;
}

HRESULT HostSite::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceUIWindow) ||
        IsEqualIID(iid, IID_IOleInPlaceFrame))
        *out = static_cast<IOleInPlaceFrame*>(&frame);
    else if (IsEqualIID(iid, IID_IParseDisplayName) || IsEqualIID(iid, IID_IOleContainer))
        *out = static_cast<IOleContainer*>(&container);
    else if (IsEqualIID(iid, IID_IOleClientSite))
        *out = static_cast<IOleClientSite*>(&client);
    else if (IsEqualIID(iid, IID_IOleInPlaceSite))
        *out = static_cast<IOleInPlaceSite*>(&inPlace);
    else if (IsEqualIID(iid, IID_IOleControlSite))
        *out = static_cast<IOleControlSite*>(&control);
    else if (IsEqualIID(iid, IID_IDispatch))
        *out = static_cast<IDispatch*>(&dispatch);
    else if (IsEqualIID(iid, IID_IDocHostUIHandler))
        *out = static_cast<IDocHostUIHandler*>(&docHost);
    return *out ? S_OK : E_NOINTERFACE;
}

STDMETHODIMP SiteFrame::QueryInterface(REFIID iid, void** out)
{
    return site->QueryInterface(iid, out);
}

STDMETHODIMP SiteFrame::GetWindow(HWND* window)
{
    return site->host->GetWindow(window);
}

STDMETHODIMP SiteFrame::ContextSensitiveHelp(BOOL enter)
{
    return site->host->ContextSensitiveHelp(enter);
}

STDMETHODIMP SiteFrame::GetBorder(LPRECT border)
{
    return site->host->GetBorder(border);
}

STDMETHODIMP SiteFrame::RequestBorderSpace(LPCBORDERWIDTHS widths)
{
    return site->host->RequestBorderSpace(widths);
}

STDMETHODIMP SiteFrame::SetBorderSpace(LPCBORDERWIDTHS widths)
{
    return site->host->SetBorderSpace(widths);
}

STDMETHODIMP SiteFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name)
{
    return site->host->SetActiveObject(object, name);
}

STDMETHODIMP SiteFrame::InsertMenus(HMENU menu, LPOLEMENUGROUPWIDTHS widths)
{
    return site->host->InsertMenus(menu, widths);
}

STDMETHODIMP SiteFrame::SetMenu(HMENU menu, HOLEMENU shared, HWND activeObject)
{
    return site->host->SetMenu(menu, shared, activeObject);
}

STDMETHODIMP SiteFrame::RemoveMenus(HMENU menu)
{
    return site->host->RemoveMenus(menu);
}

STDMETHODIMP SiteFrame::SetStatusText(LPCOLESTR text)
{
    return site->host->SetStatusText(text);
}

STDMETHODIMP SiteFrame::EnableModeless(BOOL enable)
{
    return site->host->FrameEnableModeless(enable);
}

STDMETHODIMP SiteFrame::TranslateAccelerator(LPMSG msg, WORD id)
{
    return site->host->FrameTranslateAccelerator(msg, id);
}

STDMETHODIMP SiteContainer::QueryInterface(REFIID iid, void** out)
{
    return site->QueryInterface(iid, out);
}

STDMETHODIMP SiteContainer::ParseDisplayName(IBindCtx* context, LPOLESTR name, ULONG* eaten, IMoniker** moniker)
{
    return site->host->ParseDisplayName(context, name, eaten, moniker);
}

STDMETHODIMP SiteContainer::EnumObjects(DWORD flags, IEnumUnknown** objects)
{
    return site->host->EnumObjects(flags, objects);
}

STDMETHODIMP SiteContainer::LockContainer(BOOL lock)
{
    return site->host->LockContainer(lock);
}

STDMETHODIMP SiteClient::QueryInterface(REFIID iid, void** out)
{
    return site->QueryInterface(iid, out);
}

STDMETHODIMP SiteClient::SaveObject()
{
    return site->host->SaveObject();
}

STDMETHODIMP SiteClient::GetMoniker(DWORD assign, DWORD which, IMoniker** moniker)
{
    return site->host->GetMoniker(assign, which, moniker);
}

STDMETHODIMP SiteClient::GetContainer(IOleContainer** container)
{
    return site->host->GetContainer(container);
}

STDMETHODIMP SiteClient::ShowObject()
{
    return site->host->ShowObject();
}

STDMETHODIMP SiteClient::OnShowWindow(BOOL show)
{
    return site->host->OnShowWindow(show);
}

STDMETHODIMP SiteClient::RequestNewObjectLayout()
{
    return site->host->RequestNewObjectLayout();
}

STDMETHODIMP SiteInPlace::QueryInterface(REFIID iid, void** out)
{
    return site->QueryInterface(iid, out);
}

STDMETHODIMP SiteInPlace::GetWindow(HWND* window)
{
    return site->host->GetWindow(window);
}

STDMETHODIMP SiteInPlace::ContextSensitiveHelp(BOOL enter)
{
    return site->host->ContextSensitiveHelp(enter);
}

STDMETHODIMP SiteInPlace::CanInPlaceActivate()
{
    return site->host->CanInPlaceActivate();
}

STDMETHODIMP SiteInPlace::OnInPlaceActivate()
{
    return site->host->OnInPlaceActivate();
}

STDMETHODIMP SiteInPlace::OnUIActivate()
{
    return site->host->OnUIActivate();
}

STDMETHODIMP SiteInPlace::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                           LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    return site->host->GetWindowContext(frame, document, position, clip, info);
}

STDMETHODIMP SiteInPlace::Scroll(SIZE extent)
{
    return site->host->Scroll(extent);
}

STDMETHODIMP SiteInPlace::OnUIDeactivate(BOOL undoable)
{
    return site->host->OnUIDeactivate(undoable);
}

STDMETHODIMP SiteInPlace::OnInPlaceDeactivate()
{
    return site->host->OnInPlaceDeactivate();
}

STDMETHODIMP SiteInPlace::DiscardUndoState()
{
    return site->host->DiscardUndoState();
}

STDMETHODIMP SiteInPlace::DeactivateAndUndo()
{
    return site->host->DeactivateAndUndo();
}

STDMETHODIMP SiteInPlace::OnPosRectChange(LPCRECT position)
{
    return site->host->OnPosRectChange(position);
}

STDMETHODIMP SiteControl::QueryInterface(REFIID iid, void** out)
{
    return site->QueryInterface(iid, out);
}

STDMETHODIMP SiteControl::OnControlInfoChanged()
{
    return site->host->OnControlInfoChanged();
}

STDMETHODIMP SiteControl::LockInPlaceActive(BOOL lock)
{
    return site->host->LockInPlaceActive(lock);
}

STDMETHODIMP SiteControl::GetExtendedControl(IDispatch** control)
{
    return site->host->GetExtendedControl(control);
}

STDMETHODIMP SiteControl::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags)
{
    return site->host->TransformCoords(himetric, container, flags);
}

STDMETHODIMP SiteControl::TranslateAccelerator(MSG* msg, DWORD modifiers)
{
    return site->host->ControlTranslateAccelerator(msg, modifiers);
}

STDMETHODIMP SiteControl::OnFocus(BOOL gotFocus)
{
    return site->host->OnFocus(gotFocus);
}

STDMETHODIMP SiteControl::ShowPropertyFrame()
{
    return site->host->ShowPropertyFrame();
}

STDMETHODIMP SiteDispatch::QueryInterface(REFIID iid, void** out)
{
    return site->QueryInterface(iid, out);
}

STDMETHODIMP SiteDispatch::GetTypeInfoCount(UINT* count)
{
    return site->host->GetTypeInfoCount(count);
}

STDMETHODIMP SiteDispatch::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info)
{
    return site->host->GetTypeInfo(index, locale, info);
}

STDMETHODIMP SiteDispatch::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids)
{
    return site->host->GetIDsOfNames(iid, names, count, locale, ids);
}

STDMETHODIMP SiteDispatch::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                  EXCEPINFO* exception, UINT* argError)
{
    return site->host->Invoke(id, iid, locale, flags, params, result, exception, argError);
}

STDMETHODIMP SiteDocHost::QueryInterface(REFIID iid, void** out)
{
    return site->QueryInterface(iid, out);
}

STDMETHODIMP SiteDocHost::ShowContextMenu(DWORD id, POINT* at, IUnknown* target, IDispatch* object)
{
    return site->host->ShowContextMenu(id, at, target, object);
}

STDMETHODIMP SiteDocHost::GetHostInfo(DOCHOSTUIINFO* info)
{
    return site->host->GetHostInfo(info);
}

STDMETHODIMP SiteDocHost::ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                                 IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document)
{
    return site->host->ShowUI(id, active, target, frame, document);
}

STDMETHODIMP SiteDocHost::HideUI()
{
    return site->host->HideUI();
}

STDMETHODIMP SiteDocHost::UpdateUI()
{
    return site->host->UpdateUI();
}

STDMETHODIMP SiteDocHost::EnableModeless(BOOL enable)
{
    return site->host->HostEnableModeless(enable);
}

STDMETHODIMP SiteDocHost::OnDocWindowActivate(BOOL activate)
{
    return site->host->OnDocWindowActivate(activate);
}

STDMETHODIMP SiteDocHost::OnFrameWindowActivate(BOOL activate)
{
    return site->host->OnFrameWindowActivate(activate);
}

STDMETHODIMP SiteDocHost::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow)
{
    return site->host->ResizeBorder(border, window, frameWindow);
}

STDMETHODIMP SiteDocHost::TranslateAccelerator(LPMSG msg, const GUID* group, DWORD command)
{
    return site->host->HostTranslateAccelerator(msg, group, command);
}

STDMETHODIMP SiteDocHost::GetOptionKeyPath(LPOLESTR* key, DWORD reserved)
{
    return site->host->GetOptionKeyPath(key, reserved);
}

STDMETHODIMP SiteDocHost::GetDropTarget(IDropTarget* target, IDropTarget** replacement)
{
    return site->host->GetDropTarget(target, replacement);
}

STDMETHODIMP SiteDocHost::GetExternal(IDispatch** external)
{
    return site->host->GetExternal(external);
}

STDMETHODIMP SiteDocHost::TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated)
{
    return site->host->TranslateUrl(translate, url, translated);
}

STDMETHODIMP SiteDocHost::FilterDataObject(IDataObject* object, IDataObject** filtered)
{
    return site->host->FilterDataObject(object, filtered);
}
