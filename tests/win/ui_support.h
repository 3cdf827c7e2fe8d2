// Shared pieces of the game-window tests: temporary folders, the path and help seams, and starting and
// stopping the real main window inside the test process.
#ifndef ONDULOR_TESTS_WIN_UI_SUPPORT_H
#define ONDULOR_TESTS_WIN_UI_SUPPORT_H

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/scores.h"
#include "app/settings_file.h"
#include "game/game_state.h"
#include "ui/events.h"
#include "ui/main_window.h"
#include "ui/window.h"

namespace ui_test {

// A fresh folder under the prefix's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder()
    {
        static int counter = 0;
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        path_ = std::string(base) + "ondulor-ui-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        remove_tree(path_);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TempFolder() { remove_tree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

    static void remove_tree(const std::string& path)
    {
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = entry.cFileName;
                if (name == "." || name == "..") {
                    continue;
                }
                std::string child = path + "\\" + name;
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    remove_tree(child);
                } else {
                    DeleteFileA(child.c_str());
                }
            } while (FindNextFileA(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryA(path.c_str());
    }

private:
    std::string path_;
};

inline bool write_bytes(const std::string& path, const std::string& bytes)
{
    std::FILE* stream = std::fopen(path.c_str(), "wb");
    if (stream == nullptr) {
        return false;
    }
    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    return std::fclose(stream) == 0 && whole;
}

// The file's bytes, or "<missing>" when it cannot be read.
inline std::string read_bytes(const std::string& path)
{
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr) {
        return "<missing>";
    }
    std::string bytes;
    char chunk[512];
    std::size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, stream)) > 0) {
        bytes.append(chunk, count);
    }
    std::fclose(stream);
    return bytes;
}

// The executable path that the module-path seam reports, and the sizes it was asked for.
inline std::string fake_module_path;
inline bool fake_module_fails = false;
inline std::vector<DWORD> module_fetch_sizes;

// Behaves as GetModuleFileNameA does since Vista: a cut path is terminated and the size is returned.
inline DWORD fake_module_file_name(HMODULE, LPSTR buffer, DWORD size)
{
    module_fetch_sizes.push_back(size);
    if (fake_module_fails || size == 0) {
        return 0;
    }
    const std::size_t length = fake_module_path.size();
    if (length >= size) {
        fake_module_path.copy(buffer, size - 1);
        buffer[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    fake_module_path.copy(buffer, length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

struct HelpCall {
    HWND window;
    std::string path;
    UINT command;
};
inline std::vector<HelpCall> help_calls;

inline BOOL record_help(HWND window, LPCSTR path, UINT command, ULONG_PTR)
{
    help_calls.push_back({window, path != nullptr ? path : "", command});
    return TRUE;
}

inline BOOL silent_sound(LPCSTR, HMODULE, DWORD) { return TRUE; }
inline BOOL silent_beep(UINT) { return TRUE; }

// Removes the quit message that the destroy handling posts; answers whether there was one and its code.
inline bool take_quit(WPARAM* code = nullptr)
{
    MSG message;
    bool found = false;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        found = true;
        if (code != nullptr) {
            *code = message.wParam;
        }
    }
    return found;
}

inline void pump_messages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Puts the process-wide records back to their state at process start and installs the seams.
inline void reset_process_state(const std::string& exe_path)
{
    settings = {};
    game_state = {};
    clear_scores();
    main_window = nullptr;
    status_bar = nullptr;
    main_menu = nullptr;
    accelerator_table = nullptr;
    help_path[0] = '\0';
    settings_path[0] = '\0';
    queue_left = 0;
    fake_module_path = exe_path;
    fake_module_fails = false;
    module_fetch_sizes.clear();
    help_calls.clear();
    module_file_name = fake_module_file_name;
    open_help = record_help;
    play_sound_resource = silent_sound;
    system_beep = silent_beep;
    instance_handle = GetModuleHandleA(nullptr);
}

// The window that start_window made, kept after the destroy handling has cleared main_window.
inline HWND started_window = nullptr;

// Runs the real start-up as if the executable lay at exe_path.
inline std::int32_t start_window(const std::string& exe_path, int show_command = SW_SHOWNORMAL)
{
    reset_process_state(exe_path);
    const std::int32_t result = init_application(nullptr, nullptr, show_command);
    started_window = main_window;
    return result;
}

// Destroys the window and frees the class name, so that the next test can start the program again.
inline void stop_window()
{
    if (started_window != nullptr && IsWindow(started_window)) {
        DestroyWindow(started_window);
    }
    started_window = nullptr;
    take_quit();
    UnregisterClassA("ondulor", GetModuleHandleA(nullptr));
    main_window = nullptr;
    status_bar = nullptr;
}

inline std::string window_text(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

inline std::string menu_label(HMENU menu, UINT item, UINT flags)
{
    char text[256] = {};
    GetMenuStringA(menu, item, text, sizeof text, flags);
    return text;
}

}  // namespace ui_test

#endif
