// The game's messages of the main window: menu commands, the clock tick, the click and the status bar.
#include "ui/events.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/dialogs.h"
#include "app/menu.h"
#include "app/settings_file.h"
#include "app/texts.h"
#include "game/board.h"
#include "game/flow.h"
#include "game/game_state.h"
#include "game/queue.h"
#include "res/resource_ids.h"
#include "ui/accessible_board.h"
#include "ui/help.h"
#include "ui/main_window.h"
#include "ui/render.h"
#include "ui/scale.h"
#include "ui/settings_place.h"
#include "ui/sound.h"

namespace {

constexpr int StatusTimePart = 0;
constexpr int StatusPointsPart = 1;
constexpr int StatusMessagePart = 2;
// Set in a key message's flags when the key was already down: a repeat of a held key.
constexpr LPARAM KeyRepeatFlag = 1 << 30;

// The message part says that a write failed, until a write succeeds or another message takes its place.
bool save_failure_shown = false;
// The last write failed: memory holds changes that the disk does not.
bool changes_unsaved = false;
// The text id of the other message shown, 0 for none: a language switch says it again.
std::int32_t shown_message = 0;

void set_status_part(int part, const char* text)
{
    SendMessageA(status_bar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
}

void open_dialog(int template_id, DLGPROC procedure)
{
    DialogBoxParamA(instance_handle, MAKEINTRESOURCEA(template_id), main_window, procedure, 0);
}

// Puts a changed setting or score on the disk at once: a game ended from outside (a crash, the task
// manager, a power cut) loses nothing already entered. A failed write never stops the game: the
// change stays in memory, the status bar says so, and the next tick, change or the end tries again.
void keep_changes()
{
    if (main_window == nullptr) {
        return;
    }
    changes_unsaved = !save_settings_file(HoldPatience);
    if (!changes_unsaved) {
        if (save_failure_shown) {
            set_status_message("");
        }
        return;
    }
    set_status_message(load_text(TXT_SAVE_FAILED));
    save_failure_shown = true;
}

// A file that another program held through the last write is tried again once a second, without
// waiting: a hold that lasts must not stop the clock. The status bar has said it already.
void retry_unsaved_changes()
{
    if (!changes_unsaved || main_window == nullptr) {
        return;
    }
    changes_unsaved = !save_settings_file(0);
    if (!changes_unsaved && save_failure_shown) {
        set_status_message("");
    }
}

void start_new_game()
{
    game_state.game_over = 0;
    game_state.elapsed_seconds = 0;
    // A game in which no piece is laid must not offer the previous game's points to the score table.
    game_state.points = 0;
    new_game();
    // The next arrow key shows the cursor north of the source again.
    const bool cursor_was_shown = board_cursor.shown;
    board_cursor = {};
    set_status_message("");
    set_status_part(StatusPointsPart, "");
    InvalidateRect(main_window, nullptr, FALSE);
    paint_window();
    board_renewed();
    if (cursor_was_shown) {
        board_cursor_moved();
    }
}

void show_message(std::int32_t text_id)
{
    set_status_message(load_text(text_id));
    shown_message = text_id;
}

// The status bar's words again, in the language just chosen; the time (1'30") has none.
void relabel_status_bar()
{
    // Empty until the game's first piece: it stays so.
    if (LOWORD(SendMessageA(status_bar, SB_GETTEXTLENGTHA, StatusPointsPart, 0)) != 0) {
        show_points(game_state.points);
    }
    if (save_failure_shown) {
        set_status_message(load_text(TXT_SAVE_FAILED));
        save_failure_shown = true;
    } else if (shown_message != 0) {
        show_message(shown_message);
    }
}

void switch_language()
{
    settings.language = settings.language == LANGUAGE_ENGLISH ? LANGUAGE_FRENCH : LANGUAGE_ENGLISH;
    relabel_menu(main_window, main_menu);
    relabel_status_bar();
    board_language_changed();
}

// The box may switch the language too.
void open_settings()
{
    const std::int32_t language = settings.language;
    open_dialog(DLG_SETTINGS, settings_dialog_proc);
    if (settings.language != language) {
        relabel_status_bar();
        board_language_changed();
    }
}

// A game that ends unseen calls the player back: the taskbar button flashes until the game is in front.
void flash_if_unseen()
{
    HWND front = GetForegroundWindow();
    if (!IsIconic(main_window) && front != nullptr && GetAncestor(front, GA_ROOTOWNER) == main_window) {
        return;
    }
    FLASHWINFO flash = {sizeof flash, main_window, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void end_game()
{
    show_message(TXT_GAME_OVER_STATUS);
    flash_if_unseen();
    // Marked over before the box opens: the ticks that its loop dispatches must not end the game again.
    game_state.game_over = 1;
    open_dialog(DLG_GAME_OVER, game_over_dialog_proc);
    if (record_score()) {
        keep_changes();
    }
}

// The road of a piece to a cell, from a click or from the keyboard: an occupied cell or a place off
// the board is refused with the sound; an empty cell takes the next piece, and the water flows.
void lay_piece(std::int32_t column, std::int32_t row)
{
    if (column < 0 || row < 0 || column >= board.columns || row >= board.rows || cell_at(column, row) != Empty) {
        play_sound(0);
        return;
    }
    cell_at(column, row) = piece_queue.slots[NextPieceSlot];
    draw_cell(column, row);
    compute_flow(draw_cell);
    show_points(compute_points());
    advance_queue(invalidate_queue_column);
    board_queue_changed();
}

// The first arrow shows the cursor where it was last, or north of the source, without moving it;
// the later ones move it a cell, and it stops at the board's edges.
void move_cursor(std::int32_t column_step, std::int32_t row_step)
{
    const std::int32_t column = board_cursor.column, row = board_cursor.row;
    const bool was_shown = board_cursor.shown;
    if (!board_cursor.placed) {
        board_cursor = {SourceColumn, board.rows - 2, true, true};
    } else if (!board_cursor.shown) {
        board_cursor.shown = true;
    } else {
        board_cursor.column = std::clamp(column + column_step, 0, board.columns - 1);
        board_cursor.row = std::clamp(row + row_step, 0, board.rows - 1);
        draw_cell(column, row);
    }
    draw_cell(board_cursor.column, board_cursor.row);
    // Held against the board's edge, the cursor stays: nothing new to tell.
    if (!was_shown || board_cursor.column != column || board_cursor.row != row) {
        board_cursor_moved();
    }
}

// A screen reader acts on the board only as the player could: a box open over it takes the game's
// input, as it does the mouse's.
bool reader_may_act()
{
    return main_window != nullptr && IsWindowEnabled(main_window);
}

}  // namespace

bool piece_may_go_at(std::int32_t column, std::int32_t row)
{
    return reader_may_act() && game_state.game_over == 0 && column >= 0 && row >= 0 && column < board.columns &&
           row < board.rows && cell_at(column, row) == Empty;
}

bool lay_piece_at(std::int32_t column, std::int32_t row)
{
    if (!reader_may_act() || game_state.game_over != 0) {
        return false;
    }
    const bool laid = piece_may_go_at(column, row);
    lay_piece(column, row);
    return laid;
}

bool place_cursor_at(std::int32_t column, std::int32_t row)
{
    if (!reader_may_act() || column < 0 || row < 0 || column >= board.columns || row >= board.rows) {
        return false;
    }
    const BoardCursor before = board_cursor;
    if (before.shown && before.column == column && before.row == row) {
        return true;
    }
    board_cursor = {column, row, true, true};
    if (before.shown) {
        draw_cell(before.column, before.row);
    }
    draw_cell(column, row);
    board_cursor_moved();
    return true;
}

// The handlers do nothing once the destroy handling has cleared main_window: the messages that
// still arrive then (from the error box's loop, at exit) would act on a window that is gone, open
// ownerless boxes and invalidate the whole desktop.
void handle_command(WORD command_id)
{
    if (main_window == nullptr) {
        return;
    }
    switch (command_id) {
    case CMD_NEW_GAME:
        start_new_game();
        break;
    case CMD_QUIT:
        PostMessageA(main_window, WM_DESTROY, 0, 0);
        break;
    case CMD_SETTINGS:
        open_settings();
        keep_changes();
        break;
    case CMD_SCORES:
        // The box can empty the table.
        open_dialog(DLG_SCORES, best_scores_dialog_proc);
        keep_changes();
        break;
    case CMD_LANGUAGE:
        switch_language();
        keep_changes();
        break;
    case CMD_ABOUT:
        open_dialog(DLG_ABOUT, about_dialog_proc);
        break;
    case CMD_HELP:
        show_help();
        break;
    default:
        break;
    }
}

void handle_tick()
{
    retry_unsaved_changes();
    if (main_window == nullptr || game_state.game_over == 1) {
        return;
    }
    // With no time limit the count would otherwise overflow after 68 years of play.
    if (game_state.elapsed_seconds < INT32_MAX) {
        game_state.elapsed_seconds += 1;
    }
    // At or past the duration rather than only equal to it: a duration shortened below the time
    // already played ends the game at the next tick. A duration of 0 or less means no limit.
    if (settings.duration > 0 && game_state.elapsed_seconds >= settings.duration) {
        end_game();
    }
    char time_text[64];
    std::snprintf(time_text, sizeof time_text, "%d'%02d\"", static_cast<int>(game_state.elapsed_seconds / 60),
                  static_cast<int>(game_state.elapsed_seconds % 60));
    set_status_part(StatusTimePart, time_text);
}

void handle_click(LPARAM position)
{
    if (main_window == nullptr || game_state.game_over == 1) {
        return;
    }
    // A player of the mouse never sees the keyboard's cursor: the click hides it until the next arrow.
    if (board_cursor.shown) {
        board_cursor.shown = false;
        draw_cell(board_cursor.column, board_cursor.row);
        board_cursor_moved();
    }
    lay_piece(LOWORD(position) / cell_pixels(), HIWORD(position) / cell_pixels());
}

void handle_key(WPARAM key, LPARAM flags)
{
    if (main_window == nullptr) {
        return;
    }
    switch (key) {
    case VK_LEFT:
        move_cursor(-1, 0);
        break;
    case VK_RIGHT:
        move_cursor(1, 0);
        break;
    case VK_UP:
        move_cursor(0, -1);
        break;
    case VK_DOWN:
        move_cursor(0, 1);
        break;
    case VK_RETURN:
    case VK_SPACE:
        // A held key would only repeat the refusal on the cell it has just filled.
        if (board_cursor.shown && game_state.game_over == 0 && (flags & KeyRepeatFlag) == 0) {
            lay_piece(board_cursor.column, board_cursor.row);
        }
        break;
    default:
        break;
    }
}

void set_status_message(const char* text)
{
    save_failure_shown = false;
    shown_message = 0;
    set_status_part(StatusMessagePart, text);
}

void show_points(std::int32_t points)
{
    char points_text[64];
    std::snprintf(points_text, sizeof points_text, load_text(TXT_POINTS), static_cast<int>(points));
    set_status_part(StatusPointsPart, points_text);
}

void invalidate_queue_column()
{
    RECT column = {queue_left, 0, queue_left + cell_pixels(), QueueLength * cell_pixels()};
    InvalidateRect(main_window, &column, FALSE);
}
