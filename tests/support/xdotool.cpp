#include "tests/support/xdotool.h"

#include "tests/support/child_process.h"

namespace {

std::string Point(POINT at)
{
    return std::to_string(at.x) + " " + std::to_string(at.y);
}

}  // namespace

std::string UnixPath(const std::wstring& windowsPath)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    // Wine's own export; through a plain function pointer type to the real one.
    static auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return {};
    char* path = toUnix(windowsPath.c_str());
    if (!path)
        return {};
    std::string result = path;
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}

bool Xdo(const std::string& arguments, DWORD ms)
{
    // unix_command.exe, built beside every test program that uses this.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring runner = self;
    runner = runner.substr(0, runner.find_last_of(L'\\') + 1) + L"unix_command.exe";
    ChildProcess xdotool(runner, L"", L" xdotool " + std::wstring(arguments.begin(), arguments.end()));
    return xdotool.started() && xdotool.Wait(ms) && xdotool.ExitCode() == 0;
}

bool PointerTo(POINT at)
{
    return Xdo(ArriveAt(at));
}

std::string ArriveAt(POINT at)
{
    // Wine drops a move to the position it saw last, and it sees none over
    // the bare root window: a pointer that left a window and jumps back to
    // the same point would arrive without a single move. A hand on a mouse
    // always brings some motion inside the window first.
    return "mousemove " + Point({at.x - 2, at.y - 2}) + " mousemove " + Point(at);
}

bool ClickAt(POINT at)
{
    return Xdo(ArriveAt(at) + " click 1");
}

bool PressKeys(const std::string& keys)
{
    return Xdo("key " + keys);
}
