// The installer's banner: a browser host whose page never shows scroll bars.
#pragma once

#include "ui/banner/browser_host.h"

class BannerHost : public BrowserHost {
public:
    using BrowserHost::BrowserHost;

    HRESULT GetHostInfo(DOCHOSTUIINFO* info) override;
};
