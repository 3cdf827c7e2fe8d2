// Pixels of the board, the queue column and their frames after a paint and after draw_cell, compared
// with the tile bitmaps' own pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "game/board.h"
#include "game/queue.h"
#include "ui/render.h"
#include "ui_support.h"

using namespace ui_test;

namespace {

constexpr int BoardPixels = 480;
constexpr int QueueLeft = 485;

// Pixels as 0xRRGGBB, row by row from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
};

Picture read_bitmap(HDC source, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ original = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    Picture picture;
    picture.width = width;
    picture.height = height;
    const auto* words = static_cast<const std::uint32_t*>(bits);
    picture.pixels.assign(words, words + static_cast<std::size_t>(width) * height);
    SelectObject(memory, original);
    DeleteDC(memory);
    DeleteObject(copy);
    return picture;
}

Picture capture_client()
{
    RECT client;
    GetClientRect(main_window, &client);
    HDC window_dc = GetDC(main_window);
    Picture picture = read_bitmap(window_dc, client.right, client.bottom);
    ReleaseDC(main_window, window_dc);
    return picture;
}

Picture tile_picture(HBITMAP tile)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ original = SelectObject(memory, tile);
    Picture picture = read_bitmap(memory, 32, 32);
    SelectObject(memory, original);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

std::uint32_t rgb(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

std::uint32_t frame_colour()
{
    LOGBRUSH brush = {};
    GetObjectA(GetStockObject(DKGRAY_BRUSH), sizeof brush, &brush);
    return rgb(brush.lbColor);
}

int tile_index(std::uint8_t value)
{
    const int masked = value & 0x7F;
    if (masked <= 8) {
        return masked;
    }
    if (masked >= 17 && masked <= 24) {
        return masked - 8;
    }
    return 0;
}

class Rendering : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(start_window(folder.file("ondulor.exe")), 0);
        KillTimer(main_window, 1);
        for (int index = 0; index < TileCount; ++index) {
            tiles.push_back(tile_picture(tile_set[index]));
        }
        menu_colour = rgb(GetSysColor(COLOR_MENU));
        frame = frame_colour();
    }
    void TearDown() override { stop_window(); }

    // What the area above the status bar must show for the current board and queue.
    std::uint32_t expected(int x, int y) const
    {
        if (x < BoardPixels) {
            if (x == 0 || y == 0 || x == BoardPixels - 1 || y == BoardPixels - 1) {
                return frame;
            }
            return tiles[tile_index(cell_at(x / 32, y / 32))].at(x % 32, y % 32);
        }
        if (x >= QueueLeft && x < QueueLeft + 32 && y < 160) {
            if (x == QueueLeft || x == QueueLeft + 31 || y == 0 || y == 159) {
                return frame;
            }
            return tiles[piece_queue.slots[y / 32]].at(x - QueueLeft, y % 32);
        }
        return menu_colour;
    }

    // Counts the differing pixels and describes the first few.
    int compare(const Picture& shown, std::string* report) const
    {
        int differences = 0;
        for (int y = 0; y < BoardPixels; ++y) {
            for (int x = 0; x < shown.width; ++x) {
                if (shown.at(x, y) != expected(x, y)) {
                    if (++differences <= 5) {
                        char line[96];
                        std::snprintf(line, sizeof line, "(%d,%d) shows %06X, expected %06X\n", x, y, shown.at(x, y),
                                      expected(x, y));
                        *report += line;
                    }
                }
            }
        }
        return differences;
    }

    void repaint()
    {
        InvalidateRect(main_window, nullptr, FALSE);
        UpdateWindow(main_window);
    }

    TempFolder folder;
    std::vector<Picture> tiles;
    std::uint32_t menu_colour = 0;
    std::uint32_t frame = 0;
};

// Every value a cell can hold, visited marks and values the game never makes included.
const std::uint8_t cell_values[] = {0,   1,   2,   3,   4,   5,   6,   7,   8,    17,   18, 19, 20, 21,   22,   23,  24,
                                    145, 146, 147, 148, 149, 150, 151, 152, 0x80, 0x88, 9,  16, 25, 0x7F, 0xFF, 0x91};

void fill_board_with_every_value()
{
    for (int cell = 0; cell < 225; ++cell) {
        board.cells[cell] = cell_values[(cell * 7) % sizeof cell_values];
    }
}

TEST_F(Rendering, TilesAreDistinctPicturesSoThePixelChecksMeanSomething)
{
    for (int a = 0; a < TileCount; ++a) {
        for (int b = a + 1; b < TileCount; ++b) {
            EXPECT_NE(tiles[a].pixels, tiles[b].pixels) << "tiles " << a << " and " << b;
        }
    }
    EXPECT_NE(frame, menu_colour);
}

TEST_F(Rendering, PaintShowsEveryCellTheQueueBothFramesAndTheBackground)
{
    std::string report;
    Picture first = capture_client();
    EXPECT_EQ(compare(first, &report), 0) << "start-up paint:\n" << report;

    fill_board_with_every_value();
    piece_queue = {{7, 1, 6, 2, 5}};
    repaint();
    RECT still_invalid;
    EXPECT_FALSE(GetUpdateRect(main_window, &still_invalid, FALSE)) << "the paint must validate its region";
    report.clear();
    EXPECT_EQ(compare(capture_client(), &report), 0) << report;
}

TEST_F(Rendering, DrawCellPaintsOneCellAtOnceAndLeavesTheBoardFrameWhole)
{
    repaint();
    const int border_cells[][2] = {{0, 0}, {14, 0}, {0, 14}, {14, 14}, {7, 0}, {0, 7}, {14, 9}, {5, 14}, {6, 6}};
    std::uint8_t value = 17;
    for (const auto& cell : border_cells) {
        cell_at(cell[0], cell[1]) = value;
        draw_cell(cell[0], cell[1]);
        value = value == 24 ? 17 : value + 1;
    }
    RECT invalid;
    EXPECT_FALSE(GetUpdateRect(main_window, &invalid, FALSE)) << "draw_cell paints directly, not by invalidation";
    std::string report;
    EXPECT_EQ(compare(capture_client(), &report), 0) << report;

    // Positions off the board draw nothing.
    const Picture before = capture_client();
    draw_cell(-1, 3);
    draw_cell(15, 0);
    draw_cell(0, 15);
    EXPECT_EQ(capture_client().pixels, before.pixels);
}

TEST_F(Rendering, TileForCellMasksTheVisitedMarkAndFallsBackToTheEmptyTile)
{
    for (int value = 0; value < 256; ++value) {
        cell_at(3, 4) = static_cast<std::uint8_t>(value);
        EXPECT_EQ(tile_for_cell(3, 4), tile_set[tile_index(static_cast<std::uint8_t>(value))]) << "value " << value;
    }
    EXPECT_EQ(tile_for_cell(-1, 0), tile_set[0]);
    EXPECT_EQ(tile_for_cell(0, 15), tile_set[0]);
}

TEST_F(Rendering, PaintingAndDrawingGiveBackTheirDeviceContextsAndTiles)
{
    fill_board_with_every_value();
    for (int round = 0; round < 5; ++round) {
        repaint();
        draw_cell(round % 15, 14 - round % 15);
    }
    // A bitmap can sit in one device context at a time: every tile must be free to select again.
    HDC probe = CreateCompatibleDC(nullptr);
    HGDIOBJ original = GetCurrentObject(probe, OBJ_BITMAP);
    for (int index = 0; index < TileCount; ++index) {
        EXPECT_NE(SelectObject(probe, tile_set[index]), nullptr) << "tile " << index;
    }
    SelectObject(probe, original);
    DeleteDC(probe);

    // Fill the process's table of GDI handles but for 40 places: a device context left behind by
    // each draw or each paint would take them all, and the table would stay full.
    std::vector<HDC> ballast;
    while (ballast.size() < 200000) {
        HDC dc = CreateCompatibleDC(nullptr);
        if (dc == nullptr) {
            break;
        }
        ballast.push_back(dc);
    }
    if (ballast.size() < 2000) {
        for (HDC dc : ballast) {
            DeleteDC(dc);
        }
        FAIL() << "only " << ballast.size() << " device contexts could be made";
    }
    for (int freed = 0; freed < 40; ++freed) {
        DeleteDC(ballast.back());
        ballast.pop_back();
    }
    for (int round = 0; round < 60; ++round) {
        draw_cell(round % 15, 3);
        repaint();
    }
    int still_free = 0;
    for (; still_free < 20; ++still_free) {
        HDC dc = CreateCompatibleDC(nullptr);
        if (dc == nullptr) {
            break;
        }
        ballast.push_back(dc);
    }
    for (HDC dc : ballast) {
        DeleteDC(dc);
    }
    EXPECT_EQ(still_free, 20);

    cell_at(4, 5) = 21;
    draw_cell(4, 5);
    std::string report;
    EXPECT_EQ(compare(capture_client(), &report), 0) << report;
}

TEST_F(Rendering, AContrastThemeDrawsInSystemColoursAloneAndMessagesThatChangeNothingRepaintNothing)
{
    const auto system_answer = contrast_theme_on;  // Wine never has a contrast theme: the seam stands in
    const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
    COLORREF scheme[] = {0x000000, 0x00FFFF, 0xFFFF00, 0x800000}, saved[4];
    std::transform(elements, elements + 4, saved, GetSysColor);
    contrast_theme_on = [] { return true; };
    fill_board_with_every_value();
    board_cursor = {7, 13, true, true};
    SetSysColors(4, elements, scheme);  // tells the window
    UpdateWindow(main_window);
    const Picture shown = capture_client();
    const std::set<std::uint32_t> colours(shown.pixels.begin(), shown.pixels.begin() + shown.width * BoardPixels);
    EXPECT_EQ(colours, (std::set<std::uint32_t>{0x000000, 0xFFFF00, 0x00FFFF, 0x000080}));
    SendMessageA(main_window, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("ImmersiveColorSet"));
    EXPECT_FALSE(GetUpdateRect(main_window, nullptr, FALSE));
    contrast_theme_on = system_answer;
    SendMessageA(main_window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(tile_picture(tile_set[FirstLitTile]).pixels, tiles[FirstLitTile].pixels);
    SetSysColors(4, elements, saved);
}

// The keyboard's cursor, pure red (no tile has it), over a cell: a frame 2 pixels wide, 1 pixel inside
// the cell, drawn by the paint and by draw_cell, so that a piece lit under it never hides it; the
// cell it leaves and a click take it away.
TEST_F(Rendering, TheKeyboardCursorIsDrawnOverItsCellByPaintAndDrawCellUntilAClick)
{
    auto red_in = [](const Picture& shown, int column, int row) {
        int red = 0;
        for (int y = row * 32; y < row * 32 + 32; ++y) {
            for (int x = column * 32; x < column * 32 + 32; ++x) {
                red += shown.at(x, y) == 0xFF0000;
            }
        }
        return red;
    };
    constexpr int Ring = 30 * 30 - 26 * 26;
    board_cursor = {};
    SendMessageA(main_window, WM_KEYDOWN, VK_UP, 1);
    EXPECT_EQ(red_in(capture_client(), 7, 13), Ring) << "shown by the first arrow";
    piece_queue.slots[4] = Vertical;
    SendMessageA(main_window, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_EQ(cell_at(7, 13) & UnvisitedMask, Vertical | LitFlag);
    EXPECT_EQ(red_in(capture_client(), 7, 13), Ring) << "hidden by the piece lit under it";
    repaint();
    EXPECT_EQ(red_in(capture_client(), 7, 13), Ring) << "left out of the paint";

    SendMessageA(main_window, WM_KEYDOWN, VK_LEFT, 1);
    Picture shown = capture_client();
    EXPECT_EQ(red_in(shown, 7, 13), 0) << "left behind in the cell it moved from";
    EXPECT_EQ(red_in(shown, 6, 13), Ring);
    SendMessageA(main_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    UpdateWindow(main_window);  // the queue column, which the click invalidated, and only it
    std::string report;
    EXPECT_EQ(compare(capture_client(), &report), 0) << "after a click, the board without the cursor:\n" << report;
}

}  // namespace
