// The real ondulor.exe run as a child process from a folder of its own: the ways of closing it, the
// exit codes, the settings file it leaves, the fatal box when that file cannot be opened, and the
// board as a screen reader in another process reads it.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ui_support.h"

using namespace ui_test;

namespace {

// A copy of the game in its own folder, started there and, if still running at the end, killed.
class Game {
public:
    explicit Game(const TempFolder& folder) : Game(folder.path()) {}
    explicit Game(const std::string& folder) : exe_(folder + "\\ondulor.exe"), folder_(folder) {}
    ~Game()
    {
        if (info_.hProcess != nullptr) {
            if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info_.hProcess, 99);
                WaitForSingleObject(info_.hProcess, 5000);
            }
            CloseHandle(info_.hProcess);
            CloseHandle(info_.hThread);
        }
    }
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // The child's per-user folder (%LOCALAPPDATA%, inherited) is the game folder's "local", which a case
    // makes when it wants one: without it no per-user file can be made, and the prefix's own is never
    // touched. This process's games always play in writable folders, where it counts for nothing.
    bool start()
    {
        if (!CopyFileA(wine_path(ONDULOR_EXE_PATH).c_str(), exe_.c_str(), FALSE)) {
            return false;
        }
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string command = "\"" + exe_ + "\"";
        SetEnvironmentVariableA("LOCALAPPDATA", (folder_ + "\\local").c_str());
        return CreateProcessA(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                              &startup, &info_) != 0;
    }

    // The child's visible top-level windows, topmost first.
    std::vector<HWND> visible_windows() const
    {
        struct Search {
            DWORD process;
            std::vector<HWND> found;
        };
        Search search = {info_.dwProcessId, {}};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                if (process == s->process && IsWindowVisible(window)) {
                    s->found.push_back(window);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // The first visible top-level window of the given class that belongs to the child, or null after
    // the limit.
    HWND wait_for_window(const char* wanted_class, DWORD limit_ms = 20000) const
    {
        const DWORD start = GetTickCount();
        do {
            for (HWND window : visible_windows()) {
                if (class_name(window) == wanted_class) {
                    return window;
                }
            }
            if (WaitForSingleObject(info_.hProcess, 20) == WAIT_OBJECT_0) {
                return nullptr;
            }
        } while (elapsed_since(start) < limit_ms);
        return nullptr;
    }

    // The exit code, or STILL_ACTIVE when the child has not ended within the limit.
    DWORD wait_exit(DWORD limit_ms = 20000) const
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info_.hProcess, limit_ms) == WAIT_OBJECT_0) {
            GetExitCodeProcess(info_.hProcess, &code);
        }
        return code;
    }

    DWORD id() const { return info_.dwProcessId; }

private:
    std::string exe_;
    std::string folder_;
    PROCESS_INFORMATION info_ = {};
};

std::string text_of(HWND window)
{
    char text[512] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

// Every text of the box's controls, one after the other.
std::string box_texts(HWND box)
{
    std::vector<HWND> children;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    std::string texts;
    for (HWND child : children) {
        texts += text_of(child) + "\n";
    }
    return texts;
}

const std::string english_defaults = "Language=1000\r\nDuration=90\r\nSound=0\r\n";
const std::string french_file = "Langue=0\r\nDur\xE9"
                                "e=120\r\nSon=1\r\n250,Alice\r\n-3,Bob, Jr\r\n";
const std::string open_failure = "Erreur \xE0 l'ouverture du fichier : ";

TEST(RealGame, EveryWayOfClosingEndsWithCodeZeroAndWritesTheSettingsFile)
{
    struct Way {
        const char* name;
        UINT message;
        WPARAM w_param;
        const std::string* settings_before;
        const std::string* settings_after;
        bool held;  // a scanner holds the file, sharing reads only, from the start to the end
    };
    const Way ways[] = {
        {"close request", WM_CLOSE, 0, nullptr, &english_defaults, false},
        {"close box or Alt+F4", WM_SYSCOMMAND, SC_CLOSE, &french_file, &french_file, false},
        {"Quit command", WM_COMMAND, 101, nullptr, &english_defaults, false},
        {"nothing changed, the file held: no write, no box", WM_CLOSE, 0, &french_file, &french_file, true},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        TempFolder folder;
        if (way.settings_before != nullptr) {
            ASSERT_TRUE(write_bytes(folder.file("ondulor.ini"), *way.settings_before));
        }
        HANDLE held = way.held ? CreateFileA(folder.file("ondulor.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr)
                               : nullptr;
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        Game game(folder);
        ASSERT_TRUE(game.start());
        HWND window = game.wait_for_window("ondulor");
        ASSERT_NE(window, nullptr) << "the game window never appeared";
        RECT outer;
        GetWindowRect(window, &outer);
        EXPECT_EQ(outer.right - outer.left, 530);
        EXPECT_EQ(read_bytes(folder.file("ondulor.ini")),
                  way.settings_before != nullptr ? *way.settings_before : "<missing>")
            << "nothing is written before the end";

        PostMessageA(window, way.message, way.w_param, 0);
        EXPECT_EQ(game.wait_exit(), 0u);
        if (held != nullptr) CloseHandle(held);
        EXPECT_EQ(read_bytes(folder.file("ondulor.ini")), *way.settings_after);
    }
}

// The session ends (log-off, shut-down, an installer's Restart Manager): the file is written before
// the message returns, as a normal end writes it, whatever box is open; no box opens even when the
// write fails, and the game then ends with 0, having written the per-user file instead.
TEST(RealGame, TheEndOfTheSessionWritesTheFileAtOnceAndOpensNoBox)
{
    const std::string rewritten = "Langue=0\r\nDur\xE9"
                                  "e=90\r\nSon=1\r\n250,Alice\r\n";
    const struct {
        const char* name;
        WORD box_command;
        bool folder_in_place;
    } rows[] = {{"no box", 0, false}, {"settings box open", 200, false}, {"write fails", 0, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        const std::string path = folder.file("ondulor.ini");
        ASSERT_TRUE(write_bytes(path, "Langue=0\r\nDur\xE9"
                                      "e=0090\r\nSon=1\r\n250,Alice\r\n"));
        Game game(folder);
        ASSERT_TRUE(game.start());
        HWND window = game.wait_for_window("ondulor");
        ASSERT_NE(window, nullptr);
        PostMessageA(window, WM_COMMAND, row.box_command, 0);
        ASSERT_TRUE(row.box_command == 0 || game.wait_for_window("#32770") != nullptr);
        ASSERT_TRUE(!row.folder_in_place || (DeleteFileA(path.c_str()) && CreateDirectoryA(path.c_str(), nullptr) &&
                                             CreateDirectoryA(folder.file("local").c_str(), nullptr)));
        DWORD_PTR answer = 0;
        EXPECT_TRUE(SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, 0, 5000, &answer));
        EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
        EXPECT_TRUE(SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, 0, 5000, &answer));
        EXPECT_EQ(game.wait_exit(5000), 0u) << "an error box, or a game that goes on";
        EXPECT_EQ(read_bytes(row.folder_in_place ? folder.file("local\\Ondulor\\ondulor.ini") : path), rewritten);
    }
}

// Answers the child's error box: checks its caption, owner and text, then presses OK.
void answer_fatal_box(const Game& game, const std::string& settings_file)
{
    HWND box = game.wait_for_window("#32770");
    ASSERT_NE(box, nullptr) << "no error box appeared";
    EXPECT_EQ(text_of(box).rfind("Ondulor", 0), 0u) << text_of(box);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "no main window may own the box";
    EXPECT_NE(box_texts(box).find(open_failure + settings_file), std::string::npos) << box_texts(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST(RealGame, SettingsFileThatCannotBeOpenedAtStartEndsWithTheFatalBoxAndCodeOne)
{
    TempFolder folder;
    const std::string settings_file = folder.file("ondulor.ini");
    ASSERT_TRUE(write_bytes(settings_file, french_file));
    // Held open without any sharing: the game's open for reading and writing must fail. (A read-only
    // attribute would do on Windows, but Wine running as root opens such a file for writing anyway.)
    HANDLE held = CreateFileA(settings_file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Game game(folder);
    ASSERT_TRUE(game.start());
    answer_fatal_box(game, settings_file);
    EXPECT_EQ(game.wait_exit(), 1u);
    CloseHandle(held);
    EXPECT_EQ(read_bytes(settings_file), french_file);
}

TEST(RealGame, SettingsFileThatCannotBeWrittenAtTheEndEndsWithTheFatalBoxAndCodeOne)
{
    TempFolder folder;
    const std::string settings_file = folder.file("ondulor.ini");
    Game game(folder);
    ASSERT_TRUE(game.start());
    HWND window = game.wait_for_window("ondulor");
    ASSERT_NE(window, nullptr);
    // A folder in the file's place can be neither opened as a file nor replaced by one.
    ASSERT_TRUE(CreateDirectoryA(settings_file.c_str(), nullptr));
    PostMessageA(window, WM_CLOSE, 0, 0);
    // The box stands alone: the game window went before the write and nothing opens over the box.
    HWND box = game.wait_for_window("#32770");
    ASSERT_NE(box, nullptr);
    std::vector<HWND> seen = {box};
    for (int look = 0; look < 10 && seen == std::vector<HWND>{box}; ++look) {
        seen = game.visible_windows();
        Sleep(100);
    }
    EXPECT_EQ(seen, std::vector<HWND>{box});
    EXPECT_FALSE(IsWindowVisible(window));
    answer_fatal_box(game, settings_file);
    EXPECT_EQ(game.wait_exit(), 1u);
}

// The game unpacked where the player may not write (Program Files, a disc, a read-only share): it reads
// the file beside it and keeps every change per user from then on, leaving that file as it was.
TEST(RealGame, AReadOnlySettingsFileIsReadAndChangesGoPerUser)
{
    TempFolder folder;
    const std::string beside = folder.file("ondulor.ini");
    const std::string per_user = folder.file("local\\Ondulor\\ondulor.ini");
    ASSERT_TRUE(write_bytes(beside, french_file));
    ASSERT_TRUE(SetFileAttributesA(beside.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateDirectoryA(folder.file("local").c_str(), nullptr));
    const std::string english_file = "Language=1000\r\nDuration=120\r\nSound=1\r\n250,Alice\r\n-3,Bob, Jr\r\n";
    for (const std::string* expected : {&english_file, &french_file}) {  // the second start reads the per-user file
        Game game(folder);
        ASSERT_TRUE(game.start());
        HWND window = game.wait_for_window("ondulor");
        ASSERT_NE(window, nullptr) << "the game did not start";
        PostMessageA(window, WM_COMMAND, 202, 0);
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(game.wait_exit(), 0u);
        EXPECT_EQ(read_bytes(per_user), *expected);
    }
    EXPECT_EQ(read_bytes(beside), french_file);
    SetFileAttributesA(beside.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(RealGame, AStartOnTheFileOfARunningGameBringsItForwardAndEndsWithZeroWhileAnotherFilesGamePlays)
{
    TempFolder top;
    TempFolder other;
    // The longest whole path, so that the claim is named by a digest of the path.
    const std::string folder = top.path() + "\\" + std::string(MAX_PATH - 1 - 12 - 1 - top.path().size(), 'x');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(write_bytes(folder + "\\ondulor.ini", french_file));
    {
        Game game(folder);
        ASSERT_TRUE(game.start());
        HWND window = game.wait_for_window("ondulor");
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_MINIMIZE);
        // The same file, named in capitals: Windows compares file names without regard to case.
        std::string path = folder + "\\ondulor.exe";
        CharUpperA(&path[0]);
        reset_process_state(path);
        // A start taken for a game of its own would loop for ever: its window is closed instead.
        static bool closed_by_guard = false;
        const UINT_PTR guard = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR, DWORD) {
            closed_by_guard = main_window != nullptr && PostMessageA(main_window, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(run_application(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL), 0);
        KillTimer(nullptr, guard);
        EXPECT_FALSE(closed_by_guard) << "the start made a game window of its own";
        EXPECT_EQ(settings.duration, 0) << "the start read the running game's file";
        EXPECT_EQ(GetForegroundWindow(), window);
        for (int look = 0; look < 100 && IsIconic(window); ++look) {
            Sleep(20);
        }
        EXPECT_FALSE(IsIconic(window)) << "the running game was left minimised";
        stop_window();
        EXPECT_EQ(start_window(other.file("ondulor.exe")), 0);
        stop_window();
        EXPECT_EQ(read_bytes(folder + "\\ondulor.ini"), french_file);
    }
    // Killed without closing, the game left no claim behind.
    EXPECT_EQ(start_window(folder + "\\ondulor.exe"), 0);
    stop_window();
}

// A screen reader in this process: the board's object, its cells by child id, and the game's events.
std::vector<std::pair<DWORD, LONG>> reader_events;  // event and child id, on the client object

VARIANT child_id(LONG id)
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring name_of(IAccessible* board, LONG child)
{
    BSTR name = nullptr;
    const std::wstring text = board->get_accName(child_id(child), &name) == S_OK ? name : L"<no name>";
    SysFreeString(name);
    return text;
}

// Pumps this thread's messages, through which the out-of-context events come, until one arrives.
bool wait_for_event(DWORD event, LONG child)
{
    for (const DWORD start = GetTickCount(); elapsed_since(start) < 5000; Sleep(10)) {
        pump_messages();
        for (const auto& seen : reader_events) {
            if (seen == std::make_pair(event, child)) return true;
        }
    }
    return false;
}

// Closes the game's boxes as they come (the game-over box, then the name box).
void close_boxes(const Game& game)
{
    for (HWND box; (box = game.wait_for_window("#32770", 2000)) != nullptr; Sleep(100)) {
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    }
}

TEST(RealGame, AScreenReaderReadsTheBoardFollowsTheCursorAndLaysPieces)
{
    TempFolder folder;
    Game game(folder);
    ASSERT_TRUE(game.start());
    HWND window = game.wait_for_window("ondulor");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IAccessible* board = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&board)),
              S_OK);
    LONG count = 0;
    VARIANT answer;
    EXPECT_EQ(board->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 225);
    EXPECT_EQ(board->get_accRole(child_id(CHILDID_SELF), &answer), S_OK);
    EXPECT_EQ(answer.lVal, ROLE_SYSTEM_TABLE);
    EXPECT_EQ(name_of(board, CHILDID_SELF), L"Board");
    std::set<std::wstring> names;
    for (LONG child = 1; child <= 225; ++child) {
        EXPECT_EQ(board->get_accRole(child_id(child), &answer), S_OK);
        EXPECT_EQ(answer.lVal, ROLE_SYSTEM_CELL) << child;
        names.insert(name_of(board, child));
    }
    EXPECT_EQ(names.size(), 225u);
    EXPECT_EQ(name_of(board, 1), L"Empty, row 1, column 1");
    EXPECT_EQ(name_of(board, 14 * 15 + 7 + 1), L"Source, row 15, column 8");
    // Column 2, row 3 at 96 DPI: 32 pixels a cell from the client's corner.
    POINT corner = {0, 0};
    ClientToScreen(window, &corner);
    LONG x = 0, y = 0, width = 0, height = 0;
    EXPECT_EQ(board->accLocation(&x, &y, &width, &height, child_id(3 * 15 + 2 + 1)), S_OK);
    EXPECT_EQ(std::vector<LONG>({x, y, width, height}), std::vector<LONG>({corner.x + 64, corner.y + 96, 32, 32}));
    EXPECT_EQ(board->accHitTest(corner.x + 95, corner.y + 127, &answer), S_OK);
    EXPECT_EQ(answer.lVal, 3 * 15 + 2 + 1);

    HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_FOCUS, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr,
        [](HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
            if (object == OBJID_CLIENT) reader_events.emplace_back(event, child);
        },
        game.id(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    const LONG above_source = 13 * 15 + 7 + 1;  // where the first arrow shows the cursor
    PostMessageA(window, WM_KEYDOWN, VK_UP, 0);
    EXPECT_TRUE(wait_for_event(EVENT_OBJECT_FOCUS, above_source));
    EXPECT_TRUE(wait_for_event(EVENT_OBJECT_SELECTION, above_source));
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(wait_for_event(EVENT_OBJECT_NAMECHANGE, above_source));
    EXPECT_TRUE(wait_for_event(EVENT_OBJECT_DESCRIPTIONCHANGE, above_source)) << "the next piece changed";
    const std::wstring laid = name_of(board, above_source);
    EXPECT_NE(laid.rfind(L"Empty", 0), 0u) << laid;
    EXPECT_EQ(laid.substr(laid.size() - 16), L"row 14, column 8") << laid;
    EXPECT_EQ(board->get_accFocus(&answer), S_OK);
    EXPECT_EQ(answer.lVal, above_source);
    BSTR action = nullptr;  // a taken cell, as the source's, offers nothing and refuses
    EXPECT_EQ(board->get_accDefaultAction(child_id(above_source), &action), S_FALSE);
    EXPECT_EQ(action, nullptr);
    EXPECT_EQ(board->accDoDefaultAction(child_id(14 * 15 + 7 + 1)), DISP_E_MEMBERNOTFOUND);

    EXPECT_EQ(board->accDoDefaultAction(child_id(1)), S_OK);
    EXPECT_NE(name_of(board, 1).rfind(L"Empty", 0), 0u) << "the default action laid no piece";
    EXPECT_EQ(board->accSelect(SELFLAG_TAKEFOCUS, child_id(2)), S_OK);
    EXPECT_TRUE(wait_for_event(EVENT_OBJECT_FOCUS, 2)) << "a selected cell takes the cursor";

    // The About box has the keyboard: the cell stays selected, nothing is focused, nothing acts.
    PostMessageA(window, WM_COMMAND, 300, 0);
    ASSERT_NE(game.wait_for_window("#32770"), nullptr);
    EXPECT_EQ(board->get_accState(child_id(2), &answer), S_OK);
    EXPECT_EQ(answer.lVal & (STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED), STATE_SYSTEM_SELECTED);
    EXPECT_EQ(board->get_accFocus(&answer), S_FALSE);
    EXPECT_EQ(answer.vt, VT_EMPTY);
    EXPECT_EQ(board->accDoDefaultAction(child_id(3)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(board->accSelect(SELFLAG_TAKEFOCUS, child_id(3)), DISP_E_MEMBERNOTFOUND);
    reader_events.clear();
    close_boxes(game);
    EXPECT_TRUE(wait_for_event(EVENT_OBJECT_FOCUS, 2)) << "the focus back on the cursor's cell";

    reader_events.clear();
    PostMessageA(window, WM_COMMAND, 202, 0);  // the language switch
    EXPECT_TRUE(wait_for_event(EVENT_OBJECT_NAMECHANGE, CHILDID_SELF));
    EXPECT_TRUE(wait_for_event(EVENT_OBJECT_DESCRIPTIONCHANGE, CHILDID_SELF));
    EXPECT_TRUE(wait_for_event(EVENT_OBJECT_DESCRIPTIONCHANGE, 2));
    EXPECT_EQ(name_of(board, CHILDID_SELF), L"Plateau");
    EXPECT_EQ(name_of(board, 14 * 15 + 7 + 1), L"Source, en eau, ligne 15, colonne 8");
    reader_events.clear();
    PostMessageA(window, WM_COMMAND, 100, 0);  // a new game: a new queue
    EXPECT_TRUE(wait_for_event(EVENT_OBJECT_DESCRIPTIONCHANGE, CHILDID_SELF));
    UnhookWinEvent(hook);

    for (int tick = 0; tick < 90; ++tick) PostMessageA(window, WM_TIMER, 1, 0);
    close_boxes(game);  // the game over: no box open, and still nothing acts
    EXPECT_EQ(board->accDoDefaultAction(child_id(3)), DISP_E_MEMBERNOTFOUND);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(game.wait_exit(), 0u);
    board->Release();

    ASSERT_EQ(start_window(folder.file("ondulor.exe")), 0);  // the cut-off at WM_DESTROY, with no proxy between
    ASSERT_EQ(
        AccessibleObjectFromWindow(main_window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&board)),
        S_OK);
    SendMessageA(main_window, WM_DESTROY, 0, 0);
    EXPECT_EQ(board->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    board->Release();
    stop_window();
    CoUninitialize();
}

}  // namespace
