// The game window's display scale. Every pixel value of the layout is written as at 96 DPI, where
// the game was first drawn; scaled() turns it into device pixels for the scale the window is laid
// out at, rounding the same way everywhere.
#ifndef ONDULOR_UI_SCALE_H
#define ONDULOR_UI_SCALE_H

#include <windows.h>

#include <cstdint>

constexpr std::int32_t BaseDpi = 96;

// The client area around the board, which lies at the client's origin: the queue column, one cell
// wide, starts QueueGap to the right of the board and keeps RightMargin free beside it; the status
// bar lies StatusBarGap below the board, as tall as its font makes it.
constexpr std::int32_t QueueGap = 5;
constexpr std::int32_t RightMargin = 7;
constexpr std::int32_t StatusBarGap = 2;

// The DPI that the window's layout follows: the screen's, or less where the board at the screen's
// scale would not fit its monitor. BaseDpi until the window is first laid out.
extern std::int32_t layout_dpi;

// value, a length at 96 DPI, in device pixels at layout_dpi.
std::int32_t scaled(std::int32_t value);

// One board cell in device pixels: 32 at 96 DPI, never less.
std::int32_t cell_pixels();

// The DPI of the window's monitor: GetDpiForWindow where the system has it (Windows 10 1607 on),
// else the screen's LOGPIXELSX, which a null window always gives: the DPI the session started at.
UINT window_dpi(HWND window);

// The outer rectangle of a window of that style, with a menu and no extended style, around client
// for a monitor of dpi: AdjustWindowRectExForDpi where the system has it, else AdjustWindowRectEx.
void adjust_window_rect(RECT& client, DWORD style, UINT dpi);

// The layout DPI for a monitor of dpi whose work area is work_width x work_height: dpi itself when the
// window fits there, else the one of the largest cell that fits, and never less than BaseDpi.
// bar_height is the status bar's height in device pixels.
std::int32_t fitting_layout_dpi(UINT dpi, DWORD style, std::int32_t bar_height, std::int32_t work_width,
                                std::int32_t work_height);

// The status bar's font for a monitor of dpi: the system's status font at that DPI where the system
// can say (SystemParametersInfoForDpi), else its font of the session's DPI scaled. False when neither.
bool status_font_at(UINT dpi, LOGFONTW& font);

// The client area that the board, the queue column and the status bar need at layout_dpi.
SIZE client_size(std::int32_t bar_height);

#endif
