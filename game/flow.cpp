// The water's walk from the source through facing openings, and the points it leaves.
#include "game/flow.h"

#include "game/board.h"
#include "game/game_state.h"

namespace {

void ignore_cell(std::int32_t, std::int32_t)
{
}

// The observer of the pass under way; the walkers take only a position.
void (*lit_observer)(std::int32_t column, std::int32_t row) = ignore_cell;

// A cell not yet lit, or one visited in this pass (only a source neighbour entered twice), is reported.
void enter_cell(std::int32_t column, std::int32_t row)
{
    std::uint8_t& cell = board.cells[column * 15 + row];
    if (static_cast<std::int8_t>(cell) < 16) {
        cell = static_cast<std::uint8_t>(cell | LitFlag);
        lit_observer(column, row);
    }
    cell = static_cast<std::uint8_t>(cell | VisitedFlag);
}

// Each side: edge first, then the cell being left, then the cell being entered, stopping at the first no.
void try_west(std::int32_t x, std::int32_t y)
{
    if (x != 0 && opens_west(x, y, false) && opens_east(x - 1, y, true)) {
        flow_west(x, y);
    }
}

void try_north(std::int32_t x, std::int32_t y)
{
    if (y != 0 && opens_north(x, y, false) && opens_south(x, y - 1, true)) {
        flow_north(x, y);
    }
}

void try_east(std::int32_t x, std::int32_t y)
{
    if (x < board.columns - 1 && opens_east(x, y, false) && opens_west(x + 1, y, true)) {
        flow_east(x, y);
    }
}

void try_south(std::int32_t x, std::int32_t y)
{
    if (y < board.rows - 1 && opens_south(x, y, false) && opens_north(x, y + 1, true)) {
        flow_south(x, y);
    }
}

} // namespace

void clear_visited()
{
    for (std::int32_t column = 0; column < board.columns; ++column) {
        for (std::int32_t row = 0; row < board.rows; ++row) {
            std::uint8_t& cell = board.cells[column * 15 + row];
            cell = static_cast<std::uint8_t>(cell & 0x7F);
        }
    }
}

// No walker tries the side it came in by.
std::int32_t flow_west(std::int32_t column, std::int32_t row)
{
    if (column <= 0) {
        return 0;
    }
    const std::int32_t x = column - 1;
    enter_cell(x, row);
    try_west(x, row);
    try_north(x, row);
    try_south(x, row);
    return 1;
}

std::int32_t flow_north(std::int32_t column, std::int32_t row)
{
    if (row <= 0) {
        return 0;
    }
    const std::int32_t y = row - 1;
    enter_cell(column, y);
    try_west(column, y);
    try_north(column, y);
    try_east(column, y);
    return 1;
}

std::int32_t flow_east(std::int32_t column, std::int32_t row)
{
    if (column >= board.columns - 1) {
        return 0;
    }
    const std::int32_t x = column + 1;
    enter_cell(x, row);
    try_north(x, row);
    try_east(x, row);
    try_south(x, row);
    return 1;
}

std::int32_t flow_south(std::int32_t column, std::int32_t row)
{
    if (row >= board.rows - 1) {
        return 0;
    }
    const std::int32_t y = row + 1;
    enter_cell(column, y);
    try_west(column, y);
    try_east(column, y);
    try_south(column, y);
    return 1;
}

void compute_flow(void (*on_cell_lit)(std::int32_t column, std::int32_t row))
{
    lit_observer = on_cell_lit != nullptr ? on_cell_lit : ignore_cell;
    const std::int32_t column = SourceColumn;
    const std::int32_t row = board.rows - 1;
    clear_visited();
    std::uint8_t& source = board.cells[column * 15 + row];
    if (static_cast<std::int8_t>(source) < 16) {
        source = static_cast<std::uint8_t>(source | LitFlag);
        lit_observer(column, row);
    }
    source = static_cast<std::uint8_t>(source | VisitedFlag);

    // The source's first steps ask only that the neighbour be occupied, whatever its shape or visit.
    if (board.cells[(column - 1) * 15 + row] != 0) {
        flow_west(column, row);
    }
    if (board.cells[column * 15 + row - 1] != 0) {
        flow_north(column, row);
    }
    if (board.cells[(column + 1) * 15 + row] != 0) {
        flow_east(column, row);
    }
}

std::int32_t compute_points()
{
    std::int32_t points = 0;
    for (std::int32_t column = 0; column < board.columns; ++column) {
        for (std::int32_t row = 0; row < board.rows; ++row) {
            const std::int32_t value = board.cells[column * 15 + row] & 0x7F;
            if (value != 0) {
                points += value < 16 ? -1 : 1;
            }
        }
    }
    game_state.points = points;
    return points;
}
