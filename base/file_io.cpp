#include "base/file_io.h"

bool WriteAll(HANDLE file, const void* data, DWORD size)
{
    auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, bytes, size, &written, nullptr))
            return false;
        // Wine passes on a short write of a filling disk, and the reason
        // (ERROR_DISK_FULL) only with the next call; Windows fails the first.
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

bool DeleteJustWritten(const wchar_t* path)
{
    for (int attempt = 0;; ++attempt) {
        if (DeleteFileW(path))
            return true;
        if (GetLastError() != ERROR_SHARING_VIOLATION || attempt == 10)
            return false;
        Sleep(100);
    }
}
