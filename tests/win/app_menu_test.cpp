// The real resources under Wine: menu 128 and its relabelling, accelerators 129, texts, art.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/menu.h"
#include "app/settings_file.h"
#include "app/texts.h"
#include "res/resource_ids.h"
#include "tests/host/app_expected_texts.h"
#include "win_support.h"

namespace {

HMODULE own_module()
{
    return GetModuleHandleA(nullptr);
}

MENUITEMINFOA item_info(HMENU menu, UINT position)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
    EXPECT_TRUE(GetMenuItemInfoA(menu, position, TRUE, &info));
    return info;
}

struct MenuWindow {
    HMENU menu = nullptr;
    HWND window = nullptr;
    MenuWindow()
    {
        menu = LoadMenuA(own_module(), MAKEINTRESOURCEA(RES_MENU_MAIN));
        window =
            CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, menu, own_module(), nullptr);
    }
    ~MenuWindow()
    {
        if (window != nullptr) DestroyWindow(window);
    }
};

// The drop-downs of the menu bar, position by position; 0 stands for a separator.
const std::vector<std::vector<UINT>> drop_down_ids = {
    {CMD_NEW_GAME, 0, CMD_QUIT},
    {CMD_SETTINGS, 0, CMD_SCORES, 0, CMD_LANGUAGE},
    {CMD_ABOUT, CMD_HELP},
};

// The bar's drop-downs with their command ids; with_types also checks string, separator and state
// types, which only hold once relabelled: Wine loads an entry with an empty text as a separator.
void expect_menu_shape(HMENU menu, bool with_types)
{
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    for (UINT bar = 0; bar < 3; ++bar) {
        SCOPED_TRACE(bar);
        const MENUITEMINFOA bar_item = item_info(menu, bar);
        ASSERT_NE(bar_item.hSubMenu, nullptr);
        EXPECT_EQ((bar_item.fType & MFT_RIGHTJUSTIFY) != 0, bar == 2);
        EXPECT_EQ(bar_item.fState & (MFS_DISABLED | MFS_CHECKED), 0u);
        const std::vector<UINT>& ids = drop_down_ids[bar];
        ASSERT_EQ(GetMenuItemCount(bar_item.hSubMenu), static_cast<int>(ids.size()));
        for (UINT position = 0; position < ids.size(); ++position) {
            SCOPED_TRACE(position);
            const MENUITEMINFOA entry = item_info(bar_item.hSubMenu, position);
            EXPECT_EQ(entry.hSubMenu, nullptr);
            EXPECT_EQ(entry.wID, ids[position]);
            if (with_types) {
                EXPECT_EQ((entry.fType & MFT_SEPARATOR) != 0, ids[position] == 0);
                if (ids[position] != 0) {
                    EXPECT_EQ(entry.fState & (MFS_DISABLED | MFS_CHECKED), 0u);
                }
            }
        }
    }
}

TEST(MenuResource, HasTheEntriesWithoutAnyText)
{
    MenuWindow bare;
    ASSERT_NE(bare.menu, nullptr);
    expect_menu_shape(bare.menu, false);
    for (UINT bar = 0; bar < 3; ++bar) {
        EXPECT_EQ(menu_label(bare.menu, bar, MF_BYPOSITION), "");
        for (UINT id : drop_down_ids[bar]) {
            if (id != 0) {
                EXPECT_EQ(menu_label(bare.menu, id, MF_BYCOMMAND), "") << id;
            }
        }
    }
}

struct Labels {
    std::string title;
    std::string bar[3];
    std::string commands[7];
};

const UINT commands[7] = {CMD_NEW_GAME, CMD_QUIT, CMD_SETTINGS, CMD_SCORES, CMD_LANGUAGE, CMD_ABOUT, CMD_HELP};

Labels labels_of(const MenuWindow& shown)
{
    Labels labels;
    labels.title = window_text(shown.window);
    for (UINT bar = 0; bar < 3; ++bar) labels.bar[bar] = menu_label(shown.menu, bar, MF_BYPOSITION);
    for (int i = 0; i < 7; ++i) labels.commands[i] = menu_label(shown.menu, commands[i], MF_BYCOMMAND);
    return labels;
}

void relabel_in(const MenuWindow& shown, std::int32_t language)
{
    settings.language = language;
    relabel_menu(shown.window, shown.menu);
}

TEST(RelabelMenu, LabelsInBothLanguagesAndSwitchingBack)
{
    MenuWindow shown;
    ASSERT_NE(shown.window, nullptr);
    HMENU drop_downs[3];
    for (int bar = 0; bar < 3; ++bar) drop_downs[bar] = GetSubMenu(shown.menu, bar);

    relabel_in(shown, LANGUAGE_FRENCH);
    const Labels french = labels_of(shown);
    EXPECT_EQ(french.title, "Ondulor");
    EXPECT_EQ(french.bar[0], "&Partie");
    EXPECT_EQ(french.bar[1], "&Options");
    EXPECT_EQ(french.bar[2], "&Aide");
    const char* french_commands[7] = {
        "Nouvelle partie\tF2",   "Quitter", "Param\xE8tres du jeu", "Afficher scores", "English",
        "A propos de l'Ondulor", "Aide"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(french.commands[i], french_commands[i]) << commands[i];

    relabel_in(shown, LANGUAGE_ENGLISH);
    const Labels english = labels_of(shown);
    EXPECT_EQ(english.title, "Ondulor");
    EXPECT_EQ(english.bar[0], "&Game");
    EXPECT_EQ(english.bar[1], "&Options");
    EXPECT_EQ(english.bar[2], "&Help");
    const char* english_commands[7] = {"New Game\tF2",
                                       "Quit",
                                       "Game settings",
                                       "Display scores",
                                       "Fran\xE7"
                                       "ais",
                                       "About the Ondulor",
                                       "Help"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(english.commands[i], english_commands[i]) << commands[i];

    relabel_in(shown, LANGUAGE_FRENCH);
    const Labels again = labels_of(shown);
    for (int bar = 0; bar < 3; ++bar) EXPECT_EQ(again.bar[bar], french.bar[bar]);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(again.commands[i], french.commands[i]);

    // Relabelling keeps every drop-down, every separator and the help entry's right alignment.
    expect_menu_shape(shown.menu, true);
    for (int bar = 0; bar < 3; ++bar) EXPECT_EQ(GetSubMenu(shown.menu, bar), drop_downs[bar]);
    EXPECT_EQ(GetMenu(shown.window), shown.menu);
    settings.language = 0;
}

TEST(Accelerators, F1OpensHelpAndF2StartsANewGame)
{
    HACCEL table = LoadAcceleratorsA(own_module(), MAKEINTRESOURCEA(RES_ACCEL_MAIN));
    ASSERT_NE(table, nullptr);
    ACCEL entries[8] = {};
    ASSERT_EQ(CopyAcceleratorTableA(table, entries, 8), 2);
    for (const ACCEL& entry : {entries[0], entries[1]}) {
        EXPECT_EQ(entry.fVirt & (FVIRTKEY | FSHIFT | FCONTROL | FALT), FVIRTKEY);
        if (entry.key == VK_F1) {
            EXPECT_EQ(entry.cmd, CMD_HELP);
        } else {
            EXPECT_EQ(entry.key, VK_F2);
            EXPECT_EQ(entry.cmd, CMD_NEW_GAME);
        }
    }
    EXPECT_NE(entries[0].key, entries[1].key);
}

TEST(Resources, IconTilesAndRefusalSoundArePresent)
{
    EXPECT_NE(LoadIconA(own_module(), MAKEINTRESOURCEA(RES_ICON_APP)), nullptr);
    for (int id = 1; id <= 19; ++id) {
        const bool tile = id <= 9 || id >= 12;
        HBITMAP bitmap = LoadBitmapA(own_module(), MAKEINTRESOURCEA(id));
        EXPECT_EQ(bitmap != nullptr, tile) << id;
        if (bitmap != nullptr) DeleteObject(bitmap);
    }
    EXPECT_NE(FindResourceA(own_module(), MAKEINTRESOURCEA(RES_SOUND_REFUSAL), "WAVE"), nullptr);
}

// ---- Every resource is language-neutral ----

constexpr WORD NeutralLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

BOOL CALLBACK collect_language(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR languages)
{
    reinterpret_cast<std::vector<WORD>*>(languages)->push_back(language);
    return TRUE;
}

struct ResourceName {
    LPCSTR type;
    int id;
};

std::vector<ResourceName> game_resources()
{
    std::vector<ResourceName> names = {{RT_MENU, RES_MENU_MAIN},      {RT_ACCELERATOR, RES_ACCEL_MAIN},
                                       {RT_GROUP_ICON, RES_ICON_APP}, {RT_DIALOG, DLG_ABOUT},
                                       {RT_DIALOG, DLG_GAME_OVER},    {RT_DIALOG, DLG_SCORES},
                                       {RT_DIALOG, DLG_NAME},         {RT_DIALOG, DLG_SETTINGS}};
    for (int id = 1; id <= 19; ++id) {
        if (id <= 9 || id >= 12) names.push_back({RT_BITMAP, id});
    }
    // Strings are stored sixteen to a block, block n holding the ids 16 (n - 1) to 16 n - 1.
    auto add_block = [&names](int text_id) {
        const int block = text_id / 16 + 1;
        for (const ResourceName& known : names) {
            if (known.type == RT_STRING && known.id == block) return;
        }
        names.push_back({RT_STRING, block});
    };
    for (const ExpectedText& text : expected_texts) {
        add_block(text.id);
        if (text.english != nullptr) add_block(text.id + LANGUAGE_ENGLISH);
    }
    return names;
}

TEST(Resources, AreStoredLanguageNeutralAndFoundUnderAnyLanguage)
{
    // Under a named language the lookup tries that language and then only the neutral one, so a
    // resource filed under English (US) is missed; the neutral lookup itself would fall back to it.
    for (const ResourceName& name : game_resources()) {
        SCOPED_TRACE(testing::Message() << "type " << reinterpret_cast<std::uintptr_t>(name.type) << " id " << name.id);
        const LPCSTR id = MAKEINTRESOURCEA(name.id);
        EXPECT_NE(FindResourceExA(own_module(), name.type, id, NeutralLanguage), nullptr);
        EXPECT_NE(FindResourceExA(own_module(), name.type, id, MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)), nullptr);
    }
    // Every resource of the file, the icon images and the sound among them, is stored once, neutral.
    std::vector<WORD> languages;
    EXPECT_TRUE(EnumResourceTypesA(
        own_module(),
        [](HMODULE module, LPSTR type, LONG_PTR found) -> BOOL {
            return EnumResourceNamesA(
                module, type,
                [](HMODULE inner, LPCSTR type_name, LPSTR resource, LONG_PTR list) -> BOOL {
                    return EnumResourceLanguagesA(inner, type_name, resource, collect_language, list);
                },
                found);
        },
        reinterpret_cast<LONG_PTR>(&languages)));
    EXPECT_GT(languages.size(), game_resources().size());
    EXPECT_EQ(languages, std::vector<WORD>(languages.size(), NeutralLanguage));
}

TEST(LoadText, StringTablesGiveWindows1252Bytes)
{
    for (const ExpectedText& expected : expected_texts) {
        SCOPED_TRACE(expected.id);
        settings.language = LANGUAGE_FRENCH;
        EXPECT_EQ(std::string(load_text(expected.id)), expected.french);
        settings.language = LANGUAGE_ENGLISH;
        EXPECT_EQ(std::string(load_text(expected.id)), expected.english ? expected.english : "");
    }
    settings.language = LANGUAGE_FRENCH;
    const std::string settings_title = load_text(TXT_GAME_SETTINGS);
    ASSERT_GT(settings_title.size(), 5u);
    EXPECT_EQ(static_cast<unsigned char>(settings_title[5]), 0xE8);
    EXPECT_STREQ(load_text(399), "");
    settings.language = LANGUAGE_ENGLISH;
    EXPECT_STREQ(load_text(TXT_GAME_OVER_TITLE), "");
    EXPECT_EQ(std::string(load_text(TXT_ABOUT_CONTACT)), "Ondulor Games\nsupport@ondulor.example");
    settings.language = 0;
}

}  // namespace
