// Encoding of the game's generated art: the 17 tiles as BMP, the icon as ICO, the refusal click as WAV.
// The pictures themselves come from the painter in art/.
#ifndef ONDULOR_TOOLS_ART_H
#define ONDULOR_TOOLS_ART_H

#include "art/painter.h"

#include <cstdint>

// Largest encoded files: a tile BMP is 630 bytes, the icon with its five images under 16 KiB, the click
// under 8 KiB.
constexpr std::uint32_t BmpBytes = 630;
constexpr std::uint32_t IcoCapacity = 65536;
constexpr std::uint32_t WavCapacity = 8192;

// The icon's images in the order of the file: 32 and 16 first as ever, then the larger ones.
constexpr std::int32_t IconImageCount = 5;
constexpr std::int32_t icon_image_sizes[IconImageCount] = {32, 16, 48, 64, 256};

// Resource id of tile index 0..16: 1..9 for the empty cell and the unlit pieces, 12..19 for the lit ones.
std::int32_t tile_resource_id(std::int32_t index);

// Encoders write into out and give the byte count, or 0 when capacity is too small (writing nothing).
// An icon's white ground, the white that reaches the edge, is transparent: in a 16-colour image the AND mask
// is set and the colour black, in the 256-pixel image, stored as a PNG with an alpha channel as Windows
// expects at that size, the alpha is 0.
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
