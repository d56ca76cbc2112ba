// Owning wrappers for platform resources: one move-only template, and one
// owner type per resource kind on it. The Win32 kinds are here (their
// release calls live only in this file and unique_resource.cpp); library
// kinds sit beside their users on the same template (archive/zip_handles.h,
// ui/kit/gdiplus_objects.h).
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : value_(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Type get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::Invalid(); }

    Type release() { return std::exchange(value_, Traits::Invalid()); }

    void reset(Type value = Traits::Invalid())
    {
        Type old = std::exchange(value_, value);
        if (old != Traits::Invalid())
            Traits::Close(old);
    }

    // For out-parameters: frees the current value first.
    Type* put()
    {
        reset();
        return &value_;
    }

private:
    Type value_ = Traits::Invalid();
};

namespace unique_traits {

// Kernel objects whose "no handle" value is null: threads, processes, mutexes.
struct Handle {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { CloseHandle(h); }
};

// CreateFile reports failure as INVALID_HANDLE_VALUE, not null.
struct File {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};

struct FindFile {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { FindClose(h); }
};

// HINTERNET is a plain pointer; the release call is out of line so that
// users of this header do not all pull in <wininet.h>.
struct Internet {
    using Type = void*;
    static Type Invalid() { return nullptr; }
    static void Close(Type h);
};

// A module from LoadLibraryEx; see LoadSystemLibrary (base/system_library.h).
struct Module {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { FreeLibrary(h); }
};

struct Key {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { RegCloseKey(h); }
};

struct MemoryDc {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DeleteDC(h); }
};

template <typename T>
struct GdiObject {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DeleteObject(h); }
};

// A memory DC and the bitmap selected into it, owned together. Windows
// refuses to delete a bitmap that is still selected into a DC (the call
// fails and the bitmap leaks with its pixels); Wine defers the delete and
// hides the mistake. So the DC gets its own bitmap back and goes first.
struct BitmapDcParts {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ original = nullptr;  // what the DC held before the bitmap
    bool operator==(const BitmapDcParts&) const = default;
};
struct BitmapDc {
    using Type = BitmapDcParts;
    static Type Invalid() { return {}; }
    static void Close(Type parts);
};

struct Global {
    using Type = HGLOBAL;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { GlobalFree(h); }
};

struct Menu {
    using Type = HMENU;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DestroyMenu(h); }
};

struct Window {
    using Type = HWND;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DestroyWindow(h); }
};

// One reference to a COM interface.
template <typename T>
struct ComInterface {
    using Type = T*;
    static Type Invalid() { return nullptr; }
    static void Close(Type p) { p->Release(); }
};

// Memory the shell hands out with CoTaskMemAlloc (item id lists).
void FreeCoTaskMemory(void* p);
template <typename T>
struct CoTaskMemory {
    using Type = T*;
    static Type Invalid() { return nullptr; }
    static void Close(Type p) { FreeCoTaskMemory(p); }
};

// A SID from AllocateAndInitializeSid.
struct Sid {
    using Type = PSID;
    static Type Invalid() { return nullptr; }
    static void Close(Type p) { FreeSid(p); }
};

// A block committed in another process with VirtualAllocEx. Its process
// handle must outlive the owner: declare the handle's owner first.
struct RemoteBlock {
    HANDLE process = nullptr;
    void* address = nullptr;
    bool operator==(const RemoteBlock&) const = default;
};
struct RemoteMemory {
    using Type = RemoteBlock;
    static Type Invalid() { return {}; }
    static void Close(Type b) { VirtualFreeEx(b.process, b.address, 0, MEM_RELEASE); }
};

// The calling thread's COM initialisation: 1 once CoInitialize succeeded,
// undone by CoUninitialize on the same thread (out of line: <objbase.h>).
struct ComApartment {
    using Type = int;
    static Type Invalid() { return 0; }
    static void Close(Type);
};
// The same for OleInitialize, which the hosting of controls needs.
struct OleThread {
    using Type = int;
    static Type Invalid() { return 0; }
    static void Close(Type);
};

}  // namespace unique_traits

using UniqueHandle = UniqueResource<unique_traits::Handle>;
using UniqueFile = UniqueResource<unique_traits::File>;
using UniqueFindFile = UniqueResource<unique_traits::FindFile>;
using UniqueInternet = UniqueResource<unique_traits::Internet>;
using UniqueModule = UniqueResource<unique_traits::Module>;
using UniqueKey = UniqueResource<unique_traits::Key>;
using UniqueMemoryDc = UniqueResource<unique_traits::MemoryDc>;
using UniqueBitmap = UniqueResource<unique_traits::GdiObject<HBITMAP>>;
using UniqueFont = UniqueResource<unique_traits::GdiObject<HFONT>>;
using UniqueRegion = UniqueResource<unique_traits::GdiObject<HRGN>>;
using UniqueBitmapDc = UniqueResource<unique_traits::BitmapDc>;
using UniqueGlobal = UniqueResource<unique_traits::Global>;
using UniqueMenu = UniqueResource<unique_traits::Menu>;
using UniqueWindow = UniqueResource<unique_traits::Window>;
template <typename T>
using UniqueCom = UniqueResource<unique_traits::ComInterface<T>>;
using UniqueSid = UniqueResource<unique_traits::Sid>;
template <typename T>
using UniqueCoTaskMemory = UniqueResource<unique_traits::CoTaskMemory<T>>;
using UniqueComApartment = UniqueResource<unique_traits::ComApartment>;
using UniqueRemoteMemory = UniqueResource<unique_traits::RemoteMemory>;
using UniqueOleThread = UniqueResource<unique_traits::OleThread>;

// Initialises COM (single-threaded apartment) on the calling thread; with
// OLE, EnterOle. S_FALSE counts: it still wants its undoing.
UniqueComApartment EnterComApartment();
UniqueOleThread EnterOle();

// Selects `bitmap` into a new memory DC compatible with `reference` (null:
// the screen) and owns both. Takes the bitmap either way: empty, with the
// bitmap freed, when it is null or the DC cannot be made.
UniqueBitmapDc SelectIntoMemoryDc(HBITMAP bitmap, HDC reference = nullptr);

// `object`'s interface `iid`, or an empty owner.
template <typename T, typename From>
UniqueCom<T> QueryAs(From* object, REFIID iid)
{
    UniqueCom<T> out;
    if (object)
        object->QueryInterface(iid, reinterpret_cast<void**>(out.put()));
    return out;
}

// A DC borrowed from a window with GetDC must go back to that window.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc()
    {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Keeps a GDI object selected into a DC for one scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject()
    {
        if (old_)
            SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};
