#include "ui/banner/banner_host.h"

#include <string_view>

#include "ui/banner/banner_address.h"

namespace {

// BSTRs carry their length; a null one is the empty string.
std::wstring_view Text(BSTR text)
{
    return text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view();
}

// Only a string is judged: an address of another type, or none, is refused.
bool MayOpen(const VARIANT* url)
{
    if (url && V_VT(url) == VT_BSTR)
        return BannerMayOpen(Text(V_BSTR(url)));
    if (url && V_VT(url) == (VT_BYREF | VT_BSTR) && V_BSTRREF(url))
        return BannerMayOpen(Text(*V_BSTRREF(url)));
    return false;
}

void Refuse(VARIANT_BOOL* cancel)
{
    if (cancel)
        *cancel = VARIANT_TRUE;
}

}  // namespace

HRESULT BannerHost::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info)
        return E_POINTER;
    info->dwFlags |= DOCHOSTUIFLAG_SCROLL_NO;
    return S_OK;
}

void BannerHost::BeforeNavigate2(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                 VARIANT_BOOL* cancel)
{
    if (!MayOpen(url))
        Refuse(cancel);
}

void BannerHost::NewWindow3(IDispatch**, VARIANT_BOOL* cancel, DWORD, BSTR, BSTR url)
{
    if (!BannerMayOpen(Text(url)))
        Refuse(cancel);
}

void BannerHost::FileDownload(VARIANT_BOOL activeDocument, VARIANT_BOOL* cancel)
{
    // A missing or mistyped flag reads as false: a download, refused.
    if (activeDocument == VARIANT_FALSE)
        Refuse(cancel);
}
