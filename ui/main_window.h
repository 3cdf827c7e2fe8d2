// Process-wide handles of the game window, set during start-up and kept for the whole run.
#ifndef ONDULOR_UI_MAIN_WINDOW_H
#define ONDULOR_UI_MAIN_WINDOW_H

#include <windows.h>

#include <cstdint>

// Tiles 0 to 8 are the unlit cell values 0 to 8 (empty, seven pieces, source); from FirstLitTile on,
// the lit pieces and the lit source.
constexpr int TileCount = 17;
constexpr int FirstLitTile = 9;
constexpr int PathSize = MAX_PATH + 8;  // the whole module path plus a new extension

extern HINSTANCE instance_handle;
extern HWND main_window;  // null until created and again once its destroy handling has run
extern HMENU main_menu;
extern HACCEL accelerator_table;
extern HWND status_bar;
extern char help_path[PathSize];
extern char settings_path[PathSize];
extern std::int32_t queue_left;
extern HBITMAP tile_set[TileCount];

#endif
