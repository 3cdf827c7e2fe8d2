// Tests of the board record, its reset and the opening tests in both roles.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

#include "game/board.h"

namespace {

void set_cell(std::int32_t column, std::int32_t row, std::uint8_t value)
{
    board.cells[column * 15 + row] = value;
}

bool code_in(std::int32_t code, std::initializer_list<std::int32_t> codes)
{
    for (std::int32_t listed : codes) {
        if (listed == code) {
            return true;
        }
    }
    return false;
}

TEST(Board, HoldsFifteenByFifteenCellsOfThirtyTwoPixels)
{
    EXPECT_EQ(board.columns, 15);
    EXPECT_EQ(board.rows, 15);
    EXPECT_EQ(board.cell_size, 32);
    EXPECT_EQ(sizeof(board.cells), 225u);
}

TEST(Board, ResetLeavesOnlyTheUnlitSourceInTheMiddleOfTheBottomRow)
{
    for (std::int32_t i = 0; i < 225; ++i) {
        board.cells[i] = static_cast<std::uint8_t>(0x90 | (i % 8));
    }
    reset_board();
    std::int32_t zero_cells = 0;
    for (std::int32_t i = 0; i < 225; ++i) {
        zero_cells += board.cells[i] == 0;
    }
    EXPECT_EQ(zero_cells, 224);
    EXPECT_EQ(board.cells[7 * 15 + 14], Source);
    EXPECT_EQ(SourceColumn, 7);
}

// The four tests over every code with every combination of the two flags, in both roles.
TEST(Board, OpeningTestsFollowTheShapeTableInBothRoles)
{
    const std::initializer_list<std::int32_t> west = {1, 3, 4, 7};
    const std::initializer_list<std::int32_t> east = {1, 5, 6, 7};
    const std::initializer_list<std::int32_t> north = {2, 3, 5, 7};
    const std::initializer_list<std::int32_t> south = {2, 4, 6, 7};
    reset_board();
    for (std::int32_t code = 0; code <= 8; ++code) {
        for (std::int32_t flags : {0x00, 0x10, 0x80, 0x90}) {
            SCOPED_TRACE(testing::Message() << "code " << code << " flags " << flags);
            set_cell(3, 4, static_cast<std::uint8_t>(code | flags));
            EXPECT_EQ(opens_west(3, 4, false), code_in(code, west) ? 1 : 0);
            EXPECT_EQ(opens_east(3, 4, false), code_in(code, east) ? 1 : 0);
            EXPECT_EQ(opens_north(3, 4, false), code_in(code, north) ? 1 : 0);
            EXPECT_EQ(opens_south(3, 4, false), code_in(code, south) ? 1 : 0);
            const bool visited = (flags & VisitedFlag) != 0;
            EXPECT_EQ(opens_west(3, 4, true), !visited && code_in(code, west) ? 1 : 0);
            EXPECT_EQ(opens_east(3, 4, true), !visited && code_in(code, east) ? 1 : 0);
            EXPECT_EQ(opens_north(3, 4, true), !visited && code_in(code, north) ? 1 : 0);
            EXPECT_EQ(opens_south(3, 4, true), !visited && code_in(code, south) ? 1 : 0);
        }
    }
}

TEST(Board, LitHorizontalAnswersBySideAndVisitedOneOnlyAsTheCellBeingLeft)
{
    reset_board();
    set_cell(0, 0, 17);
    EXPECT_EQ(opens_west(0, 0, true), 1);
    EXPECT_EQ(opens_east(0, 0, true), 1);
    EXPECT_EQ(opens_north(0, 0, true), 0);
    EXPECT_EQ(opens_south(0, 0, true), 0);

    set_cell(14, 14, 145);
    EXPECT_EQ(opens_west(14, 14, true), 0);
    EXPECT_EQ(opens_east(14, 14, true), 0);
    EXPECT_EQ(opens_west(14, 14, false), 1);
    EXPECT_EQ(opens_east(14, 14, false), 1);
    EXPECT_EQ(opens_north(14, 14, false), 0);
}

// The tests read exactly the cell asked about: the stride is 15 bytes per column.
TEST(Board, OpeningTestsReadTheCellAtColumnTimesFifteenPlusRow)
{
    reset_board();
    set_cell(2, 9, Cross);
    EXPECT_EQ(opens_north(2, 9, false), 1);
    EXPECT_EQ(opens_north(9, 2, false), 0);
    EXPECT_EQ(opens_north(2, 8, false), 0);
    EXPECT_EQ(opens_north(2, 10, false), 0);
    EXPECT_EQ(opens_north(1, 9, false), 0);
    // The accessor agrees with the storage: column by column, 15 bytes a column.
    EXPECT_EQ(cell_index(2, 9), 39);
    EXPECT_EQ(cell_index(14, 14), 224);
    EXPECT_EQ(&cell_at(0, 0), &board.cells[0]);
    EXPECT_EQ(&cell_at(7, 14), &board.cells[119]);
    EXPECT_EQ(&cell_at(1, 0), &board.cells[15]);
}

// The masks the flow, the points and the drawing read, and the lighting test on every byte that occurs.
TEST(Board, CellMasksAndLightingTestMeanWhatTheEncodingSays)
{
    EXPECT_EQ(ShapeMask, 0x0F);
    EXPECT_EQ(LitFlag, 0x10);
    EXPECT_EQ(VisitedFlag, 0x80);
    EXPECT_EQ(UnvisitedMask, 0x7F);
    EXPECT_EQ(LeavingMask, 0x6F);
    EXPECT_EQ(EnteringMask, 0xEF);
    for (std::int32_t code = 1; code <= 8; ++code) {
        SCOPED_TRACE(testing::Message() << "code " << code);
        EXPECT_TRUE(lights_on_entry(static_cast<std::uint8_t>(code)));          // unlit
        EXPECT_FALSE(lights_on_entry(static_cast<std::uint8_t>(code | 0x10)));  // lit by an earlier pass
        EXPECT_TRUE(lights_on_entry(static_cast<std::uint8_t>(code | 0x90)));   // visited in this pass
    }
}

}  // namespace
