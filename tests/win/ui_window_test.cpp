// Start-up, main window procedure, centring and message loop of the game window, driven with real
// windows and messages in the test process.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "game/board.h"
#include "game/queue.h"
#include "res/resource_ids.h"
#include "ui/scale.h"
#include "ui_support.h"

using namespace ui_test;

namespace {

int outer_height()
{
    return 508 + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU);
}

SIZE screen_size()
{
    HDC screen = GetDC(nullptr);
    SIZE size = {GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES)};
    ReleaseDC(nullptr, screen);
    return size;
}

class GameWindow : public ::testing::Test {
protected:
    void TearDown() override { stop_window(); }
    TempFolder folder;
};

TEST_F(GameWindow, StartsEnglishSizedCentredWithStatusBarWithoutSettingsFile)
{
    ASSERT_EQ(start_window(folder.file("ondulor.exe")), 0);
    HWND window = main_window;
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));

    EXPECT_EQ(settings_path, folder.file("ondulor.ini"));
    EXPECT_EQ(help_path, folder.file("ondulor.hlp"));
    EXPECT_EQ(settings.language, LANGUAGE_ENGLISH);
    EXPECT_EQ(settings.duration, 90);

    RECT outer;
    GetWindowRect(window, &outer);
    const SIZE screen = screen_size();
    EXPECT_EQ(outer.right - outer.left, 530);
    EXPECT_EQ(outer.bottom - outer.top, outer_height());
    EXPECT_EQ(outer.left, (screen.cx - 530) / 2);
    EXPECT_EQ(outer.top, (screen.cy - outer_height()) / 2);
    // At any DPI, whatever the height its font gives it, the status bar lies below the board.
    RECT bar;
    GetWindowRect(status_bar, &bar);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_GE(bar.top, 480) << "the status bar covers the board's bottom row";

    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & 0x80CA0000, 0x80CA0000);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CHILD), 0);
    EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), static_cast<ULONG_PTR>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(GetClassLongPtrA(window, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_MENU + 1));
    EXPECT_NE(GetClassLongPtrA(window, GCLP_HICON), 0u);

    EXPECT_EQ(window_text(window), "Ondulor");
    ASSERT_EQ(main_menu, GetMenu(window));
    EXPECT_EQ(menu_label(main_menu, 0, MF_BYPOSITION), "&Game");
    EXPECT_EQ(menu_label(main_menu, 2, MF_BYPOSITION), "&Help");
    EXPECT_EQ(menu_label(main_menu, CMD_NEW_GAME, MF_BYCOMMAND), "New Game\tF2");
    EXPECT_EQ(menu_label(main_menu, CMD_LANGUAGE, MF_BYCOMMAND), "Fran\xE7"
                                                                 "ais");
    EXPECT_NE(accelerator_table, nullptr);

    ASSERT_NE(status_bar, nullptr);
    EXPECT_EQ(GetParent(status_bar), window);
    EXPECT_EQ(GetDlgCtrlID(status_bar), IDC_STATUS_BAR);
    EXPECT_TRUE(IsWindowVisible(status_bar));
    int edges[4] = {0, 0, 0, 0};
    ASSERT_EQ(SendMessageA(status_bar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
    EXPECT_EQ(edges[0], 90);
    EXPECT_EQ(edges[1], 180);
    EXPECT_EQ(edges[2], -1);
    for (int part = 0; part < 3; ++part) {
        EXPECT_EQ(LOWORD(SendMessageA(status_bar, SB_GETTEXTLENGTHA, part, 0)), 0) << "part " << part;
    }

    EXPECT_EQ(queue_left, 485);
    for (int index = 0; index < TileCount; ++index) {
        EXPECT_NE(tile_set[index], nullptr) << "tile " << index;
    }
    EXPECT_EQ(board.cells[SourceColumn * 15 + 14], Source);
    for (std::uint8_t shape : piece_queue.slots) {
        EXPECT_TRUE(shape >= Horizontal && shape <= Cross);
    }
    // Timer 1 exists exactly when killing it succeeds; put it back for the rest of the test.
    EXPECT_TRUE(KillTimer(window, 1));
    SetTimer(window, 1, 1000, nullptr);
}

TEST_F(GameWindow, StartsInFrenchWhenTheSettingsFileSaysSo)
{
    ASSERT_TRUE(write_bytes(folder.file("ondulor.ini"), "Langue=0\r\nDur\xE9"
                                                        "e=45\r\nSon=1\r\n250,Alice\r\n"));
    ASSERT_EQ(start_window(folder.file("ondulor.exe")), 0);
    EXPECT_EQ(settings.language, LANGUAGE_FRENCH);
    EXPECT_EQ(settings.duration, 45);
    EXPECT_EQ(score_table.entries[0].score, 250);
    EXPECT_EQ(window_text(main_window), "Ondulor");
    EXPECT_EQ(menu_label(main_menu, 0, MF_BYPOSITION), "&Partie");
    EXPECT_EQ(menu_label(main_menu, CMD_NEW_GAME, MF_BYCOMMAND), "Nouvelle partie\tF2");
    EXPECT_EQ(menu_label(main_menu, CMD_LANGUAGE, MF_BYCOMMAND), "English");
}

TEST_F(GameWindow, ModulePathIsFetchedWholeOrNotUsedAtAll)
{
    // The longest path that fits: 259 characters without any '.', so ".ini" is appended after it.
    std::string longest = "C:\\" + std::string(MAX_PATH - 1 - 3, 'a');
    ASSERT_EQ(longest.size(), static_cast<std::size_t>(MAX_PATH - 1));
    ASSERT_EQ(start_window(longest), 0);
    ASSERT_FALSE(seam_record.module_fetch_sizes.empty());
    const DWORD asked = seam_record.module_fetch_sizes.front();
    EXPECT_GE(asked, static_cast<DWORD>(MAX_PATH)) << "the fetch must allow a whole path";
    EXPECT_LE(asked + 4, static_cast<DWORD>(PathSize)) << "the buffer must keep room for a new extension";
    EXPECT_EQ(settings_path, longest + ".ini");
    EXPECT_EQ(help_path, longest + ".hlp");
    stop_window();

    // One character more is cut by the fetch: no file beside some shortened name may be read or written.
    ASSERT_EQ(start_window(longest + "b.exe"), 0);
    EXPECT_STREQ(settings_path, "");
    EXPECT_STREQ(help_path, "");
    EXPECT_EQ(settings.language, LANGUAGE_ENGLISH);
    EXPECT_EQ(settings.duration, 90);
    stop_window();

    reset_process_state("unused");
    seam_record.module_fails = true;
    ASSERT_EQ(init_application(nullptr, nullptr, SW_HIDE), 0);
    started_window = main_window;
    EXPECT_STREQ(settings_path, "");
    EXPECT_EQ(settings.language, LANGUAGE_ENGLISH);
}

LRESULT CALLBACK foreign_proc(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    return DefWindowProcA(window, message, w_param, l_param);
}

// A CBT hook that refuses to create the windows of one class, and counts them.
const char* refused_class = "ondulor";
int refusals = 0;

LRESULT CALLBACK refuse_class(int code, WPARAM w_param, LPARAM l_param)
{
    if (code == HCBT_CREATEWND) {
        if (class_name(reinterpret_cast<HWND>(w_param)) == refused_class) {
            ++refusals;
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, w_param, l_param);
}

TEST_F(GameWindow, StartUpFailsWithMinusOneWhenClassOrWindowCannotBeMade)
{
    WNDCLASSA taken = {};
    taken.lpfnWndProc = foreign_proc;
    taken.hInstance = GetModuleHandleA(nullptr);
    taken.lpszClassName = "ondulor";
    ASSERT_NE(RegisterClassA(&taken), 0);
    reset_process_state(folder.file("ondulor.exe"));
    EXPECT_EQ(init_application(nullptr, nullptr, SW_SHOWNORMAL), -1);
    EXPECT_EQ(main_window, nullptr);
    // The whole program gives up the same way, before any loop and without writing the settings file.
    reset_process_state(folder.file("ondulor.exe"));
    EXPECT_EQ(run_application(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL), -1);
    EXPECT_EQ(read_bytes(folder.file("ondulor.ini")), "<missing>");
    UnregisterClassA("ondulor", GetModuleHandleA(nullptr));

    refused_class = "ondulor";
    HHOOK hook = SetWindowsHookExA(WH_CBT, refuse_class, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const std::int32_t result = start_window(folder.file("ondulor.exe"));
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(main_window, nullptr);
}

TEST_F(GameWindow, CloseRequestPostsDestroyAndDestroyEndsTheProgramsWindowLife)
{
    ASSERT_EQ(start_window(folder.file("ondulor.exe")), 0);
    HWND window = main_window;
    pump_messages();

    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window)) << "a close request must not destroy the window";
    EXPECT_EQ(main_window, window);
    MSG posted;
    ASSERT_TRUE(PeekMessageA(&posted, window, WM_DESTROY, WM_DESTROY, PM_REMOVE));
    EXPECT_EQ(posted.wParam, 0u);
    EXPECT_EQ(posted.lParam, 0);

    seam_record.help_calls.clear();
    DispatchMessageA(&posted);
    EXPECT_EQ(main_window, nullptr);
    ASSERT_EQ(seam_record.help_calls.size(), 1u);
    EXPECT_EQ(seam_record.help_calls[0].window, window);
    EXPECT_EQ(seam_record.help_calls[0].command, static_cast<UINT>(HELP_QUIT));
    EXPECT_EQ(seam_record.help_calls[0].path, folder.file("ondulor.hlp"));
    WPARAM code = 99;
    EXPECT_TRUE(take_quit(&code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(GameWindow, GameMessagesReachTheEventsWithTheLowWordOfTheCommand)
{
    ASSERT_EQ(start_window(folder.file("ondulor.exe")), 0);
    HWND window = main_window;
    KillTimer(window, 1);

    EXPECT_EQ(SendMessageA(window, WM_TIMER, 1, 0), 0);
    EXPECT_EQ(game_state.elapsed_seconds, 1);

    EXPECT_EQ(SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)), 0);
    EXPECT_NE(board.cells[0], Empty);
    EXPECT_EQ(SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(32 * 14 + 1, 1)), 0);
    EXPECT_NE(board.cells[14 * 15], Empty);

    // An accelerator's command carries 1 in the high word; only the low word names the command.
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, MAKEWPARAM(CMD_LANGUAGE, 1), 0), 0);
    EXPECT_EQ(settings.language, LANGUAGE_FRENCH);
    EXPECT_EQ(menu_label(main_menu, 0, MF_BYPOSITION), "&Partie");
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, MAKEWPARAM(CMD_NEW_GAME, 1), 0), 0);
    EXPECT_EQ(board.cells[0], Empty);
    EXPECT_EQ(game_state.elapsed_seconds, 0);

    // Everything else keeps the default handling.
    EXPECT_EQ(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0), 7);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(30000, 30000)), HTNOWHERE);
}

TEST_F(GameWindow, AfterTheDestroyHandlingTicksClicksAndCommandsDoNothingAndPaintsAreValidated)
{
    ASSERT_EQ(start_window(folder.file("ondulor.exe")), 0);
    HWND window = main_window;
    KillTimer(window, 1);
    pump_messages();
    // A witness of the desktop's other windows: nothing the game does may invalidate it.
    HWND witness = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(witness, nullptr);
    UpdateWindow(witness);
    ValidateRect(witness, nullptr);
    ASSERT_TRUE(PostMessageA(window, WM_DESTROY, 0, 0));
    pump_messages();
    ASSERT_EQ(main_window, nullptr);

    settings.duration = 90;
    settings.sound = 1;
    game_state.elapsed_seconds = 89;
    game_state.points = 5;  // a score that would qualify for the table
    const Board board_before = board;
    const PieceQueue queue_before = piece_queue;
    const GameState state_before = game_state;
    // A box opened now could only be ownerless, over the report of a failed settings write.
    refused_class = "#32770";
    refusals = 0;
    HHOOK hook = SetWindowsHookExA(WH_CBT, refuse_class, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_TIMER, 1, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)), 0);
    EXPECT_EQ(SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7 * 32 + 5, 14 * 32 + 5)), 0);
    seam_record.help_calls.clear();
    for (WORD command : {CMD_NEW_GAME, CMD_SETTINGS, CMD_SCORES, CMD_ABOUT, CMD_LANGUAGE, CMD_HELP, CMD_QUIT}) {
        EXPECT_EQ(SendMessageA(window, WM_COMMAND, command, 0), 0);
    }
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(refusals, 0) << "no box may open once the loop has ended";
    EXPECT_EQ(std::memcmp(&state_before, &game_state, sizeof game_state), 0) << "the clock stays where it was";
    EXPECT_EQ(std::memcmp(&board_before, &board, sizeof board), 0) << "no piece laid, no board wiped";
    EXPECT_EQ(std::memcmp(&queue_before, &piece_queue, sizeof piece_queue), 0);
    EXPECT_EQ(settings.language, LANGUAGE_ENGLISH);
    EXPECT_TRUE(seam_record.help_calls.empty());
    MSG stray;
    EXPECT_FALSE(PeekMessageA(&stray, nullptr, WM_DESTROY, WM_DESTROY, PM_NOREMOVE)) << "Quit posts nothing";
    EXPECT_FALSE(GetUpdateRect(witness, nullptr, FALSE)) << "other windows are never invalidated";

    // A paint is validated, so that the thread does not receive WM_PAINT for ever.
    InvalidateRect(window, nullptr, FALSE);
    EXPECT_EQ(SendMessageA(window, WM_PAINT, 0, 0), 0);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    DestroyWindow(witness);
}

// center_window on plain popup windows, so that any size and owner position can be tried.
class CenterWindow : public ::testing::Test {
protected:
    HWND make(int x, int y, int width, int height, HWND owner = nullptr)
    {
        HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, x, y, width, height, owner, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        made.push_back(window);
        return window;
    }
    static RECT rect(HWND window)
    {
        RECT r;
        GetWindowRect(window, &r);
        return r;
    }
    void TearDown() override
    {
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            DestroyWindow(*it);
        }
    }
    std::vector<HWND> made;
    SIZE screen = screen_size();
};

TEST_F(CenterWindow, CentresOnScreenOrOwnerAndKeepsTheWindowOnTheScreen)
{
    HWND small = make(3, 4, 201, 101);
    center_window(small, nullptr);
    EXPECT_EQ(rect(small).left, (screen.cx - 201) / 2);
    EXPECT_EQ(rect(small).top, (screen.cy - 101) / 2);
    EXPECT_EQ(rect(small).right - rect(small).left, 201) << "the size stays";

    HWND huge = make(10, 10, screen.cx + 100, screen.cy + 60);
    center_window(huge, nullptr);
    EXPECT_EQ(rect(huge).left, 0);
    EXPECT_EQ(rect(huge).top, 0);

    HWND owner = make(100, 50, 300, 200);
    HWND box = make(0, 0, 101, 51, owner);
    center_window(box, owner);
    EXPECT_EQ(rect(box).left, 100 + (300 - 101) / 2);
    EXPECT_EQ(rect(box).top, 50 + (200 - 51) / 2);

    // An owner near the bottom-right corner: the box is pulled back to end on the screen's edges.
    SetWindowPos(owner, nullptr, screen.cx - 120, screen.cy - 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    box = make(0, 0, 200, 100, owner);
    center_window(box, owner);
    EXPECT_EQ(rect(box).left, screen.cx - 200);
    EXPECT_EQ(rect(box).top, screen.cy - 100);

    // An owner past the top-left corner: a negative centre becomes 0.
    SetWindowPos(owner, nullptr, -400, -300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    center_window(box, owner);
    EXPECT_EQ(rect(box).left, 0);
    EXPECT_EQ(rect(box).top, 0);

    // Wider than the screen and centred right of 0: it starts at the screen's left edge, where its
    // caption can be reached.
    SetWindowPos(owner, nullptr, screen.cx - 300, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HWND wide = make(0, 0, screen.cx + 40, 100, owner);
    center_window(wide, owner);
    EXPECT_EQ(rect(wide).left, 0);
}

// The placement on desktops of several monitors, each given by the work area of the owner's nearest
// one, or by two monitors when the row names another beside it: a box of 300 x 200 over an owner of
// 500 x 400 unless the row says otherwise.
TEST(CentredPlace, StaysOnTheOwnersMonitorWhereverThatLies)
{
    struct Row {
        const char* what;
        RECT owner, work;
        LONG width, height;
        POINT expected;
        RECT beside = {};   // another monitor, listed first: the nearest one must still be chosen
        RECT monitor = {};  // given: owner is a minimised owner's restored place, in workspace coordinates
    };
    const Row rows[] = {
        {"primary with a taskbar below", {390, 300, 890, 700}, {0, 0, 1280, 984}, 300, 200, {490, 400}},
        {"minimised, taskbar left",
         {300, 200, 800, 600},
         {60, 0, 1280, 1024},
         300,
         200,
         {460, 300},
         {},
         {0, 0, 1280, 1024}},
        {"second monitor, right", {1500, 300, 2000, 700}, {1280, 0, 2560, 1024}, 300, 200, {1600, 400}},
        {"second monitor, owner at its far edge", {2200, 300, 2700, 700}, {1280, 0, 2560, 1024}, 300, 200, {2260, 400}},
        {"monitor left of the primary", {-1100, 500, -600, 900}, {-1280, 0, 0, 1024}, 300, 200, {-1000, 600}},
        {"monitor above, owner past its top", {100, -1300, 600, -900}, {0, -1024, 1280, -40}, 300, 200, {200, -1024}},
        {"owner straddling, nearest on the right",
         {1100, 300, 1600, 700},
         {1280, 0, 2560, 1024},
         300,
         200,
         {1280, 400},
         {0, 0, 1280, 1024}},
        {"box larger than the work area", {1500, 100, 2000, 500}, {1280, 30, 2560, 1024}, 1400, 1100, {1280, 30}},
        {"no owner: the work area itself", {0, 40, 1280, 1024}, {0, 40, 1280, 1024}, 300, 200, {490, 432}},
    };
    for (const Row& row : rows) {
        const MonitorArea desktop[] = {{row.beside, row.beside}, {row.work, row.work}};
        const bool two = !IsRectEmpty(&row.beside);
        const RECT work = nearest_monitor(row.owner, desktop + (two ? 0 : 1), two ? 2 : 1).work;
        const RECT owner = row.monitor.right != 0 ? screen_from_workspace(row.owner, row.monitor, work) : row.owner;
        const POINT place = centred_place({0, 0, row.width, row.height}, owner, work);
        EXPECT_EQ(place.x, row.expected.x) << row.what;
        EXPECT_EQ(place.y, row.expected.y) << row.what;
    }
}

// The whole program in this process: loop, accelerator, close, settings written at the end.
struct LoopScript {
    int ticks = 0;
    HWND window = nullptr;
    bool accelerator_worked = false;
    bool gave_up = false;
};
LoopScript loop_script;

void CALLBACK drive_loop(HWND, UINT, UINT_PTR, DWORD)
{
    ++loop_script.ticks;
    if (loop_script.ticks == 1) {
        loop_script.window = main_window;
        board.cells[0] = Horizontal;
        PostMessageA(main_window, WM_KEYDOWN, VK_F2, 1);
        PostMessageA(main_window, WM_KEYUP, VK_F2, 0xC0000001);
        PostMessageA(main_window, WM_COMMAND, CMD_LANGUAGE, 0);
    } else if (loop_script.ticks == 2) {
        loop_script.accelerator_worked = board.cells[0] == Empty;
        PostMessageA(main_window, WM_CLOSE, 0, 0);
    } else if (loop_script.ticks > 300 && main_window != nullptr) {
        loop_script.gave_up = true;
        PostMessageA(main_window, WM_DESTROY, 0, 0);
    }
}

TEST_F(GameWindow, LoopTranslatesAcceleratorsAndEndsOnCloseWritingTheSettingsAtTheEnd)
{
    ASSERT_TRUE(write_bytes(folder.file("ondulor.ini"), "Langue=0\r\nDur\xE9"
                                                        "e=120\r\nSon=1\r\n250,Alice\r\n"));
    reset_process_state(folder.file("ondulor.exe"));
    loop_script = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, drive_loop);
    const int code = run_application(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
    KillTimer(nullptr, timer);
    started_window = loop_script.window;

    EXPECT_FALSE(loop_script.gave_up);
    EXPECT_TRUE(loop_script.accelerator_worked) << "F2 must start a new game through the loop";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(main_window, nullptr);
    // Stopped and hidden before the settings are written, so nothing of the game runs behind the
    // report of a failed write.
    EXPECT_FALSE(IsWindowVisible(loop_script.window));
    EXPECT_FALSE(KillTimer(loop_script.window, 1)) << "the clock is stopped";
    // Written at the end, with the language switched during the run.
    EXPECT_EQ(read_bytes(folder.file("ondulor.ini")), "Language=1000\r\nDuration=120\r\nSound=1\r\n250,Alice\r\n");
    WPARAM quit_code = 99;
    EXPECT_TRUE(take_quit(&quit_code)) << "the quit message is posted but never fetched";
    EXPECT_EQ(quit_code, 0u);
}

}  // namespace

// A monitor of another scale: the cell follows its DPI (40 pixels at 120), the window its place, the
// status bar's parts the scale; a click at a cell's centre lays in that cell, drawn with the painter's
// tile of that size. At 144 DPI the 1024 x 768 screen here cannot hold cells of 48: the largest cell
// that fits is taken. Back at 96 DPI the window is the old one, pixel for pixel in size.
TEST_F(GameWindow, AChangeOfScaleLaysTheWindowOutAgainAndDrawsAtTheNewCell)
{
    ASSERT_EQ(start_window(folder.file("ondulor.exe")), 0);
    RECT outer, client, bar;
    GetWindowRect(status_bar, &bar);
    const LONG bar_height = bar.bottom - bar.top;
    RECT suggested = {10, 20, 700, 700};
    SendMessageA(main_window, WM_DPICHANGED, 0, reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(main_window, &outer);
    EXPECT_EQ(outer.right - outer.left, 530) << "a DPI of 0 lays nothing out";
    SendMessageA(main_window, WM_DPICHANGED, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(cell_pixels(), 40);
    GetWindowRect(main_window, &outer);
    GetClientRect(main_window, &client);
    GetWindowRect(status_bar, &bar);
    MapWindowPoints(nullptr, main_window, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(outer.left * 1000 + outer.top, 10020) << "at the suggested place";
    EXPECT_EQ(client.right, 15 * 40 + 6 + 40 + 9);
    EXPECT_EQ(bar.top, 15 * 40 + 3) << "the status bar just below the board";
    EXPECT_GT(bar.bottom - bar.top, bar_height) << "the bar's font made for 120 DPI";
    EXPECT_EQ(queue_left, 606);
    int edges[3] = {};
    SendMessageA(status_bar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[0] * 1000 + edges[1], 113225);

    piece_queue.slots[NextPieceSlot] = Vertical;
    SendMessageA(main_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7 * 40 + 20, 13 * 40 + 20));
    ASSERT_EQ(cell_at(7, 13) & UnvisitedMask, Vertical | LitFlag);
    static Picture lit;
    draw_tile(FirstLitTile + Vertical - 1, 40, lit);
    HDC window_dc = GetDC(main_window);
    int differing = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const std::uint8_t* colour = vga_palette[lit.pixels[y][x]];
            differing += GetPixel(window_dc, 7 * 40 + x, 13 * 40 + y) != RGB(colour[0], colour[1], colour[2]);
        }
    }
    ReleaseDC(main_window, window_dc);
    EXPECT_EQ(differing, 0) << "pixels of cell (7, 13) unlike the painter's lit vertical pipe of 40";
    // The keyboard's cursor grows with the cell: 3 pixels wide, 1 inside the cell of 40.
    board_cursor = {};
    SendMessageA(main_window, WM_KEYDOWN, VK_UP, 1);
    window_dc = GetDC(main_window);
    int red = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            red += GetPixel(window_dc, 7 * 40 + x, 13 * 40 + y) == RGB(255, 0, 0);
        }
    }
    ReleaseDC(main_window, window_dc);
    EXPECT_EQ(red, 38 * 38 - 32 * 32);
    board_cursor = {};

    SendMessageA(main_window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(main_window, &outer);
    const SIZE screen = screen_size();
    EXPECT_GT(cell_pixels(), 40);
    EXPECT_LT(cell_pixels(), 48);
    EXPECT_LE(outer.bottom - outer.top, screen.cy) << "cells of " << cell_pixels();

    SendMessageA(main_window, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(main_window, &outer);
    EXPECT_EQ(outer.right - outer.left, 530);
    EXPECT_EQ(outer.bottom - outer.top, outer_height());
    EXPECT_EQ(queue_left, 485);
    GetWindowRect(status_bar, &bar);
    EXPECT_EQ(bar.bottom - bar.top, bar_height);
}

// The layout's DPI on monitors of every kind: the screen's own where the window fits its work area,
// else the DPI of the largest cell that fits (three times the cell), never below 96 and never with a
// cell above the painter's largest picture. Each row's work area is the window at some DPI to the
// pixel, or that less one pixel, so an off-by-one in the fit shows.
TEST(LayoutDpi, TheScreensDpiWhereTheWindowFitsElseTheLargestCellThatDoes)
{
    constexpr DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    constexpr int Bar = 20;
    auto outer_at = [&](int dpi, UINT screen_dpi) {
        layout_dpi = dpi;
        const SIZE client = client_size(Bar);
        RECT outer = {0, 0, client.cx, client.cy};
        adjust_window_rect(outer, Style, screen_dpi);
        return SIZE{outer.right - outer.left, outer.bottom - outer.top};
    };
    struct Row {
        UINT dpi;
        int fits_dpi;  // the work area is the window at this DPI, on a monitor of dpi
        int less;      // pixels taken off the work area's height
        int expected;
    };
    const Row rows[] = {
        {96, 96, 0, 96},    {120, 120, 0, 120}, {144, 144, 0, 144},  {144, 144, 1, 141},
        {192, 180, 0, 180}, {192, 180, 1, 177}, {168, 96, 0, 96},    {144, 96, 1, 96},
        {72, 96, 0, 96},    {0, 96, 0, 96},     {1000, 768, 0, 768},
    };
    for (const Row& row : rows) {
        const SIZE work = outer_at(row.fits_dpi, row.dpi);
        EXPECT_EQ(fitting_layout_dpi(row.dpi, Style, Bar, work.cx, work.cy - row.less), row.expected)
            << "a monitor of " << row.dpi << " DPI with room for " << row.fits_dpi << " less " << row.less;
    }
    layout_dpi = BaseDpi;
}
