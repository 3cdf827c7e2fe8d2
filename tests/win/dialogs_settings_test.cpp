// The settings box: its texts, the clamped arrow steps of the duration, and what OK and Cancel store.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "app/settings_file.h"
#include "dialogs_script.h"
#include "res/resource_ids.h"
#include "ui/events.h"
#include "ui/main_window.h"

namespace {

class SettingsBox : public ::testing::Test {
protected:
    void SetUp() override { reset_game_world(); }
};

void press_key(HWND box, WPARAM key)
{
    HWND edit = GetDlgItem(box, IDC_SETTINGS_DURATION);
    SendMessageA(edit, WM_KEYDOWN, key, 1);
    SendMessageA(edit, WM_KEYUP, key, 0xC0000001);
}

void press_enter(HWND box)
{
    PostMessageA(GetDlgItem(box, IDC_SETTINGS_DURATION), WM_KEYDOWN, VK_RETURN, 1);
}

// A press of the mouse on the upper or lower quarter of the arrow control.
void click_arrow(HWND box, bool up)
{
    HWND spin = GetDlgItem(box, IDC_SETTINGS_SPIN);
    RECT area;
    GetClientRect(spin, &area);
    const int x = (area.left + area.right) / 2;
    const int y = up ? area.top + (area.bottom - area.top) / 4 : area.bottom - (area.bottom - area.top) / 4 - 1;
    SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(spin, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace

TEST_F(SettingsBox, OpensWithTheCurrentSettingsAndTexts)
{
    settings.sound = 7;
    settings.duration = 90;
    std::string title, ok, cancel, label, duration, sound_label, group, english, french;
    UINT sound_checked = 9, english_checked = 9, french_checked = 9;
    HWND buddy = nullptr, edit = nullptr;
    int low = 0, high = 0, position = 0;
    bool spin_aligned = false;
    const ScriptOutcome outcome = run_boxes(
        [] { handle_command(CMD_SETTINGS); },
        {{BoxKind::Settings, [&](HWND box) {
              title = window_text(box);
              ok = control_text(box, IDC_OK);
              cancel = control_text(box, IDC_CANCEL);
              label = control_text(box, IDC_SETTINGS_DURATION_LABEL);
              duration = control_text(box, IDC_SETTINGS_DURATION);
              sound_label = control_text(box, IDC_SETTINGS_SOUND);
              group = control_text(box, IDC_SETTINGS_LANGUAGE_GROUP);
              english = control_text(box, IDC_SETTINGS_ENGLISH);
              french = control_text(box, IDC_SETTINGS_FRENCH);
              sound_checked = IsDlgButtonChecked(box, IDC_SETTINGS_SOUND);
              english_checked = IsDlgButtonChecked(box, IDC_SETTINGS_ENGLISH);
              french_checked = IsDlgButtonChecked(box, IDC_SETTINGS_FRENCH);
              HWND spin = GetDlgItem(box, IDC_SETTINGS_SPIN);
              edit = GetDlgItem(box, IDC_SETTINGS_DURATION);
              if (spin != nullptr) {
                  buddy = reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0));
                  SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
                  position = static_cast<int>(SendMessageA(spin, UDM_GETPOS32, 0, 0));
                  RECT spin_rect, edit_rect;
                  GetWindowRect(spin, &spin_rect);
                  GetWindowRect(edit, &edit_rect);
                  // The arrows share at most the edit's border and lie on its right.
                  spin_aligned = spin_rect.left >= edit_rect.right - 3 && spin_rect.right > edit_rect.right &&
                                 spin_rect.top == edit_rect.top;
              }
              press(box, IDC_CANCEL);
          }}});
    expect_clean_run(outcome, 1);
    EXPECT_EQ(title, "Game Settings");
    EXPECT_EQ(ok, "OK");
    EXPECT_EQ(cancel, "Cancel");
    EXPECT_EQ(label, "Duration (in s.)");
    EXPECT_EQ(duration, "90");
    EXPECT_EQ(sound_label, "Sound effects");
    EXPECT_EQ(group, "Working language");
    EXPECT_EQ(english, "English");
    EXPECT_EQ(french, "French");
    EXPECT_EQ(sound_checked, static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(english_checked, static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(french_checked, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(buddy, edit);
    EXPECT_EQ(low, 30);
    EXPECT_EQ(high, 1000);
    EXPECT_EQ(position, 90);
    EXPECT_TRUE(spin_aligned) << "the arrows sit on the right edge of the duration box";

    settings.language = LANGUAGE_FRENCH;
    settings.sound = 0;
    settings.duration = 45;
    const ScriptOutcome french_box = run_boxes([] { handle_command(CMD_SETTINGS); },
                                               {{BoxKind::Settings, [&](HWND box) {
                                                     title = window_text(box);
                                                     duration = control_text(box, IDC_SETTINGS_DURATION);
                                                     sound_checked = IsDlgButtonChecked(box, IDC_SETTINGS_SOUND);
                                                     english_checked = IsDlgButtonChecked(box, IDC_SETTINGS_ENGLISH);
                                                     french_checked = IsDlgButtonChecked(box, IDC_SETTINGS_FRENCH);
                                                     cancel = control_text(box, IDC_CANCEL);
                                                     press(box, IDCANCEL);
                                                 }}});
    expect_clean_run(french_box, 1);
    EXPECT_EQ(title, "Param\351trage du jeu");
    EXPECT_EQ(cancel, "Annuler");
    EXPECT_EQ(duration, "45");
    EXPECT_EQ(sound_checked, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(english_checked, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(french_checked, static_cast<UINT>(BST_CHECKED));
}

TEST_F(SettingsBox, ArrowsStepTheTypedDurationWithinThirtyAndOneThousand)
{
    struct Case {
        const char* typed;
        bool up;
        const char* shown;
    };
    const Case cases[] = {
        {"25", true, "30"},           {"2000", false, "1000"},     {"abc", true, "30"},   {"1000", true, "1000"},
        {"30", false, "30"},          {"500", true, "501"},        {"500", false, "499"}, {"", false, "30"},
        {"4294967294", true, "1000"}, {"99999999999", true, "30"}, {"31", false, "30"},   {"999", true, "1000"},
    };
    std::vector<std::string> by_key, by_mouse;
    const ScriptOutcome outcome = run_boxes([] { handle_command(CMD_SETTINGS); },
                                            {{BoxKind::Settings, [&](HWND box) {
                                                  for (const Case& c : cases) {
                                                      SetDlgItemTextA(box, IDC_SETTINGS_DURATION, c.typed);
                                                      press_key(box, c.up ? VK_UP : VK_DOWN);
                                                      by_key.push_back(control_text(box, IDC_SETTINGS_DURATION));
                                                      SetDlgItemTextA(box, IDC_SETTINGS_DURATION, c.typed);
                                                      click_arrow(box, c.up);
                                                      by_mouse.push_back(control_text(box, IDC_SETTINGS_DURATION));
                                                  }
                                                  press(box, IDC_CANCEL);
                                              }}});
    expect_clean_run(outcome, 1);
    ASSERT_EQ(by_key.size(), std::size(cases));
    ASSERT_EQ(by_mouse.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(by_key[i], cases[i].shown) << "key, typed \"" << cases[i].typed << "\"";
        EXPECT_EQ(by_mouse[i], cases[i].shown) << "mouse, typed \"" << cases[i].typed << "\"";
    }
    EXPECT_EQ(settings.duration, 90) << "Cancel after the arrows stores nothing";
}

TEST_F(SettingsBox, OkStoresTheTypedDurationUnclampedAndTheSoundSwitch)
{
    struct Case {
        const char* typed;
        std::int32_t stored;
        bool enter = false;  // the Enter key instead of OK
    };
    const Case cases[] = {
        {"750", 750, true},
        {"2000", 2000},
        {"5", 5},
        {"abc", 0},
        {"0", 0},
        {"4294967294", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"2147483647", INT32_MAX},
        {"99999999999", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        settings.duration = 90;
        settings.sound = 0;
        const ScriptOutcome outcome = run_boxes([] { handle_command(CMD_SETTINGS); },
                                                {{BoxKind::Settings, [&](HWND box) {
                                                      SetDlgItemTextA(box, IDC_SETTINGS_DURATION, c.typed);
                                                      SendDlgItemMessageA(box, IDC_SETTINGS_SOUND, BM_CLICK, 0, 0);
                                                      c.enter ? press_enter(box) : press(box, IDC_OK);
                                                  }}});
        expect_clean_run(outcome, 1);
        EXPECT_EQ(settings.duration, c.stored);
        EXPECT_EQ(settings.sound, 1);
        EXPECT_EQ(settings.language, LANGUAGE_ENGLISH);
    }
    settings.sound = 5;
    settings.duration = 90;
    const ScriptOutcome untick = run_boxes([] { handle_command(CMD_SETTINGS); },
                                           {{BoxKind::Settings, [&](HWND box) {
                                                 SendDlgItemMessageA(box, IDC_SETTINGS_SOUND, BM_CLICK, 0, 0);
                                                 press(box, IDC_OK);
                                             }}});
    expect_clean_run(untick, 1);
    EXPECT_EQ(settings.sound, 0);
    EXPECT_EQ(settings.duration, 90);
}

TEST_F(SettingsBox, CancelEscapeAndCloseBoxStoreNothing)
{
    const auto endings = {
        +[](HWND box) { press(box, IDC_CANCEL); },
        +[](HWND box) { press(box, IDCANCEL); },
        +[](HWND box) { SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (auto end_box : endings) {
        settings = {LANGUAGE_ENGLISH, 90, 0};
        const ScriptOutcome outcome = run_boxes([] { handle_command(CMD_SETTINGS); },
                                                {{BoxKind::Settings, [&](HWND box) {
                                                      SetDlgItemTextA(box, IDC_SETTINGS_DURATION, "500");
                                                      press_key(box, VK_UP);
                                                      SendDlgItemMessageA(box, IDC_SETTINGS_SOUND, BM_CLICK, 0, 0);
                                                      SendDlgItemMessageA(box, IDC_SETTINGS_FRENCH, BM_CLICK, 0, 0);
                                                      end_box(box);
                                                  }}});
        expect_clean_run(outcome, 1);
        EXPECT_EQ(settings.duration, 90);
        EXPECT_EQ(settings.sound, 0);
        EXPECT_EQ(settings.language, LANGUAGE_ENGLISH);
        EXPECT_EQ(menu_label(main_menu, CMD_LANGUAGE), "Fran\347ais");
    }
}

TEST_F(SettingsBox, ALanguageChangeRelabelsMenuAndTitleAtOnceAndOnlyThen)
{
    ModifyMenuA(main_menu, CMD_LANGUAGE, MF_BYCOMMAND | MF_STRING, CMD_LANGUAGE, "marker");
    SetWindowTextA(main_window, "title marker");
    const ScriptOutcome same =
        run_boxes([] { handle_command(CMD_SETTINGS); }, {{BoxKind::Settings, [](HWND box) { press(box, IDC_OK); }}});
    expect_clean_run(same, 1);
    EXPECT_EQ(menu_label(main_menu, CMD_LANGUAGE), "marker") << "an unchanged language does not relabel";
    EXPECT_EQ(window_text(main_window), "title marker");

    std::string label_in_box;
    const ScriptOutcome to_french = run_boxes([] { handle_command(CMD_SETTINGS); },
                                              {{BoxKind::Settings, [&](HWND box) {
                                                    SendDlgItemMessageA(box, IDC_SETTINGS_FRENCH, BM_CLICK, 0, 0);
                                                    press(box, IDC_OK);
                                                    label_in_box = menu_label(main_menu, CMD_LANGUAGE);
                                                }}});
    expect_clean_run(to_french, 1);
    EXPECT_EQ(settings.language, LANGUAGE_FRENCH);
    EXPECT_EQ(label_in_box, "English") << "relabelled before the box has returned";
    EXPECT_EQ(menu_label(main_menu, CMD_NEW_GAME), "Nouvelle partie\tF2");
    EXPECT_EQ(window_text(main_window), "Ondulor");

    const ScriptOutcome to_english = run_boxes([] { handle_command(CMD_SETTINGS); },
                                               {{BoxKind::Settings, [](HWND box) {
                                                     SendDlgItemMessageA(box, IDC_SETTINGS_ENGLISH, BM_CLICK, 0, 0);
                                                     press(box, IDC_OK);
                                                 }}});
    expect_clean_run(to_english, 1);
    EXPECT_EQ(settings.language, LANGUAGE_ENGLISH);
    EXPECT_EQ(menu_label(main_menu, CMD_LANGUAGE), "Fran\347ais");
}
