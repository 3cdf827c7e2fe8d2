// The game's messages of the main window: commands, clock ticks, clicks and keys, and the status bar.
#ifndef ONDULOR_UI_EVENTS_H
#define ONDULOR_UI_EVENTS_H

#include <windows.h>

#include <cstdint>

void handle_command(WORD command_id);
void handle_tick();
void handle_click(LPARAM position);
// Arrow keys move the board's cursor; Enter and Space lay the next piece where it stands.
void handle_key(WPARAM key, LPARAM flags);
// Whether a piece can be laid on the cell now: an empty cell, the game running, no box open over it.
bool piece_may_go_at(std::int32_t column, std::int32_t row);
// A screen reader's default action on a cell: the road of Enter there. False when no piece was laid:
// refused with the sound on a taken cell, as a click there; silently once the game is over or while
// a box is open over the board.
bool lay_piece_at(std::int32_t column, std::int32_t row);
// A screen reader's selection of a cell: the cursor shown there, as if the arrows had brought it.
// False while a box is open over the board, which keeps the cursor still.
bool place_cursor_at(std::int32_t column, std::int32_t row);
void set_status_message(const char* text);
void show_points(std::int32_t points);
void invalidate_queue_column();

#endif
