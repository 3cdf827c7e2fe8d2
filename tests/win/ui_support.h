// Starting and stopping the real main window inside the test process, for the game-window tests.
#ifndef ONDULOR_TESTS_WIN_UI_SUPPORT_H
#define ONDULOR_TESTS_WIN_UI_SUPPORT_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/main_window.h"
#include "win_support.h"

namespace ui_test {

// Removes the quit message that the destroy handling posts; answers whether there was one and its code.
inline bool take_quit(WPARAM* code = nullptr)
{
    MSG message;
    bool found = false;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        found = true;
        if (code != nullptr) {
            *code = message.wParam;
        }
    }
    return found;
}

inline void pump_messages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The window that start_window made, kept after the destroy handling has cleared main_window.
inline HWND started_window = nullptr;

// Runs the real start-up as if the executable lay at exe_path.
inline std::int32_t start_window(const std::string& exe_path, int show_command = SW_SHOWNORMAL)
{
    reset_process_state(exe_path);
    const std::int32_t result = init_application(nullptr, nullptr, show_command);
    started_window = main_window;
    return result;
}

// Destroys the window and frees the class name, so that the next test can start the program again.
inline void stop_window()
{
    if (started_window != nullptr && IsWindow(started_window)) {
        DestroyWindow(started_window);
    }
    started_window = nullptr;
    take_quit();
    UnregisterClassA("ondulor", GetModuleHandleA(nullptr));
    main_window = nullptr;
    status_bar = nullptr;
}

}  // namespace ui_test

#endif
