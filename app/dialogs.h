// The dialog procedures of the game's five modal boxes and the end-of-game recording.
#ifndef ONDULOR_APP_DIALOGS_H
#define ONDULOR_APP_DIALOGS_H

#include <windows.h>

INT_PTR CALLBACK about_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param);
INT_PTR CALLBACK game_over_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param);
INT_PTR CALLBACK best_scores_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param);
INT_PTR CALLBACK name_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param);
INT_PTR CALLBACK settings_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param);

// Offers the finished game's points to the score table and, when they qualify, asks for the name.
void record_score();

#endif
