// Start-up, message loop, main window procedure and window centring of the game window.
#include "ui/window.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "app/menu.h"
#include "app/settings_file.h"
#include "app/texts.h"
#include "game/board.h"
#include "game/queue.h"
#include "res/resource_ids.h"
#include "ui/accessible_board.h"
#include "ui/events.h"
#include "ui/help.h"
#include "ui/main_window.h"
#include "ui/render.h"
#include "ui/scale.h"
#include "ui/settings_place.h"
#include "ui/single_game.h"
#include "util/file_util.h"
#include "util/wide_path.h"

DWORD (*module_file_name)(HMODULE module, LPWSTR buffer, DWORD size) = GetModuleFileNameW;

namespace {

constexpr char ClassName[] = "ondulor";
constexpr DWORD MainWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT ClockTimer = 1;
constexpr UINT ClockPeriod = 1000;

// Set once the session ends: the program is ending, and no box may open any more.
bool session_ended = false;
// Set once the end of the session has put everything on the disk: the end of the loop has nothing
// left to write. A failed write there is tried again at the loop's end, still without a box.
bool session_saved = false;

// One axis of centred_place: centred on the reference span, then pulled into the work area's span. A
// window longer than the work area starts at its near edge, where its caption can still be reached.
LONG centred_position(LONG reference_start, LONG reference_end, LONG length, LONG area_start, LONG area_end)
{
    LONG position = reference_start + (reference_end - reference_start - length) / 2;
    if (position + length > area_end) {
        position = area_end - length;
    }
    return position < area_start ? area_start : position;
}

// The gap between two spans on one axis, 0 when they overlap.
LONGLONG span_gap(LONGLONG start, LONGLONG end, LONGLONG other_start, LONGLONG other_end)
{
    return other_start > end ? other_start - end : start > other_end ? start - other_end : 0;
}

// The monitor nearest to place among the desktop's, chosen by nearest_monitor; the primary work area
// when none answers.
MonitorArea desktop_monitor(const RECT& place)
{
    struct Desktop {
        MonitorArea monitors[16];
        int count;
    };
    Desktop desktop = {};
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            auto* found = reinterpret_cast<Desktop*>(data);
            MONITORINFO info = {};
            info.cbSize = sizeof info;
            if (GetMonitorInfoA(monitor, &info)) {
                found->monitors[found->count++] = {info.rcMonitor, info.rcWork};
            }
            return found->count < 16;
        },
        reinterpret_cast<LPARAM>(&desktop));
    MonitorArea area = nearest_monitor(place, desktop.monitors, desktop.count);
    if (IsRectEmpty(&area.work)) {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area.work, 0);
        area.monitor = area.work;
    }
    return area;
}

bool register_main_class()
{
    WNDCLASSA window_class = {};
    window_class.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    window_class.lpfnWndProc = main_window_proc;
    window_class.hInstance = instance_handle;
    window_class.hIcon = LoadIconA(instance_handle, MAKEINTRESOURCEA(RES_ICON_APP));
    window_class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW, spelled for the A call
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
    window_class.lpszMenuName = MAKEINTRESOURCEA(RES_MENU_MAIN);
    window_class.lpszClassName = ClassName;
    return RegisterClassA(&window_class) != 0;
}

void create_status_bar()
{
    // The settings box's spin control comes from the same library, so both classes are asked for here.
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    status_bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_BORDER, "", main_window, IDC_STATUS_BAR);
}

// The status bar's font for a monitor of dpi, once the window has moved to another scale. Until then
// the bar keeps the font that the system gave it.
void refit_status_font(UINT dpi)
{
    static HFONT status_font = nullptr;
    LOGFONTW font = {};
    if (!status_font_at(dpi, font)) {
        return;
    }
    HFONT fitted = CreateFontIndirectW(&font);
    if (fitted == nullptr) {
        return;
    }
    SendMessageA(status_bar, WM_SETFONT, reinterpret_cast<WPARAM>(fitted), FALSE);
    if (status_font != nullptr) {
        DeleteObject(status_font);
    }
    status_font = fitted;
}

// The work area of the monitor that holds place, or the window when place is null.
RECT work_area(const RECT* place)
{
    HMONITOR monitor = place != nullptr ? MonitorFromRect(place, MONITOR_DEFAULTTONEAREST)
                                        : MonitorFromWindow(main_window, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    }
    return info.rcWork;
}

// Lays the window out for a monitor of dpi: the cell, the queue column's place, the status bar's parts,
// the window's size (at place's corner when given, else where it is) and the tiles for the cell. The
// client is sized from the status bar's real height, which follows its font: a fixed height let the
// bar cover the board's bottom row, where the source lies.
void lay_out_window(UINT dpi, const RECT* place)
{
    // Told of a size, the bar takes the height of its font, which may have just changed.
    SendMessageA(status_bar, WM_SIZE, 0, 0);
    RECT bar = {};  // stays empty if the bar could not be made
    GetWindowRect(status_bar, &bar);
    const RECT work = work_area(place);
    layout_dpi =
        fitting_layout_dpi(dpi, MainWindowStyle, bar.bottom - bar.top, work.right - work.left, work.bottom - work.top);
    queue_left = board.columns * cell_pixels() + scaled(QueueGap);
    int right_edges[3] = {scaled(90), scaled(180), -1};
    SendMessageA(status_bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(right_edges));

    const SIZE client = client_size(bar.bottom - bar.top);
    RECT outer = {0, 0, client.cx, client.cy};
    adjust_window_rect(outer, MainWindowStyle, dpi);
    if (place != nullptr) {
        SetWindowPos(main_window, nullptr, place->left, place->top, outer.right - outer.left, outer.bottom - outer.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(main_window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top, SWP_NOMOVE);
    }
    // The frame may not be the one that was reckoned with (a system that keeps its frame at the DPI the
    // process started at, a menu bar wrapped on two lines): the window then grows or shrinks by the
    // difference, so that the client holds exactly the board and the bar.
    RECT got = {};
    GetClientRect(main_window, &got);
    if (got.right != client.cx || got.bottom != client.cy) {
        SetWindowPos(main_window, nullptr, 0, 0, outer.right - outer.left + client.cx - got.right,
                     outer.bottom - outer.top + client.cy - got.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The bar moves to the bottom of the new client area when told of a new size.
    SendMessageA(status_bar, WM_SIZE, 0, 0);
    load_tiles(cell_pixels());
}

// The session ends (log-off, shut-down, an update's restart, an installer's Restart Manager): the
// file is written whole now, as at the normal end, since the process may be ended as soon as this
// returns. No box may open: nobody is there to answer it, and it would hold the shut-down up. A box
// still open keeps what it has not stored; the game then ends by itself, for whoever waits for it.
void end_session()
{
    if (session_ended) {
        return;
    }
    session_ended = true;
    session_saved = save_settings_file(HoldPatience);
    if (main_window != nullptr) {
        PostMessageA(main_window, WM_DESTROY, 0, 0);
    }
}

// The window was moved to a monitor of another scale, or the scale changed: the bar's font first, as
// the window's height depends on the bar's.
void change_dpi(UINT dpi, const RECT* suggested)
{
    refit_status_font(dpi);
    lay_out_window(dpi, suggested);
    InvalidateRect(main_window, nullptr, TRUE);
}

// A contrast theme turned on or off, or its colours edited: the tiles are made again and the whole
// window redrawn, at its size. The same messages come for much else (the screen locked, a prompt
// opened), and then nothing is done.
void follow_contrast_theme(UINT message, WPARAM w_param, LPARAM l_param)
{
    if (message == WM_SYSCOLORCHANGE && status_bar != nullptr) {
        // Only top-level windows are told; a common control learns it from its parent.
        SendMessageA(status_bar, message, w_param, l_param);
    }
    const char* area = reinterpret_cast<const char*>(l_param);
    if (message == WM_SETTINGCHANGE && w_param != SPI_SETHIGHCONTRAST &&
        (area == nullptr ||
         (std::strcmp(area, "ImmersiveColorSet") != 0 && std::strcmp(area, "WindowsThemeElement") != 0))) {
        return;
    }
    if (main_window != nullptr && choose_board_colours()) {
        load_tiles(cell_pixels());
        // No erase: the paint fills the whole client, and the class brush would flash first.
        RedrawWindow(main_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}

}  // namespace

void derive_paths()
{
    // The wide path keeps every letter of the folders' names, which the code page may not have; the
    // 8-bit routines then work on its UTF-8 form. A fetch that fills the whole limit was cut, and a
    // cut path would put the settings into some other file.
    wchar_t module_path[MAX_PATH];
    const DWORD length = module_file_name(instance_handle, module_path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH ||
        !narrow_path(module_path, static_cast<int>(length), help_path, PathSize - 4)) {
        help_path[0] = '\0';
        settings_path[0] = '\0';
        return;
    }
    set_extension(help_path, "HLP");
    std::memcpy(settings_path, help_path, sizeof settings_path);
    set_extension(settings_path, "INI");
}

std::int32_t init_application(HINSTANCE previous_instance, LPSTR, int show_command)
{
    if (previous_instance == nullptr && !register_main_class()) {
        return -1;
    }
    derive_paths();
    char read_path[PathSize];
    place_settings_file(read_path);
    session_ended = false;
    session_saved = false;
    if (!claim_settings_file(settings_path)) {
        return AnotherGamePlays;
    }
    // An empty path names no file, so the defaults apply.
    read_settings(read_path);

    main_window = CreateWindowExA(0, ClassName, ClassName, MainWindowStyle, 0, 0, 200, 200, nullptr, nullptr,
                                  instance_handle, nullptr);
    if (main_window == nullptr) {
        return -1;
    }
    main_menu = GetMenu(main_window);
    relabel_menu(main_window, main_menu);
    accelerator_table = LoadAcceleratorsA(instance_handle, MAKEINTRESOURCEA(RES_ACCEL_MAIN));
    SetWindowTextA(main_window, load_text(TXT_WINDOW_TITLE));

    // The status bar comes first: the window's height depends on the bar's.
    create_status_bar();
    // The bar's first font is the system's, made for the DPI the session started at: a monitor
    // scaled otherwise since then needs its own.
    const UINT dpi = window_dpi(main_window);
    if (dpi != window_dpi(nullptr)) {
        refit_status_font(dpi);
    }
    choose_board_colours();
    lay_out_window(dpi, nullptr);
    center_window(main_window, nullptr);
    new_game();
    board_renewed();
    paint_window();
    SetTimer(main_window, ClockTimer, ClockPeriod, nullptr);
    ShowWindow(main_window, show_command);
    UpdateWindow(main_window);
    publish_game_window(main_window);
    return 0;
}

int run_application(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line, int show_command)
{
    instance_handle = instance;
    const std::int32_t started = init_application(previous_instance, command_line, show_command);
    if (started != 0) {
        return started == AnotherGamePlays ? 0 : -1;
    }
    HWND const window = main_window;
    // The close handling clears main_window and posts a quit that is never fetched: the loop ends
    // right after that dispatch, with the wParam (0) of the WM_DESTROY it handled. A box's own loop
    // may have dispatched it (the session ended with a box open): the message seen here is then the
    // one that opened the box, whose wParam is no exit code.
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(main_window, accelerator_table, &message) == 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (main_window == nullptr) {
            message.wParam = 0;
            break;
        }
    }
    // Nothing of the game may go on behind the error box of a failed write: that box runs a loop of
    // its own, which would go on ticking the clock and painting the board.
    KillTimer(window, ClockTimer);
    ShowWindow(window, SW_HIDE);
    if (!session_saved) {
        // A place that refuses the write (made read-only during the game) hands over to the per-user
        // file; only changes that neither can take are a loss worth the box.
        char first_path[PathSize];
        std::memcpy(first_path, settings_path, PathSize);
        if (!save_settings_file(HoldPatience) && !save_settings_per_user() && !session_ended) {
            report_open_failure(first_path);
        }
    }
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    switch (message) {
    case WM_DESTROY:
        release_help(window);
        release_board_object();
        main_window = nullptr;
        PostQuitMessage(0);
        return 0;
    case WM_MOVE:
        paint_window();
        return 0;
    case WM_SETFOCUS:
        paint_window();
        board_focus_moved();
        return 0;
    case WM_GETOBJECT:
        return answer_board_object(window, w_param, l_param);
    case WM_PAINT:
        // After the destroy handling paint_window draws nothing; a paint left invalid would come back
        // at once, for ever.
        if (main_window == nullptr) {
            ValidateRect(window, nullptr);
            return 0;
        }
        paint_window();
        return 0;
    case WM_SYSCOMMAND:
        // A window manager's restore comes as this command, which Wine drops for a disabled window:
        // restored with a box open, the frame came back around a window still minimised, black.
        if ((w_param & 0xFFF0) == SC_RESTORE && IsIconic(window) && !IsWindowEnabled(window)) {
            // The box keeps the keyboard: the window it locks does not take it.
            ShowWindow(window, SW_SHOWNOACTIVATE);
            return 0;
        }
        return DefWindowProcA(window, message, w_param, l_param);
    case WM_CLOSE:
        // The window stays up while the loop ends and the settings are written.
        PostMessageA(window, WM_DESTROY, 0, 0);
        return 0;
    case WM_QUERYENDSESSION:
        // Never holds a shut-down up: the end of the session loses nothing.
        return TRUE;
    case WM_ENDSESSION:
        // FALSE: the session goes on after all (another program refused).
        if (w_param != FALSE) {
            end_session();
        }
        return 0;
    case WM_COMMAND:
        handle_command(LOWORD(w_param));
        return 0;
    case WM_TIMER:
        handle_tick();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        handle_click(l_param);
        return 0;
    case WM_KEYDOWN:
        handle_key(w_param, l_param);
        return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        follow_contrast_theme(message, w_param, l_param);
        return DefWindowProcA(window, message, w_param, l_param);
    case WM_DPICHANGED:
        // Both halves of wParam carry the new DPI; lParam the rectangle that the system suggests.
        // A DPI of 0 means nothing to lay out for.
        if (main_window != nullptr && HIWORD(w_param) != 0) {
            change_dpi(HIWORD(w_param), reinterpret_cast<const RECT*>(l_param));
        }
        return 0;
    default:
        return DefWindowProcA(window, message, w_param, l_param);
    }
}

POINT centred_place(const RECT& window, const RECT& reference, const RECT& work_area)
{
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    return {centred_position(reference.left, reference.right, width, work_area.left, work_area.right),
            centred_position(reference.top, reference.bottom, height, work_area.top, work_area.bottom)};
}

RECT screen_from_workspace(const RECT& place, const RECT& monitor, const RECT& work_area)
{
    const LONG dx = work_area.left - monitor.left;
    const LONG dy = work_area.top - monitor.top;
    return {place.left + dx, place.top + dy, place.right + dx, place.bottom + dy};
}

void center_window(HWND window, HWND owner)
{
    RECT outer = {};
    GetWindowRect(window, &outer);
    // The owner's monitor, or the window's own: the primary one for a window not yet moved.
    RECT reference = {};
    const bool on_owner = owner != nullptr && GetWindowRect(owner, &reference);
    // A minimised owner's rectangle is its icon's, or far off the screen: the box goes where the
    // owner will be once restored, which is where the player will look.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    const bool restored = on_owner && IsIconic(owner) && GetWindowPlacement(owner, &placement);
    const MonitorArea area = desktop_monitor(restored ? placement.rcNormalPosition : on_owner ? reference : outer);
    if (restored) {
        reference = screen_from_workspace(placement.rcNormalPosition, area.monitor, area.work);
    }
    const POINT place = centred_place(outer, on_owner ? reference : area.work, area.work);
    SetWindowPos(window, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

MonitorArea nearest_monitor(const RECT& place, const MonitorArea* monitors, int count)
{
    MonitorArea nearest = {};
    LONGLONG most_shared = -1, least_gap = -1;
    for (int index = 0; index < count; ++index) {
        const RECT& monitor = monitors[index].monitor;
        RECT shared = {};
        const LONGLONG area = IntersectRect(&shared, &place, &monitor)
                                  ? (LONGLONG{shared.right} - shared.left) * (LONGLONG{shared.bottom} - shared.top)
                                  : 0;
        const LONGLONG x = span_gap(place.left, place.right, monitor.left, monitor.right);
        const LONGLONG y = span_gap(place.top, place.bottom, monitor.top, monitor.bottom);
        const LONGLONG gap = x * x + y * y;
        if (area > most_shared || (area == 0 && most_shared == 0 && gap < least_gap)) {
            most_shared = area;
            least_gap = gap;
            nearest = monitors[index];
        }
    }
    return nearest;
}
