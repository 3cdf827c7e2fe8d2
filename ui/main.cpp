// Entry point of ondulor.exe: the program takes no arguments and runs one game window.
#include <windows.h>

#include "ui/window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line, int show_command)
{
    // Before anything loads a library: what the system's libraries load by bare name (oleacc's
    // resources, the help's helpers) is then sought in the system folder only, never in the game's
    // folder, often the Downloads folder where a planted copy may wait. Looked up by name: Windows 7
    // and Vista have the call only with update KB2533623, and the game must still start there.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const auto set_directories = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (set_directories != nullptr) {
        set_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    return run_application(instance, previous_instance, command_line, show_command);
}
