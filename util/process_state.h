// The handles and paths of the one game window that every layer shares: the boxes' owner, the
// instance that holds the resources, and the files beside the executable. Set during start-up.
#ifndef ONDULOR_UTIL_PROCESS_STATE_H
#define ONDULOR_UTIL_PROCESS_STATE_H

#include <windows.h>

// The paths are UTF-8, so that a folder named in any script survives the 8-bit routines: the
// MAX_PATH UTF-16 units of the longest whole module path take at most three bytes each, and
// set_extension may add a '.' and three letters.
constexpr int PathSize = 3 * MAX_PATH + 8;

extern HINSTANCE instance_handle;
extern HWND main_window;  // null until created and again once its destroy handling has run
extern HMENU main_menu;
extern HACCEL accelerator_table;
extern HWND status_bar;
extern char help_path[PathSize];
extern char settings_path[PathSize];

#endif
