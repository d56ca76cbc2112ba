#include "archive/buffered_file_io.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <iowin32.h>

namespace {

constexpr uLong kBufferSize = 65536;

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
    voidpf inner;
    ZPOS64_T position = 0;       // where the next read starts
    ZPOS64_T innerPosition = 0;  // where the inner file pointer stands
    Window windows[2];
    int recent = 0;
};

const zlib_filefunc64_def& Inner()
{
    static const zlib_filefunc64_def inner = [] {
        zlib_filefunc64_def functions;
        fill_win32_filefunc64A(&functions);
        return functions;
    }();
    return inner;
}

bool MoveInnerTo(BufferedFile* file, ZPOS64_T position)
{
    if (file->innerPosition == position)
        return true;
    if (Inner().zseek64_file(Inner().opaque, file->inner, position, ZLIB_FILEFUNC_SEEK_SET) != 0)
        return false;
    file->innerPosition = position;
    return true;
}

uLong ReadInner(BufferedFile* file, void* to, uLong size)
{
    if (!MoveInnerTo(file, file->position))
        return 0;
    uLong got = Inner().zread_file(Inner().opaque, file->inner, to, size);
    file->innerPosition += got;
    return got;
}

voidpf ZCALLBACK Open(voidpf, const void* name, int mode)
{
    // Reading is all the archive layer does.
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    auto* file = new (std::nothrow) BufferedFile;
    if (!file)
        return nullptr;
    file->inner = Inner().zopen64_file(Inner().opaque, name, mode);
    if (!file->inner) {
        delete file;
        return nullptr;
    }
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
            uLong got = ReadInner(file, out + done, size - done);
            file->position += got;
            done += got;
            break;
        }
        file->recent = 1 - file->recent;
        Window& w = file->windows[file->recent];
        w.start = file->position;
        w.length = ReadInner(file, w.bytes, kBufferSize);
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
    case ZLIB_FILEFUNC_SEEK_END:
        if (Inner().zseek64_file(Inner().opaque, file->inner, offset, origin) != 0)
            return -1;
        file->position = file->innerPosition = Inner().ztell64_file(Inner().opaque, file->inner);
        return 0;
    default:
        return -1;
    }
}

int ZCALLBACK Close(voidpf, voidpf stream)
{
    auto* file = static_cast<BufferedFile*>(stream);
    int result = Inner().zclose_file(Inner().opaque, file->inner);
    delete file;
    return result;
}

int ZCALLBACK TestError(voidpf, voidpf stream)
{
    return Inner().zerror_file(Inner().opaque, static_cast<BufferedFile*>(stream)->inner);
}

}  // namespace

void FillBufferedWin32FileFunctions(zlib_filefunc64_def* functions)
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
