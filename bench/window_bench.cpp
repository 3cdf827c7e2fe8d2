// Times a full repaint of the game window and a click that lays a piece, on the real window.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/settings_file.h"
#include "game/board.h"
#include "game/queue.h"
#include "ui/events.h"
#include "ui/help.h"
#include "ui/main_window.h"
#include "ui/render.h"
#include "ui/scale.h"
#include "ui/window.h"

namespace {

double now_ms()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void report(const char* name, std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    double total = 0;
    for (double sample : samples) {
        total += sample;
    }
    std::printf("%-44s n=%-6zu mean %.4f ms  median %.4f ms  p99 %.4f ms  max %.4f ms\n", name, samples.size(),
                total / samples.size(), samples[samples.size() / 2], samples[samples.size() * 99 / 100],
                samples.back());
}

BOOL no_help(HWND, LPCSTR, UINT, ULONG_PTR)
{
    return TRUE;
}

LPARAM cell_position(int column, int row)
{
    const int cell = cell_pixels();
    return MAKELPARAM(column * cell + cell / 2, row * cell + cell / 2);
}

void time_repaint(const char* name)
{
    std::vector<double> samples;
    for (int round = 0; round < 1000; ++round) {
        const double start = now_ms();
        InvalidateRect(main_window, nullptr, FALSE);
        UpdateWindow(main_window);
        samples.push_back(now_ms() - start);
    }
    report(name, samples);
}

// The 17 tiles made anew for a cell of size pixels: the resources at 32, the painter's pictures else.
void time_tiles(const char* name, std::int32_t size)
{
    std::vector<double> samples;
    for (int round = 0; round < 50; ++round) {
        load_tiles(size == 32 ? 33 : 32);
        const double start = now_ms();
        load_tiles(size);
        samples.push_back(now_ms() - start);
    }
    report(name, samples);
}

}  // namespace

int main()
{
    open_help = no_help;
    instance_handle = GetModuleHandleA(nullptr);
    if (init_application(nullptr, nullptr, SW_SHOWNORMAL) != 0) {
        std::fprintf(stderr, "the window could not be made\n");
        return 1;
    }
    settings.sound = 0;
    KillTimer(main_window, 1);

    time_repaint("full repaint at 96 DPI (invalidate + WM_PAINT)");

    // Ordinary play: every empty cell in turn takes the queue's bottom piece.
    std::vector<double> samples;
    for (int game = 0; game < 20; ++game) {
        new_game();
        for (int column = 0; column < 15; ++column) {
            for (int row = 0; row < 15; ++row) {
                if (cell_at(column, row) != Empty) {
                    continue;
                }
                const double start = now_ms();
                SendMessageA(main_window, WM_LBUTTONDOWN, MK_LBUTTON, cell_position(column, row));
                samples.push_back(now_ms() - start);
            }
        }
    }
    report("click on an empty cell (random pieces)", samples);

    // The longest click: a board of crosses whose last piece, above the source, lights all 224 cells.
    samples.clear();
    for (int round = 0; round < 200; ++round) {
        reset_board();
        for (int cell = 0; cell < 225; ++cell) {
            if (board.cells[cell] == Empty) {
                board.cells[cell] = Cross;
            }
        }
        cell_at(SourceColumn, 13) = Empty;
        piece_queue.slots[4] = Cross;
        const double start = now_ms();
        SendMessageA(main_window, WM_LBUTTONDOWN, MK_LBUTTON, cell_position(SourceColumn, 13));
        samples.push_back(now_ms() - start);
    }
    report("click lighting the whole board (225 draws)", samples);

    samples.clear();
    for (int round = 0; round < 1000; ++round) {
        board.cells[round % 225] = Empty;
        piece_queue.slots[4] = Vertical;
        const double start = now_ms();
        SendMessageA(main_window, WM_LBUTTONDOWN, MK_LBUTTON, cell_position(round % 225 / 15, round % 15));
        samples.push_back(now_ms() - start);
    }
    report("click refilling one cell of a full board", samples);

    time_tiles("17 tiles from the resources (32 pixels)", 32);
    time_tiles("17 tiles painted at 64 pixels", 64);
    time_tiles("17 tiles painted at 160 pixels", 160);
    load_tiles(cell_pixels());

    // Cells of 64 at 192 DPI: the null driver's screen (1024 x 768) cannot hold that window, so the
    // layout is set here rather than fitted, and the window made as large as the board needs.
    layout_dpi = 192;
    queue_left = 15 * cell_pixels() + scaled(5);
    load_tiles(cell_pixels());
    SetWindowPos(main_window, nullptr, 0, 0, 1100, 1100, SWP_NOMOVE | SWP_NOZORDER);
    RECT client = {};
    GetClientRect(main_window, &client);
    std::printf("at 192 DPI: cells of %d pixels, client %ld x %ld\n", static_cast<int>(cell_pixels()), client.right,
                client.bottom);
    time_repaint("full repaint at 192 DPI (invalidate + WM_PAINT)");
    return 0;
}
