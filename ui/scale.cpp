// The game window's display scale: the layout DPI, the device pixels of each length, the fit on
// the monitor. The DPI calls of newer systems are looked up at run time: Windows 7 and 8 lack them.
#include "ui/scale.h"

#include "art/painter.h"
#include "game/board.h"
#include "ui/system_library.h"

std::int32_t layout_dpi = BaseDpi;

namespace {

HMODULE user_library()
{
    return GetModuleHandleA("user32.dll");
}

std::int32_t scaled_at(std::int32_t value, std::int32_t dpi)
{
    return MulDiv(value, dpi, BaseDpi);
}

// The client area at a layout DPI; the board and the queue column are whole cells.
SIZE client_size_at(std::int32_t dpi, std::int32_t bar_height)
{
    const std::int32_t cell = scaled_at(board.cell_size, dpi);
    return {board.columns * cell + scaled_at(QueueGap, dpi) + cell + scaled_at(RightMargin, dpi),
            board.rows * cell + scaled_at(StatusBarGap, dpi) + bar_height};
}

}  // namespace

std::int32_t scaled(std::int32_t value)
{
    return scaled_at(value, layout_dpi);
}

std::int32_t cell_pixels()
{
    return scaled(board.cell_size);
}

UINT window_dpi(HWND window)
{
    using DpiFunction = UINT(WINAPI*)(HWND);
    static DpiFunction dpi_for_window = library_function<DpiFunction>(user_library(), "GetDpiForWindow");
    UINT dpi = dpi_for_window != nullptr && window != nullptr ? dpi_for_window(window) : 0;
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX));
        ReleaseDC(nullptr, screen);
    }
    return dpi != 0 ? dpi : BaseDpi;
}

void adjust_window_rect(RECT& client, DWORD style, UINT dpi)
{
    using AdjustFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static AdjustFunction adjust_for_dpi = library_function<AdjustFunction>(user_library(), "AdjustWindowRectExForDpi");
    if (adjust_for_dpi == nullptr || !adjust_for_dpi(&client, style, TRUE, 0, dpi)) {
        AdjustWindowRectEx(&client, style, TRUE, 0);
    }
}

std::int32_t fitting_layout_dpi(UINT dpi, DWORD style, std::int32_t bar_height, std::int32_t work_width,
                                std::int32_t work_height)
{
    // Cells beyond the painter's largest picture would be drawn at that size anyway.
    const std::int32_t screen_dpi = static_cast<std::int32_t>(dpi);
    std::int32_t cell = scaled_at(board.cell_size, screen_dpi);
    if (cell > MaxPictureSize) {
        cell = MaxPictureSize;
    }
    for (; cell > board.cell_size; --cell) {
        // The screen's own DPI where its cell is kept, else the DPI whose cell is exactly this one.
        const std::int32_t candidate =
            cell == scaled_at(board.cell_size, screen_dpi) ? screen_dpi : cell * BaseDpi / board.cell_size;
        const SIZE client = client_size_at(candidate, bar_height);
        RECT outer = {0, 0, client.cx, client.cy};
        adjust_window_rect(outer, style, dpi);
        if (outer.right - outer.left <= work_width && outer.bottom - outer.top <= work_height) {
            return candidate;
        }
    }
    return BaseDpi;
}

bool status_font_at(UINT dpi, LOGFONTW& font)
{
    using ParametersFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static ParametersFunction parameters_for_dpi =
        library_function<ParametersFunction>(user_library(), "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (parameters_for_dpi != nullptr &&
        parameters_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        font = metrics.lfStatusFont;
        return true;
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return false;
    }
    // Without the call per DPI, the system's metrics are those of the DPI the session started at.
    font = metrics.lfStatusFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(window_dpi(nullptr)));
    return true;
}

SIZE client_size(std::int32_t bar_height)
{
    return client_size_at(layout_dpi, bar_height);
}
