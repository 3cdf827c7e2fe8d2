// The main window's game messages through the real window: clock, end of a game, clicks, sound, commands.
#include <windows.h>
#include <htmlhelp.h>

#include <gtest/gtest.h>

#include <cstring>

#include "app/scores.h"
#include "app/settings_file.h"
#include "dialogs_script.h"
#include "game/board.h"
#include "game/game_state.h"
#include "game/queue.h"
#include "res/resource_ids.h"
#include "ui/events.h"
#include "ui/help.h"
#include "ui/sound.h"
#include "ui/main_window.h"

namespace {

class MainWindowEvents : public ::testing::Test {
protected:
    void SetUp() override { reset_game_world(); }
};

void click_at(int x, int y, UINT message = WM_LBUTTONDOWN)
{
    SendMessageA(main_window, message, message == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON, MAKELPARAM(x, y));
}

// Lays a chosen shape in a cell through a real click at the cell's middle.
void lay(std::int32_t column, std::int32_t row, ShapeCode shape)
{
    piece_queue.slots[4] = shape;
    click_at(column * 32 + 16, row * 32 + 16);
}

std::uint8_t cell(std::int32_t column, std::int32_t row)
{
    return cell_at(column, row);
}

struct Snapshot {
    Board board_copy;
    PieceQueue queue_copy;
    GameState state_copy;
};

Snapshot snapshot()
{
    return {board, piece_queue, game_state};
}

bool unchanged(const Snapshot& before)
{
    return std::memcmp(&before.board_copy, &board, sizeof board) == 0 &&
           std::memcmp(&before.queue_copy, &piece_queue, sizeof piece_queue) == 0 &&
           std::memcmp(&before.state_copy, &game_state, sizeof game_state) == 0;
}

// What the player can reach: whether the main window takes input, and which window is active.
std::string lock_state()
{
    HWND active = GetActiveWindow();
    const char* name = active == main_window ? "main window" : box_kind_name(box_kind(active));
    return std::string(IsWindowEnabled(main_window) ? "unlocked, " : "locked, ") + name + " active";
}

}  // namespace

TEST_F(MainWindowEvents, TicksWriteTheElapsedTime)
{
    settings.duration = 0;
    ticks(5);
    EXPECT_EQ(status_text(0), "0'05\"");
    ticks(55);
    EXPECT_EQ(status_text(0), "1'00\"");
    ticks(30);
    EXPECT_EQ(status_text(0), "1'30\"");
    ticks(910);
    EXPECT_EQ(status_text(0), "16'40\"");
    EXPECT_EQ(game_state.elapsed_seconds, 1000);
    EXPECT_EQ(game_state.game_over, 0) << "a duration of 0 never ends a game";
}

TEST_F(MainWindowEvents, AGameEndsAtItsNinetiethTickWithTheBoxesAndTheRecording)
{
    lay(7, 13, Vertical);
    lay(7, 12, Vertical);
    ASSERT_EQ(game_state.points, 3);
    EXPECT_EQ(status_text(1), "Points: 3");
    ticks(89);
    EXPECT_EQ(game_state.game_over, 0);
    EXPECT_EQ(status_text(0), "1'29\"");

    std::string text, time_during_box, message_during_box;
    std::int32_t over_during_box = -1, elapsed_after_extra_tick = -1;
    HWND owner = nullptr;
    const ScriptOutcome outcome = run_boxes([] { tick(); }, {{BoxKind::GameOver,
                                                              [&](HWND box) {
                                                                  text = control_text(box, IDC_GAME_OVER_TEXT);
                                                                  time_during_box = status_text(0);
                                                                  message_during_box = status_text(2);
                                                                  over_during_box = game_state.game_over;
                                                                  owner = GetWindow(box, GW_OWNER);
                                                                  tick();  // a tick while the box is open is ignored
                                                                  elapsed_after_extra_tick = game_state.elapsed_seconds;
                                                                  press(box, IDC_OK);
                                                              }},
                                                             {BoxKind::Name, [&](HWND box) {
                                                                  post_tick();
                                                                  type_text(box, IDC_NAME_EDIT, "Eve");
                                                                  press(box, IDC_OK);
                                                              }}});
    expect_clean_run(outcome, 2, 2);
    EXPECT_EQ(text, "Congratulations,\n\nyou scored 3 points \nin 01' 30\".");
    EXPECT_EQ(time_during_box, "1'29\"") << "the time is written after the boxes close";
    EXPECT_EQ(message_during_box, "Game over");
    EXPECT_EQ(over_during_box, 1);
    EXPECT_EQ(owner, main_window);
    EXPECT_EQ(elapsed_after_extra_tick, 90);
    EXPECT_EQ(status_text(0), "1'30\"");
    EXPECT_EQ(score_table.entries[0].score, 3);
    EXPECT_STREQ(score_table.entries[0].name, "Eve");

    const Snapshot over = snapshot();
    const ScriptOutcome after = run_boxes([] { ticks(200); }, {}, 300);
    EXPECT_EQ(after.boxes_opened, 0) << "the end of a game is handled once";
    settings.sound = 1;
    click_at(100, 100);
    click_at(7 * 32 + 5, 14 * 32 + 5);
    EXPECT_TRUE(unchanged(over));
    EXPECT_EQ(seam_record.beeps + seam_record.resource_plays, 0) << "clicks are silent once the game is over";
    EXPECT_EQ(status_text(0), "1'30\"");
    handle_command(CMD_LANGUAGE);
    EXPECT_EQ(status_text(1) + " / " + status_text(2),
              "Points : 3 / Scores non enregistr\351s : nouvel essai plus tard");
}

TEST_F(MainWindowEvents, NewGameStartsAfreshWithZeroPointsAndAnEmptyPointsPart)
{
    settings.duration = 10;
    lay(6, 14, Horizontal);
    ASSERT_EQ(game_state.points, 2);
    ticks(9);
    ScriptOutcome outcome = run_closing_all([] { tick(); }, "First");
    expect_clean_run(outcome, 2, 2);
    ASSERT_EQ(game_state.game_over, 1);

    SendMessageA(main_window, WM_COMMAND, MAKEWPARAM(CMD_NEW_GAME, 1), 0);  // as from the F2 key
    EXPECT_EQ(game_state.game_over, 0);
    EXPECT_EQ(game_state.elapsed_seconds, 0);
    EXPECT_EQ(game_state.points, 0);
    EXPECT_EQ(status_text(2), "");
    EXPECT_EQ(status_text(0), "0'10\"") << "the time is written again at the next tick";
    EXPECT_EQ(status_text(1), "") << "emptied as at start-up, never the previous game's points";
    EXPECT_EQ(cell(6, 14), Empty);
    EXPECT_EQ(cell(7, 14), Source);
    for (std::uint8_t shape : piece_queue.slots) {
        EXPECT_GE(shape, 1);
        EXPECT_LE(shape, 7);
    }

    // A game in which nothing is laid scores 0, not the previous game's points.
    ticks(9);
    std::string text;
    outcome = run_boxes([] { tick(); }, {{BoxKind::GameOver,
                                          [&](HWND box) {
                                              text = control_text(box, IDC_GAME_OVER_TEXT);
                                              press(box, IDC_OK);
                                          }},
                                         {BoxKind::Name, [](HWND box) { press(box, IDCANCEL); }}});
    expect_clean_run(outcome, 2, 2);
    EXPECT_EQ(text, "Congratulations,\n\nyou scored 0 points \nin 00' 10\".");
    EXPECT_EQ(status_text(1), "");
    EXPECT_EQ(score_table.entries[0].score, 2);
    EXPECT_STREQ(score_table.entries[0].name, "First");

    // Also from a running game, and the first placement shows the points again.
    handle_command(CMD_NEW_GAME);
    lay(8, 14, Horizontal);
    EXPECT_EQ(status_text(1), "Points: 2");
    handle_command(CMD_NEW_GAME);
    EXPECT_EQ(status_text(1), "");
    lay(0, 0, Vertical);
    EXPECT_EQ(status_text(1), "Points: 0");
}

// The game-over and name boxes open above the box that was open when the time ran out. When they end,
// the main window stays locked and the outer box is active again until the outer box ends too. The
// outer box can also be closed under the name box (only the main window is disabled): the name box
// then keeps the main window locked, and its end unlocks it.
TEST_F(MainWindowEvents, TheClockEndsAGameUnderAnOuterBoxThatKeepsTheMainWindowLocked)
{
    struct Outer {
        WORD command;
        BoxKind kind;
        int close_button;
    };
    const Outer outers[] = {
        {CMD_SETTINGS, BoxKind::Settings, IDC_CANCEL},
        {CMD_ABOUT, BoxKind::About, IDC_OK},
        {CMD_SCORES, BoxKind::Scores, IDC_OK},
    };
    for (const Outer& outer : outers) {
        for (const bool closed_first : {false, true}) {
            SCOPED_TRACE(std::string(box_kind_name(outer.kind)) + (closed_first ? ", closed under the name box" : ""));
            reset_game_world();
            lay(7, 13, Cross);
            game_state.elapsed_seconds = 89;
            HWND outer_box = nullptr, game_over_owner = nullptr;
            LRESULT lines_in_outer = 0;
            std::vector<std::string> seen;
            std::vector<BoxStep> steps = {
                {outer.kind,
                 [&](HWND box) {
                     outer_box = box;
                     post_tick();
                 }},
                {BoxKind::GameOver,
                 [&](HWND box) {
                     game_over_owner = GetWindow(box, GW_OWNER);
                     ShowWindow(main_window, SW_MINIMIZE);  // then a window manager's restore, while locked
                     SendMessageA(main_window, WM_SYSCOMMAND, SC_RESTORE, 0);
                     seen.push_back(IsIconic(main_window) ? "minimised" : lock_state());
                     press(box, IDC_OK);
                 }},
                {BoxKind::Name,
                 [&](HWND box) {
                     if (closed_first) {
                         press(outer_box, outer.close_button);
                     }
                     seen.push_back(lock_state());
                     SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                 }},
                {outer.kind,
                 [&](HWND box) {
                     seen.push_back(lock_state());
                     lines_in_outer = SendDlgItemMessageA(box, IDC_SCORES_LIST, LB_GETCOUNT, 0, 0);
                     press(box, outer.close_button);
                 }},
            };
            std::vector<std::string> expected = {"locked, game over active", "locked, name entry active",
                                                 std::string("locked, ") + box_kind_name(outer.kind) + " active",
                                                 "unlocked, main window active"};
            if (closed_first) {
                steps.pop_back();
                expected.erase(expected.begin() + 2);
            }
            const WORD command = outer.command;
            expect_clean_run(run_boxes([command] { handle_command(command); }, steps), steps.size(), 3);
            seen.push_back(lock_state());
            EXPECT_EQ(seen, expected);
            EXPECT_EQ(game_over_owner, main_window);
            EXPECT_EQ(game_state.game_over, 1);
            EXPECT_EQ(score_table.entries[0].score, 2);
            EXPECT_STREQ(score_table.entries[0].name, " ");
            EXPECT_EQ(status_text(0), "1'30\"");
            EXPECT_EQ(lines_in_outer, outer.kind == BoxKind::Scores && !closed_first ? 1 : 0) << "listed at once";
        }
    }
}

TEST_F(MainWindowEvents, AShortenedDurationEndsTheGameAtTheNextTick)
{
    settings.duration = 0;
    ticks(50);
    settings.duration = 40;
    const ScriptOutcome outcome = run_closing_all([] { tick(); });
    expect_clean_run(outcome, 2, 2);
    EXPECT_EQ(game_state.game_over, 1);
    EXPECT_EQ(game_state.elapsed_seconds, 51);
    EXPECT_EQ(status_text(0), "0'51\"");

    handle_command(CMD_NEW_GAME);
    settings.duration = -5;
    const ScriptOutcome negative = run_boxes([] { ticks(20); }, {}, 300);
    EXPECT_EQ(negative.boxes_opened, 0);
    EXPECT_EQ(game_state.game_over, 0);
}

TEST_F(MainWindowEvents, AClickLaysTheBottomPieceAndRefusalsOnlySound)
{
    settings.sound = 1;
    seam_record.devices = 1;
    const PieceQueue before = piece_queue;
    click_at(479, 479);
    EXPECT_EQ(cell(14, 14), before.slots[4]);
    EXPECT_EQ(piece_queue.slots[4], before.slots[3]);
    EXPECT_EQ(piece_queue.slots[1], before.slots[0]);
    EXPECT_EQ(game_state.points, 0) << "the lit source counts +1, the unlit piece -1";
    EXPECT_EQ(status_text(1), "Points: 0");
    EXPECT_EQ(seam_record.resource_plays, 0);

    const Snapshot laid = snapshot();
    const POINT refused[] = {{480, 0},       {0, 480},   {529, 100},        {100, 600},
                             {65535, 65535}, {479, 479}, {7 * 32, 14 * 32}, {7 * 32 + 31, 14 * 32 + 31}};
    for (const POINT& p : refused) {
        click_at(p.x, p.y);
    }
    click_at(479, 479, WM_RBUTTONDOWN);
    EXPECT_TRUE(unchanged(laid));
    EXPECT_EQ(seam_record.resource_plays, 9);
    EXPECT_EQ(seam_record.last_resource, MAKEINTRESOURCEA(RES_SOUND_REFUSAL));
    EXPECT_EQ(seam_record.last_module, instance_handle);
    EXPECT_EQ(seam_record.last_flags, static_cast<DWORD>(0x40015));
    EXPECT_EQ(seam_record.last_flags, static_cast<DWORD>(SND_RESOURCE | SND_ASYNC | SND_NOSTOP));
    EXPECT_EQ(seam_record.beeps, 0);
    EXPECT_EQ(seam_record.device_queries, 1) << "the devices are counted once";

    const PieceQueue queue = piece_queue;
    click_at(0, 0, WM_RBUTTONDOWN);
    EXPECT_EQ(cell(0, 0), queue.slots[4]) << "the right button lays as the left one";
    click_at(40, 0, WM_LBUTTONDBLCLK);
    EXPECT_EQ(cell(1, 0), Empty) << "a double-click message lays nothing";
    EXPECT_EQ(seam_record.resource_plays, 9);
}

TEST_F(MainWindowEvents, WithoutAWaveDeviceTheRefusalBeepsAndWithSoundOffNothingSounds)
{
    settings.sound = 1;
    seam_record.devices = 0;
    click_at(7 * 32 + 3, 14 * 32 + 3);
    click_at(900, 3);
    EXPECT_EQ(seam_record.beeps, 2);
    EXPECT_EQ(seam_record.last_beep, 0u);
    EXPECT_EQ(seam_record.resource_plays, 0);
    EXPECT_EQ(seam_record.device_queries, 1);

    seam_record = SeamRecord{};
    wave_device_count = -1;
    settings.sound = 0;
    click_at(7 * 32 + 3, 14 * 32 + 3);
    click_at(900, 3);
    EXPECT_EQ(seam_record.beeps + seam_record.resource_plays + seam_record.device_queries, 0);

    settings.sound = 1;
    wave_device_count = 0;
    play_sound(3);
    EXPECT_EQ(seam_record.last_beep, static_cast<UINT>(MB_ICONEXCLAMATION));
}

TEST_F(MainWindowEvents, LanguageHelpQuitAndUnknownCommands)
{
    lay(7, 13, Vertical);
    EXPECT_EQ(status_text(1), "Points: 2");
    SendMessageA(main_window, WM_COMMAND, CMD_LANGUAGE, 0);
    EXPECT_EQ(settings.language, LANGUAGE_FRENCH);
    EXPECT_EQ(menu_label(main_menu, CMD_LANGUAGE), "English");
    EXPECT_EQ(menu_label(main_menu, CMD_QUIT), "Quitter");
    EXPECT_EQ(window_text(main_window), "Ondulor");
    EXPECT_EQ(status_text(1), "Points : 2") << "the points part says it again in the new language";
    lay(7, 12, Vertical);
    EXPECT_EQ(status_text(1), "Points : 3");
    SendMessageA(main_window, WM_COMMAND, CMD_LANGUAGE, 0);
    EXPECT_EQ(settings.language, LANGUAGE_ENGLISH);
    EXPECT_EQ(menu_label(main_menu, CMD_LANGUAGE), "Fran\347ais");
    settings.language = 7;
    handle_command(CMD_LANGUAGE);
    EXPECT_EQ(settings.language, LANGUAGE_ENGLISH);

    SendMessageA(main_window, WM_COMMAND, MAKEWPARAM(CMD_HELP, 1), 0);
    ASSERT_EQ(seam_record.help_calls.size(), 1u);
    EXPECT_EQ(seam_record.help_calls[0].window, main_window);
    EXPECT_EQ(seam_record.help_calls[0].path, help_path);
    EXPECT_EQ(seam_record.help_calls[0].command, static_cast<UINT>(HELP_INDEX));

    const Snapshot before = snapshot();
    const ScriptOutcome unknown = run_boxes(
        [] {
            handle_command(999);
            handle_command(0);
        },
        {}, 200);
    EXPECT_EQ(unknown.boxes_opened, 0);
    EXPECT_TRUE(unchanged(before));

    handle_command(CMD_QUIT);
    MSG posted = {};
    EXPECT_TRUE(PeekMessageA(&posted, main_window, WM_DESTROY, WM_DESTROY, PM_REMOVE));
    EXPECT_EQ(posted.wParam, 0u);
    EXPECT_EQ(posted.lParam, 0);
    EXPECT_NE(main_window, nullptr) << "the posted message was taken away before it ran";
}

// F1 opens the .chm on its contents where HTML Help shows pages (Windows), else the .hlp as before:
// under Wine, without a .chm, without HTML Help. WinHelp is released at exit in every case.
TEST_F(MainWindowEvents, HelpOpensTheChmWhereHtmlHelpShowsItElseTheHlp)
{
    TempFolder folder;
    const std::string hlp = folder.file("ondulor.hlp");
    const std::string chm = folder.file("ondulor.chm");
    std::strcpy(help_path, hlp.c_str());
    const bool rows[][4] = {{false, true, true, false},
                            {true, true, true, true},
                            {true, false, true, false},
                            {true, true, false, false}};  // shows, .chm beside, opens, .chm expected
    for (const auto& row : rows) {
        seam_record = SeamRecord{};
        seam_record.html_help_shows = row[0];
        seam_record.html_help_opens = row[2];
        row[1] ? (void)write_bytes(chm, "ITSF") : (void)DeleteFileA(chm.c_str());
        handle_command(CMD_HELP);
        release_help(main_window);
        const auto& html = seam_record.html_help_calls;
        const auto& win = seam_record.help_calls;
        if (row[3]) {
            EXPECT_EQ(html.at(0), std::make_pair(wide_test_path(chm), UINT{HH_DISPLAY_TOC}));
        } else {
            EXPECT_EQ(win.at(0).path, hlp);
            EXPECT_EQ(win.at(0).command, static_cast<UINT>(HELP_INDEX));
        }
        EXPECT_EQ(win.back().command, static_cast<UINT>(HELP_QUIT));
        EXPECT_EQ(!html.empty() && html.back().second == HH_CLOSE_ALL, row[3]) << row[0] << row[1] << row[2];
    }
}

TEST_F(MainWindowEvents, TheQueueColumnIsInvalidatedWithoutErase)
{
    ValidateRect(main_window, nullptr);
    invalidate_queue_column();
    RECT dirty = {};
    ASSERT_TRUE(GetUpdateRect(main_window, &dirty, FALSE));
    EXPECT_EQ(dirty.left, 485);
    EXPECT_EQ(dirty.top, 0);
    EXPECT_EQ(dirty.right, 517);
    EXPECT_EQ(dirty.bottom, 160);
    ValidateRect(main_window, nullptr);
}

// The keyboard takes the click's road: the first arrow shows the cursor north of the source without
// moving it, the others move it up to the board's edges; Enter or Space lays where it stands, and an
// occupied cell or the source is refused with the sound alone.
TEST_F(MainWindowEvents, ArrowsMoveACursorAndEnterOrSpaceLaysTheNextPieceThere)
{
    settings.sound = 1;
    seam_record.devices = 1;
    auto key = [](WPARAM code, int times = 1) {
        for (int press = 0; press < times; ++press) {
            SendMessageA(main_window, WM_KEYDOWN, code, 1);
        }
    };
    key(VK_RETURN);
    key(VK_SPACE);
    EXPECT_EQ(cell(7, 13), Empty) << "no cursor before the first arrow";
    key(VK_LEFT);
    EXPECT_EQ(board_cursor.column * 100 + board_cursor.row, 713) << "the first arrow only shows the cursor";
    piece_queue.slots[4] = Vertical;
    key(VK_RETURN);
    EXPECT_EQ(cell(7, 13) & UnvisitedMask, Vertical | LitFlag);
    EXPECT_EQ(game_state.points, 2);
    SendMessageA(main_window, WM_KEYDOWN, VK_RETURN, 1 | (1 << 30));  // a held key repeats nothing
    key(VK_DOWN, 3);
    key(VK_SPACE);
    EXPECT_EQ(board_cursor.row, 14) << "the cursor stops at the bottom edge";
    EXPECT_EQ(cell(7, 14) & UnvisitedMask, Source | LitFlag);
    EXPECT_EQ(seam_record.resource_plays, 1) << "only the source refused, with the sound";
    key(VK_LEFT, 20);
    key(VK_UP, 20);
    EXPECT_EQ(board_cursor.column * 100 + board_cursor.row, 0);
    key(VK_RIGHT, 20);
    EXPECT_EQ(board_cursor.column, 14);

    // A click hides the cursor, and Enter then lays nothing; the next arrow shows it where it was.
    click_at(5, 5);
    EXPECT_FALSE(board_cursor.shown);
    const Snapshot clicked = snapshot();
    key(VK_RETURN);
    EXPECT_TRUE(unchanged(clicked));
    key(VK_DOWN);
    EXPECT_EQ(board_cursor.column * 100 + board_cursor.row, 1400);

    game_state.game_over = 1;
    const Snapshot over = snapshot();
    const int sounds = seam_record.resource_plays;
    key(VK_LEFT);
    key(VK_RETURN);
    EXPECT_TRUE(unchanged(over));
    EXPECT_EQ(seam_record.resource_plays, sounds) << "keys are silent once the game is over";
    handle_command(CMD_NEW_GAME);
    key(VK_UP);
    EXPECT_EQ(board_cursor.column * 100 + board_cursor.row, 713) << "a new game starts the cursor afresh";
}

// A change reaches the file at once; a write that fails (a folder in the file's place) keeps the
// game, the change and the player informed, and the next change writes everything.
TEST_F(MainWindowEvents, ChangesAreWrittenAtOnceAndAFailedWriteIsTriedAgain)
{
    TempFolder folder;
    const std::string path = folder.file("ondulor.ini"), shared_path = settings_path;
    std::snprintf(settings_path, PathSize, "%s", path.c_str());
    handle_command(CMD_LANGUAGE);
    EXPECT_EQ(read_bytes(path), "Langue=0\r\nDur\xE9"
                                "e=90\r\nSon=0\r\n");
    ASSERT_TRUE(DeleteFileA(path.c_str()) && CreateDirectoryA(path.c_str(), nullptr));
    const ScriptOutcome failed = run_boxes([] { handle_command(CMD_LANGUAGE); }, {}, 500);
    EXPECT_EQ(failed.boxes_opened, 0);
    EXPECT_EQ(settings.language, LANGUAGE_ENGLISH);
    EXPECT_EQ(status_text(2), "Scores not saved: will try again");
    lay(7, 13, Vertical);
    EXPECT_EQ(game_state.points, 2) << "the game plays on";
    ASSERT_TRUE(RemoveDirectoryA(path.c_str()));
    tick();
    EXPECT_EQ(read_bytes(path), "Language=1000\r\nDuration=90\r\nSound=0\r\n") << "the clock tries again";
    EXPECT_EQ(status_text(2), "");
    settings.duration = 1;
    expect_clean_run(run_closing_all([] { tick(); }, "Ann"), 2, 2);
    EXPECT_EQ(read_bytes(path), "Language=1000\r\nDuration=1\r\nSound=0\r\n2,Ann\r\n");
    std::snprintf(settings_path, PathSize, "%s", shared_path.c_str());
}
