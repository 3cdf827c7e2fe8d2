// The process-wide board and its reset at the start of a game.
#include "game/board.h"

Board board = {15, 15, 32, {}};

void reset_board()
{
    for (std::int32_t column = 0; column < board.columns; ++column) {
        for (std::int32_t row = 0; row < board.rows; ++row) {
            cell_at(column, row) = Empty;
        }
    }
    cell_at(SourceColumn, board.rows - 1) = Source;
}
