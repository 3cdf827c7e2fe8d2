// The 15 by 15 board, the cell encoding, the piece shapes and their opening tests.
#ifndef ONDULOR_GAME_BOARD_H
#define ONDULOR_GAME_BOARD_H

#include <cstdint>

// Cells are stored column by column with a fixed stride of 15: cell (c, r) is cells[c * 15 + r].
struct Board {
    std::int32_t columns;
    std::int32_t rows;
    std::int32_t cell_size;
    std::uint8_t cells[225];
};

extern Board board;

// The low four bits of a cell hold its shape; Empty is also the whole byte of an empty cell.
enum ShapeCode : std::uint8_t {
    Empty,
    Horizontal,
    Vertical,
    ElbowWN,
    ElbowWS,
    ElbowEN,
    ElbowES,
    Cross,
    Source
};

inline constexpr std::uint8_t LitFlag = 0x10;
inline constexpr std::uint8_t VisitedFlag = 0x80;
inline constexpr std::int32_t SourceColumn = 7;

// One byte of answers per possible cell byte, so that an opening test is a single load.
// Bits 0-3: the opening as the cell being left (byte AND 0x6F, flags ignored).
// Bits 4-7: the opening as the cell being entered (byte AND 0xEF, so a visited cell matches no shape).
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

// Openings (west 1, north 2, east 4, south 8) of a masked cell value; anything but codes 1 to 7 has none.
constexpr std::uint8_t shape_openings(std::uint32_t value)
{
    switch (value) {
    case Horizontal: return 0x1 | 0x4;
    case Vertical: return 0x2 | 0x8;
    case ElbowWN: return 0x1 | 0x2;
    case ElbowWS: return 0x1 | 0x8;
    case ElbowEN: return 0x4 | 0x2;
    case ElbowES: return 0x4 | 0x8;
    case Cross: return 0x1 | 0x2 | 0x4 | 0x8;
    default: return 0;
    }
}

constexpr OpeningTable make_opening_table()
{
    OpeningTable table{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        table.bits[byte] = static_cast<std::uint8_t>(shape_openings(byte & 0x6F) |
                                                     (shape_openings(byte & 0xEF) << 4));
    }
    return table;
}

inline constexpr OpeningTable opening_table = make_opening_table();

// Each test answers 1 when the cell at (column, row), which must lie on the board, has that opening.
// as_neighbour is false for the cell the water leaves and true for the cell it would enter.
inline std::int32_t opens_west(std::int32_t column, std::int32_t row, bool as_neighbour)
{
    return (opening_table.bits[board.cells[column * 15 + row]] & (as_neighbour ? EntersWest : LeavesWest)) != 0;
}

inline std::int32_t opens_east(std::int32_t column, std::int32_t row, bool as_neighbour)
{
    return (opening_table.bits[board.cells[column * 15 + row]] & (as_neighbour ? EntersEast : LeavesEast)) != 0;
}

inline std::int32_t opens_north(std::int32_t column, std::int32_t row, bool as_neighbour)
{
    return (opening_table.bits[board.cells[column * 15 + row]] & (as_neighbour ? EntersNorth : LeavesNorth)) != 0;
}

inline std::int32_t opens_south(std::int32_t column, std::int32_t row, bool as_neighbour)
{
    return (opening_table.bits[board.cells[column * 15 + row]] & (as_neighbour ? EntersSouth : LeavesSouth)) != 0;
}

// The first half of a new game: every cell empty, then the unlit source in the middle of the bottom row.
void reset_board();

#endif
