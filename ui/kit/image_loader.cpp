#include "ui/kit/image_loader.h"

#include <objbase.h>

#include <cstring>

namespace {

// The stream takes the memory over (delete on release); the image keeps its
// own reference to the stream, ours goes at the end of this scope.
GdiplusImage DecodeFromGlobal(UniqueGlobal memory)
{
    UniqueCom<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory.get(), TRUE, stream.put())) || !stream)
        return {};
    memory.release();
    GdiplusImage image;
    if (gdip::GdipLoadImageFromStream(stream.get(), image.put()) != Gdiplus::Ok)
        image.reset();
    return image;
}

}  // namespace

GdiplusImage LoadImageFromResource(HMODULE module, LPCWSTR type, LPCWSTR name)
{
    HRSRC info = FindResourceW(module, name, type);
    if (!info)
        return {};
    HGLOBAL loaded = LoadResource(module, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD size = SizeofResource(module, info);
    if (!bytes)
        return {};
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, size));
    void* target = memory ? GlobalLock(memory.get()) : nullptr;
    if (!target)
        return {};
    std::memcpy(target, bytes, size);
    GlobalUnlock(memory.get());
    return DecodeFromGlobal(std::move(memory));
}

GdiplusImage LoadImageFromFile(LPCWSTR path)
{
    UniqueFile file(CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return {};
    DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE)
        return {};
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, size));
    void* target = memory ? GlobalLock(memory.get()) : nullptr;
    if (!target)
        return {};
    DWORD got = 0;
    BOOL read = ReadFile(file.get(), target, size, &got, nullptr);
    GlobalUnlock(memory.get());
    if (!read || got != size)
        return {};
    return DecodeFromGlobal(std::move(memory));
}
