#include "tests/ui/banner/banner_test_support.h"

#include <ole2.h>
#include <exdisp.h>

#include <vector>

#include "base/unique_resource.h"

HWND OnlyChild(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children.size() == 1 ? children.front() : nullptr;
}

RECT ChildRect(HWND child)
{
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetAncestor(child, GA_PARENT), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool BrowserControlAvailable()
{
    UniqueComApartment com = EnterComApartment();
    UniqueCom<IWebBrowser2> browser;
    return SUCCEEDED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                      IID_IWebBrowser2, reinterpret_cast<void**>(browser.put())));
}

std::string Box(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}
