// Random games checked against a plain model of what a pass lights and a plain walker for its order.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "game/board.h"
#include "game/flow.h"
#include "game/game_state.h"

namespace {

using Position = std::pair<std::int32_t, std::int32_t>;

constexpr int West = 0;
constexpr int North = 1;
constexpr int East = 2;
constexpr int South = 3;
constexpr int step_x[4] = {-1, 0, 1, 0};
constexpr int step_y[4] = {0, -1, 0, 1};

int opposite(int side)
{
    return (side + 2) % 4;
}

bool on_board(int x, int y)
{
    return x >= 0 && x < 15 && y >= 0 && y < 15;
}

// The shapes' openings, written out as the board's picture of them; the source has none.
bool shape_opens(int shape, int side)
{
    static const bool openings[9][4] = {
        // west, north, east, south
        {false, false, false, false},  // empty
        {true, false, true, false},    // horizontal
        {false, true, false, true},    // vertical
        {true, true, false, false},    // elbow west-north
        {true, false, false, true},    // elbow west-south
        {false, true, true, false},    // elbow east-north
        {false, false, true, true},    // elbow east-south
        {true, true, true, true},      // cross
        {false, false, false, false},  // source
    };
    return openings[shape][side];
}

// A second copy of the game, kept apart from the real board: shapes, lit and visited per cell.
struct Copy {
    int shape[15][15];
    bool lit[15][15];
    bool visited[15][15];
};

// What a pass leaves lit, from its description: the source, its occupied west, north and east neighbours,
// whatever joins those through facing openings, and whatever was lit before.
void model_pass(Copy& copy)
{
    bool reached[15][15] = {};
    std::vector<Position> frontier;
    copy.lit[7][14] = true;
    for (int side : {West, North, East}) {
        const int x = 7 + step_x[side];
        const int y = 14 + step_y[side];
        if (copy.shape[x][y] != 0) {
            reached[x][y] = true;
            frontier.emplace_back(x, y);
        }
    }
    while (!frontier.empty()) {
        const Position cell = frontier.back();
        frontier.pop_back();
        for (int side = 0; side < 4; ++side) {
            const int x = cell.first + step_x[side];
            const int y = cell.second + step_y[side];
            if (on_board(x, y) && !reached[x][y] && shape_opens(copy.shape[cell.first][cell.second], side) &&
                shape_opens(copy.shape[x][y], opposite(side))) {
                reached[x][y] = true;
                frontier.emplace_back(x, y);
            }
        }
    }
    for (int x = 0; x < 15; ++x) {
        for (int y = 0; y < 15; ++y) {
            copy.lit[x][y] = copy.lit[x][y] || reached[x][y];
        }
    }
}

// The walk told plainly: enter, light if unlit or already visited, then try every side but the way back,
// in the order west, north, east, south.
void walk_into(Copy& copy, std::vector<Position>& reports, int x, int y, int heading)
{
    if (!copy.lit[x][y] || copy.visited[x][y]) {
        copy.lit[x][y] = true;
        reports.emplace_back(x, y);
    }
    copy.visited[x][y] = true;
    for (int side = 0; side < 4; ++side) {
        const int next_x = x + step_x[side];
        const int next_y = y + step_y[side];
        if (side == opposite(heading) || !on_board(next_x, next_y) || !shape_opens(copy.shape[x][y], side)) {
            continue;
        }
        if (copy.visited[next_x][next_y] || !shape_opens(copy.shape[next_x][next_y], opposite(side))) {
            continue;
        }
        walk_into(copy, reports, next_x, next_y, side);
    }
}

void reference_pass(Copy& copy, std::vector<Position>& reports)
{
    for (auto& column : copy.visited) {
        for (bool& visited : column) {
            visited = false;
        }
    }
    if (!copy.lit[7][14]) {
        copy.lit[7][14] = true;
        reports.emplace_back(7, 14);
    }
    copy.visited[7][14] = true;
    for (int side : {West, North, East}) {
        const int x = 7 + step_x[side];
        const int y = 14 + step_y[side];
        if (copy.shape[x][y] != 0) {
            walk_into(copy, reports, x, y, side);
        }
    }
}

std::vector<Position> real_reports;

void record_cell(std::int32_t column, std::int32_t row)
{
    real_reports.emplace_back(column, row);
}

bool has_repeat(const std::vector<Position>& reports)
{
    for (std::size_t i = 0; i < reports.size(); ++i) {
        for (std::size_t j = i + 1; j < reports.size(); ++j) {
            if (reports[i] == reports[j]) {
                return true;
            }
        }
    }
    return false;
}

struct Tally {
    std::int64_t passes = 0;
    std::int64_t passes_with_second_entry = 0;
    std::int32_t most_lit = 0;
};

// Empty cells the water could flow into next: beside the source, or faced by an opening of a lit piece.
// Each comes with the side, seen from the empty cell, that a piece laid there must open to join.
void open_ends(std::vector<Position>& cells, std::vector<int>& sides)
{
    for (int x = 0; x < 15; ++x) {
        for (int y = 0; y < 15; ++y) {
            if (board.cells[x * 15 + y] != 0) {
                continue;
            }
            for (int side = 0; side < 4; ++side) {
                const int nx = x + step_x[side];
                const int ny = y + step_y[side];
                if (!on_board(nx, ny)) {
                    continue;
                }
                const std::uint8_t neighbour = board.cells[nx * 15 + ny];
                if ((neighbour == Source && side != South) ||
                    ((neighbour & LitFlag) != 0 && shape_opens(neighbour & 0x0F, opposite(side)))) {
                    cells.emplace_back(x, y);
                    sides.push_back(side);
                    break;
                }
            }
        }
    }
}

// One game: pieces of random shapes on random empty cells. Each game mixes three ways of choosing the
// cell (anywhere, next to a piece, or where the water can go on, with a shape that joins) so that
// scattered pieces, long chains, loops and runs round the source all occur.
void play_random_game(std::uint32_t seed, Tally& tally)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    double weights[7];
    for (double& weight : weights) {
        weight = 0.05 + unit(random);
    }
    std::discrete_distribution<int> shape_draw(std::begin(weights), std::end(weights));
    const double grow_chance = unit(random);
    const double near_chance = unit(random);
    const int placements = std::uniform_int_distribution<int>(1, 224)(random);

    reset_board();
    Copy model = {};
    Copy reference = {};
    model.shape[7][14] = Source;
    reference.shape[7][14] = Source;

    for (int placement = 0; placement < placements; ++placement) {
        SCOPED_TRACE(testing::Message() << "game seed " << seed << ", placement " << placement);
        std::vector<Position> empty_cells;
        std::vector<Position> near_cells;
        for (int x = 0; x < 15; ++x) {
            for (int y = 0; y < 15; ++y) {
                if (board.cells[x * 15 + y] != 0) {
                    continue;
                }
                empty_cells.emplace_back(x, y);
                for (int side = 0; side < 4; ++side) {
                    const int nx = x + step_x[side];
                    const int ny = y + step_y[side];
                    if (on_board(nx, ny) && board.cells[nx * 15 + ny] != 0) {
                        near_cells.emplace_back(x, y);
                        break;
                    }
                }
            }
        }
        std::vector<Position> end_cells;
        std::vector<int> end_sides;
        open_ends(end_cells, end_sides);

        Position cell;
        int shape = shape_draw(random) + 1;
        const double way = unit(random);
        if (!end_cells.empty() && way < grow_chance) {
            const std::size_t pick = std::uniform_int_distribution<std::size_t>(0, end_cells.size() - 1)(random);
            cell = end_cells[pick];
            while (!shape_opens(shape, end_sides[pick])) {
                shape = shape_draw(random) + 1;
            }
        } else {
            const std::vector<Position>& choices =
                !near_cells.empty() && unit(random) < near_chance ? near_cells : empty_cells;
            cell = choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random)];
        }

        board.cells[cell.first * 15 + cell.second] = static_cast<std::uint8_t>(shape);
        model.shape[cell.first][cell.second] = shape;
        reference.shape[cell.first][cell.second] = shape;

        real_reports.clear();
        compute_flow(record_cell);
        const std::int32_t points = compute_points();
        model_pass(model);
        std::vector<Position> expected_reports;
        reference_pass(reference, expected_reports);

        ASSERT_EQ(real_reports, expected_reports);
        std::int32_t lit = 0;
        std::int32_t unlit = 0;
        for (int x = 0; x < 15; ++x) {
            for (int y = 0; y < 15; ++y) {
                const std::uint8_t byte = board.cells[x * 15 + y];
                const bool real_lit = (byte & LitFlag) != 0;
                ASSERT_EQ(byte & 0x0F, model.shape[x][y]) << "cell (" << x << ", " << y << ")";
                ASSERT_EQ(real_lit, model.lit[x][y]) << "cell (" << x << ", " << y << ")";
                ASSERT_EQ(reference.lit[x][y], model.lit[x][y]) << "cell (" << x << ", " << y << ")";
                ASSERT_EQ((byte & VisitedFlag) != 0, reference.visited[x][y]) << "cell (" << x << ", " << y << ")";
                ASSERT_EQ(byte & 0x60, 0) << "cell (" << x << ", " << y << ")";
                if (model.shape[x][y] != 0) {
                    (model.lit[x][y] ? lit : unlit) += 1;
                }
            }
        }
        ASSERT_EQ(points, lit - unlit);
        ASSERT_EQ(game_state.points, points);

        ++tally.passes;
        tally.passes_with_second_entry += has_repeat(real_reports) ? 1 : 0;
        tally.most_lit = std::max(tally.most_lit, lit);
    }
}

TEST(FlowProperty, RandomGamesMatchTheModelAndThePlainWalker)
{
    Tally tally;
    for (std::uint32_t game = 0; game < 1500; ++game) {
        play_random_game(20240000u + game, tally);
        if (HasFatalFailure()) {
            return;
        }
    }
    // The games must reach the cases that matter, or the comparison proves little.
    EXPECT_GT(tally.passes, 100000);
    EXPECT_GT(tally.passes_with_second_entry, 100);
    EXPECT_GT(tally.most_lit, 150);
    std::printf("%lld passes, %lld with a second entry, at most %d lit\n", static_cast<long long>(tally.passes),
                static_cast<long long>(tally.passes_with_second_entry), tally.most_lit);
}

}  // namespace
