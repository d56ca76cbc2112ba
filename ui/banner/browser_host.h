// A web-browser control embedded as a child window, with the smallest OLE
// container that keeps it working: a widget with no image that owns the
// control, its site and the event sink. Every container method and every
// control event is a virtual operation here, so a derived host changes one
// answer by overriding it.
//
// The control belongs to the thread that built the host, which must pump
// messages; the host is destroyed there too. The widget starts without a
// parent: the window's own thread attaches it with SetParent. Called there,
// SetVisible and SetRect hand their control part to the host's thread.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <ocidl.h>

#include <memory>

#include "ui/banner/host_site.h"
#include "ui/banner/ole_owners.h"
#include "ui/kit/widget.h"

class BrowserHost : public Widget, public IDispatch {
public:
    // `rect` in the client coordinates of `parentWindow`, which becomes the
    // control's parent window; `style` is the control window's style.
    BrowserHost(const RECT* rect, HWND parentWindow, DWORD style, int id);
    ~BrowserHost() override;

    // Creates and shows the control, once. Called after construction, since
    // the control calls the host's (derived) operations while it embeds.
    bool CreateControl();
    // Does nothing without a control.
    void Navigate(const wchar_t* url);
    IWebBrowser2* Browser() const { return browser.get(); }
    HWND ControlWindow() const { return controlWindow.get(); }

    void SetVisible(int visible) override;
    void SetEnabled(int enabled) override;
    RECT* SetRect(RECT* oldOut, const RECT* rect, int stretch) override;

    // The event sink, and the site's IDispatch: events and ambient requests.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // IOleWindow, for the frame and the in-place site.
    virtual HRESULT GetWindow(HWND* window);
    virtual HRESULT ContextSensitiveHelp(BOOL enter);
    // IOleInPlaceUIWindow and IOleInPlaceFrame.
    virtual HRESULT GetBorder(LPRECT border);
    virtual HRESULT RequestBorderSpace(LPCBORDERWIDTHS widths);
    virtual HRESULT SetBorderSpace(LPCBORDERWIDTHS widths);
    virtual HRESULT SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name);
    virtual HRESULT InsertMenus(HMENU menu, LPOLEMENUGROUPWIDTHS widths);
    virtual HRESULT SetMenu(HMENU menu, HOLEMENU shared, HWND activeObject);
    virtual HRESULT RemoveMenus(HMENU menu);
    virtual HRESULT SetStatusText(LPCOLESTR text);
    virtual HRESULT FrameEnableModeless(BOOL enable);
    virtual HRESULT FrameTranslateAccelerator(LPMSG msg, WORD id);
    // IParseDisplayName and IOleContainer.
    virtual HRESULT ParseDisplayName(IBindCtx* context, LPOLESTR name, ULONG* eaten, IMoniker** moniker);
    virtual HRESULT EnumObjects(DWORD flags, IEnumUnknown** objects);
    virtual HRESULT LockContainer(BOOL lock);
    // IOleClientSite.
    virtual HRESULT SaveObject();
    virtual HRESULT GetMoniker(DWORD assign, DWORD which, IMoniker** moniker);
    virtual HRESULT GetContainer(IOleContainer** container);
    virtual HRESULT ShowObject();
    virtual HRESULT OnShowWindow(BOOL show);
    virtual HRESULT RequestNewObjectLayout();
    // IOleInPlaceSite.
    virtual HRESULT CanInPlaceActivate();
    virtual HRESULT OnInPlaceActivate();
    virtual HRESULT OnUIActivate();
    virtual HRESULT GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                     LPRECT clip, LPOLEINPLACEFRAMEINFO info);
    virtual HRESULT Scroll(SIZE extent);
    virtual HRESULT OnUIDeactivate(BOOL undoable);
    virtual HRESULT OnInPlaceDeactivate();
    virtual HRESULT DiscardUndoState();
    virtual HRESULT DeactivateAndUndo();
    virtual HRESULT OnPosRectChange(LPCRECT position);
    // IOleControlSite.
    virtual HRESULT OnControlInfoChanged();
    virtual HRESULT LockInPlaceActive(BOOL lock);
    virtual HRESULT GetExtendedControl(IDispatch** control);
    virtual HRESULT TransformCoords(POINTL* himetric, POINTF* container, DWORD flags);
    virtual HRESULT ControlTranslateAccelerator(MSG* msg, DWORD modifiers);
    virtual HRESULT OnFocus(BOOL gotFocus);
    virtual HRESULT ShowPropertyFrame();
    // IDocHostUIHandler.
    virtual HRESULT ShowContextMenu(DWORD id, POINT* at, IUnknown* target, IDispatch* object);
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO* info);
    virtual HRESULT ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                           IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document);
    virtual HRESULT HideUI();
    virtual HRESULT UpdateUI();
    virtual HRESULT HostEnableModeless(BOOL enable);
    virtual HRESULT OnDocWindowActivate(BOOL activate);
    virtual HRESULT OnFrameWindowActivate(BOOL activate);
    virtual HRESULT ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow);
    virtual HRESULT HostTranslateAccelerator(LPMSG msg, const GUID* group, DWORD command);
    virtual HRESULT GetOptionKeyPath(LPOLESTR* key, DWORD reserved);
    virtual HRESULT GetDropTarget(IDropTarget* target, IDropTarget** replacement);
    virtual HRESULT GetExternal(IDispatch** external);
    virtual HRESULT TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated);
    virtual HRESULT FilterDataObject(IDataObject* object, IDataObject** filtered);

    // The control's events (DWebBrowserEvents2), in the arguments' declared
    // order; a missing or mistyped argument arrives as null or 0. None of
    // them acts: nothing is cancelled.
    virtual void StatusTextChange(BSTR text);
    virtual void DownloadComplete();
    virtual void CommandStateChange(long command, VARIANT_BOOL enable);
    virtual void DownloadBegin();
    virtual void ProgressChange(long progress, long progressMax);
    virtual void PropertyChange(BSTR property);
    virtual void TitleChange(BSTR text);
    virtual void BeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* targetFrame,
                                 VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel);
    virtual void NewWindow2(IDispatch** browser, VARIANT_BOOL* cancel);
    virtual void NavigateComplete2(IDispatch* browser, VARIANT* url);
    virtual void OnQuit();
    virtual void OnVisible(VARIANT_BOOL visible);
    virtual void OnToolBar(VARIANT_BOOL toolBar);
    virtual void OnMenuBar(VARIANT_BOOL menuBar);
    virtual void OnStatusBar(VARIANT_BOOL statusBar);
    virtual void OnFullScreen(VARIANT_BOOL fullScreen);
    virtual void DocumentComplete(IDispatch* browser, VARIANT* url);
    virtual void OnTheaterMode(VARIANT_BOOL theaterMode);
    virtual void WindowSetResizable(VARIANT_BOOL resizable);
    virtual void WindowClosing(VARIANT_BOOL childWindow, VARIANT_BOOL* cancel);
    virtual void WindowSetLeft(long left);
    virtual void WindowSetTop(long top);
    virtual void WindowSetWidth(long width);
    virtual void WindowSetHeight(long height);
    virtual void ClientToHostWindow(long* cx, long* cy);
    virtual void SetSecureLockIcon(long secureLockIcon);
    virtual void FileDownload(VARIANT_BOOL activeDocument, VARIANT_BOOL* cancel);
    virtual void NavigateError(IDispatch* browser, VARIANT* url, VARIANT* frame, VARIANT* statusCode,
                               VARIANT_BOOL* cancel);
    // Follows NewWindow2 and, unlike it, names the address.
    virtual void NewWindow3(IDispatch** browser, VARIANT_BOOL* cancel, DWORD flags, BSTR context, BSTR url);

protected:
    // Runs the control's verb on the host's thread; `visible` 1 shows.
    void ApplyVerb(int visible);
    // Moves the control window on the host's thread.
    void ApplyRect(const RECT& rect);

    UniqueOleThread ole;
    std::unique_ptr<HostSite> site;
    UniqueCom<IWebBrowser2> browser;
    UniqueCom<IConnectionPoint> connectionPoint;
    DWORD cookie = 0xFFFFFFFF;
    UniqueWindow controlWindow;
    GUID eventsIid = {};
    HWND parentWindow;
    DWORD style;
    DWORD hostThread;
    // A message-only window of the host's thread: requests from the window's
    // thread reach the control through it.
    UniqueWindow requests;

private:
    static LRESULT CALLBACK RequestProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void DropSite();
};
