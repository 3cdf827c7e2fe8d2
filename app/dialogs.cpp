// The about, game-over, best-scores and name-entry boxes, and the end-of-game recording.
#include "app/dialogs.h"

#include <cstdio>

#include "app/scores.h"
#include "app/texts.h"
#include "game/game_state.h"
#include "res/resource_ids.h"
#include "ui/window.h"
#include "util/file_util.h"
#include "util/process_state.h"

namespace {

constexpr int NameBufferSize = 64;
constexpr int NameFieldLimit = ScoreNameTyped + 1;  // what the edit box hands over, terminator included

struct OpenBoxSearch {
    HWND ending;  // the box that is ending, not counted
    HWND found;
};

void set_title(HWND dialog, std::int32_t text_id)
{
    SetWindowTextA(dialog, load_text(text_id));
}

char* name_buffer_of(HWND dialog)
{
    return reinterpret_cast<char*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

void fill_score_list(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_SCORES_LIST);
    for (std::int32_t slot = 0; slot < ScoreSlotCount && score_table.entries[slot].score != 0; ++slot) {
        char line[ScoreLineSize];
        format_score_line(score_table.entries[slot], line);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
}

void take_name(HWND dialog)
{
    char* name = name_buffer_of(dialog);
    if (name == nullptr) {
        return;
    }
    GetWindowTextA(GetDlgItem(dialog, IDC_NAME_EDIT), name, NameFieldLimit);
    trim_leading_spaces(name);
    trim_trailing_spaces(name);
}

BOOL CALLBACK find_open_box(HWND window, LPARAM search_address)
{
    OpenBoxSearch* search = reinterpret_cast<OpenBoxSearch*>(search_address);
    char class_name[16] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (window != search->ending && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == main_window &&
        lstrcmpA(class_name, "#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A best-scores box under the recording's boxes shows the entry as soon as it is stored.
BOOL CALLBACK refill_scores_box(HWND window, LPARAM)
{
    HWND list = GetDlgItem(window, IDC_SCORES_LIST);
    if (list != nullptr && GetWindow(window, GW_OWNER) == main_window) {
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        fill_score_list(window);
    }
    return TRUE;
}

}  // namespace

void end_box(HWND dialog, INT_PTR result)
{
    EndDialog(dialog, result);
    // EndDialog enables and activates the owner, whoever had disabled it. Another box still open over
    // the main window (the about box under a game's end, or the name box when the box under it was
    // closed first) must keep it locked and get the focus back. The thread's windows come topmost first.
    OpenBoxSearch search = {dialog, nullptr};
    if (main_window != nullptr) {
        EnumThreadWindows(GetCurrentThreadId(), find_open_box, reinterpret_cast<LPARAM>(&search));
    }
    if (search.found != nullptr) {
        EnableWindow(main_window, FALSE);
        SetForegroundWindow(search.found);
    }
}

void set_control_text(HWND dialog, int control_id, std::int32_t text_id)
{
    SetWindowTextA(GetDlgItem(dialog, control_id), load_text(text_id));
}

INT_PTR end_on_close_box(HWND dialog, WPARAM w_param)
{
    if ((w_param & 0xFFF0) != SC_CLOSE) {
        return FALSE;
    }
    end_box(dialog, 0);
    return TRUE;
}

INT_PTR CALLBACK about_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        center_window(dialog, main_window);
        set_title(dialog, TXT_ABOUT);
        set_control_text(dialog, IDC_ABOUT_TITLE, TXT_ABOUT_VERSION);
        set_control_text(dialog, IDC_ABOUT_NOTICE, TXT_ABOUT_CONTACT);
        set_control_text(dialog, IDC_OK, TXT_OK);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(w_param)) {
        case IDC_OK:
        case IDCANCEL:
            end_box(dialog, 0);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_SYSCOMMAND:
        return end_on_close_box(dialog, w_param);
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK game_over_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        center_window(dialog, main_window);
        set_title(dialog, TXT_GAME_OVER_TITLE);
        char text[128];
        std::snprintf(text, sizeof text, load_text(TXT_GAME_OVER_TEXT), static_cast<int>(game_state.points),
                      static_cast<int>(game_state.elapsed_seconds / 60),
                      static_cast<int>(game_state.elapsed_seconds % 60));
        SetWindowTextA(GetDlgItem(dialog, IDC_GAME_OVER_TEXT), text);
        set_control_text(dialog, IDC_OK, TXT_OK);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(w_param)) {
        case IDC_OK:
        case IDCANCEL:
            end_box(dialog, 0);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_SYSCOMMAND:
        return end_on_close_box(dialog, w_param);
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK best_scores_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        center_window(dialog, main_window);
        set_title(dialog, TXT_SCORES_TITLE);
        set_control_text(dialog, IDC_OK, TXT_OK);
        set_control_text(dialog, IDC_SCORES_RESET, TXT_RESET_SCORES);
        fill_score_list(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(w_param)) {
        case IDC_OK:
        case IDCANCEL:
            end_box(dialog, 0);
            return TRUE;
        case IDC_SCORES_RESET:
            clear_scores();
            SendMessageA(GetDlgItem(dialog, IDC_SCORES_LIST), LB_RESETCONTENT, 0, 0);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_SYSCOMMAND:
        return end_on_close_box(dialog, w_param);
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK name_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param)
{
    switch (message) {
    case WM_INITDIALOG: {
        center_window(dialog, main_window);
        set_title(dialog, TXT_NAME_TITLE);
        set_control_text(dialog, IDC_OK, TXT_OK);
        // The whole pointer in the user slot: a 32-bit slot would cut a 64-bit address.
        SetWindowLongPtrA(dialog, GWLP_USERDATA, l_param);
        char* name = name_buffer_of(dialog);
        HWND edit = GetDlgItem(dialog, IDC_NAME_EDIT);
        // What is typed is what is kept: the edit stops where take_name would cut.
        SendMessageA(edit, EM_LIMITTEXT, NameFieldLimit - 1, 0);
        if (name != nullptr) {
            name[0] = ' ';
            name[1] = '\0';
            SetWindowTextA(edit, name);
        }
        SetFocus(edit);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(w_param)) {
        case IDC_OK:
            take_name(dialog);
            end_box(dialog, 1);
            return TRUE;
        case IDCANCEL:
            end_box(dialog, 0);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_SYSCOMMAND:
        return end_on_close_box(dialog, w_param);
    default:
        return FALSE;
    }
}

bool record_score()
{
    // The session ended while the game-over box was open: the program ends, and nobody names a score.
    if (main_window == nullptr) {
        return false;
    }
    const std::int32_t points = game_state.points;
    // Only asked whether the points qualify: the table takes them once the name is known. The file
    // may be written while the name box is open (the session ends), and must not then credit them
    // to the entry that they replace.
    const ScoreTable before = score_table;
    if (enter_score(points) < 0) {
        return false;
    }
    score_table = before;
    // Empty until the box writes into it, so a box that cannot open stores an empty name.
    char name[NameBufferSize] = "";
    DialogBoxParamA(instance_handle, MAKEINTRESOURCEA(DLG_NAME), main_window, name_dialog_proc,
                    reinterpret_cast<LPARAM>(name));
    // Ended with the program rather than by the player: nothing to record.
    if (main_window == nullptr) {
        return false;
    }
    const std::int32_t slot = enter_score(points);
    if (slot < 0 || slot >= ScoreSlotCount) {
        return false;
    }
    char* stored = score_table.entries[slot].name;
    const int capacity = static_cast<int>(sizeof score_table.entries[slot].name);
    int length = 0;
    while (length < capacity - 1 && name[length] != '\0') {
        stored[length] = name[length];
        ++length;
    }
    stored[length] = '\0';
    EnumThreadWindows(GetCurrentThreadId(), refill_scores_box, 0);
    return true;
}
