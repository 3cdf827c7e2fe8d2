// Ten thousand random clicks, ticks, new games, language switches and game ends through the real window.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "app/settings_file.h"
#include "dialogs_script.h"
#include "game/board.h"
#include "game/game_state.h"
#include "game/queue.h"
#include "res/resource_ids.h"
#include "ui/events.h"
#include "ui/main_window.h"

namespace {

// Lit cells minus occupied unlit cells, counted without the game's own code.
std::int32_t expected_points()
{
    std::int32_t points = 0;
    for (std::uint8_t value : board.cells) {
        const std::uint8_t shape = value & ShapeMask;
        if (shape != Empty) {
            points += (value & LitFlag) != 0 ? 1 : -1;
        }
    }
    return points;
}

}  // namespace

TEST(MainWindowSoak, RandomPlayKeepsPointsQueueAndWindowSound)
{
    reset_game_world();
    settings.duration = 0;
    settings.sound = 1;
    std::mt19937 random(20240611);
    // The verdict rests on every planned operation being done; the time budget only stops a run that
    // hangs, and then shows which windows held it.
    const int planned = 10000;
    const DWORD budget_ms = 90000;
    const DWORD start = GetTickCount();
    bool laid_since_new_game = false;
    int refusals_while_running = 0, games_ended = 0, pieces_laid = 0, operations = 0;
    for (; operations < planned && elapsed_since(start) < budget_ms; ++operations) {
        const int pick = static_cast<int>(random() % 100);
        if (pick < 60) {
            const int x = static_cast<int>(random() % 560);
            const int y = static_cast<int>(random() % 560);
            const bool was_over = game_state.game_over == 1;
            const bool free_cell = x < 480 && y < 480 && cell_at(x / 32, y / 32) == Empty;
            const std::uint8_t bottom = piece_queue.slots[4];
            SendMessageA(main_window, random() % 2 == 0 ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, 0, MAKELPARAM(x, y));
            if (!was_over && free_cell) {
                ASSERT_EQ(cell_at(x / 32, y / 32) & 0x0F, bottom) << "operation " << operations;
                laid_since_new_game = true;
                ++pieces_laid;
                char shown[64];
                std::snprintf(shown, sizeof shown, settings.language == LANGUAGE_FRENCH ? "Points : %d" : "Points: %d",
                              static_cast<int>(game_state.points));
                ASSERT_EQ(status_text(1), shown);
            } else if (!was_over) {
                ++refusals_while_running;
            }
        } else if (pick < 85) {
            const std::int32_t elapsed = game_state.elapsed_seconds;
            const bool was_over = game_state.game_over == 1;
            tick();
            ASSERT_EQ(game_state.elapsed_seconds, was_over ? elapsed : elapsed + 1);
        } else if (pick < 92) {
            SendMessageA(main_window, WM_COMMAND, CMD_NEW_GAME, 0);
            laid_since_new_game = false;
            ASSERT_EQ(game_state.points, 0);
            ASSERT_EQ(game_state.game_over, 0);
        } else if (pick < 97) {
            const std::int32_t language = settings.language;
            SendMessageA(main_window, WM_COMMAND, CMD_LANGUAGE, 0);
            ASSERT_NE(settings.language, language);
        } else if (game_state.game_over == 0) {
            // End the running game at the next tick; the timer script closes its boxes.
            settings.duration = game_state.elapsed_seconds + 1;
            const ScriptOutcome outcome = run_closing_all([] { tick(); }, "Soak");
            settings.duration = 0;
            ASSERT_FALSE(outcome.timed_out) << "operation " << operations << ": " << outcome.problems.front();
            ASSERT_GE(outcome.boxes_opened, 1);
            ASSERT_EQ(game_state.game_over, 1);
            ++games_ended;
        }
        for (std::uint8_t shape : piece_queue.slots) {
            ASSERT_GE(shape, 1) << "operation " << operations;
            ASSERT_LE(shape, 7) << "operation " << operations;
        }
        ASSERT_EQ(game_state.points, laid_since_new_game ? expected_points() : 0) << "operation " << operations;
        DWORD_PTR answer = 0;
        ASSERT_NE(SendMessageTimeoutA(main_window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer), 0)
            << "operation " << operations << ": the window does not answer; the thread's windows:\n"
            << thread_windows();
    }
    ASSERT_EQ(operations, planned) << "the time budget of " << budget_ms << " ms ran out; the thread's windows:\n"
                                   << thread_windows();
    EXPECT_EQ(seam_record.beeps + seam_record.resource_plays, refusals_while_running);
    EXPECT_GT(games_ended, 10);
    EXPECT_GT(pieces_laid, 500);
    std::printf("soak: %d operations, %d pieces, %d games ended, %d refusals in %lu ms\n", operations, pieces_laid,
                games_ended, refusals_while_running, static_cast<unsigned long>(elapsed_since(start)));
}
