// The main window's end in this very process: whatever ended its message
// loop, it stops its install worker and waits for it before the parts the
// worker uses are gone.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "app/instance.h"
#include "base/unique_resource.h"
#include "install/install_worker.h"
#include "tests/support/windows.h"
#include "ui/main/main_window.h"

namespace {

std::wstring ThreadName(HANDLE thread)
{
    using GetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE, PWSTR*);
    static const auto getDescription = reinterpret_cast<GetThreadDescriptionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription")));
    PWSTR name = nullptr;
    if (!getDescription || FAILED(getDescription(thread, &name)) || !name)
        return {};
    std::wstring copy = name;
    LocalFree(name);
    return copy;
}

// The running install worker of this process, found by its name.
UniqueHandle FindWorker()
{
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && Thread32First(snapshot.get(), &entry); more;
         more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId())
            continue;
        UniqueHandle thread(OpenThread(SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID));
        if (thread && ThreadName(thread.get()) == kInstallWorkerThreadName)
            return thread;
    }
    return {};
}

}  // namespace

// Paused, the worker waits on what the window owns: the window must end
// that wait, not free it under the worker.
TEST(MainWindowEnd, DestructionEndsAPausedWorkerBeforeItReturns)
{
    UniqueHandle worker;
    {
        MainWindow window;
        // As second starts do: clicks on the main button, which start the
        // installation and pause it. The update host refuses, so the worker
        // rests between attempts until it holds at its checkpoint.
        SendMessageW(window.GetHwnd(), ActivateMessage, 0, 0);
        SendMessageW(window.GetHwnd(), ActivateMessage, 0, 0);
        worker = FindWorker();
        ASSERT_TRUE(worker) << "no worker";
        ASSERT_TRUE(PumpUntil([&] { return window.gate().IsHolding(); }, 10000)) << "the worker did not pause";
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker.get(), 0)) << "the worker outlived the window";
}
