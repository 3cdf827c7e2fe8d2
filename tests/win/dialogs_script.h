// Drives the game's modal boxes from inside their own loops, and holds the real main window that the
// dialog and event tests share.
#ifndef ONDULOR_TESTS_WIN_DIALOGS_SCRIPT_H
#define ONDULOR_TESTS_WIN_DIALOGS_SCRIPT_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win_support.h"

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
ScriptOutcome run_boxes(const std::function<void()>& trigger, const std::vector<BoxStep>& steps, DWORD limit_ms = 5000);

// Runs trigger and presses OK in every box that opens (typing name into a name box first).
ScriptOutcome run_closing_all(const std::function<void()>& trigger, const char* name = "Bot", DWORD limit_ms = 5000);

// Expects a script that ran all its steps without a timeout or a wrong box, and, when boxes is not
// negative, that many boxes opened.
void expect_clean_run(const ScriptOutcome& outcome, std::size_t steps, int boxes = -1);

// Helpers for the steps.
std::string control_text(HWND box, int control_id);
void press(HWND box, int control_id);
void type_text(HWND box, int control_id, const std::string& text);
std::string status_text(int part);

// The game's clock, driven by the tests alone: tick sends one second to the main window and returns
// when it is handled, ticks sends count of them, post_tick leaves one in the queue for a modal loop.
void tick();
void ticks(int count);
void post_tick();

// The real main window, made once per process by init_application; its own clock is stopped so that
// the tests alone decide when a second passes.
HWND test_main_window();

// Puts settings, scores, game and seams back to a known start: English, 90 s, sound off, empty table,
// a fresh game, and the recording fakes of the seams.
void reset_game_world();

#endif
