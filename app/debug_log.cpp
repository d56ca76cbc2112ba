#include "app/debug_log.h"

#include <windows.h>

#include <cstdio>

size_t FormatLogLine(char* out, const char* format, va_list args)
{
    // The C runtime's own formatter, so "%Ls" takes a UTF-16 string as it
    // does on Windows; it reports overflow as -1 without a terminator.
    int length = _vsnprintf(out, kLogLineMax, format, args);
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
    char line[kLogLineMax];
    size_t length = FormatLogLine(line, format, args);
    DWORD written;
    WriteFile(file_.get(), line, static_cast<DWORD>(length), &written, nullptr);
    WriteFile(file_.get(), "\r\n", 2, &written, nullptr);
}
