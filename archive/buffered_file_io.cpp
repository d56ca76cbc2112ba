#include "archive/buffered_file_io.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Every refill is a read, and under Wine a round trip to its server as
// well: a megabyte keeps them to about one per megabyte of the archive.
constexpr uLong kBufferSize = 1048576;

struct Window {
    ZPOS64_T start = 0;
    uLong length = 0;
    unsigned char bytes[kBufferSize];
};

// The file is only read while open, so bytes once buffered stay valid
// wherever the position moves; a seek only moves the logical position.
// The walk alternates between the central directory and the entries'
// local headers and data, so two windows are kept, and the one used less
// recently is refilled.
struct BufferedFile {
    HANDLE handle;
    ZPOS64_T position = 0;  // where the next read starts
    Window windows[2];
    int recent = 0;
    bool failed = false;
};

// One positional read: no seek before it, whoever moved the pointer last.
// A handle opened for overlapped reading is waited for: a read that failed
// for that would condemn a good archive.
uLong ReadAt(BufferedFile* file, ZPOS64_T offset, void* to, uLong size)
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    BOOL read = ReadFile(file->handle, to, size, &got, &at);
    if (!read && GetLastError() == ERROR_IO_PENDING)
        read = GetOverlappedResult(file->handle, &at, &got, TRUE);
    if (!read && GetLastError() != ERROR_HANDLE_EOF) {
        file->failed = true;
        return 0;
    }
    return got;
}

voidpf ZCALLBACK Open(voidpf, const void* handle, int mode)
{
    // Reading is all the archive layer does.
    if (!handle || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    HANDLE archive = *static_cast<const HANDLE*>(handle);
    if (archive == INVALID_HANDLE_VALUE || !archive) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto* file = new (std::nothrow) BufferedFile;
    if (file)
        file->handle = archive;
    return file;
}

uLong ZCALLBACK Read(voidpf, voidpf stream, void* to, uLong size)
{
    auto* file = static_cast<BufferedFile*>(stream);
    auto* out = static_cast<unsigned char*>(to);
    uLong done = 0;
    while (done < size) {
        Window* hit = nullptr;
        for (int i = 0; i < 2 && !hit; ++i) {
            Window& w = file->windows[i];
            if (file->position >= w.start && file->position < w.start + w.length) {
                hit = &w;
                file->recent = i;
            }
        }
        if (hit) {
            uLong n = static_cast<uLong>(std::min<ZPOS64_T>(hit->start + hit->length - file->position, size - done));
            memcpy(out + done, hit->bytes + (file->position - hit->start), n);
            file->position += n;
            done += n;
            continue;
        }
        if (size - done >= kBufferSize) {
            uLong got = ReadAt(file, file->position, out + done, size - done);
            file->position += got;
            done += got;
            break;
        }
        file->recent = 1 - file->recent;
        Window& w = file->windows[file->recent];
        w.start = file->position;
        w.length = ReadAt(file, file->position, w.bytes, kBufferSize);
        if (w.length == 0)
            break;
    }
    return done;
}

uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream)
{
    return static_cast<BufferedFile*>(stream)->position;
}

long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto* file = static_cast<BufferedFile*>(stream);
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        file->position = offset;
        return 0;
    case ZLIB_FILEFUNC_SEEK_CUR:
        file->position += offset;
        return 0;
    case ZLIB_FILEFUNC_SEEK_END: {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file->handle, &size))
            return -1;
        file->position = static_cast<ZPOS64_T>(size.QuadPart) + offset;
        return 0;
    }
    default:
        return -1;
    }
}

// The handle is the caller's.
int ZCALLBACK Close(voidpf, voidpf stream)
{
    delete static_cast<BufferedFile*>(stream);
    return 0;
}

int ZCALLBACK TestError(voidpf, voidpf stream)
{
    return static_cast<BufferedFile*>(stream)->failed ? 1 : 0;
}

}  // namespace

void FillBufferedHandleFunctions(zlib_filefunc64_def* functions)
{
    functions->zopen64_file = Open;
    functions->zread_file = Read;
    functions->zwrite_file = Write;
    functions->ztell64_file = Tell;
    functions->zseek64_file = Seek;
    functions->zclose_file = Close;
    functions->zerror_file = TestError;
    functions->opaque = nullptr;
}
