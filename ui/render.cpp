// Drawing of the board, the queue column and their frames from the tile bitmaps, and the tiles for
// the cell's size.
#include "ui/render.h"

#include "art/painter.h"
#include "game/board.h"
#include "game/queue.h"
#include "res/resource_ids.h"
#include "ui/accessible_board.h"
#include "ui/main_window.h"
#include "ui/scale.h"

namespace {

constexpr std::int32_t FirstLitValue = LitFlag | Horizontal;
constexpr std::int32_t LastLitValue = LitFlag | Source;
constexpr std::int32_t LitTileShift = FirstLitValue - FirstLitTile;  // lit values 17 to 24 use tiles 9 to 16

// The system colours of a contrast theme, in the order of ContrastColour: content is the window's text on
// the window's colour, and the water, what the player follows, is the highlight, as a selection would be.
constexpr std::int32_t ContrastColourCount = 4;
constexpr int contrast_elements[ContrastColourCount] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,
                                                        COLOR_HIGHLIGHTTEXT};

struct BoardColours {
    bool contrast;
    COLORREF system[ContrastColourCount];  // while contrast, the colours of contrast_elements
};
BoardColours board_colours = {};

bool system_contrast_theme_on()
{
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

bool on_board(std::int32_t column, std::int32_t row)
{
    return column >= 0 && column < board.columns && row >= 0 && row < board.rows;
}

HBRUSH frame_brush()
{
    return board_colours.contrast ? GetSysColorBrush(COLOR_WINDOWTEXT)
                                  : static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
}

// A frame along the inside of the rectangle, one pixel wide at 96 DPI and thicker with the scale.
void draw_frame(HDC target, RECT frame)
{
    for (std::int32_t line = scaled(1); line > 0; --line) {
        FrameRect(target, &frame, frame_brush());
        InflateRect(&frame, -1, -1);
    }
}

void frame_board(HDC target)
{
    draw_frame(target, {0, 0, board.columns * cell_pixels(), board.rows * cell_pixels()});
}

void copy_tile(HDC target, HDC memory, HBITMAP tile, std::int32_t x, std::int32_t y)
{
    SelectObject(memory, tile);
    BitBlt(target, x, y, cell_pixels(), cell_pixels(), memory, 0, 0, SRCCOPY);
}

// The keyboard's cursor over its cell's tile: a frame inside the cell in red, a colour that no tile
// uses, so that it stands out on the grey ground, the white channel and the water alike. In a contrast
// theme the highlight, edged inside with the highlight's text colour, which shows over the water.
void draw_cursor(HDC target, std::int32_t column, std::int32_t row)
{
    if (!board_cursor.shown || board_cursor.column != column || board_cursor.row != row) {
        return;
    }
    static HBRUSH cursor_brush = CreateSolidBrush(RGB(255, 0, 0));
    const std::int32_t cell = cell_pixels();
    RECT frame = {column * cell, row * cell, (column + 1) * cell, (row + 1) * cell};
    InflateRect(&frame, -scaled(1), -scaled(1));
    const std::int32_t edge = board_colours.contrast ? scaled(1) : 0;
    for (std::int32_t line = scaled(2) + edge; line > 0; --line) {
        FrameRect(target, &frame,
                  edge == 0     ? cursor_brush
                  : line > edge ? GetSysColorBrush(COLOR_HIGHLIGHT)
                                : GetSysColorBrush(COLOR_HIGHLIGHTTEXT));
        InflateRect(&frame, -1, -1);
    }
}

// A tile drawn by the painter at size pixels in the board's colours, as a 16-colour device-independent bitmap.
HBITMAP painted_tile(std::int32_t index, std::int32_t size)
{
    static Picture picture;
    draw_tile(index, size, picture, board_colours.contrast ? contrast_colours : art_colours);
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[16];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = picture.size;
    info.header.biHeight = -picture.size;  // top-down, as the painter's rows
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 16;
    for (int colour = 0; colour < 16; ++colour) {
        info.colours[colour] = {vga_palette[colour][2], vga_palette[colour][1], vga_palette[colour][0], 0};
        if (board_colours.contrast && colour < ContrastColourCount) {
            const COLORREF system = board_colours.system[colour];
            info.colours[colour] = {GetBValue(system), GetGValue(system), GetRValue(system), 0};
        }
    }
    void* bits = nullptr;
    HBITMAP tile = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (tile == nullptr || bits == nullptr) {
        return tile;
    }
    const std::int32_t stride = (picture.size + 3) & ~3;
    auto* rows = static_cast<std::uint8_t*>(bits);
    for (std::int32_t y = 0; y < picture.size; ++y) {
        for (std::int32_t x = 0; x < picture.size; ++x) {
            rows[y * stride + x] = picture.pixels[y][x];
        }
    }
    GdiFlush();
    return tile;
}

std::int32_t tile_size = 0;

}  // namespace

bool (*contrast_theme_on)() = system_contrast_theme_on;

bool choose_board_colours()
{
    BoardColours chosen = {};
    chosen.contrast = contrast_theme_on();
    bool same = chosen.contrast == board_colours.contrast;
    for (std::int32_t index = 0; chosen.contrast && index < ContrastColourCount; ++index) {
        chosen.system[index] = GetSysColor(contrast_elements[index]);
        same = same && chosen.system[index] == board_colours.system[index];
    }
    if (same) {
        return false;
    }
    board_colours = chosen;
    tile_size = 0;
    return true;
}

void load_tiles(std::int32_t size)
{
    if (tile_set[0] != nullptr && size == tile_size) {
        return;
    }
    for (HBITMAP& tile : tile_set) {
        if (tile != nullptr) {
            DeleteObject(tile);
            tile = nullptr;
        }
    }
    tile_size = size;
    // At 96 DPI the committed bitmaps, as they always were; at any other cell the painter that made
    // them draws the same tiles at that size, and in a contrast theme at every size in its colours.
    for (std::int32_t index = 0; index < TileCount; ++index) {
        if (size != TileSize || board_colours.contrast) {
            tile_set[index] = painted_tile(index, size);
        } else if (index < FirstLitTile) {
            tile_set[index] = LoadBitmapA(instance_handle, MAKEINTRESOURCEA(RES_TILE_FIRST_UNLIT + index));
        } else {
            tile_set[index] = LoadBitmapA(instance_handle, MAKEINTRESOURCEA(RES_TILE_FIRST_LIT + index - FirstLitTile));
        }
    }
}

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
    FillRect(target, &client,
             board_colours.contrast ? GetSysColorBrush(COLOR_WINDOW)
                                    : reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1)));

    for (std::int32_t slot = 0; slot < QueueLength; ++slot) {
        const std::uint8_t shape = piece_queue.slots[slot];
        HBITMAP tile = shape >= Horizontal && shape <= Cross ? tile_set[shape] : tile_set[0];
        copy_tile(target, memory, tile, queue_left, slot * cell_pixels());
    }
    draw_frame(target, {queue_left, 0, queue_left + scaled(32), scaled(160)});

    for (std::int32_t column = 0; column < board.columns; ++column) {
        for (std::int32_t row = 0; row < board.rows; ++row) {
            copy_tile(target, memory, tile_for_cell(column, row), column * cell_pixels(), row * cell_pixels());
        }
    }
    draw_cursor(target, board_cursor.column, board_cursor.row);
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
    copy_tile(target, memory, tile_for_cell(column, row), column * cell_pixels(), row * cell_pixels());
    draw_cursor(target, column, row);
    frame_board(target);
    SelectObject(memory, original_bitmap);
    DeleteDC(memory);
    ReleaseDC(main_window, target);
    board_cell_drawn(column, row);
}
