// Libraries of the system folder, loaded by full path.
#include "ui/system_library.h"

HMODULE system_library(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    const UINT folder_length = GetSystemDirectoryW(path, MAX_PATH);
    if (folder_length == 0 || folder_length + 1 + lstrlenW(name) >= MAX_PATH) {
        return nullptr;
    }
    path[folder_length] = L'\\';
    lstrcpyW(path + folder_length + 1, name);
    return LoadLibraryW(path);
}
