// The board as a screen reader sees it: a table of 225 cells through Active Accessibility.
#ifndef ONDULOR_UI_ACCESSIBLE_BOARD_H
#define ONDULOR_UI_ACCESSIBLE_BOARD_H

#include <windows.h>

#include <cstdint>

// WM_GETOBJECT: the board for the client object, once COM and the accessibility library could be
// taken up (the first time a reader asks); everything else goes to the default handling.
LRESULT answer_board_object(HWND window, WPARAM w_param, LPARAM l_param);

// WM_DESTROY: cuts the board off from its readers, which get errors from then on.
void release_board_object();

// What the game tells the readers, as events on the main window's client object.
void board_cell_drawn(std::int32_t column, std::int32_t row);  // a name change if the cell's content changed
// The cursor's cell, or the board when no cursor is shown, has the focus: told only while the window has it.
void board_focus_moved();
void board_cursor_moved();   // the cursor moved, showed or hid: the focus, and the cell it selects
void board_queue_changed();  // the next piece changed
void board_language_changed();
void board_renewed();  // a new game: the names start again from the board as it is, the queue is new

#endif
