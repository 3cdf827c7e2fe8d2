// Tests of the water's walk, the order of its reports and the points, on hand-made boards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include "game/board.h"
#include "game/flow.h"
#include "game/game_state.h"

namespace {

using Position = std::pair<std::int32_t, std::int32_t>;
using Reports = std::vector<Position>;

Reports reports;

void record_cell(std::int32_t column, std::int32_t row)
{
    reports.emplace_back(column, row);
}

void place(std::int32_t column, std::int32_t row, ShapeCode shape)
{
    cell_at(column, row) = shape;
}

std::uint8_t cell(std::int32_t column, std::int32_t row)
{
    return cell_at(column, row);
}

bool lit(std::int32_t column, std::int32_t row)
{
    return (cell(column, row) & LitFlag) != 0;
}

Reports pass()
{
    reports.clear();
    compute_flow(record_cell);
    return reports;
}

// One placement as the game makes it: lay, walk, count.
std::int32_t play(std::int32_t column, std::int32_t row, ShapeCode shape)
{
    place(column, row, shape);
    pass();
    return compute_points();
}

class Flow : public testing::Test {
protected:
    void SetUp() override
    {
        reset_board();
        reports.clear();
        game_state.points = 12345;
    }
};

TEST_F(Flow, FirstPlacementFarAwayLightsOnlyTheSourceForZeroPoints)
{
    EXPECT_EQ(play(0, 0, Cross), 0);
    EXPECT_EQ(reports, (Reports{{7, 14}}));
    EXPECT_EQ(cell(7, 14), Source | LitFlag | VisitedFlag);
    EXPECT_EQ(cell(0, 0), Cross);
    EXPECT_EQ(game_state.points, 0);
}

TEST_F(Flow, SourceStaysUnlitUntilTheFirstPass)
{
    EXPECT_EQ(cell(7, 14), Source);
    EXPECT_EQ(compute_points(), -1);
}

TEST_F(Flow, HorizontalThenElbowsBesideTheSourceGiveTwoOneAndThree)
{
    EXPECT_EQ(play(6, 14, Horizontal), 2);
    EXPECT_EQ(reports, (Reports{{7, 14}, {6, 14}}));

    EXPECT_EQ(play(5, 14, ElbowWN), 1);
    EXPECT_FALSE(lit(5, 14));
    EXPECT_EQ(reports, Reports{});

    reset_board();
    play(6, 14, Horizontal);
    EXPECT_EQ(play(5, 14, ElbowES), 3);
    EXPECT_EQ(reports, (Reports{{5, 14}}));
}

TEST_F(Flow, NeighboursOfTheSourceAreLitWhateverTheirShape)
{
    play(6, 14, Vertical);
    play(7, 13, Horizontal);
    play(8, 14, ElbowWN);
    EXPECT_TRUE(lit(6, 14));
    EXPECT_TRUE(lit(7, 13));
    EXPECT_TRUE(lit(8, 14));
    EXPECT_EQ(compute_points(), 4);
}

TEST_F(Flow, WestNeighbourLeadsOnOnlyThroughItsOwnOpenings)
{
    place(6, 14, Vertical);
    place(6, 13, Horizontal);
    EXPECT_EQ(play(5, 14, Horizontal), 0) << "source and Vertical lit, the other two not";
    EXPECT_FALSE(lit(6, 13));
    EXPECT_FALSE(lit(5, 14));

    reset_board();
    place(6, 14, Vertical);
    EXPECT_EQ(play(6, 13, ElbowES), 3);
    EXPECT_EQ(reports, (Reports{{7, 14}, {6, 14}, {6, 13}}));
}

TEST_F(Flow, PiecesConnectOnlyWhenBothFacingSidesOpen)
{
    place(6, 14, Horizontal);
    place(5, 14, Vertical);
    place(6, 13, Horizontal);
    place(6, 12, Horizontal);
    EXPECT_EQ(play(5, 13, Cross), -2);
    EXPECT_EQ(reports, (Reports{{7, 14}, {6, 14}}));
}

TEST_F(Flow, ClosedLoopIsWalkedOnceAround)
{
    place(7, 13, ElbowEN);
    place(7, 12, ElbowES);
    place(8, 12, ElbowWS);
    EXPECT_EQ(play(8, 13, ElbowWN), 5);
    EXPECT_EQ(reports, (Reports{{7, 14}, {7, 13}, {7, 12}, {8, 12}, {8, 13}}));
    EXPECT_EQ(pass(), Reports{});
}

TEST_F(Flow, ChainFromTheWestNeighbourMakesTheNorthStepReportItsCellTwice)
{
    place(6, 14, ElbowEN);
    place(6, 13, ElbowES);
    place(8, 13, Horizontal);
    EXPECT_EQ(play(7, 13, Horizontal), 5);
    EXPECT_EQ(reports, (Reports{{7, 14}, {6, 14}, {6, 13}, {7, 13}, {8, 13}, {7, 13}}));
    EXPECT_EQ(cell(7, 13), Horizontal | LitFlag | VisitedFlag);

    // Every later pass enters (7, 13) twice again and reports only that second entry.
    EXPECT_EQ(pass(), (Reports{{7, 13}}));
    EXPECT_EQ(compute_points(), 5);
}

TEST_F(Flow, ChainAroundToTheEastNeighbourMakesTheEastStepReportItTwice)
{
    place(7, 13, ElbowES);
    place(8, 13, ElbowWS);
    EXPECT_EQ(play(8, 14, Vertical), 4);
    EXPECT_EQ(reports, (Reports{{7, 14}, {7, 13}, {8, 13}, {8, 14}, {8, 14}}));
}

TEST_F(Flow, LitCellsEnteredAgainInALaterPassAreNotReported)
{
    place(6, 14, Horizontal);
    place(5, 14, Horizontal);
    EXPECT_EQ(pass(), (Reports{{7, 14}, {6, 14}, {5, 14}}));
    place(4, 14, Horizontal);
    EXPECT_EQ(pass(), (Reports{{4, 14}}));
    EXPECT_EQ(pass(), Reports{});
    EXPECT_EQ(compute_points(), 4);
}

// Stepping past an edge would wrap in the column-major bytes: north of (6, 0) is byte 89, that is (5, 14),
// and south of (6, 14) is (7, 0). Both hold a Vertical that only such a wrap could reach.
TEST_F(Flow, PiecesOnTheEdgesTryNoSideBeyondTheBoard)
{
    for (std::int32_t row = 0; row < 15; ++row) {
        place(6, row, Cross);
    }
    place(5, 14, Vertical);
    place(7, 0, Vertical);
    EXPECT_EQ(play(0, 7, Cross), 13);
    EXPECT_FALSE(lit(5, 14));
    EXPECT_FALSE(lit(7, 0));
    EXPECT_FALSE(lit(0, 7));
}

// Guard bytes that a step off the board would read, in a plain build too: the four bytes before the
// cells (cell_size, which the walk never uses) and the padding after them, all made to look like
// crosses, which open back to every side. A walk that stepped onto one would light and report it.
class BoardGuards {
public:
    BoardGuards() : saved_cell_size(board.cell_size)
    {
        std::memset(&board.cell_size, Cross, sizeof board.cell_size);
        std::memset(padding(), Cross, PaddingBytes);
    }
    ~BoardGuards() { board.cell_size = saved_cell_size; }
    bool intact() const
    {
        std::uint8_t expected[sizeof board.cell_size + PaddingBytes];
        std::memset(expected, Cross, sizeof expected);
        return std::memcmp(&board.cell_size, expected, sizeof board.cell_size) == 0 &&
               std::memcmp(padding(), expected, PaddingBytes) == 0;
    }

private:
    static constexpr std::size_t CellsEnd = offsetof(Board, cells) + sizeof board.cells;
    static constexpr std::size_t PaddingBytes = sizeof(Board) - CellsEnd;
    static_assert(offsetof(Board, cells) == offsetof(Board, cell_size) + sizeof board.cell_size,
                  "cell_size lies right before the cells");
    static_assert(PaddingBytes > 0, "the record pads the cells");
    static unsigned char* padding() { return reinterpret_cast<unsigned char*>(&board) + CellsEnd; }
    std::int32_t saved_cell_size;
};

bool all_on_the_board(const Reports& positions)
{
    return std::all_of(positions.begin(), positions.end(), [](const Position& p) {
        return p.first >= 0 && p.first < 15 && p.second >= 0 && p.second < 15;
    });
}

TEST_F(Flow, CrossesAlongEveryEdgeAreAllLit)
{
    const BoardGuards guards;
    for (std::int32_t i = 0; i < 15; ++i) {
        place(i, 0, Cross);
        place(0, i, Cross);
        place(14, i, Cross);
        if (i != 7) {
            place(i, 14, Cross);
        }
    }
    pass();
    EXPECT_EQ(compute_points(), 56);
    // The ring reaches (8, 14) the long way round first; the source's east step then reports it again.
    ASSERT_EQ(reports.size(), 57u);
    EXPECT_EQ(reports[55], (Position{8, 14}));
    EXPECT_EQ(reports[56], (Position{8, 14}));
    // Columns 0 and 14 and rows 0 and 14 open outwards everywhere: no step left the board.
    EXPECT_TRUE(all_on_the_board(reports));
    EXPECT_TRUE(guards.intact());
}

TEST_F(Flow, WalkersRefuseStepsOffTheBoardAndChangeNothing)
{
    place(0, 3, Cross);
    place(3, 0, Cross);
    place(14, 3, Cross);
    place(3, 14, Cross);
    std::uint8_t before[225];
    std::copy(board.cells, board.cells + 225, before);
    EXPECT_EQ(flow_west(0, 3), 0);
    EXPECT_EQ(flow_north(3, 0), 0);
    EXPECT_EQ(flow_east(14, 3), 0);
    EXPECT_EQ(flow_south(3, 14), 0);
    EXPECT_TRUE(std::equal(board.cells, board.cells + 225, before));
    EXPECT_EQ(flow_east(13, 3), 1);
    EXPECT_EQ(cell(14, 3), Cross | LitFlag | VisitedFlag);
}

TEST_F(Flow, ClearVisitedKeepsShapesAndLitFlags)
{
    for (std::int32_t i = 0; i < 225; ++i) {
        board.cells[i] = static_cast<std::uint8_t>(i);
    }
    clear_visited();
    for (std::int32_t i = 0; i < 225; ++i) {
        EXPECT_EQ(board.cells[i], i & 0x7F) << i;
    }
}

TEST_F(Flow, PointsAreLitCellsMinusUnlitPieces)
{
    place(6, 14, Horizontal);
    place(5, 14, ElbowES);
    place(0, 0, Cross);
    place(1, 0, Cross);
    place(2, 0, Cross);
    place(3, 0, Cross);
    compute_flow(record_cell);
    EXPECT_EQ(compute_points(), -1);
    EXPECT_EQ(game_state.points, -1);

    reset_board();
    board.cells[0] = 152;
    board.cells[1] = 17;
    board.cells[2] = 145;
    board.cells[3] = 7;
    cell_at(7, 14) = 24;
    EXPECT_EQ(compute_points(), 3);
}

TEST_F(Flow, SourceNeverBecomesEmptyAndLitCellsStayLit)
{
    const std::uint8_t allowed[] = {8, 24, 152};
    play(6, 14, Horizontal);
    play(7, 13, Vertical);
    play(3, 3, Cross);
    EXPECT_NE(std::find(std::begin(allowed), std::end(allowed), cell(7, 14)), std::end(allowed));
    clear_visited();
    EXPECT_EQ(cell(7, 14), 24);
    EXPECT_TRUE(lit(6, 14));
    EXPECT_TRUE(lit(7, 13));
}

TEST_F(Flow, NullObserverIsIgnored)
{
    place(6, 14, Horizontal);
    compute_flow(nullptr);
    EXPECT_TRUE(lit(6, 14));
    EXPECT_EQ(compute_points(), 2);
}

// Cells the water reaches carry VisitedFlag after the pass; cells it does not reach do not.
TEST_F(Flow, VisitedFlagMarksExactlyTheCellsThisPassReached)
{
    place(6, 14, Horizontal);
    place(5, 14, Vertical);
    compute_flow(record_cell);
    EXPECT_EQ(cell(7, 14), 152);
    EXPECT_EQ(cell(6, 14), Horizontal | LitFlag | VisitedFlag);
    EXPECT_EQ(cell(5, 14), Vertical);
}

// The deepest walk: one chain of 223 pieces snaking from (6, 14) to (0, 0), plus (14, 14) hanging off a
// Cross at (14, 13). Every piece is lit, in chain order, by a recursion 223 calls deep.
TEST_F(Flow, SerpentineOverTheWholeBoardIsLitInChainOrder)
{
    Reports chain;
    for (std::int32_t column = 6; column >= 0; --column) {
        chain.emplace_back(column, 14);
    }
    for (std::int32_t column = 0; column <= 7; ++column) {
        chain.emplace_back(column, 13);
    }
    for (std::int32_t column = 8; column <= 13; ++column) {
        const bool downward = column % 2 == 0;
        chain.emplace_back(column, downward ? 13 : 14);
        chain.emplace_back(column, downward ? 14 : 13);
    }
    chain.emplace_back(14, 13);
    for (std::int32_t row = 12; row >= 0; --row) {
        for (std::int32_t step = 0; step < 15; ++step) {
            chain.emplace_back(row % 2 == 0 ? 14 - step : step, row);
        }
    }
    ASSERT_EQ(chain.size(), 223u);

    // Openings: west 1, north 2, east 4, south 8.
    const ShapeCode shapes[16] = {Empty, Empty,   Empty,    ElbowWN, Empty,   Horizontal, ElbowEN, Empty,
                                  Empty, ElbowWS, Vertical, Empty,   ElbowES, Empty,      Empty,   Cross};
    auto towards = [](Position from, Position to) {
        return to.first < from.first ? 1 : to.second < from.second ? 2 : to.first > from.first ? 4 : 8;
    };
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const Position before = i == 0 ? Position{7, 14} : chain[i - 1];
        const std::int32_t openings =
            towards(chain[i], before) | (i + 1 == chain.size() ? 1 : towards(chain[i], chain[i + 1]));
        ASSERT_NE(shapes[openings], Empty) << i;
        place(chain[i].first, chain[i].second, shapes[openings]);
    }
    place(14, 13, Cross);
    place(14, 14, Vertical);

    Reports expected = {{7, 14}};
    expected.insert(expected.end(), chain.begin(), chain.end());
    expected.emplace_back(14, 14);
    expected.emplace_back(7, 13);
    expected.emplace_back(8, 14);
    EXPECT_EQ(pass(), expected);
    EXPECT_EQ(compute_points(), 225);
    EXPECT_EQ(pass(), (Reports{{7, 13}, {8, 14}}));
}

}  // namespace
