// Drawing of the board, the queue column and their frames from the tile bitmaps.
#ifndef ONDULOR_UI_RENDER_H
#define ONDULOR_UI_RENDER_H

#include <windows.h>

#include <cstdint>

// Whether a contrast theme is on, as SystemParametersInfo says: a seam, since Wine always says no.
extern bool (*contrast_theme_on)();

// Chooses the board's colours again: the art's, or while a contrast theme is on the system's. True when
// the theme or its colours changed; load_tiles then makes the tiles again.
bool choose_board_colours();

// Makes the 17 tiles for cells of size pixels, unless they are made already: the bitmap resources at
// 32 pixels, the painter's pictures at any other size or in a contrast theme.
void load_tiles(std::int32_t size);

// Repaints the whole client area of the main window inside a paint bracket; always 0.
std::int32_t paint_window();

// Repaints one board cell at once, without a paint message, then the board frame over it.
void draw_cell(std::int32_t column, std::int32_t row);

// The tile of the cell's value without its visited mark; an unknown value or position gives the empty tile.
HBITMAP tile_for_cell(std::int32_t column, std::int32_t row);

#endif
