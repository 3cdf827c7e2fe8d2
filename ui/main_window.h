// What the game window alone keeps beside the shared handles: the tiles and the queue column's place.
#ifndef ONDULOR_UI_MAIN_WINDOW_H
#define ONDULOR_UI_MAIN_WINDOW_H

#include <windows.h>

#include <cstdint>

#include "util/process_state.h"

// Tiles 0 to 8 are the unlit cell values 0 to 8 (empty, seven pieces, source); from FirstLitTile on,
// the lit pieces and the lit source.
constexpr int TileCount = 17;
constexpr int FirstLitTile = 9;

extern std::int32_t queue_left;
extern HBITMAP tile_set[TileCount];

#endif
