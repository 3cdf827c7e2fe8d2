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

// Byte offsets of the four neighbours in the column-major cells.
constexpr std::int32_t WestStep = -15;
constexpr std::int32_t NorthStep = -1;
constexpr std::int32_t EastStep = 15;
constexpr std::int32_t SouthStep = 1;

// The sides of each cell that lie on the board (Leaves* bits), worked out from the bounds and kept
// until the bounds change: the walk then needs no coordinates, only the byte index.
std::uint8_t board_sides[225];
std::int32_t sides_columns = -1;
std::int32_t sides_rows = -1;

void refresh_board_sides()
{
    const std::int32_t columns = board.columns;
    const std::int32_t rows = board.rows;
    if (columns == sides_columns && rows == sides_rows) {
        return;
    }
    for (std::int32_t column = 0; column < columns; ++column) {
        for (std::int32_t row = 0; row < rows; ++row) {
            std::uint32_t sides = 0;
            sides |= column != 0 ? LeavesWest : 0;
            sides |= row != 0 ? LeavesNorth : 0;
            sides |= column < columns - 1 ? LeavesEast : 0;
            sides |= row < rows - 1 ? LeavesSouth : 0;
            board_sides[column * 15 + row] = static_cast<std::uint8_t>(sides);
        }
    }
    sides_columns = columns;
    sides_rows = rows;
}

// Water entering the cell at byte index from the side back_side (a Leaves* bit).
//
// Every walker tries the sides in the order west, north, east, south, leaving out the one it came in by,
// so the four of them share this body. A side is tried when it lies on the board, the cell being left
// opens there and the neighbour, read at that moment, is not visited and opens back. The first two
// conditions cannot change while the walk goes on (the cell is already lit and visited, and nothing enters
// it again), so they are taken once; the neighbour's is read just before its turn, after the earlier
// sides have run to their end.
void spread(std::int32_t index, std::uint32_t back_side)
{
    std::uint8_t& cell = board.cells[index];
    // A cell not yet lit, or one visited in this pass (only a source neighbour entered twice), is reported.
    if (static_cast<std::int8_t>(cell) < 16) {
        cell = static_cast<std::uint8_t>(cell | LitFlag);
        lit_observer(index / 15, index % 15);
    }
    cell = static_cast<std::uint8_t>(cell | VisitedFlag);

    // Sides by increasing bit, which is the order west, north, east, south.
    static constexpr std::int32_t steps[8] = {0, WestStep, NorthStep, 0, EastStep, 0, 0, 0};
    std::uint32_t sides = opening_table.bits[cell] & board_sides[index] & ~back_side;
    while (sides != 0) {
        const std::uint32_t side = sides & (0u - sides);
        sides ^= side;
        const std::int32_t next = index + (side == LeavesSouth ? SouthStep : steps[side]);
        // The neighbour must open back towards this cell: its Enters bit is this side's opposite.
        const std::uint32_t back = side <= LeavesNorth ? side << 2 : side >> 2;
        if ((opening_table.bits[board.cells[next]] & (back << 4)) != 0) {
            if (sides == 0) {
                // The cell's last side: nothing is left to do here, so the call can reuse this frame.
                spread(next, back);
                return;
            }
            spread(next, back);
        }
    }
}

} // namespace

// The bounds are copied first: a byte store may alias them, which would force a reload every cell.
void clear_visited()
{
    const std::int32_t columns = board.columns;
    const std::int32_t rows = board.rows;
    for (std::int32_t column = 0; column < columns; ++column) {
        for (std::int32_t row = 0; row < rows; ++row) {
            std::uint8_t& cell = board.cells[column * 15 + row];
            cell = static_cast<std::uint8_t>(cell & 0x7F);
        }
    }
}

// Each walker checks its own edge, then hands the cell it steps into to the shared body.
std::int32_t flow_west(std::int32_t column, std::int32_t row)
{
    if (column <= 0) {
        return 0;
    }
    refresh_board_sides();
    spread((column - 1) * 15 + row, LeavesEast);
    return 1;
}

std::int32_t flow_north(std::int32_t column, std::int32_t row)
{
    if (row <= 0) {
        return 0;
    }
    refresh_board_sides();
    spread(column * 15 + row - 1, LeavesSouth);
    return 1;
}

std::int32_t flow_east(std::int32_t column, std::int32_t row)
{
    if (column >= board.columns - 1) {
        return 0;
    }
    refresh_board_sides();
    spread((column + 1) * 15 + row, LeavesWest);
    return 1;
}

std::int32_t flow_south(std::int32_t column, std::int32_t row)
{
    if (row >= board.rows - 1) {
        return 0;
    }
    refresh_board_sides();
    spread(column * 15 + row + 1, LeavesNorth);
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
    const std::int32_t columns = board.columns;
    const std::int32_t rows = board.rows;
    std::int32_t points = 0;
    for (std::int32_t column = 0; column < columns; ++column) {
        for (std::int32_t row = 0; row < rows; ++row) {
            const std::int32_t value = board.cells[column * 15 + row] & 0x7F;
            if (value != 0) {
                points += value < 16 ? -1 : 1;
            }
        }
    }
    game_state.points = points;
    return points;
}
