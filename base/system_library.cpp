#include "base/system_library.h"

#include <cwchar>

UniqueModule LoadSystemLibrary(const wchar_t* name)
{
    // The flag also keeps the DLL's own dependencies in the system folder.
    UniqueModule module(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (module || GetLastError() != ERROR_INVALID_PARAMETER)
        return module;

    // Windows 7 without its loader update (KB2533623) refuses the flag. A
    // full path then; with LOAD_WITH_ALTERED_SEARCH_PATH the dependencies
    // are looked for in that folder first too, not beside the program.
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    size_t nameLength = wcslen(name);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return {};
    }
    path[length] = L'\\';
    wmemcpy(path + length + 1, name, nameLength + 1);
    return UniqueModule(LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}
