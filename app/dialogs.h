// The dialog procedures of the game's five modal boxes and the end-of-game recording.
#ifndef ONDULOR_APP_DIALOGS_H
#define ONDULOR_APP_DIALOGS_H

#include <windows.h>

#include <cstdint>

INT_PTR CALLBACK about_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param);
INT_PTR CALLBACK game_over_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param);
INT_PTR CALLBACK best_scores_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param);
INT_PTR CALLBACK name_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param);
INT_PTR CALLBACK settings_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param);

// Shared by the boxes: a control's text from the string table, and the close box (or the system
// menu's Close) ending a box as a cancel does; the latter answers WM_SYSCOMMAND.
void set_control_text(HWND dialog, int control_id, std::int32_t text_id);
INT_PTR end_on_close_box(HWND dialog, WPARAM w_param);

// Every box ends here rather than with EndDialog alone: the main window stays locked while another
// of its boxes is still open.
void end_box(HWND dialog, INT_PTR result);

// Offers the finished game's points to the score table and, when they qualify, asks for the name.
// True when an entry was stored; the table holds it only once the name box has closed.
bool record_score();

#endif
