#include "ui/banner/banner_host.h"

HRESULT BannerHost::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info)
        return E_POINTER;
    info->dwFlags |= DOCHOSTUIFLAG_SCROLL_NO;
    return S_OK;
}
