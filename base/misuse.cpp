#include "base/misuse.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

std::atomic<MisuseResponse> response{MisuseResponse::TraceAndIgnore};

void WriteError(const char* text)
{
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (!error || error == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(error, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

}  // namespace

MisuseResponse SetMisuseResponse(MisuseResponse next)
{
    return response.exchange(next);
}

void ReportMisuse(const char* text)
{
    char line[320];
    std::snprintf(line, sizeof line, "%s\n", text);
    OutputDebugStringA(line);
    if (response.load() != MisuseResponse::EndProcess)
        return;
    // Unbuffered, so the line is out before the process goes. The process
    // ends without unwinding: the caller may hold any lock, on any thread.
    WriteError("misuse: ");
    WriteError(line);
    TerminateProcess(GetCurrentProcess(), kMisuseExitCode);
}
