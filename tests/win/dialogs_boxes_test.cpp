// The dialog templates, the about, game-over, best-scores and name-entry boxes, and the score recording.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "app/dialogs.h"
#include "app/scores.h"
#include "app/settings_file.h"
#include "dialogs_script.h"
#include "game/game_state.h"
#include "res/resource_ids.h"
#include "ui/events.h"
#include "ui/main_window.h"

namespace {

class DialogBoxes : public ::testing::Test {
protected:
    void SetUp() override { reset_game_world(); }
};

INT_PTR CALLBACK bare_dialog_proc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Where a control of the template should lie, in dialog units.
struct Placement {
    int template_id;
    int control_id;
    const char* class_name;
    RECT units;  // x, y, width, height
    DWORD required_style;
    DWORD forbidden_style;
};

const Placement placements[] = {
    {DLG_ABOUT, IDC_ABOUT_TITLE, "Static", {12, 7, 148, 20}, SS_CENTER | WS_GROUP, 0},
    {DLG_ABOUT, IDC_ABOUT_NOTICE, "Static", {16, 38, 144, 62}, SS_CENTER | WS_GROUP, 0},
    {DLG_ABOUT, IDC_OK, "Button", {36, 112, 125, 18}, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {DLG_GAME_OVER, IDC_OK, "Button", {39, 92, 125, 18}, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {DLG_GAME_OVER, IDC_GAME_OVER_TEXT, "Static", {12, 7, 148, 60}, SS_CENTER | WS_GROUP, 0},
    // The list box drops WS_VSCROLL from its style while its scroll bar is hidden, so it is not checked.
    {DLG_SCORES,
     IDC_SCORES_LIST,
     "ListBox",
     {8, 4, 176, 88},
     LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_TABSTOP,
     0},
    {DLG_SCORES, IDC_SCORES_RESET, "Button", {192, 55, 122, 18}, WS_TABSTOP, 0},
    {DLG_SCORES, IDC_OK, "Button", {192, 75, 122, 18}, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {DLG_NAME, IDC_NAME_EDIT, "Edit", {12, 7, 240, 12}, ES_LEFT | WS_BORDER | WS_TABSTOP, ES_AUTOHSCROLL},
    {DLG_NAME, IDC_OK, "Button", {128, 36, 125, 18}, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {DLG_SETTINGS, IDC_SETTINGS_DURATION_LABEL, "Static", {12, 15, 92, 9}, SS_LEFT, WS_GROUP},
    {DLG_SETTINGS,
     IDC_SETTINGS_DURATION,
     "Edit",
     {112, 15, 36, 14},
     ES_LEFT | WS_BORDER | WS_TABSTOP,
     ES_AUTOHSCROLL | ES_NUMBER},
    {DLG_SETTINGS, IDC_SETTINGS_SOUND, "Button", {9, 42, 123, 12}, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {DLG_SETTINGS, IDC_SETTINGS_LANGUAGE_GROUP, "Button", {8, 58, 177, 22}, BS_GROUPBOX | WS_GROUP, 0},
    {DLG_SETTINGS, IDC_SETTINGS_ENGLISH, "Button", {20, 66, 50, 12}, BS_AUTORADIOBUTTON | WS_TABSTOP, 0},
    {DLG_SETTINGS, IDC_SETTINGS_FRENCH, "Button", {80, 66, 50, 12}, BS_AUTORADIOBUTTON | WS_TABSTOP, 0},
    {DLG_SETTINGS, IDC_OK, "Button", {6, 88, 85, 14}, BS_CENTER | WS_TABSTOP, BS_DEFPUSHBUTTON},
    {DLG_SETTINGS, IDC_CANCEL, "Button", {100, 88, 85, 14}, BS_CENTER | WS_TABSTOP, BS_DEFPUSHBUTTON},
};

// Where the icon control of each template lies, in dialog units.
const std::pair<int, RECT> icon_places[] = {
    {DLG_ABOUT, {4, 108, 21, 20}}, {DLG_GAME_OVER, {4, 88, 21, 20}}, {DLG_SCORES, {292, 4, 21, 20}},
    {DLG_NAME, {8, 32, 21, 20}},   {DLG_SETTINGS, {164, 4, 21, 20}},
};

RECT child_rect_in_box(HWND box, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Origin and size are converted apart, as the dialog manager does, so their rounding adds up alike.
RECT units_to_pixels(HWND box, const RECT& units)
{
    RECT origin = {units.left, units.top, 0, 0};
    RECT size = {units.right, units.bottom, 0, 0};
    MapDialogRect(box, &origin);
    MapDialogRect(box, &size);
    return {origin.left, origin.top, origin.left + size.left, origin.top + size.top};
}

void check_template(HWND box, int template_id)
{
    SCOPED_TRACE("template " + std::to_string(template_id));
    EXPECT_EQ(window_text(box), "");
    const LONG style = GetWindowLongA(box, GWL_STYLE);
    const LONG wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(style & wanted, wanted);
    int icons = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const bool is_icon = lstrcmpiA(class_name(child).c_str(), "Static") == 0 &&
                             (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        if (is_icon) {
            ++icons;
            EXPECT_EQ(GetDlgCtrlID(child), 0xFFFF);
            EXPECT_NE(SendMessageA(child, STM_GETICON, 0, 0), 0) << "the application icon is shown";
            for (const auto& place : icon_places) {
                if (place.first == template_id) {
                    const RECT expected = units_to_pixels(box, place.second);
                    const RECT actual = child_rect_in_box(box, child);
                    EXPECT_EQ(actual.left, expected.left);
                    EXPECT_EQ(actual.top, expected.top);
                }
            }
        } else {
            EXPECT_EQ(window_text(child), "") << "control " << GetDlgCtrlID(child) << " carries no text";
        }
    }
    EXPECT_EQ(icons, 1);
    for (const Placement& place : placements) {
        if (place.template_id != template_id) {
            continue;
        }
        SCOPED_TRACE("control " + std::to_string(place.control_id));
        HWND control = GetDlgItem(box, place.control_id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(lstrcmpiA(class_name(control).c_str(), place.class_name), 0) << class_name(control);
        const RECT expected = units_to_pixels(box, place.units);
        const RECT actual = child_rect_in_box(box, control);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right, expected.right);
        EXPECT_EQ(actual.bottom, expected.bottom);
        const DWORD control_style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        // The platform may turn a plain border into a sunken client edge.
        const DWORD border = place.required_style & WS_BORDER;
        EXPECT_EQ(control_style & (place.required_style & ~border), place.required_style & ~border);
        if (border != 0) {
            const LONG extended = GetWindowLongA(control, GWL_EXSTYLE);
            EXPECT_TRUE((control_style & WS_BORDER) != 0 || (extended & WS_EX_CLIENTEDGE) != 0);
        }
        EXPECT_EQ(control_style & place.forbidden_style, 0u);
    }
}

}  // namespace

TEST_F(DialogBoxes, TemplatesCarryTheControlsAndNoTexts)
{
    for (int template_id : {DLG_ABOUT, DLG_GAME_OVER, DLG_SCORES, DLG_NAME, DLG_SETTINGS}) {
        INT_PTR result = -2;
        const ScriptOutcome outcome = run_boxes(
            [&] {
                result =
                    DialogBoxParamA(instance_handle, MAKEINTRESOURCEA(template_id), main_window, bare_dialog_proc, 0);
            },
            {{box_kind_for_template(template_id), [&](HWND box) {
                  check_template(box, template_id);
                  EndDialog(box, 7);
              }}});
        expect_clean_run(outcome, 1, 1);
        EXPECT_EQ(result, 7);
    }
}

TEST_F(DialogBoxes, AboutBoxShowsItsTextsCentredAndEndsOnOkEscapeOrCloseBox)
{
    const auto endings = {
        +[](HWND box) { press(box, IDC_OK); },
        +[](HWND box) { press(box, IDCANCEL); },
        +[](HWND box) { SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE | 0x2, 0); },
    };
    for (auto end_box : endings) {
        INT_PTR result = -2;
        std::string title, upper, lower, ok;
        RECT box_rect = {}, owner_rect = {};
        const ScriptOutcome outcome = run_boxes(
            [&] {
                result =
                    DialogBoxParamA(instance_handle, MAKEINTRESOURCEA(DLG_ABOUT), main_window, about_dialog_proc, 0);
            },
            {{BoxKind::About, [&](HWND box) {
                  title = window_text(box);
                  upper = control_text(box, IDC_ABOUT_TITLE);
                  lower = control_text(box, IDC_ABOUT_NOTICE);
                  ok = control_text(box, IDC_OK);
                  GetWindowRect(box, &box_rect);
                  GetWindowRect(main_window, &owner_rect);
                  end_box(box);
              }}});
        expect_clean_run(outcome, 1, 1);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(title, "About the Ondulor");
        EXPECT_EQ(upper, "Ondulor\nVersion 1.0");
        EXPECT_FALSE(lower.empty());
        EXPECT_EQ(ok, "OK");
        EXPECT_LE(std::abs((box_rect.left + box_rect.right) - (owner_rect.left + owner_rect.right)), 2);
        EXPECT_LE(std::abs((box_rect.top + box_rect.bottom) - (owner_rect.top + owner_rect.bottom)), 2);
    }
}

TEST_F(DialogBoxes, GameOverBoxShowsPointsAndTimeInBothLanguages)
{
    struct Case {
        std::int32_t language;
        std::int32_t points;
        std::int32_t seconds;
        const char* title;
        const char* text;
    };
    const Case cases[] = {
        {LANGUAGE_ENGLISH, 12, 90, "", "Congratulations,\n\nyou scored 12 points \nin 01' 30\"."},
        {LANGUAGE_FRENCH, 12, 90, "Bravo !!", "Bravo,\n\nvous avez marqu\351 12 points \nen 01' 30\"."},
        {LANGUAGE_ENGLISH, -3, 1000, "", "Congratulations,\n\nyou scored -3 points \nin 16' 40\"."},
        {LANGUAGE_ENGLISH, 0, 5, "", "Congratulations,\n\nyou scored 0 points \nin 00' 05\"."},
    };
    int ending = 0;
    for (const Case& c : cases) {
        settings.language = c.language;
        game_state.points = c.points;
        game_state.elapsed_seconds = c.seconds;
        std::string title = "unread", text, ok;
        INT_PTR result = -2;
        const ScriptOutcome outcome = run_boxes(
            [&] {
                result = DialogBoxParamA(instance_handle, MAKEINTRESOURCEA(DLG_GAME_OVER), main_window,
                                         game_over_dialog_proc, 0);
            },
            {{BoxKind::GameOver, [&](HWND box) {
                  title = window_text(box);
                  text = control_text(box, IDC_GAME_OVER_TEXT);
                  ok = control_text(box, IDC_OK);
                  switch (ending++ % 3) {
                  case 0:
                      press(box, IDC_OK);
                      break;
                  case 1:
                      press(box, IDCANCEL);
                      break;
                  default:
                      SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                      break;
                  }
              }}});
        expect_clean_run(outcome, 1, 1);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(ok, "OK");
    }
}

TEST_F(DialogBoxes, BestScoresListIsSortedAndResetEmptiesListAndTableAtOnce)
{
    score_table.entries[0] = {120, "Ann"};
    score_table.entries[1] = {7, "Bob"};
    score_table.entries[2] = {45, "Cy"};
    score_table.entries[4] = {99, "Behind a free slot"};
    std::vector<std::string> lines;
    int count_after_reset = -1;
    bool open_after_reset = false;
    std::int32_t first_score_after_reset = -1;
    std::string title, reset_label, ok;
    const ScriptOutcome outcome = run_boxes(
        [] { handle_command(CMD_SCORES); },
        {{BoxKind::Scores,
          [&](HWND box) {
              title = window_text(box);
              reset_label = control_text(box, IDC_SCORES_RESET);
              ok = control_text(box, IDC_OK);
              HWND list = GetDlgItem(box, IDC_SCORES_LIST);
              const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
              for (int i = 0; i < count; ++i) {
                  char line[128] = {};
                  SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
                  lines.push_back(line);
              }
              // A click in the list notifies the box, which must not take it for a command of its own.
              SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDC_SCORES_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
              press(box, IDC_SCORES_RESET);
              count_after_reset = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
              first_score_after_reset = score_table.entries[0].score;
              open_after_reset = IsWindowVisible(box) != FALSE;
          }},
         {BoxKind::Scores, [&](HWND box) { press(box, IDC_OK); }}});
    expect_clean_run(outcome, 2, 1);
    EXPECT_EQ(title, "Best Scores");
    EXPECT_EQ(reset_label, "Reset Scores");
    EXPECT_EQ(ok, "OK");
    EXPECT_EQ(lines, (std::vector<std::string>{"000007, Bob", "000045, Cy", "000120, Ann"}));
    EXPECT_EQ(count_after_reset, 0);
    EXPECT_EQ(first_score_after_reset, 0);
    EXPECT_TRUE(open_after_reset);

    int count_on_reopening = -1;
    std::string french_title;
    settings.language = LANGUAGE_FRENCH;
    const ScriptOutcome reopened = run_boxes([] { handle_command(CMD_SCORES); },
                                             {{BoxKind::Scores, [&](HWND box) {
                                                   french_title = window_text(box);
                                                   count_on_reopening = static_cast<int>(
                                                       SendDlgItemMessageA(box, IDC_SCORES_LIST, LB_GETCOUNT, 0, 0));
                                                   SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                                               }}});
    expect_clean_run(reopened, 1, 1);
    EXPECT_EQ(count_on_reopening, 0);
    EXPECT_EQ(french_title, "Meilleurs scores");
}

TEST_F(DialogBoxes, NameEntryStoresTheCleanedNameOrABlankOnCancel)
{
    struct Case {
        const char* label;
        const char* typed;  // nullptr: nothing typed
        int ending;         // IDC_OK, IDCANCEL, or SC_CLOSE for the close box
        const char* stored;
    };
    const Case cases[] = {
        {"OK without typing", nullptr, IDC_OK, ""},
        {"escape", nullptr, IDCANCEL, " "},
        {"close box", "Zed", SC_CLOSE, " "},
        {"blanks around", " Ann ", IDC_OK, "Ann"},
        {"inner blanks kept", "  Jo  Ann  ", IDC_OK, "Jo  Ann"},
        {"only blanks", "     ", IDC_OK, ""},
        {"thirty characters", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", IDC_OK, "ABCDEFGHIJKLMNOPQRSTUVW"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        clear_scores();
        std::strcpy(score_table.entries[0].name, "Old name");
        game_state.points = 50;
        std::string title, initial_text, typed_text;
        const ScriptOutcome outcome =
            run_boxes([] { record_score(); }, {{BoxKind::Name, [&](HWND box) {
                                                    title = window_text(box);
                                                    initial_text = control_text(box, IDC_NAME_EDIT);
                                                    if (c.typed != nullptr) {
                                                        type_text(box, IDC_NAME_EDIT, c.typed);
                                                        typed_text = control_text(box, IDC_NAME_EDIT);
                                                    }
                                                    if (c.ending == SC_CLOSE) {
                                                        SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                                                    } else {
                                                        press(box, c.ending);
                                                    }
                                                }}});
        expect_clean_run(outcome, 1, 1);
        EXPECT_EQ(title, "Please enter your name:");
        EXPECT_EQ(initial_text, " ");
        if (c.typed != nullptr) {
            EXPECT_EQ(typed_text, std::string(c.typed).substr(0, 23)) << "typing replaces the blank, up to 23";
        }
        EXPECT_EQ(score_table.entries[0].score, 50);
        EXPECT_STREQ(score_table.entries[0].name, c.stored);
    }
}

TEST_F(DialogBoxes, NameEntryAsksInFrenchAndFillsTheSlotThatTheScoreTook)
{
    settings.language = LANGUAGE_FRENCH;
    for (int slot = 0; slot < ScoreSlotCount; ++slot) {
        score_table.entries[slot] = {100 + slot, "Full"};
    }
    score_table.entries[5].score = 20;
    score_table.entries[9].score = 20;
    game_state.points = 20;
    std::string title;
    const ScriptOutcome outcome = run_boxes([] { record_score(); }, {{BoxKind::Name, [&](HWND box) {
                                                                          title = window_text(box);
                                                                          type_text(box, IDC_NAME_EDIT, "Lou");
                                                                          press(box, IDC_OK);
                                                                      }}});
    expect_clean_run(outcome, 1, 1);
    EXPECT_EQ(title, "Veuillez indiquer votre nom");
    EXPECT_EQ(score_table.entries[5].score, 20);
    EXPECT_STREQ(score_table.entries[5].name, "Lou");
    EXPECT_STREQ(score_table.entries[9].name, "Full");
}

TEST_F(DialogBoxes, AResultThatDoesNotQualifyOpensNoBox)
{
    for (int slot = 0; slot < ScoreSlotCount; ++slot) {
        score_table.entries[slot] = {100, "Full"};
    }
    const ScoreTable before = score_table;
    game_state.points = 99;
    const ScriptOutcome full = run_boxes([] { record_score(); }, {}, 500);
    EXPECT_EQ(full.boxes_opened, 0);
    EXPECT_EQ(std::memcmp(&before, &score_table, sizeof before), 0);

    clear_scores();
    game_state.points = -1;
    const ScriptOutcome negative = run_boxes([] { record_score(); }, {}, 500);
    EXPECT_EQ(negative.boxes_opened, 0);
    EXPECT_EQ(score_table.entries[0].score, 0);
}

TEST_F(DialogBoxes, ANameBoxThatCannotOpenStoresAnEmptyName)
{
    std::strcpy(score_table.entries[0].name, "Stale name");
    game_state.points = 8;
    const HINSTANCE own = instance_handle;
    instance_handle = GetModuleHandleA("ntdll.dll");  // a module without the template
    const ScriptOutcome outcome = run_boxes([] { record_score(); }, {}, 500);
    instance_handle = own;
    EXPECT_EQ(outcome.boxes_opened, 0);
    EXPECT_EQ(score_table.entries[0].score, 8);
    EXPECT_STREQ(score_table.entries[0].name, "");
}
