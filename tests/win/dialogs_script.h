// Drives the game's modal boxes from inside their own loops, and holds the real main window that the
// dialog and event tests share.
#ifndef ONDULOR_TESTS_WIN_DIALOGS_SCRIPT_H
#define ONDULOR_TESTS_WIN_DIALOGS_SCRIPT_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

enum class BoxKind { About, GameOver, Scores, Name, Settings, Unknown };

const char* box_kind_name(BoxKind kind);
BoxKind box_kind(HWND box);
BoxKind box_kind_for_template(int template_id);

// One step of a script: when the topmost open box is of the expected kind, act on it.
struct BoxStep {
    BoxKind expected;
    std::function<void(HWND box)> act;
};

struct ScriptOutcome {
    std::size_t steps_run = 0;
    int boxes_opened = 0;
    bool timed_out = false;
    std::vector<std::string> problems;  // unexpected boxes, in order
};

// Runs trigger (which opens boxes modally) while a thread timer plays the steps in order against the
// topmost box. A box that is not the expected one, or a script that has not finished by the deadline,
// ends every open box with 0 and is reported in the outcome, so a broken box never hangs the suite.
ScriptOutcome run_boxes(const std::function<void()>& trigger, const std::vector<BoxStep>& steps,
                        DWORD limit_ms = 5000);

// Runs trigger and presses OK in every box that opens (typing name into a name box first).
ScriptOutcome run_closing_all(const std::function<void()>& trigger, const char* name = "Bot",
                              DWORD limit_ms = 5000);

// Expects a script that ran all its steps without a timeout or a wrong box, and, when boxes is not
// negative, that many boxes opened.
void expect_clean_run(const ScriptOutcome& outcome, std::size_t steps, int boxes = -1);

// Helpers for the steps.
std::string control_text(HWND box, int control_id);
std::string window_text(HWND window);
void press(HWND box, int control_id);
void type_text(HWND box, int control_id, const std::string& text);
void post_tick();
std::string status_text(int part);
std::string menu_label(UINT command_id);

// The real main window, made once per process by init_application; its own clock is stopped so that
// the tests alone decide when a second passes.
HWND test_main_window();

// Puts settings, scores, game and seams back to a known start: English, 90 s, sound off, empty table,
// a fresh game, and recording sound and help seams.
void reset_game_world();

struct SeamRecord {
    int resource_plays = 0;
    LPCSTR last_resource = nullptr;
    HMODULE last_module = nullptr;
    DWORD last_flags = 0;
    int beeps = 0;
    UINT last_beep = 0xFFFFFFFF;
    int device_queries = 0;
    UINT devices = 0;
    int help_calls = 0;
    HWND help_window = nullptr;
    std::string help_file;
    UINT help_command = 0;
};
extern SeamRecord seam_record;

#endif
