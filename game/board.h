// The 15 by 15 board, the cell encoding, the piece shapes and their opening tests.
#ifndef ONDULOR_GAME_BOARD_H
#define ONDULOR_GAME_BOARD_H

#include <cstdint>

// Cells are stored column by column with a fixed stride of 15 bytes, whatever columns and rows hold.
inline constexpr std::int32_t ColumnStride = 15;
inline constexpr std::int32_t CellCount = 225;

struct Board {
    std::int32_t columns;
    std::int32_t rows;
    std::int32_t cell_size;
    std::uint8_t cells[CellCount];
};

extern Board board;

// The byte index of cell (column, row); the position must lie on the board.
constexpr std::int32_t cell_index(std::int32_t column, std::int32_t row)
{
    return column * ColumnStride + row;
}

inline std::uint8_t& cell_at(std::int32_t column, std::int32_t row)
{
    return board.cells[cell_index(column, row)];
}

// The low four bits of a cell hold its shape; Empty is also the whole byte of an empty cell.
enum ShapeCode : std::uint8_t { Empty, Horizontal, Vertical, ElbowWN, ElbowWS, ElbowEN, ElbowES, Cross, Source };

// A cell byte: the shape in bits 0-3, LitFlag, bits 5 and 6 always 0, VisitedFlag.
inline constexpr std::uint8_t ShapeMask = 0x0F;
inline constexpr std::uint8_t LitFlag = 0x10;
inline constexpr std::uint8_t VisitedFlag = 0x80;
// The cell without its visit mark: what clear_visited leaves, and what is drawn and counted.
inline constexpr std::uint8_t UnvisitedMask = static_cast<std::uint8_t>(~VisitedFlag);
// What the opening test sees of the cell being left (both flags ignored) and of the cell being entered
// (LitFlag ignored, VisitedFlag kept, so a cell visited in this pass matches no shape).
inline constexpr std::uint8_t LeavingMask = static_cast<std::uint8_t>(~(LitFlag | VisitedFlag));
inline constexpr std::uint8_t EnteringMask = static_cast<std::uint8_t>(~LitFlag);
inline constexpr std::int32_t SourceColumn = 7;

// The lighting test on entering a cell: the byte read as a signed 8-bit number is below 16, that is
// VisitedFlag set (only a source neighbour entered a second time) or LitFlag clear (bits 5 and 6 being 0).
constexpr bool lights_on_entry(std::uint8_t cell)
{
    return static_cast<std::int8_t>(cell) < LitFlag;
}

// One byte of answers per possible cell byte, so that an opening test is a single load.
// Bits 0-3: the opening as the cell being left (byte AND LeavingMask).
// Bits 4-7: the opening as the cell being entered (byte AND EnteringMask).
enum OpeningBit : std::uint8_t {
    LeavesWest = 0x01,
    LeavesNorth = 0x02,
    LeavesEast = 0x04,
    LeavesSouth = 0x08,
    EntersWest = 0x10,
    EntersNorth = 0x20,
    EntersEast = 0x40,
    EntersSouth = 0x80
};

struct OpeningTable {
    std::uint8_t bits[256];
};

// Openings (Leaves* bits) of a masked cell value; anything but codes 1 to 7 has none.
constexpr std::uint8_t shape_openings(std::uint32_t value)
{
    switch (value) {
    case Horizontal:
        return LeavesWest | LeavesEast;
    case Vertical:
        return LeavesNorth | LeavesSouth;
    case ElbowWN:
        return LeavesWest | LeavesNorth;
    case ElbowWS:
        return LeavesWest | LeavesSouth;
    case ElbowEN:
        return LeavesEast | LeavesNorth;
    case ElbowES:
        return LeavesEast | LeavesSouth;
    case Cross:
        return LeavesWest | LeavesNorth | LeavesEast | LeavesSouth;
    default:
        return 0;
    }
}

constexpr OpeningTable make_opening_table()
{
    OpeningTable table{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        table.bits[byte] =
            static_cast<std::uint8_t>(shape_openings(byte & LeavingMask) | (shape_openings(byte & EnteringMask) << 4));
    }
    return table;
}

inline constexpr OpeningTable opening_table = make_opening_table();

// Each test answers 1 when the cell at (column, row), which must lie on the board, has that opening.
// as_neighbour is false for the cell the water leaves and true for the cell it would enter.
inline std::int32_t opens_west(std::int32_t column, std::int32_t row, bool as_neighbour)
{
    return (opening_table.bits[cell_at(column, row)] & (as_neighbour ? EntersWest : LeavesWest)) != 0;
}

inline std::int32_t opens_east(std::int32_t column, std::int32_t row, bool as_neighbour)
{
    return (opening_table.bits[cell_at(column, row)] & (as_neighbour ? EntersEast : LeavesEast)) != 0;
}

inline std::int32_t opens_north(std::int32_t column, std::int32_t row, bool as_neighbour)
{
    return (opening_table.bits[cell_at(column, row)] & (as_neighbour ? EntersNorth : LeavesNorth)) != 0;
}

inline std::int32_t opens_south(std::int32_t column, std::int32_t row, bool as_neighbour)
{
    return (opening_table.bits[cell_at(column, row)] & (as_neighbour ? EntersSouth : LeavesSouth)) != 0;
}

// The first half of a new game: every cell empty, then the unlit source in the middle of the bottom row.
void reset_board();

#endif
