// F1's help: the .chm through HTML Help where it shows its pages, else the .hlp through WinHelp.
#ifndef ONDULOR_UI_HELP_H
#define ONDULOR_UI_HELP_H

#include <windows.h>

// Opens the help beside the executable on its contents; the game plays on behind the viewer.
void show_help();

// Tells the help engines at exit that the program no longer needs the help files: HTML Help's windows
// close if F1 opened them, and WinHelp hears HELP_QUIT as always (nothing to do if its viewer never ran).
void release_help(HWND window);

// Seams for the calls that tests must never make for real: under Wine the help engine blocks on a
// missing help file. The defaults call the platform.
extern BOOL (*open_help)(HWND window, LPCSTR path, UINT command, ULONG_PTR data);
// HTML Help (HtmlHelpW), null when it cannot open; and whether it shows its pages here (not under Wine).
extern HWND (*open_html_help)(HWND window, LPCWSTR path, UINT command, DWORD_PTR data);
extern bool (*html_help_shows)();

#endif
