// Libraries of the system folder, loaded by full path, and their functions looked up by name.
#ifndef ONDULOR_UI_SYSTEM_LIBRARY_H
#define ONDULOR_UI_SYSTEM_LIBRARY_H

#include <windows.h>

// A library of the system folder, never of the game's own folder, where a planted copy could wait;
// null when it cannot be loaded.
HMODULE system_library(const wchar_t* name);

// A function of a library by name, null when the library or the function is missing.
template <typename Function>
Function library_function(HMODULE library, const char* name)
{
    FARPROC address = library != nullptr ? GetProcAddress(library, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

#endif
