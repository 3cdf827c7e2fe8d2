// The game's messages of the main window: commands, clock ticks and clicks, and the status bar.
#ifndef ONDULOR_UI_EVENTS_H
#define ONDULOR_UI_EVENTS_H

#include <windows.h>

#include <cstdint>

void handle_command(WORD command_id);
void handle_tick();
void handle_click(LPARAM position);
// Tells the help engines at exit that the program no longer needs the help files: HTML Help's windows
// close if F1 opened them, and WinHelp hears HELP_QUIT as always (nothing to do if its viewer never ran).
void release_help(HWND window);

void set_status_message(const char* text);
void show_points(std::int32_t points);
void play_sound(std::int32_t index);
void invalidate_queue_column();

// Seams for the calls that tests must never make for real: under Wine the help engine blocks on a
// missing help file, and sound cannot be heard. The defaults call the platform.
extern BOOL (*play_sound_resource)(LPCSTR resource, HMODULE module, DWORD flags);
extern BOOL (*system_beep)(UINT type);
extern BOOL (*open_help)(HWND window, LPCSTR path, UINT command, ULONG_PTR data);
// HTML Help (HtmlHelpW), null when it cannot open; and whether it shows its pages here (not under Wine).
extern HWND (*open_html_help)(HWND window, LPCWSTR path, UINT command, DWORD_PTR data);
extern bool (*html_help_shows)();
extern UINT (*count_wave_devices)();
extern std::int32_t wave_device_count;

#endif
