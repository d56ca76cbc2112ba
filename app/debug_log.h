// "__lobby_dl_debug.log": written only when the file already exists.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

#include "base/unique_resource.h"

constexpr size_t kLogLineMax = 4096;

// "%Ls" conversions rewritten as "%ls": the UTF-16 string form.
std::string WidenStringConversions(const char* format);

// Formats one line into `out` (kLogLineMax bytes, not terminated) and
// returns its length; a longer line is cut at kLogLineMax bytes.
size_t FormatLogLine(char* out, const char* format, va_list args);

class DebugLog {
public:
    // Opens the file in the current directory; does nothing when absent.
    void Open();
    bool IsOpen() const { return static_cast<bool>(file_); }
    void Write(const char* format, ...) __attribute__((format(ms_printf, 2, 3)));
    void WriteV(const char* format, va_list args);

private:
    UniqueFile file_;
};
