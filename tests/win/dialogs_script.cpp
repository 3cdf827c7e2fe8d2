// Box scripts played by a thread timer inside the modal loops, and the shared real main window.
#include "dialogs_script.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "res/resource_ids.h"
#include "ui/events.h"
#include "ui/main_window.h"

namespace {

struct ScriptState {
    const std::vector<BoxStep>* steps = nullptr;
    const std::string* closing_name = nullptr;  // set: press OK in whatever box is on top
    ScriptOutcome outcome;
    std::vector<HWND> created;  // top-level windows of the thread, in creation order
    DWORD started = 0;
    DWORD limit_ms = 0;
    bool acting = false;
    bool aborted = false;
};

ScriptState* running_script = nullptr;
HHOOK creation_hook = nullptr;

bool is_dialog_class(LPCSTR class_name)
{
    if (IS_INTRESOURCE(class_name)) {
        return LOWORD(reinterpret_cast<ULONG_PTR>(class_name)) == 0x8002;
    }
    return lstrcmpiA(class_name, "#32770") == 0;
}

LRESULT CALLBACK watch_creation(int code, WPARAM w_param, LPARAM l_param)
{
    if (code == HCBT_CREATEWND && running_script != nullptr) {
        const CBT_CREATEWNDA* creation = reinterpret_cast<const CBT_CREATEWNDA*>(l_param);
        if ((creation->lpcs->style & WS_CHILD) == 0 && is_dialog_class(creation->lpcs->lpszClass)) {
            running_script->created.push_back(reinterpret_cast<HWND>(w_param));
            running_script->outcome.boxes_opened += 1;
        }
    }
    return CallNextHookEx(creation_hook, code, w_param, l_param);
}

HWND topmost_box(ScriptState& state)
{
    for (auto it = state.created.rbegin(); it != state.created.rend(); ++it) {
        if (IsWindow(*it) && IsWindowVisible(*it)) {
            return *it;
        }
    }
    return nullptr;
}

void end_every_box(ScriptState& state)
{
    state.aborted = true;
    for (auto it = state.created.rbegin(); it != state.created.rend(); ++it) {
        if (IsWindow(*it)) {
            EndDialog(*it, 0);
        }
    }
}

VOID CALLBACK play_step(HWND, UINT, UINT_PTR, DWORD)
{
    ScriptState* state = running_script;
    if (state == nullptr) {
        return;
    }
    if (state->aborted) {
        end_every_box(*state);
        return;
    }
    if (elapsed_since(state->started) > state->limit_ms) {
        state->outcome.timed_out = true;
        state->outcome.problems.push_back("not done within " + std::to_string(state->limit_ms) +
                                          " ms; the thread's windows:\n" + thread_windows());
        end_every_box(*state);
        return;
    }
    if (state->acting) {
        return;
    }
    HWND box = topmost_box(*state);
    if (box == nullptr) {
        return;
    }
    if (state->closing_name != nullptr) {
        state->outcome.steps_run += 1;
        state->acting = true;
        if (box_kind(box) == BoxKind::Name) {
            type_text(box, IDC_NAME_EDIT, *state->closing_name);
        }
        press(box, box_kind(box) == BoxKind::Unknown ? IDCANCEL : IDC_OK);
        state->acting = false;
        return;
    }
    if (state->outcome.steps_run >= state->steps->size()) {
        return;
    }
    const BoxStep& step = (*state->steps)[state->outcome.steps_run];
    const BoxKind kind = box_kind(box);
    if (kind != step.expected) {
        state->outcome.problems.push_back(std::string("step ") + std::to_string(state->outcome.steps_run) +
                                          " expected " + box_kind_name(step.expected) + ", found " +
                                          box_kind_name(kind));
        end_every_box(*state);
        return;
    }
    state->outcome.steps_run += 1;
    state->acting = true;
    step.act(box);
    state->acting = false;
}

// A module path in a folder that holds no settings file, so start-up takes the defaults and the
// tests never read or write a file of the build.
std::string test_module_path()
{
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "ondulor-dialog-tests-none\\win_dialog_tests.exe";
}

ScriptOutcome run_script(const std::function<void()>& trigger, const std::vector<BoxStep>* steps,
                         const std::string* closing_name, DWORD limit_ms)
{
    ScriptState state;
    state.steps = steps;
    state.closing_name = closing_name;
    state.started = GetTickCount();
    state.limit_ms = limit_ms;
    ScriptState* outer = running_script;
    running_script = &state;
    HHOOK outer_hook = creation_hook;
    creation_hook = SetWindowsHookExA(WH_CBT, watch_creation, nullptr, GetCurrentThreadId());
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, play_step);
    trigger();
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(creation_hook);
    creation_hook = outer_hook;
    running_script = outer;
    return state.outcome;
}

// Outside any script, a box that stays open for two seconds was opened by mistake: end it and fail,
// rather than let the suite wait for ever.
VOID CALLBACK end_stray_boxes(HWND, UINT, UINT_PTR, DWORD)
{
    static HWND seen = nullptr;
    static DWORD seen_at = 0;
    if (running_script != nullptr) {
        seen = nullptr;
        return;
    }
    const HWND box = visible_box();
    if (box == nullptr || box != seen) {
        seen = box;
        seen_at = GetTickCount();
        return;
    }
    if (elapsed_since(seen_at) > 2000) {
        ADD_FAILURE() << "a " << box_kind_name(box_kind(box)) << " box opened outside any script";
        EndDialog(box, 0);
        seen = nullptr;
    }
}

}  // namespace

const char* box_kind_name(BoxKind kind)
{
    switch (kind) {
    case BoxKind::About:
        return "about";
    case BoxKind::GameOver:
        return "game over";
    case BoxKind::Scores:
        return "best scores";
    case BoxKind::Name:
        return "name entry";
    case BoxKind::Settings:
        return "settings";
    default:
        return "unknown";
    }
}

BoxKind box_kind(HWND box)
{
    if (GetDlgItem(box, IDC_GAME_OVER_TEXT) != nullptr) {
        return BoxKind::GameOver;
    }
    if (GetDlgItem(box, IDC_NAME_EDIT) != nullptr) {
        return BoxKind::Name;
    }
    if (GetDlgItem(box, IDC_SCORES_LIST) != nullptr) {
        return BoxKind::Scores;
    }
    if (GetDlgItem(box, IDC_SETTINGS_DURATION) != nullptr) {
        return BoxKind::Settings;
    }
    if (GetDlgItem(box, IDC_ABOUT_TITLE) != nullptr) {
        return BoxKind::About;
    }
    return BoxKind::Unknown;
}

BoxKind box_kind_for_template(int template_id)
{
    switch (template_id) {
    case DLG_ABOUT:
        return BoxKind::About;
    case DLG_GAME_OVER:
        return BoxKind::GameOver;
    case DLG_SCORES:
        return BoxKind::Scores;
    case DLG_NAME:
        return BoxKind::Name;
    case DLG_SETTINGS:
        return BoxKind::Settings;
    default:
        return BoxKind::Unknown;
    }
}

ScriptOutcome run_boxes(const std::function<void()>& trigger, const std::vector<BoxStep>& steps, DWORD limit_ms)
{
    return run_script(trigger, &steps, nullptr, limit_ms);
}

ScriptOutcome run_closing_all(const std::function<void()>& trigger, const char* name, DWORD limit_ms)
{
    const std::string typed = name;
    return run_script(trigger, nullptr, &typed, limit_ms);
}

void expect_clean_run(const ScriptOutcome& outcome, std::size_t steps, int boxes)
{
    EXPECT_FALSE(outcome.timed_out);
    for (const std::string& problem : outcome.problems) {
        ADD_FAILURE() << problem;
    }
    EXPECT_EQ(outcome.steps_run, steps);
    if (boxes >= 0) {
        EXPECT_EQ(outcome.boxes_opened, boxes);
    }
}

std::string control_text(HWND box, int control_id)
{
    char text[512] = {};
    GetDlgItemTextA(box, control_id, text, sizeof text);
    return text;
}

void press(HWND box, int control_id)
{
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(control_id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, control_id)));
}

void type_text(HWND box, int control_id, const std::string& text)
{
    HWND edit = GetDlgItem(box, control_id);
    for (char c : text) {
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}

void tick()
{
    SendMessageA(test_main_window(), WM_TIMER, 1, 0);
}

void ticks(int count)
{
    for (int i = 0; i < count; ++i) {
        tick();
    }
}

void post_tick()
{
    PostMessageA(test_main_window(), WM_TIMER, 1, 0);
}

std::string status_text(int part)
{
    char text[256] = {};
    const LRESULT length = SendMessageA(status_bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0);
    if (LOWORD(length) >= sizeof text) {
        return "<too long>";
    }
    SendMessageA(status_bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
}

HWND test_main_window()
{
    static bool made = false;
    if (!made) {
        made = true;
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&classes);
        install_seams(test_module_path());
        char command_line[] = "";
        if (init_application(nullptr, command_line, SW_SHOWNORMAL) != 0) {
            ADD_FAILURE() << "init_application failed";
        } else {
            KillTimer(main_window, 1);
            SetTimer(nullptr, 0, 100, end_stray_boxes);
        }
    }
    return main_window;
}

void reset_game_world()
{
    test_main_window();
    reset_app_state();
    settings.language = LANGUAGE_ENGLISH;
    settings.duration = 90;
    install_seams(test_module_path());
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // A tick left over from an earlier test would count a second of the new game.
        if (message.message == WM_QUIT || message.message == WM_DESTROY || message.message == WM_TIMER) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // A test that failed with the main window locked must not leave it so for the next one.
    EnableWindow(main_window, TRUE);
    handle_command(CMD_NEW_GAME);
}
