// The water's walk from the source through facing openings, and the points it leaves.
#include "game/flow.h"

#include "game/board.h"
#include "game/game_state.h"

namespace {

void ignore_cell(std::int32_t, std::int32_t) {}

// The observer of the pass under way; the walkers take only a position.
void (*lit_observer)(std::int32_t column, std::int32_t row) = ignore_cell;

// The sides of each cell that lie on the board (Leaves* bits), worked out from the bounds and kept
// until the bounds change: the walk then needs no coordinates, only the byte index.
std::uint8_t board_sides[CellCount];
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
            board_sides[cell_index(column, row)] = static_cast<std::uint8_t>(sides);
        }
    }
    sides_columns = columns;
    sides_rows = rows;
}

// How far the byte index moves to the neighbour on each side, indexed by the side's Leaves* bit (the
// other entries are never read).
constexpr std::int32_t index_steps[LeavesSouth + 1] = {0, -ColumnStride, -1, 0, ColumnStride, 0, 0, 0, 1};

// The first side of a set in the walk's order: the Leaves* bits rise west, north, east, south.
inline std::uint32_t lowest_side(std::uint32_t sides)
{
    return sides & (0u - sides);
}

inline std::int32_t index_step(std::uint32_t side)
{
    return index_steps[side];
}

// The neighbour's side that faces back across the edge: west and east are two bits apart, and so are
// north and south.
inline std::uint32_t opposite_side(std::uint32_t side)
{
    return side <= LeavesNorth ? side << 2 : side >> 2;
}

// The Enters* bit of the opening table that answers for a side.
inline std::uint32_t entering(std::uint32_t side)
{
    return side << 4;
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
    if (lights_on_entry(cell)) {
        cell = static_cast<std::uint8_t>(cell | LitFlag);
        lit_observer(index / ColumnStride, index % ColumnStride);
    }
    cell = static_cast<std::uint8_t>(cell | VisitedFlag);

    std::uint32_t sides = opening_table.bits[cell] & board_sides[index] & ~back_side;
    while (sides != 0) {
        const std::uint32_t side = lowest_side(sides);
        sides ^= side;
        const std::int32_t next = index + index_step(side);
        const std::uint32_t back = opposite_side(side);
        if ((opening_table.bits[board.cells[next]] & entering(back)) != 0) {
            if (sides == 0) {
                // The cell's last side: nothing is left to do here, so the call can reuse this frame.
                spread(next, back);
                return;
            }
            spread(next, back);
        }
    }
}

}  // namespace

// The bounds are copied first: a byte store may alias them, which would force a reload every cell.
void clear_visited()
{
    const std::int32_t columns = board.columns;
    const std::int32_t rows = board.rows;
    for (std::int32_t column = 0; column < columns; ++column) {
        for (std::int32_t row = 0; row < rows; ++row) {
            std::uint8_t& cell = cell_at(column, row);
            cell = static_cast<std::uint8_t>(cell & UnvisitedMask);
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
    spread(cell_index(column - 1, row), LeavesEast);
    return 1;
}

std::int32_t flow_north(std::int32_t column, std::int32_t row)
{
    if (row <= 0) {
        return 0;
    }
    refresh_board_sides();
    spread(cell_index(column, row - 1), LeavesSouth);
    return 1;
}

std::int32_t flow_east(std::int32_t column, std::int32_t row)
{
    if (column >= board.columns - 1) {
        return 0;
    }
    refresh_board_sides();
    spread(cell_index(column + 1, row), LeavesWest);
    return 1;
}

std::int32_t flow_south(std::int32_t column, std::int32_t row)
{
    if (row >= board.rows - 1) {
        return 0;
    }
    refresh_board_sides();
    spread(cell_index(column, row + 1), LeavesNorth);
    return 1;
}

void compute_flow(void (*on_cell_lit)(std::int32_t column, std::int32_t row))
{
    lit_observer = on_cell_lit != nullptr ? on_cell_lit : ignore_cell;
    const std::int32_t column = SourceColumn;
    const std::int32_t row = board.rows - 1;
    clear_visited();
    std::uint8_t& source = cell_at(column, row);
    if (lights_on_entry(source)) {
        source = static_cast<std::uint8_t>(source | LitFlag);
        lit_observer(column, row);
    }
    source = static_cast<std::uint8_t>(source | VisitedFlag);

    // The source's first steps ask only that the neighbour be occupied, whatever its shape or visit.
    if (cell_at(column - 1, row) != Empty) {
        flow_west(column, row);
    }
    if (cell_at(column, row - 1) != Empty) {
        flow_north(column, row);
    }
    if (cell_at(column + 1, row) != Empty) {
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
            const std::int32_t value = cell_at(column, row) & UnvisitedMask;
            if (value != Empty) {
                // Bits 5 and 6 are always 0, so below LitFlag is an unlit piece.
                points += value < LitFlag ? -1 : 1;
            }
        }
    }
    game_state.points = points;
    return points;
}
