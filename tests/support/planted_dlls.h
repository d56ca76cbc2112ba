// Stand-in DLLs planted beside a program under test, as anyone can drop them
// into a player's Downloads folder, under the names of the DLLs the
// installer takes at run time that are not on Windows' KnownDLLs list (the
// delay-loaded imports of cmake/delay_load.cmake and the crash handler's
// dbghelp). Windows searches a program's own folder first for such names.
// Wine prefers its builtin DLLs instead unless told otherwise, so the
// program is told to prefer native ones, "n,b", which imitates Windows'
// order.
//
// What Wine cannot show: the KnownDLLs rule itself (told to, it would take a
// planted kernel32 too, so none of those are planted), nor Windows 7 without
// SetDefaultDllDirectories (Wine has it).
#pragma once

#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

// Wine's DLL overrides for the programs of one file name, while this object
// lives: HKCU\Software\Wine\AppDefaults\<exe>\DllOverrides, which Wine reads
// as it reads WINEDLLOVERRIDES. That variable itself is read from the Unix
// environment, which a Windows program cannot hand to its child. `order` as
// WINEDLLOVERRIDES writes it: L"n,b", or L"" for "do not load".
class AppDllOverrides {
public:
    AppDllOverrides(const std::wstring& exe, const std::vector<std::wstring>& dlls, const wchar_t* order);
    ~AppDllOverrides();
    AppDllOverrides(const AppDllOverrides&) = delete;
    AppDllOverrides& operator=(const AppDllOverrides&) = delete;

private:
    std::wstring exe_;
};

class PlantedDlls {
public:
    // Plants the stand-ins in `dir` and has programs named `exe` prefer them.
    PlantedDlls(const ScratchDir& dir, const std::wstring& exe);
    // The stand-ins that were loaded, by file name; each leaves
    // "<name>.loaded" beside itself.
    std::vector<std::wstring> Loaded() const;

private:
    std::wstring dir_;
    std::vector<std::wstring> names_;
    AppDllOverrides preferred_;
};
