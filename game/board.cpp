// The process-wide board and its reset at the start of a game.
#include "game/board.h"

Board board = {15, 15, 32, {}};

void reset_board()
{
    for (std::int32_t column = 0; column < board.columns; ++column) {
        for (std::int32_t row = 0; row < board.rows; ++row) {
            board.cells[column * 15 + row] = Empty;
        }
    }
    board.cells[SourceColumn * 15 + board.rows - 1] = Source;
}
