// Drawing of the board, the queue column and their frames from the tile bitmaps.
#include "ui/render.h"

#include "game/board.h"
#include "game/queue.h"
#include "ui/main_window.h"

namespace {

constexpr std::int32_t FirstLitValue = LitFlag | Horizontal;
constexpr std::int32_t LastLitValue = LitFlag | Source;
constexpr std::int32_t LitTileShift = FirstLitValue - FirstLitTile;  // lit values 17 to 24 use tiles 9 to 16

bool on_board(std::int32_t column, std::int32_t row)
{
    return column >= 0 && column < board.columns && row >= 0 && row < board.rows;
}

HBRUSH frame_brush()
{
    return static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
}

void frame_board(HDC target)
{
    RECT frame = {0, 0, board.columns * board.cell_size, board.rows * board.cell_size};
    FrameRect(target, &frame, frame_brush());
}

void copy_tile(HDC target, HDC memory, HBITMAP tile, std::int32_t x, std::int32_t y)
{
    SelectObject(memory, tile);
    BitBlt(target, x, y, board.cell_size, board.cell_size, memory, 0, 0, SRCCOPY);
}

}  // namespace

HBITMAP tile_for_cell(std::int32_t column, std::int32_t row)
{
    if (!on_board(column, row)) {
        return tile_set[0];
    }
    const std::int32_t value = cell_at(column, row) & UnvisitedMask;
    if (value <= Source) {
        return tile_set[value];
    }
    if (value >= FirstLitValue && value <= LastLitValue) {
        return tile_set[value - LitTileShift];
    }
    return tile_set[0];
}

std::int32_t paint_window()
{
    if (main_window == nullptr) {
        return 0;
    }
    PAINTSTRUCT paint;
    HDC target = BeginPaint(main_window, &paint);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ original_bitmap = GetCurrentObject(memory, OBJ_BITMAP);

    RECT client = {};
    GetClientRect(main_window, &client);
    FillRect(target, &client, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1)));

    for (std::int32_t slot = 0; slot < QueueLength; ++slot) {
        const std::uint8_t shape = piece_queue.slots[slot];
        HBITMAP tile = shape >= Horizontal && shape <= Cross ? tile_set[shape] : tile_set[0];
        copy_tile(target, memory, tile, queue_left, slot * board.cell_size);
    }
    RECT queue_frame = {queue_left, 0, queue_left + board.cell_size, QueueLength * board.cell_size};
    FrameRect(target, &queue_frame, frame_brush());

    for (std::int32_t column = 0; column < board.columns; ++column) {
        for (std::int32_t row = 0; row < board.rows; ++row) {
            copy_tile(target, memory, tile_for_cell(column, row), column * board.cell_size, row * board.cell_size);
        }
    }
    frame_board(target);

    SelectObject(memory, original_bitmap);
    DeleteDC(memory);
    EndPaint(main_window, &paint);
    return 0;
}

void draw_cell(std::int32_t column, std::int32_t row)
{
    if (main_window == nullptr || !on_board(column, row)) {
        return;
    }
    HDC target = GetDC(main_window);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ original_bitmap = GetCurrentObject(memory, OBJ_BITMAP);
    copy_tile(target, memory, tile_for_cell(column, row), column * board.cell_size, row * board.cell_size);
    frame_board(target);
    SelectObject(memory, original_bitmap);
    DeleteDC(memory);
    ReleaseDC(main_window, target);
}
