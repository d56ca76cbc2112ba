// The installer's banner: a browser host whose page never shows scroll bars
// and stays on the web. The installer runs elevated, and so does every
// program or download the page could start from inside it: navigations to
// anything BannerMayOpen refuses, in the page and in its frames, new
// windows to such addresses and file downloads are cancelled.
#pragma once

#include "ui/banner/browser_host.h"

class BannerHost : public BrowserHost {
public:
    using BrowserHost::BrowserHost;

    HRESULT GetHostInfo(DOCHOSTUIINFO* info) override;

    // Fired for the page and for each of its frames alike (`browser` names
    // which), so one check covers both.
    void BeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* targetFrame,
                         VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel) override;
    // NewWindow2 carries no address and is left alone: the control fires
    // NewWindow3 with the address right after it (every control since
    // Windows XP SP2), and refusing every new window would take the page's
    // web links that open one.
    void NewWindow3(IDispatch** browser, VARIANT_BOOL* cancel, DWORD flags, BSTR context, BSTR url) override;
    // Also fired when a navigation's answer is a page the control shows
    // itself (an active document); only other answers are downloads.
    void FileDownload(VARIANT_BOOL activeDocument, VARIANT_BOOL* cancel) override;
};
