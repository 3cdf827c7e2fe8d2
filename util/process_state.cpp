// Definitions of the shared handles and paths; part of the core so that every Windows program (the
// game and its tests) shares one copy, fatal_error's owner included.
#include "util/process_state.h"

HINSTANCE instance_handle = nullptr;
HWND main_window = nullptr;
HMENU main_menu = nullptr;
HACCEL accelerator_table = nullptr;
HWND status_bar = nullptr;
char help_path[PathSize] = {};
char settings_path[PathSize] = {};
