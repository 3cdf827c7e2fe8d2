// Drawing and encoding of the game's generated art: the 17 tiles, the icon and the refusal click.
#ifndef ONDULOR_TOOLS_ART_H
#define ONDULOR_TOOLS_ART_H

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

constexpr std::int32_t TileCount = 17;
constexpr std::int32_t TileSize = 32;

// A square picture of palette indices, pixels[y][x], row 0 at the top; size is 16 or 32.
struct Picture {
    std::int32_t size;
    std::uint8_t pixels[32][32];
};

// Largest encoded files: a tile BMP is 630 bytes, the two-image icon 1078, the click under 8 KiB.
constexpr std::uint32_t BmpBytes = 630;
constexpr std::uint32_t IcoCapacity = 2048;
constexpr std::uint32_t WavCapacity = 8192;

// Resource id of tile index 0..16: 1..9 for the empty cell and the unlit pieces, 12..19 for the lit ones.
std::int32_t tile_resource_id(std::int32_t index);

// Draws tile index 0..16 (the TileSet order) into a 32x32 picture.
void draw_tile(std::int32_t index, Picture& picture);

// Draws the application icon at 32 or 16 pixels.
void draw_icon(std::int32_t size, Picture& picture);

// Encoders write into out and give the byte count, or 0 when capacity is too small. An icon's white
// ground, the white that reaches the edge, is transparent (AND mask set, XOR black).
std::uint32_t encode_bmp(const Picture& picture, std::uint8_t* out, std::uint32_t capacity);
std::uint32_t encode_ico(const Picture* images, std::int32_t count, std::uint8_t* out, std::uint32_t capacity);
std::uint32_t encode_click(std::uint8_t* out, std::uint32_t capacity);

// Little-endian fields of the BMP, ICO and WAV headers.
inline void put16(std::uint8_t* p, std::uint32_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void put32(std::uint8_t* p, std::uint32_t value)
{
    put16(p, value & 0xFFFF);
    put16(p + 2, value >> 16);
}

// Writes bytes to path; 0 on success, 1 on failure.
std::int32_t write_bytes(const char* path, const std::uint8_t* data, std::uint32_t size);

// Writes every tile_NN.bmp and ondulor.ico into folder; 0 on success, 1 on failure.
std::int32_t write_art(const char* folder);

#endif
