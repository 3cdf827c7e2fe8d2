// Draws the game's pictures from integer geometry: the 17 tiles at any cell size and the application icon.
// Platform-free: the game draws its cells with it at run time and the host tools encode its 32-pixel output.
#ifndef ONDULOR_ART_PAINTER_H
#define ONDULOR_ART_PAINTER_H

#include <cstdint>

// Palette indices of the standard 16-colour VGA palette, in its usual order.
enum PaletteIndex : std::uint8_t {
    Black,
    DarkRed,
    DarkGreen,
    Olive,
    Navy,
    Purple,
    Teal,
    LightGrey,
    DarkGrey,
    Red,
    Green,
    Yellow,
    Blue,
    Magenta,
    Cyan,
    White
};

// Red, green, blue of each palette index.
extern const std::uint8_t vga_palette[16][3];

// Tiles 0 to 8: the empty cell, the seven unlit pieces and the unlit source; from FirstLitTile on the lit
// pieces and the lit source in the same order.
constexpr std::int32_t TileCount = 17;
constexpr std::int32_t FirstLitTile = 9;

// The size the tiles are designed at, and the largest picture the painter draws.
constexpr std::int32_t TileSize = 32;
constexpr std::int32_t MaxPictureSize = 256;

// A square picture of palette indices, pixels[y][x], row 0 at the top; only [0, size) is drawn.
// 64 KiB: keep pictures in static storage, not on the stack.
struct Picture {
    std::int32_t size;
    std::uint8_t pixels[MaxPictureSize][MaxPictureSize];
};

// The palette index that each part of a tile is drawn in.
struct TileColours {
    std::uint8_t ground;
    std::uint8_t dot;      // the dotted grid along the edges
    std::uint8_t wall;     // a pipe's outline
    std::uint8_t lining;   // between the outline and the channel
    std::uint8_t channel;  // the channel of a dry piece
    std::uint8_t water;    // the channel of a lit piece
};

// The tiles' own colours in the VGA palette: those of the committed bitmaps.
extern const TileColours art_colours;

// A contrast theme's, at indices 0 to 3 of a table of its system colours: pipes and grid in the text's
// colour on the ground's, the water in the highlight, a dry channel left as ground.
enum ContrastColour : std::uint8_t { ContrastGround, ContrastText, ContrastHighlight, ContrastHighlightText };
extern const TileColours contrast_colours;

// Draws tile index 0..16 at size by size pixels. A size outside TileSize..MaxPictureSize is brought into it;
// an index outside 0..16 draws the empty cell.
void draw_tile(std::int32_t index, std::int32_t size, Picture& picture, const TileColours& colours = art_colours);

// Draws the application icon at 16, 32, 48, 64 or 256 pixels (below 32 the 16-pixel picture, above 32 any
// size up to MaxPictureSize). Its ground is white; the icon encoder makes the white reaching the edge transparent.
void draw_icon(std::int32_t size, Picture& picture);

#endif
