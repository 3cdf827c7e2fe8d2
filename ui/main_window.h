// What the game window alone keeps beside the shared handles: the tiles, the queue column's place and
// the keyboard's cursor.
#ifndef ONDULOR_UI_MAIN_WINDOW_H
#define ONDULOR_UI_MAIN_WINDOW_H

#include <windows.h>

#include <cstdint>

#include "art/painter.h"
#include "util/process_state.h"

// The keyboard's cursor on the board: placed by the first arrow key of a game, shown until a click.
struct BoardCursor {
    std::int32_t column;
    std::int32_t row;
    bool placed;
    bool shown;
};

extern std::int32_t queue_left;
extern BoardCursor board_cursor;
// The tiles in the painter's order (TileCount, FirstLitTile), made for the current cell by load_tiles.
extern HBITMAP tile_set[TileCount];

#endif
