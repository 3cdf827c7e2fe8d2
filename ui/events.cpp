// The game's messages of the main window: menu commands, the clock tick, the click, the status bar
// and the refusal sound.
#include "ui/events.h"

#include <commctrl.h>
#include <htmlhelp.h>
#include <mmsystem.h>

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
#include "ui/main_window.h"
#include "ui/render.h"
#include "util/file_util.h"
#include "util/wide_path.h"

namespace {

constexpr int StatusTimePart = 0;
constexpr int StatusPointsPart = 1;
constexpr int StatusMessagePart = 2;

// A library of the system folder, never of the game's own folder, where a planted copy could wait.
HMODULE system_library(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    const UINT folder_length = GetSystemDirectoryW(path, MAX_PATH);
    if (folder_length == 0 || folder_length + 1 + lstrlenW(name) >= MAX_PATH) {
        return nullptr;
    }
    path[folder_length] = L'\\';
    lstrcpyW(path + folder_length + 1, name);
    return LoadLibraryW(path);
}

template <typename Function>
Function library_function(HMODULE library, const char* name)
{
    FARPROC address = library != nullptr ? GetProcAddress(library, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

// The sound library is loaded on the first sound rather than at start-up: it brings the whole audio
// stack with it, which a player with sound off (the default) never needs. Without it, no device is
// counted and the refusal falls back to the system beep.
HMODULE sound_library()
{
    static HMODULE library = system_library(L"winmm.dll");
    return library;
}

template <typename Function>
Function sound_function(const char* name)
{
    return library_function<Function>(sound_library(), name);
}

BOOL platform_play_sound(LPCSTR resource, HMODULE module, DWORD flags)
{
    using PlaySoundFunction = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
    static PlaySoundFunction play = sound_function<PlaySoundFunction>("PlaySoundA");
    return play != nullptr ? play(resource, module, flags) : FALSE;
}

BOOL platform_beep(UINT type)
{
    return MessageBeep(type);
}

BOOL platform_help(HWND window, LPCSTR path, UINT command, ULONG_PTR data)
{
    return WinHelpA(window, path, command, data);
}

HWND platform_html_help(HWND window, LPCWSTR path, UINT command, DWORD_PTR data)
{
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    static HtmlHelpFunction html_help = library_function<HtmlHelpFunction>(system_library(L"hhctrl.ocx"), "HtmlHelpW");
    return html_help != nullptr ? html_help(window, path, command, data) : nullptr;
}

// Wine's HTML Help shows its contents tree beside a blank page unless a Gecko engine is installed,
// which no distribution packages; Wine names itself through ntdll's wine_get_version, as it documents.
bool platform_html_help_shows()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") == nullptr;
}

bool html_help_opened = false;

// WinHelp takes a code-page path only: the short form names the file where the long one has letters
// that the code page lacks. Failing both, the spelling with '?' lets the engine say what it misses.
void engine_help_path(char* path)
{
    if (!code_page_path(help_path, path, PathSize)) {
        spell_in_code_page(help_path, path, PathSize);
    }
}

// Windows 10 and 11 have no WinHelp viewer: the .chm built from the same source opens there, on
// its contents. Wherever it cannot show, the .hlp opens as before.
void show_help()
{
    if (help_path[0] != '\0' && html_help_shows()) {
        char html_path[PathSize];
        std::memcpy(html_path, help_path, sizeof html_path);
        set_extension(html_path, "CHM");
        wchar_t wide[PathSize];
        if (file_exists(html_path) != 0 && widen_path(html_path, wide) &&
            open_html_help(main_window, wide, HH_DISPLAY_TOC, 0) != nullptr) {
            html_help_opened = true;
            return;
        }
    }
    char path[PathSize];
    engine_help_path(path);
    open_help(main_window, path, HELP_INDEX, 0);
}

UINT platform_wave_devices()
{
    using CountFunction = UINT(WINAPI*)();
    static CountFunction count = sound_function<CountFunction>("waveOutGetNumDevs");
    return count != nullptr ? count() : 0;
}

void set_status_part(int part, const char* text)
{
    SendMessageA(status_bar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
}

void open_dialog(int template_id, DLGPROC procedure)
{
    DialogBoxParamA(instance_handle, MAKEINTRESOURCEA(template_id), main_window, procedure, 0);
}

void start_new_game()
{
    game_state.game_over = 0;
    game_state.elapsed_seconds = 0;
    // A game in which no piece is laid must not offer the previous game's points to the score table.
    game_state.points = 0;
    new_game();
    set_status_message("");
    set_status_part(StatusPointsPart, "");
    InvalidateRect(main_window, nullptr, FALSE);
    paint_window();
}

void switch_language()
{
    settings.language = settings.language == LANGUAGE_ENGLISH ? LANGUAGE_FRENCH : LANGUAGE_ENGLISH;
    relabel_menu(main_window, main_menu);
}

void end_game()
{
    set_status_message(load_text(TXT_GAME_OVER_STATUS));
    // Marked over before the box opens: the ticks that its loop dispatches must not end the game again.
    game_state.game_over = 1;
    open_dialog(DLG_GAME_OVER, game_over_dialog_proc);
    record_score();
}

}  // namespace

BOOL (*play_sound_resource)(LPCSTR resource, HMODULE module, DWORD flags) = platform_play_sound;
BOOL (*system_beep)(UINT type) = platform_beep;
BOOL (*open_help)(HWND window, LPCSTR path, UINT command, ULONG_PTR data) = platform_help;
HWND (*open_html_help)(HWND window, LPCWSTR path, UINT command, DWORD_PTR data) = platform_html_help;
bool (*html_help_shows)() = platform_html_help_shows;
UINT (*count_wave_devices)() = platform_wave_devices;
std::int32_t wave_device_count = -1;

// The three handlers do nothing once the destroy handling has cleared main_window: the messages that
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
        open_dialog(DLG_SETTINGS, settings_dialog_proc);
        break;
    case CMD_SCORES:
        open_dialog(DLG_SCORES, best_scores_dialog_proc);
        break;
    case CMD_LANGUAGE:
        switch_language();
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

void release_help(HWND window)
{
    if (html_help_opened) {
        open_html_help(nullptr, nullptr, HH_CLOSE_ALL, 0);
        html_help_opened = false;
    }
    char path[PathSize];
    engine_help_path(path);
    open_help(window, path, HELP_QUIT, 0);
}

void handle_tick()
{
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
    const std::int32_t column = LOWORD(position) / board.cell_size;
    const std::int32_t row = HIWORD(position) / board.cell_size;
    if (column >= board.columns || row >= board.rows || cell_at(column, row) != Empty) {
        play_sound(0);
        return;
    }
    cell_at(column, row) = piece_queue.slots[NextPieceSlot];
    draw_cell(column, row);
    compute_flow(draw_cell);
    show_points(compute_points());
    advance_queue(invalidate_queue_column);
}

void set_status_message(const char* text)
{
    set_status_part(StatusMessagePart, text);
}

void show_points(std::int32_t points)
{
    char points_text[64];
    std::snprintf(points_text, sizeof points_text, load_text(TXT_POINTS), static_cast<int>(points));
    set_status_part(StatusPointsPart, points_text);
}

void play_sound(std::int32_t index)
{
    if (settings.sound == 0) {
        return;
    }
    if (wave_device_count == -1) {
        wave_device_count = static_cast<std::int32_t>(count_wave_devices());
    }
    if (wave_device_count != 0) {
        play_sound_resource(MAKEINTRESOURCEA(RES_SOUND_REFUSAL + index), instance_handle,
                            SND_RESOURCE | SND_ASYNC | SND_NOSTOP);
    } else {
        system_beep(static_cast<UINT>(index) * 16);
    }
}

void invalidate_queue_column()
{
    RECT column = {queue_left, 0, queue_left + board.cell_size, QueueLength * board.cell_size};
    InvalidateRect(main_window, &column, FALSE);
}
