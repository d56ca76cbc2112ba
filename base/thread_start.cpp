#include "base/thread_start.h"

#include <memory>

namespace {

struct ThreadStart {
    const wchar_t* name;
    std::function<void()> body;
};

// Windows 10 and Wine name threads; Windows 7 cannot, and goes without.
void NameThisThread(const wchar_t* name)
{
    using SetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    static const auto setDescription = reinterpret_cast<SetThreadDescriptionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
    if (setDescription)
        setDescription(GetCurrentThread(), name);
}

DWORD WINAPI RunThread(void* parameter)
{
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    NameThisThread(start->name);
    try {
        start->body();
    } catch (...) {
        return 1;
    }
    return 0;
}

}  // namespace

UniqueHandle StartThread(const wchar_t* name, std::function<void()> body)
{
    auto start = std::make_unique<ThreadStart>(ThreadStart{name, std::move(body)});
    UniqueHandle thread(CreateThread(nullptr, 0, RunThread, start.get(), 0, nullptr));
    if (thread)
        start.release();
    return thread;
}
