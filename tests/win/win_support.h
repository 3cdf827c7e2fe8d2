// What every Wine test program shares: wrap-safe time limits, the texts of windows and menus, the
// thread's windows for a diagnosis, and the recording fakes of the seams with the one state reset.
#ifndef ONDULOR_TESTS_WIN_WIN_SUPPORT_H
#define ONDULOR_TESTS_WIN_WIN_SUPPORT_H

#include <windows.h>

#include <string>
#include <vector>

#include "game/game_state.h"
#include "tests/support.h"
#include "ui/events.h"
#include "ui/help.h"
#include "ui/sound.h"
#include "ui/main_window.h"
#include "ui/window.h"

// Milliseconds since start on the tick counter; unsigned subtraction stays right when the counter wraps
// after 49.7 days, where a deadline of start + limit would not.
inline DWORD elapsed_since(DWORD start)
{
    return GetTickCount() - start;
}

// A path of the host as Wine shows it: the host's root is drive Z:.
inline std::string wine_path(std::string path)
{
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

inline std::string window_text(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

inline std::string menu_label(HMENU menu, UINT item, UINT flags = MF_BYCOMMAND)
{
    char text[256] = {};
    GetMenuStringA(menu, item, text, sizeof text, flags);
    return text;
}

inline std::string class_name(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The first visible dialog box among the thread's top-level windows, or null.
inline HWND visible_box(DWORD thread = GetCurrentThreadId())
{
    HWND found = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM result) -> BOOL {
            if (IsWindowVisible(window) && class_name(window) == "#32770") {
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The thread's top-level windows, one line each with class, caption and visibility: what a test prints
// when it gives up waiting, so that a hang shows which window held it.
inline std::string thread_windows(DWORD thread = GetCurrentThreadId())
{
    std::string lines;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM text) -> BOOL {
            *reinterpret_cast<std::string*>(text) += "  " + class_name(window) + " \"" + window_text(window) + "\" " +
                                                     (IsWindowVisible(window) ? "visible" : "hidden") + "\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&lines));
    return lines.empty() ? "  (no windows)\n" : lines;
}

struct HelpCall {
    HWND window;
    std::string path;
    UINT command;
};

// What the fakes of the seams were asked, and what they answer.
struct SeamRecord {
    int resource_plays = 0;
    LPCSTR last_resource = nullptr;
    HMODULE last_module = nullptr;
    DWORD last_flags = 0;
    int beeps = 0;
    UINT last_beep = 0xFFFFFFFF;
    int device_queries = 0;
    UINT devices = 0;  // the wave devices the fake reports
    std::vector<HelpCall> help_calls;
    bool html_help_shows = false;  // as under Wine
    bool html_help_opens = true;
    std::vector<std::pair<std::wstring, UINT>> html_help_calls;  // path and command
    std::string module_path;  // the executable path the module-path fake reports, in UTF-8
    bool module_fails = false;
    std::vector<DWORD> module_fetch_sizes;
};
inline SeamRecord seam_record;

inline BOOL recorded_play(LPCSTR resource, HMODULE module, DWORD flags)
{
    seam_record.resource_plays += 1;
    seam_record.last_resource = resource;
    seam_record.last_module = module;
    seam_record.last_flags = flags;
    return TRUE;
}

inline BOOL recorded_beep(UINT type)
{
    seam_record.beeps += 1;
    seam_record.last_beep = type;
    return TRUE;
}

inline UINT recorded_device_count()
{
    seam_record.device_queries += 1;
    return seam_record.devices;
}

inline BOOL recorded_help(HWND window, LPCSTR path, UINT command, ULONG_PTR)
{
    seam_record.help_calls.push_back({window, path != nullptr ? path : "", command});
    return TRUE;
}

inline HWND recorded_html_help(HWND, LPCWSTR path, UINT command, DWORD_PTR)
{
    seam_record.html_help_calls.emplace_back(path != nullptr ? path : L"", command);
    return seam_record.html_help_opens ? GetDesktopWindow() : nullptr;
}

// Behaves as GetModuleFileNameW does since Vista: a cut path is still terminated, the size is returned
// and the last error is ERROR_INSUFFICIENT_BUFFER.
inline DWORD fake_module_file_name(HMODULE, LPWSTR buffer, DWORD size)
{
    seam_record.module_fetch_sizes.push_back(size);
    if (seam_record.module_fails || size == 0) {
        return 0;
    }
    const std::wstring wide = wide_test_path(seam_record.module_path);
    if (wide.size() >= size) {
        wide.copy(buffer, size - 1);
        buffer[size - 1] = L'\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    wide.copy(buffer, wide.size());
    buffer[wide.size()] = L'\0';
    return static_cast<DWORD>(wide.size());
}

// Empties the record and puts every seam on its fake, the executable lying at exe_path.
inline void install_seams(const std::string& exe_path)
{
    seam_record = SeamRecord{};
    seam_record.module_path = exe_path;
    module_file_name = fake_module_file_name;
    open_help = recorded_help;
    open_html_help = recorded_html_help;
    html_help_shows = [] { return seam_record.html_help_shows; };
    play_sound_resource = recorded_play;
    system_beep = recorded_beep;
    count_wave_devices = recorded_device_count;
    wave_device_count = -1;
    instance_handle = GetModuleHandleA(nullptr);
}

// Puts the process-wide records back to their state at process start and installs the fakes. A main
// window made earlier is forgotten, not destroyed: the caller decides its end.
inline void reset_process_state(const std::string& exe_path)
{
    reset_app_state();
    game_state = {};
    main_window = nullptr;
    status_bar = nullptr;
    main_menu = nullptr;
    accelerator_table = nullptr;
    help_path[0] = '\0';
    settings_path[0] = '\0';
    queue_left = 0;
    install_seams(exe_path);
}

#endif
