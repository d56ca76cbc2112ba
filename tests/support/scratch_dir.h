// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <cstdint>
#include <string>

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // Ends with a backslash.
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

void RemoveTree(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
// 0 when the file is missing.
uint64_t FileSize(const std::wstring& path);
// Polls for a file; true when it appeared within `ms`.
bool WaitForFile(const std::wstring& path, unsigned long ms);
// The shortcut the installers put on the test prefix's desktop.
std::wstring DesktopShortcutPath();
// A folder of the build tree by its path relative to the build root.
std::wstring BuildPath(const std::wstring& relative);
// A program of the installer's build by its path relative to the build
// root: from the shipped 32-bit tree when the test runs for that program
// (LOBBY_SHIPPED_DIR, the label "shipped"), else from this build.
std::wstring ProgramPath(const std::wstring& relative);
// Whether the program at `path` is a 32-bit one.
bool Is32BitProgram(const std::wstring& path);
// A copy of the program `built` (relative to the build root, see
// ProgramPath) under another file name in `dir`; the copy failing is a test
// failure.
std::wstring CopyProgram(const ScratchDir& dir, const std::wstring& built, const std::wstring& name);
// A Unix folder as Wine sees it (Z:, backslashes), ending with a backslash.
std::wstring WindowsFolder(const char* unixPath);
// The folder an environment variable names, the same way; "" when unset.
std::wstring FolderFromEnvironment(const char* variable);
// What the sample archives (made at build time) and their client are.
std::string SampleBytes(const std::wstring& name);
std::string ClientBytes();
