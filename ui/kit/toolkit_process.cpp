#include "ui/kit/toolkit_process.h"

#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the COM types the GDI+ headers use.
#include <objidl.h>
#include <gdiplus.h>

namespace {

class ToolkitProcess {
public:
    ToolkitProcess()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        if (wchar_t* slash = wcsrchr(path, L'\\')) {
            slash[1] = L'\0';
            SetCurrentDirectoryW(path);
        }
    }
    ~ToolkitProcess() { Gdiplus::GdiplusShutdown(token_); }
    ToolkitProcess(const ToolkitProcess&) = delete;
    ToolkitProcess& operator=(const ToolkitProcess&) = delete;

private:
    ULONG_PTR token_ = 0;
};

}  // namespace

void StartToolkit()
{
    static ToolkitProcess process;
}
