// Encodes the painter's pictures: the tiles as 16-colour BMP files, the icon as an ICO of 16-colour images
// and one PNG, and writes them into res/art.
#include "art.h"

#include <png.h>

#include <csetjmp>
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

// The 256-pixel image as a PNG with 8-bit red, green, blue and alpha, the ground at alpha 0, written by
// libpng into a buffer of its own: 0 when it does not fit.
constexpr std::uint32_t PngCapacity = 65536;
static std::uint8_t png[PngCapacity];

// The PNG being written into png by libpng; full once a write found no room, and then worth nothing.
struct PngOutput {
    std::uint32_t bytes;
    bool full;
};

static void write_png_bytes(png_structp writer, png_bytep data, std::size_t length)
{
    PngOutput* output = static_cast<PngOutput*>(png_get_io_ptr(writer));
    if (output->full || length > PngCapacity - output->bytes) {
        output->full = true;
        return;
    }
    std::memcpy(png + output->bytes, data, length);
    output->bytes += static_cast<std::uint32_t>(length);
}

static void flush_png(png_structp) {}

// libpng writes no time chunk unless given one, and a fixed filter and level, rather than its choice per
// row, keep the bytes the same from run to run; another zlib may still compress them otherwise, so the art
// test compares the image's pixels. The image is the 32-pixel one with each pixel repeated, so the filter
// "up" turns seven rows in eight into zeros: 1031 bytes, against 1077 with libpng's choice.
static std::uint32_t encode_png(const Picture& picture)
{
    static std::uint8_t raw[MaxPictureSize][4 * MaxPictureSize];
    static png_bytep rows[MaxPictureSize];
    mark_ground(picture);
    for (std::int32_t y = 0; y < picture.size; ++y) {
        std::uint8_t* p = raw[y];
        for (std::int32_t x = 0; x < picture.size; ++x) {
            const std::uint8_t* rgb = vga_palette[picture.pixels[y][x] & 0x0F];
            bool clear = ground[y][x];
            *p++ = clear ? 0 : rgb[0];
            *p++ = clear ? 0 : rgb[1];
            *p++ = clear ? 0 : rgb[2];
            *p++ = clear ? 0 : 255;
        }
        rows[y] = raw[y];
    }
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = writer == nullptr ? nullptr : png_create_info_struct(writer);
    if (info == nullptr) {
        png_destroy_write_struct(&writer, nullptr);
        return 0;
    }
    PngOutput output{0, false};
    // libpng's errors come back here; nothing on this frame needs undoing but libpng's own state.
    if (setjmp(png_jmpbuf(writer))) {
        png_destroy_write_struct(&writer, &info);
        return 0;
    }
    png_set_write_fn(writer, &output, write_png_bytes, flush_png);
    png_set_IHDR(writer, info, static_cast<png_uint_32>(picture.size), static_cast<png_uint_32>(picture.size), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(writer, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_level(writer, 9);
    png_set_rows(writer, info, rows);
    png_write_png(writer, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&writer, &info);
    return output.full ? 0 : output.bytes;
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
