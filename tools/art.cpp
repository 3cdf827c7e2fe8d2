// Encodes the painter's pictures: the tiles as 16-colour BMP files, the icon as an ICO of 16-colour images
// and one PNG, and writes them into res/art.
#include "art.h"

#include <cstdio>
#include <cstring>

// Bytes of one 4-bit row, padded to a multiple of four.
static std::uint32_t nibble_row_bytes(std::int32_t size)
{
    return ((static_cast<std::uint32_t>(size) * 4 + 31) / 32) * 4;
}

static std::uint32_t mask_row_bytes(std::int32_t size)
{
    return ((static_cast<std::uint32_t>(size) + 31) / 32) * 4;
}

// Where an icon's ground is: the white pixels joined to the edge through white pixels. White inside the
// drawing stays. Passes over the picture repeat until no mark spreads any further.
static bool ground[MaxPictureSize][MaxPictureSize];

static void mark_ground(const Picture& picture)
{
    std::int32_t last = picture.size - 1;
    for (std::int32_t y = 0; y < picture.size; ++y) {
        for (std::int32_t x = 0; x < picture.size; ++x) {
            bool edge = x == 0 || y == 0 || x == last || y == last;
            ground[y][x] = edge && picture.pixels[y][x] == White;
        }
    }
    for (bool spread = true; spread;) {
        spread = false;
        for (std::int32_t y = 1; y < last; ++y) {
            for (std::int32_t x = 1; x < last; ++x) {
                if (!ground[y][x] && picture.pixels[y][x] == White &&
                    (ground[y - 1][x] || ground[y + 1][x] || ground[y][x - 1] || ground[y][x + 1])) {
                    ground[y][x] = true;
                    spread = true;
                }
            }
        }
    }
}

static std::uint32_t dib_bytes(std::int32_t size, std::int32_t height_factor)
{
    std::uint32_t rows = static_cast<std::uint32_t>(size);
    std::uint32_t bytes = 40 + 64 + nibble_row_bytes(size) * rows;
    return height_factor == 2 ? bytes + mask_row_bytes(size) * rows : bytes;
}

// BITMAPINFOHEADER, palette and bottom-up 4-bit rows; height_factor 2 for an icon's XOR and AND pair.
// In an icon the ground is transparent: black in the XOR bitmap and set in the AND mask, so the
// screen shows through unchanged.
static std::uint32_t encode_dib(const Picture& picture, std::int32_t height_factor, std::uint8_t* out)
{
    bool icon = height_factor == 2;
    if (icon) {
        mark_ground(picture);
    }
    std::uint32_t row_bytes = nibble_row_bytes(picture.size);
    std::uint32_t bytes = dib_bytes(picture.size, height_factor);
    std::memset(out, 0, 40);
    put32(out, 40);
    put32(out + 4, static_cast<std::uint32_t>(picture.size));
    put32(out + 8, static_cast<std::uint32_t>(picture.size * height_factor));
    put16(out + 12, 1);
    put16(out + 14, 4);
    put32(out + 16, 0);
    put32(out + 20, bytes - 40 - 64);
    put32(out + 32, 16);
    std::uint8_t* p = out + 40;
    for (std::int32_t i = 0; i < 16; ++i) {
        p[0] = vga_palette[i][2];
        p[1] = vga_palette[i][1];
        p[2] = vga_palette[i][0];
        p[3] = 0;
        p += 4;
    }
    for (std::int32_t y = picture.size - 1; y >= 0; --y) {
        std::memset(p, 0, row_bytes);
        for (std::int32_t x = 0; x < picture.size; ++x) {
            std::uint8_t nibble = icon && ground[y][x] ? Black : picture.pixels[y][x] & 0x0F;
            p[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? nibble << 4 : nibble);
        }
        p += row_bytes;
    }
    if (icon) {
        std::uint32_t mask_row = mask_row_bytes(picture.size);
        for (std::int32_t y = picture.size - 1; y >= 0; --y) {
            std::memset(p, 0, mask_row);
            for (std::int32_t x = 0; x < picture.size; ++x) {
                if (ground[y][x]) {
                    p[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                }
            }
            p += mask_row;
        }
    }
    return bytes;
}

// The PNG's fields are big-endian.
static void put32_big(std::uint8_t* p, std::uint32_t value)
{
    p[0] = static_cast<std::uint8_t>(value >> 24);
    p[1] = static_cast<std::uint8_t>(value >> 16);
    p[2] = static_cast<std::uint8_t>(value >> 8);
    p[3] = static_cast<std::uint8_t>(value);
}

static std::uint32_t crc32(const std::uint8_t* data, std::uint32_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint32_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (std::int32_t bit = 0; bit < 8; ++bit) {
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return ~crc;
}

static std::uint32_t adler32(const std::uint8_t* data, std::uint32_t size)
{
    std::uint32_t a = 1, b = 0;
    for (std::uint32_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

// A deflate stream being written, bits least significant first; full once out of room.
struct BitStream {
    std::uint8_t* out;
    std::uint32_t capacity;
    std::uint32_t bytes;
    std::int32_t bit;
    bool full;
};

static void put_bits(BitStream& s, std::uint32_t value, std::int32_t count)
{
    for (std::int32_t i = 0; i < count; ++i) {
        if (s.bit == 0) {
            if (s.bytes == s.capacity) {
                s.full = true;
                return;
            }
            s.out[s.bytes++] = 0;
        }
        s.out[s.bytes - 1] |= static_cast<std::uint8_t>((value >> i & 1) << s.bit);
        s.bit = (s.bit + 1) % 8;
    }
}

// Huffman codes go most significant bit first.
static void put_code(BitStream& s, std::uint32_t code, std::int32_t length)
{
    for (std::int32_t i = length - 1; i >= 0; --i) {
        put_bits(s, code >> i & 1, 1);
    }
}

// A literal byte, the end of the block (256) or a length code (257..285) in deflate's fixed code.
static void put_symbol(BitStream& s, std::int32_t symbol)
{
    if (symbol < 144) {
        put_code(s, 0x30 + static_cast<std::uint32_t>(symbol), 8);
    } else if (symbol < 256) {
        put_code(s, 0x190 + static_cast<std::uint32_t>(symbol - 144), 9);
    } else if (symbol < 280) {
        put_code(s, static_cast<std::uint32_t>(symbol - 256), 7);
    } else {
        put_code(s, 0xC0 + static_cast<std::uint32_t>(symbol - 280), 8);
    }
}

static void put_match(BitStream& s, std::uint32_t length, std::uint32_t distance)
{
    static const std::uint16_t length_base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const std::uint16_t distance_base[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                                    33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    std::int32_t code = 28;
    while (length_base[code] > length) {
        --code;
    }
    put_symbol(s, 257 + code);
    put_bits(s, length - length_base[code], code < 8 || code == 28 ? 0 : (code - 4) / 4);
    code = 29;
    while (distance_base[code] > distance) {
        --code;
    }
    put_code(s, static_cast<std::uint32_t>(code), 5);
    put_bits(s, distance - distance_base[code], code < 2 ? 0 : code / 2 - 1);
}

// Compresses data as one zlib stream of one fixed-code deflate block. The pictures are flat colours in runs
// and rows that repeat, so matches one byte, one pixel and one row back are all the search needs.
static std::uint32_t zlib_compress(const std::uint8_t* data, std::uint32_t size, std::uint32_t row, std::uint8_t* out,
                                   std::uint32_t capacity)
{
    if (capacity < 6) {
        return 0;
    }
    out[0] = 0x78;
    out[1] = 0x01;
    BitStream s{out + 2, capacity - 6, 0, 0, false};
    put_bits(s, 1, 1);  // the last block
    put_bits(s, 1, 2);  // fixed codes
    const std::uint32_t distances[3] = {1, 4, row};
    for (std::uint32_t i = 0; i < size && !s.full;) {
        std::uint32_t best = 0, best_distance = 0;
        for (std::uint32_t distance : distances) {
            std::uint32_t length = 0;
            while (distance <= i && distance <= 32768 && length < 258 && i + length < size &&
                   data[i + length] == data[i + length - distance]) {
                ++length;
            }
            if (length > best) {
                best = length;
                best_distance = distance;
            }
        }
        if (best >= 3) {
            put_match(s, best, best_distance);
            i += best;
        } else {
            put_symbol(s, data[i]);
            ++i;
        }
    }
    put_symbol(s, 256);
    if (s.full) {
        return 0;
    }
    put32_big(out + 2 + s.bytes, adler32(data, size));
    return 2 + s.bytes + 4;
}

static std::uint32_t put_chunk(std::uint8_t* out, const char* type, std::uint32_t length)
{
    put32_big(out, length);
    std::memcpy(out + 4, type, 4);
    put32_big(out + 8 + length, crc32(out + 4, 4 + length));
    return 12 + length;
}

// A PNG with 8-bit red, green, blue and alpha, the ground at alpha 0, into a buffer of its own: 0 when it
// does not fit.
constexpr std::uint32_t PngCapacity = 65536;
static std::uint8_t png[PngCapacity];

static std::uint32_t encode_png(const Picture& picture)
{
    static std::uint8_t raw[MaxPictureSize * (1 + 4 * MaxPictureSize)];
    mark_ground(picture);
    std::uint32_t row = 1 + 4 * static_cast<std::uint32_t>(picture.size);
    std::uint8_t* p = raw;
    for (std::int32_t y = 0; y < picture.size; ++y) {
        *p++ = 0;  // no filter
        for (std::int32_t x = 0; x < picture.size; ++x) {
            const std::uint8_t* rgb = vga_palette[picture.pixels[y][x] & 0x0F];
            bool clear = ground[y][x];
            *p++ = clear ? 0 : rgb[0];
            *p++ = clear ? 0 : rgb[1];
            *p++ = clear ? 0 : rgb[2];
            *p++ = clear ? 0 : 255;
        }
    }
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::memcpy(png, signature, 8);
    std::uint8_t* header = png + 8 + 8;
    put32_big(header, static_cast<std::uint32_t>(picture.size));
    put32_big(header + 4, static_cast<std::uint32_t>(picture.size));
    const std::uint8_t depth_colour_and_methods[5] = {8, 6, 0, 0, 0};
    std::memcpy(header + 8, depth_colour_and_methods, 5);
    std::uint32_t at = 8 + put_chunk(png + 8, "IHDR", 13);
    std::uint32_t room = PngCapacity - at - 12 - 12;
    std::uint32_t compressed = zlib_compress(raw, static_cast<std::uint32_t>(p - raw), row, png + at + 8, room);
    if (compressed == 0) {
        return 0;
    }
    at += put_chunk(png + at, "IDAT", compressed);
    return at + put_chunk(png + at, "IEND", 0);
}

std::uint32_t encode_bmp(const Picture& picture, std::uint8_t* out, std::uint32_t capacity)
{
    std::uint32_t total = 14 + dib_bytes(picture.size, 1);
    if (capacity < total) {
        return 0;
    }
    out[0] = 'B';
    out[1] = 'M';
    put32(out + 2, total);
    put32(out + 6, 0);
    put32(out + 10, 14 + 40 + 64);
    encode_dib(picture, 1, out + 14);
    return total;
}

// Images of MaxPictureSize pixels go in as PNG, the smaller ones as 16-colour DIBs.
std::uint32_t encode_ico(const Picture* images, std::int32_t count, std::uint8_t* out, std::uint32_t capacity)
{
    if (count <= 0) {
        return 0;
    }
    std::uint32_t total = 6 + 16 * static_cast<std::uint32_t>(count);
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint32_t bytes = images[i].size == MaxPictureSize ? encode_png(images[i]) : dib_bytes(images[i].size, 2);
        if (bytes == 0) {
            return 0;
        }
        total += bytes;
    }
    if (capacity < total) {
        return 0;
    }
    put16(out, 0);
    put16(out + 2, 1);
    put16(out + 4, static_cast<std::uint32_t>(count));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(count);
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint8_t* entry = out + 6 + 16 * i;
        bool as_png = images[i].size == MaxPictureSize;
        std::uint32_t bytes = 0;
        if (as_png) {
            bytes = encode_png(images[i]);
            std::memcpy(out + offset, png, bytes);
        } else {
            bytes = encode_dib(images[i], 2, out + offset);
        }
        // A width and height of 0 mean 256.
        entry[0] = static_cast<std::uint8_t>(images[i].size);
        entry[1] = static_cast<std::uint8_t>(images[i].size);
        entry[2] = as_png ? 0 : 16;
        entry[3] = 0;
        put16(entry + 4, 1);
        put16(entry + 6, as_png ? 32 : 4);
        put32(entry + 8, bytes);
        put32(entry + 12, offset);
        offset += bytes;
    }
    return total;
}

std::int32_t tile_resource_id(std::int32_t index)
{
    return index < FirstLitTile ? index + 1 : index + 3;
}

std::int32_t write_bytes(const char* path, const std::uint8_t* data, std::uint32_t size)
{
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return 1;
    }
    bool written = std::fwrite(data, 1, size, file) == size;
    bool closed = std::fclose(file) == 0;
    return written && closed ? 0 : 1;
}

std::int32_t write_art(const char* folder)
{
    char path[512];
    static std::uint8_t bytes[IcoCapacity];
    static Picture pictures[IconImageCount];
    for (std::int32_t index = 0; index < TileCount; ++index) {
        draw_tile(index, TileSize, pictures[0]);
        std::uint32_t size = encode_bmp(pictures[0], bytes, sizeof bytes);
        int length = std::snprintf(path, sizeof path, "%s/tile_%02d.bmp", folder, tile_resource_id(index));
        if (size == 0 || length < 0 || length >= static_cast<int>(sizeof path) || write_bytes(path, bytes, size) != 0) {
            return 1;
        }
    }
    for (std::int32_t i = 0; i < IconImageCount; ++i) {
        draw_icon(icon_image_sizes[i], pictures[i]);
    }
    std::uint32_t size = encode_ico(pictures, IconImageCount, bytes, sizeof bytes);
    int length = std::snprintf(path, sizeof path, "%s/ondulor.ico", folder);
    if (size == 0 || length < 0 || length >= static_cast<int>(sizeof path)) {
        return 1;
    }
    return write_bytes(path, bytes, size);
}
