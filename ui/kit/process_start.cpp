// Toolkit set-up that runs before the program's main function: GDI+ is
// started, and relative paths (skin files, logs) resolve beside the
// executable whatever folder it was started from.
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

ToolkitProcess toolkitProcess;

}  // namespace

// Named by the library's link options so the linker keeps this object (and
// the start-up above) in every program that links the toolkit.
extern "C" const int lobbyToolkitProcessStart = 1;
