#include "tests/support/child_process.h"

#include "tests/support/scratch_dir.h"

ChildProcess::ChildProcess(const std::wstring& exe, const std::wstring& directory, const std::wstring& arguments)
{
    STARTUPINFOW si = {sizeof si};
    PROCESS_INFORMATION pi = {};
    std::wstring commandLine = L"\"" + exe + L"\"" + arguments;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &si, &pi))
        return;
    UniqueHandle thread(pi.hThread);
    process_.reset(pi.hProcess);
    id_ = pi.dwProcessId;
}

ChildProcess::~ChildProcess()
{
    Terminate();
}

bool ChildProcess::Wait(DWORD ms)
{
    return process_ && WaitForSingleObject(process_.get(), ms) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = 0xDEADBEEF;
    if (process_)
        GetExitCodeProcess(process_.get(), &code);
    return code;
}

void ChildProcess::Terminate()
{
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}
