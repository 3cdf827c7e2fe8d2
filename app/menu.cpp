// relabel_menu: puts the current language's texts into the main window's title and menu.
#include "app/menu.h"

#include "app/texts.h"
#include "res/resource_ids.h"

namespace {

// A menu-bar entry gets its new text with its own drop-down handed back, so it keeps it on every
// version of Windows; the help entry also gets its right alignment again.
void relabel_bar_entry(HMENU menu, UINT position, std::int32_t text_id, UINT extra_flags)
{
    HMENU drop_down = GetSubMenu(menu, static_cast<int>(position));
    UINT flags = MF_BYPOSITION | MF_STRING | extra_flags;
    UINT_PTR item = 0;
    if (drop_down != nullptr) {
        flags |= MF_POPUP;
        item = reinterpret_cast<UINT_PTR>(drop_down);
    }
    ModifyMenuA(menu, position, flags, item, load_text(text_id));
}

void relabel_command(HMENU drop_down, UINT command, std::int32_t text_id)
{
    ModifyMenuA(drop_down, command, MF_BYCOMMAND | MF_STRING, command, load_text(text_id));
}

}  // namespace

void relabel_menu(HWND window, HMENU menu)
{
    SetWindowTextA(window, load_text(TXT_WINDOW_TITLE));

    relabel_bar_entry(menu, 0, TXT_MENU_GAME, 0);
    relabel_bar_entry(menu, 1, TXT_MENU_OPTIONS, 0);
    relabel_bar_entry(menu, 2, TXT_MENU_HELP, MF_RIGHTJUSTIFY);

    HMENU game_menu = GetSubMenu(menu, 0);
    relabel_command(game_menu, CMD_NEW_GAME, TXT_NEW_GAME);
    relabel_command(game_menu, CMD_QUIT, TXT_QUIT);

    HMENU options_menu = GetSubMenu(menu, 1);
    relabel_command(options_menu, CMD_SETTINGS, TXT_GAME_SETTINGS);
    relabel_command(options_menu, CMD_SCORES, TXT_DISPLAY_SCORES);
    relabel_command(options_menu, CMD_LANGUAGE, TXT_LANGUAGE_SWITCH);

    HMENU help_menu = GetSubMenu(menu, 2);
    relabel_command(help_menu, CMD_ABOUT, TXT_ABOUT);
    relabel_command(help_menu, CMD_HELP, TXT_HELP);

    DrawMenuBar(window);
}
