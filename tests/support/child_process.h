// A program under test, started by the test and ended by its own handle.
#pragma once

#include <windows.h>

#include <string>

#include "base/unique_resource.h"

class ChildProcess {
public:
    // Starts `exe` with `directory` as its current directory (the test's
    // when empty) and `arguments` after its quoted name. Check
    // started() before use.
    explicit ChildProcess(const std::wstring& exe, const std::wstring& directory = L"",
                          const std::wstring& arguments = L"");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return static_cast<bool>(process_); }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }
    // True when the process ended within `ms`.
    bool Wait(DWORD ms);
    DWORD ExitCode() const;
    void Terminate();

private:
    UniqueHandle process_;
    DWORD id_ = 0;
};
