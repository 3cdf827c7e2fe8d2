// Definitions of the game window's process-wide handles; part of the core so that every
// Windows program (the game and its tests) shares one copy, fatal_error's owner included.
#include "ui/main_window.h"

HINSTANCE instance_handle = nullptr;
HWND main_window = nullptr;
HMENU main_menu = nullptr;
HACCEL accelerator_table = nullptr;
HWND status_bar = nullptr;
char help_path[PathSize] = {};
char settings_path[PathSize] = {};
std::int32_t queue_left = 0;
HBITMAP tile_set[TileCount] = {};
