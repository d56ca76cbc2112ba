#include "app/debug_log.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/file_io.h"

std::string WidenStringConversions(const char* format)
{
    std::string out;
    for (const char* p = format; *p; ++p) {
        out += *p;
        if (*p != '%')
            continue;
        if (p[1] == '%') {
            out += *++p;
            continue;
        }
        // Flags, width and precision pass through; an "L" before "s" becomes "l".
        while (p[1] && strchr("-+ #0123456789.*", p[1]))
            out += *++p;
        if (p[1] == 'L' && p[2] == 's') {
            out += 'l';
            ++p;
        }
    }
    return out;
}

size_t FormatLogLine(char* out, const char* format, va_list args)
{
    // The runtime's formatter reads "%Ls" as a narrow string, which would
    // log only the first character of the UTF-16 URL of the failure line.
    std::string widened = WidenStringConversions(format);
    // It reports overflow as -1 and leaves the buffer unterminated.
    int length = _vsnprintf(out, kLogLineMax, widened.c_str(), args);
    if (length < 0 || static_cast<size_t>(length) > kLogLineMax)
        return kLogLineMax;
    return static_cast<size_t>(length);
}

void DebugLog::Open()
{
    // Neither truncated nor appended: each run writes from offset 0.
    file_.reset(CreateFileA("__lobby_dl_debug.log", GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr));
}

void DebugLog::Write(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteV(format, args);
    va_end(args);
}

void DebugLog::WriteV(const char* format, va_list args)
{
    if (!file_)
        return;
    char line[kLogLineMax + 2];
    size_t length = FormatLogLine(line, format, args);
    line[length] = '\r';
    line[length + 1] = '\n';
    // One write per line: the window's and the worker's lines never mix.
    WriteAll(file_.get(), line, static_cast<DWORD>(length + 2));
}
