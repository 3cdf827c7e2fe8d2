// Cost of one placement's flow pass and point count on an empty, a crowded and a deepest-walk board.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "game/board.h"
#include "game/flow.h"

namespace {

void ignore_cell(std::int32_t, std::int32_t) {}

void place(std::int32_t column, std::int32_t row, std::uint8_t shape)
{
    cell_at(column, row) = shape;
}

// A shape from its openings: west 1, north 2, east 4, south 8.
std::uint8_t shape_for(std::int32_t openings)
{
    switch (openings) {
    case 1 | 4:
        return Horizontal;
    case 2 | 8:
        return Vertical;
    case 1 | 2:
        return ElbowWN;
    case 1 | 8:
        return ElbowWS;
    case 4 | 2:
        return ElbowEN;
    case 4 | 8:
        return ElbowES;
    default:
        return Cross;
    }
}

std::int32_t side_towards(std::int32_t from_column, std::int32_t from_row, std::int32_t to_column, std::int32_t to_row)
{
    if (to_column < from_column) {
        return 1;
    }
    if (to_row < from_row) {
        return 2;
    }
    return to_column > from_column ? 4 : 8;
}

// One chain from the source's west neighbour through 223 cells, ending at (0, 0). A single chain of all
// 224 is impossible: with the source gone the board has 113 cells of one colour of the chequerboard
// against 111 of the other. The 224th piece, (14, 14), hangs off a Cross at (14, 13).
void build_serpentine()
{
    std::int32_t path[225][2];
    std::int32_t length = 0;
    auto add = [&](std::int32_t column, std::int32_t row) {
        path[length][0] = column;
        path[length][1] = row;
        ++length;
    };
    for (std::int32_t column = 6; column >= 0; --column) {
        add(column, 14);
    }
    for (std::int32_t column = 0; column <= 7; ++column) {
        add(column, 13);
    }
    for (std::int32_t column = 8; column <= 13; ++column) {
        const bool downward = (column - 8) % 2 == 0;
        add(column, downward ? 13 : 14);
        add(column, downward ? 14 : 13);
    }
    add(14, 13);
    for (std::int32_t row = 12; row >= 0; --row) {
        const bool westward = (12 - row) % 2 == 0;
        for (std::int32_t step = 0; step < 15; ++step) {
            add(westward ? 14 - step : step, row);
        }
    }

    reset_board();
    for (std::int32_t i = 0; i < length; ++i) {
        const std::int32_t column = path[i][0];
        const std::int32_t row = path[i][1];
        const std::int32_t before = i == 0 ? side_towards(column, row, SourceColumn, 14)
                                           : side_towards(column, row, path[i - 1][0], path[i - 1][1]);
        const std::int32_t after = i + 1 == length ? 1 : side_towards(column, row, path[i + 1][0], path[i + 1][1]);
        place(column, row, shape_for(before | after));
    }
    place(14, 13, Cross);
    place(14, 14, Vertical);
}

// One placement's work, on a board already walked once, as every pass but a game's first finds it.
void run_passes(benchmark::State& state, std::int32_t expected_points)
{
    compute_flow(ignore_cell);
    if (compute_points() != expected_points) {
        state.SkipWithError("the board is not lit as expected");
        return;
    }
    for (auto _ : state) {
        compute_flow(ignore_cell);
        benchmark::DoNotOptimize(compute_points());
        benchmark::ClobberMemory();
    }
}

void source_only(benchmark::State& state)
{
    reset_board();
    run_passes(state, 1);
}

void full_of_crosses(benchmark::State& state)
{
    reset_board();
    for (std::int32_t i = 0; i < 225; ++i) {
        if (board.cells[i] == 0) {
            board.cells[i] = Cross;
        }
    }
    run_passes(state, 225);
}

void serpentine(benchmark::State& state)
{
    build_serpentine();
    run_passes(state, 225);
}

BENCHMARK(source_only);
BENCHMARK(full_of_crosses);
BENCHMARK(serpentine);

}  // namespace
