// The main window's menu bar and title in the current language.
#ifndef ONDULOR_APP_MENU_H
#define ONDULOR_APP_MENU_H

#include <windows.h>

// Writes the title and every menu label in the current language, then redraws the menu bar.
void relabel_menu(HWND window, HMENU menu);

#endif
