// Definitions of the game window's own process-wide values.
#include "ui/main_window.h"

std::int32_t queue_left = 0;
BoardCursor board_cursor = {};
HBITMAP tile_set[TileCount] = {};
