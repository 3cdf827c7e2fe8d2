// Start-up, message loop, main window procedure and window centring of the game window.
#ifndef ONDULOR_UI_WINDOW_H
#define ONDULOR_UI_WINDOW_H

#include <windows.h>

#include <cstdint>

// Registers the class, reads the settings, creates, sizes and shows the main window and starts the
// first game and the clock. The instance handle must be stored first. 0 when the window is up, -1 when
// the class cannot be registered or the window cannot be created, AnotherGamePlays when a running copy
// holds the settings file (it was brought forward; nothing was read and no window made).
constexpr std::int32_t AnotherGamePlays = 1;
std::int32_t init_application(HINSTANCE previous_instance, LPSTR command_line, int show_command);

// The whole life of the program after the entry point: start-up, message loop, settings written at
// the end. Returns the process exit code: the last message's wParam, -1 when start-up failed, 0 at once
// when another copy plays on the same settings file.
int run_application(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line, int show_command);

// Fills help_path and settings_path from the executable's own path. When that path cannot be fetched
// whole, both stay empty: a cut path would name some other file.
void derive_paths();

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

// Centres window on owner, kept within the work area of the owner's monitor; on a minimised owner's
// restored place; with no owner, on the work area of its own monitor.
void center_window(HWND window, HWND owner);

// Where center_window puts window's top-left corner: centred on reference, then moved into work_area,
// its near edges first when it is larger. Coordinates may be negative (a monitor left of or above the
// primary one).
POINT centred_place(const RECT& window, const RECT& reference, const RECT& work_area);

// A monitor of the desktop: its whole rectangle and its work area.
struct MonitorArea {
    RECT monitor;
    RECT work;
};

// The monitor that holds the most of place, or the nearest one when place lies on none, as the system
// picks a window's nearest monitor; empty rectangles when count is 0.
MonitorArea nearest_monitor(const RECT& place, const MonitorArea* monitors, int count);

// A restored place as GetWindowPlacement gives it, in workspace coordinates (from the corner of its
// monitor's work area, which a taskbar on the left or at the top moves), in screen coordinates.
RECT screen_from_workspace(const RECT& place, const RECT& monitor, const RECT& work_area);

// The fetch of the executable's path (in UTF-16), replaceable so that tests can place the settings file.
extern DWORD (*module_file_name)(HMODULE module, LPWSTR buffer, DWORD size);

#endif
