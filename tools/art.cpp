// Draws the 17 tiles and the application icon pixel by pixel and encodes them as 16-colour BMP and ICO.
#include "art.h"

#include <cstdio>
#include <cstring>

const std::uint8_t vga_palette[16][3] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

// What a pixel of a tile is; the colour is chosen last, so a lit tile can differ from its
// unlit twin only where the water shows.
enum Role : std::uint8_t { Ground, Dot, Wall, Lining, Channel };

enum Side : std::int32_t { West, North, East, South };

constexpr std::int32_t OpenWest = 1, OpenNorth = 2, OpenEast = 4, OpenSouth = 8;

// Across the 8-pixel band (pixels 12..19): black wall, grey lining, 4-pixel channel, lining, wall.
constexpr std::int32_t BandFirst = 12;
constexpr std::int32_t BandLast = 19;
static const Role band_profile[8] = {Wall, Lining, Channel, Channel, Channel, Channel, Lining, Wall};

// The collar: 14 pixels across the pipe (9..22), 4 pixels deep from the tile's edge.
constexpr std::int32_t CollarFirst = 9;
constexpr std::int32_t CollarLast = 22;
constexpr std::int32_t CollarDepth = 4;

// The flared foot of the source starts below the junction and widens one pixel a row.
constexpr std::int32_t FootTop = 20;

static Role roles[32][32];

// Maps (along, across) relative to a side to (x, y): along 0 is the side's edge.
static void side_to_xy(Side side, std::int32_t along, std::int32_t across, std::int32_t& x, std::int32_t& y)
{
    switch (side) {
    case West:
        x = along;
        y = across;
        break;
    case East:
        x = 31 - along;
        y = across;
        break;
    case North:
        x = across;
        y = along;
        break;
    case South:
        x = across;
        y = 31 - along;
        break;
    }
}

static bool is_pipe(Role role)
{
    return role == Wall || role == Lining || role == Channel;
}

// Where two pipes overlap the channel wins over the lining and the lining over the wall,
// which makes the walls of crossing pipes turn the inner corners cleanly.
static void merge_pipe(std::int32_t x, std::int32_t y, Role role)
{
    if (!is_pipe(roles[y][x]) || role > roles[y][x]) {
        roles[y][x] = role;
    }
}

// A straight arm from the side's edge through the centre square, to the far side of the band.
static void draw_arm(Side side)
{
    for (std::int32_t along = 0; along <= BandLast; ++along) {
        for (std::int32_t i = 0; i < 8; ++i) {
            std::int32_t x = 0, y = 0;
            side_to_xy(side, along, BandFirst + i, x, y);
            merge_pipe(x, y, band_profile[i]);
        }
    }
}

// A quarter bend centred on the tile corner where the two open sides meet; its middle radius is 16,
// so it leaves each edge exactly on the band (radii 12..20 map to the 8 band pixels).
static void draw_bend(std::int32_t corner_x, std::int32_t corner_y)
{
    for (std::int32_t y = 0; y < 32; ++y) {
        for (std::int32_t x = 0; x < 32; ++x) {
            // Twice the distance from the corner to the pixel centre, squared: exact in integers.
            std::int32_t dx = 2 * x + 1 - 2 * corner_x;
            std::int32_t dy = 2 * y + 1 - 2 * corner_y;
            std::int32_t r4 = dx * dx + dy * dy;
            for (std::int32_t i = 0; i < 8; ++i) {
                std::int32_t inner = 2 * (BandFirst + i);
                std::int32_t outer = inner + 2;
                if (r4 >= inner * inner && r4 < outer * outer) {
                    roles[y][x] = band_profile[i];
                }
            }
        }
    }
}

// The collar is a hollow sleeve: a black outline and a grey lining around a chamber that the
// channel opens into, so two neighbouring collars make one joint full of water.
static Role collar_role(std::int32_t across, std::int32_t along)
{
    std::int32_t from_side = across - CollarFirst < CollarLast - across ? across - CollarFirst : CollarLast - across;
    std::int32_t from_face = CollarDepth - 1 - along;
    bool in_channel = across >= BandFirst + 2 && across <= BandLast - 2;
    if (from_side == 0) {
        return Wall;
    }
    if (from_face == 0) {
        return in_channel ? Channel : Wall;
    }
    if (from_side == 1) {
        return Lining;
    }
    if (from_face == 1) {
        return in_channel ? Channel : Lining;
    }
    return Channel;
}

static void draw_collar(Side side)
{
    for (std::int32_t along = 0; along < CollarDepth; ++along) {
        for (std::int32_t across = CollarFirst; across <= CollarLast; ++across) {
            std::int32_t x = 0, y = 0;
            side_to_xy(side, along, across, x, y);
            roles[y][x] = collar_role(across, along);
        }
    }
}

// The source's foot: below a short neck the band flares like a bell, its walls following
// 12 - 11 * ((y - 20) / 11)^2, down to a black base that nearly spans the bottom edge.
static std::int32_t foot_left(std::int32_t y)
{
    std::int32_t depth = y - FootTop;
    return BandFirst - (11 * depth * depth + 60) / 121;
}

static void draw_foot()
{
    for (std::int32_t y = FootTop; y < 32; ++y) {
        std::int32_t left = foot_left(y);
        std::int32_t above = y == FootTop ? left : foot_left(y - 1);
        // Where the wall steps out by more than a pixel a row, it runs along the row to stay unbroken.
        std::int32_t wall_end = above - 1 > left ? above - 1 : left;
        std::int32_t lining_end = above > wall_end + 1 ? above : wall_end + 1;
        for (std::int32_t x = left; x <= 31 - left; ++x) {
            std::int32_t from_side = x < 16 ? x : 31 - x;
            Role role = Channel;
            if (from_side <= wall_end || y == 31) {
                role = Wall;
            } else if (from_side <= lining_end || y == 30) {
                role = Lining;
            }
            roles[y][x] = role;
        }
    }
}

// Every other pixel of each edge is grey, in a checkerboard that stays in step across tiles.
static void draw_dotted_edges()
{
    for (std::int32_t i = 0; i < 32; ++i) {
        for (std::int32_t edge = 0; edge < 4; ++edge) {
            std::int32_t x = 0, y = 0;
            side_to_xy(static_cast<Side>(edge), 0, i, x, y);
            if ((x + y) % 2 == 0) {
                roles[y][x] = Dot;
            }
        }
    }
}

std::int32_t tile_resource_id(std::int32_t index)
{
    return index <= 8 ? index + 1 : index + 3;
}

void draw_tile(std::int32_t index, Picture& picture)
{
    static const std::int32_t openings[9] = {
        0,                                            // empty
        OpenWest | OpenEast,                          // Horizontal
        OpenNorth | OpenSouth,                        // Vertical
        OpenWest | OpenNorth,                         // ElbowWN
        OpenWest | OpenSouth,                         // ElbowWS
        OpenEast | OpenNorth,                         // ElbowEN
        OpenEast | OpenSouth,                         // ElbowES
        OpenWest | OpenNorth | OpenEast | OpenSouth,  // Cross
        OpenWest | OpenNorth | OpenEast,              // Source, with its foot below
    };
    std::int32_t shape = index <= 8 ? index : index - 8;
    bool lit = index > 8;
    std::int32_t open = openings[shape];

    std::memset(roles, Ground, sizeof roles);
    draw_dotted_edges();
    switch (shape) {
    case 3:
        draw_bend(0, 0);
        break;
    case 4:
        draw_bend(0, 32);
        break;
    case 5:
        draw_bend(32, 0);
        break;
    case 6:
        draw_bend(32, 32);
        break;
    default:
        for (std::int32_t side = 0; side < 4; ++side) {
            if (open & (1 << side)) {
                draw_arm(static_cast<Side>(side));
            }
        }
        break;
    }
    if (shape == 8) {
        draw_foot();
    }
    for (std::int32_t side = 0; side < 4; ++side) {
        if (open & (1 << side)) {
            draw_collar(static_cast<Side>(side));
        }
    }

    static const std::uint8_t unlit_colours[5] = {LightGrey, DarkGrey, Black, DarkGrey, White};
    static const std::uint8_t lit_colours[5] = {LightGrey, DarkGrey, Black, DarkGrey, Blue};
    const std::uint8_t* colours = lit ? lit_colours : unlit_colours;
    picture.size = TileSize;
    for (std::int32_t y = 0; y < 32; ++y) {
        for (std::int32_t x = 0; x < 32; ++x) {
            picture.pixels[y][x] = colours[roles[y][x]];
        }
    }
}

static void put(Picture& picture, std::int32_t x, std::int32_t y, std::uint8_t colour)
{
    if (x >= 0 && y >= 0 && x < picture.size && y < picture.size) {
        picture.pixels[y][x] = colour;
    }
}

static void fill_rect(Picture& picture, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                      std::uint8_t colour)
{
    for (std::int32_t y = y0; y <= y1; ++y) {
        for (std::int32_t x = x0; x <= x1; ++x) {
            put(picture, x, y, colour);
        }
    }
}

// A small pipe cross of the icon: a plus with arms 3 wide, black outline and grey inside.
static void icon_cross(Picture& picture, std::int32_t cx, std::int32_t cy, std::int32_t arm)
{
    fill_rect(picture, cx - arm, cy - 1, cx + arm, cy + 1, Black);
    fill_rect(picture, cx - 1, cy - arm, cx + 1, cy + arm, Black);
    fill_rect(picture, cx - arm + 1, cy, cx + arm - 1, cy, DarkGrey);
    fill_rect(picture, cx, cy - arm + 1, cx, cy + arm - 1, DarkGrey);
}

// The icon in grey: a vertical pipe on a flared foot with short side arms, four small crosses around.
void draw_icon(std::int32_t size, Picture& picture)
{
    picture.size = size;
    std::memset(picture.pixels, White, sizeof picture.pixels);
    if (size == 32) {
        // Side arms: a horizontal pipe 6 wide with collars at both ends.
        fill_rect(picture, 7, 10, 24, 15, Black);
        fill_rect(picture, 7, 11, 24, 14, DarkGrey);
        fill_rect(picture, 7, 12, 24, 13, LightGrey);
        fill_rect(picture, 5, 8, 7, 17, Black);
        fill_rect(picture, 5, 9, 6, 16, DarkGrey);
        fill_rect(picture, 24, 8, 26, 17, Black);
        fill_rect(picture, 25, 9, 26, 16, DarkGrey);
        // The vertical pipe, from a collar at the top down to the foot.
        fill_rect(picture, 13, 3, 18, 22, Black);
        fill_rect(picture, 14, 3, 17, 22, DarkGrey);
        fill_rect(picture, 15, 3, 16, 22, LightGrey);
        fill_rect(picture, 11, 1, 20, 3, Black);
        fill_rect(picture, 12, 1, 19, 2, DarkGrey);
        fill_rect(picture, 14, 11, 17, 14, LightGrey);
        fill_rect(picture, 15, 10, 16, 15, LightGrey);
        // The foot flares like the source tile's, down to a base.
        for (std::int32_t y = 21; y <= 29; ++y) {
            std::int32_t depth = y - 21;
            std::int32_t above = 13 - (8 * (depth - 1) * (depth - 1) + 32) / 64;
            std::int32_t left = 13 - (8 * depth * depth + 32) / 64;
            std::int32_t wall_end = y > 21 && above - 1 > left ? above - 1 : left;
            fill_rect(picture, left, y, 31 - left, y, LightGrey);
            fill_rect(picture, left, y, wall_end, y, Black);
            fill_rect(picture, 31 - wall_end, y, 31 - left, y, Black);
            put(picture, wall_end + 1, y, DarkGrey);
            put(picture, 30 - wall_end, y, DarkGrey);
        }
        fill_rect(picture, 5, 29, 26, 30, Black);
        fill_rect(picture, 7, 28, 24, 28, DarkGrey);
        icon_cross(picture, 4, 3, 3);
        icon_cross(picture, 27, 3, 3);
        icon_cross(picture, 3, 22, 3);
        icon_cross(picture, 28, 22, 3);
    } else {
        fill_rect(picture, 3, 5, 12, 7, Black);
        fill_rect(picture, 4, 6, 11, 6, DarkGrey);
        fill_rect(picture, 6, 1, 9, 11, Black);
        fill_rect(picture, 7, 1, 8, 11, DarkGrey);
        for (std::int32_t y = 11; y <= 14; ++y) {
            std::int32_t left = 6 - (y - 11);
            fill_rect(picture, left, y, 15 - left, y, DarkGrey);
            put(picture, left, y, Black);
            put(picture, 15 - left, y, Black);
        }
        fill_rect(picture, 2, 15, 13, 15, Black);
        fill_rect(picture, 0, 1, 2, 1, DarkGrey);
        fill_rect(picture, 1, 0, 1, 2, DarkGrey);
        fill_rect(picture, 13, 1, 15, 1, DarkGrey);
        fill_rect(picture, 14, 0, 14, 2, DarkGrey);
        fill_rect(picture, 0, 10, 2, 10, DarkGrey);
        fill_rect(picture, 1, 9, 1, 11, DarkGrey);
        fill_rect(picture, 13, 10, 15, 10, DarkGrey);
        fill_rect(picture, 14, 9, 14, 11, DarkGrey);
    }
}

// Bytes of one 4-bit row, padded to a multiple of four.
static std::uint32_t nibble_row_bytes(std::int32_t size)
{
    return ((static_cast<std::uint32_t>(size) * 4 + 31) / 32) * 4;
}

static std::uint32_t mask_row_bytes(std::int32_t size)
{
    return ((static_cast<std::uint32_t>(size) + 31) / 32) * 4;
}

// Marks the icon's ground: the white pixels joined to the edge through white pixels. White inside
// the drawing would stay. Passes over the picture repeat until no mark spreads any further.
static void mark_ground(const Picture& picture, bool ground[32][32])
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

// BITMAPINFOHEADER, palette and bottom-up 4-bit rows; height_factor 2 for an icon's XOR and AND pair.
// In an icon the ground is transparent: black in the XOR bitmap and set in the AND mask, so the
// screen shows through unchanged.
static std::uint32_t encode_dib(const Picture& picture, std::int32_t height_factor, std::uint8_t* out)
{
    bool ground[32][32] = {};
    if (height_factor == 2) {
        mark_ground(picture, ground);
    }
    std::uint32_t row_bytes = nibble_row_bytes(picture.size);
    std::uint32_t image_bytes = row_bytes * static_cast<std::uint32_t>(picture.size);
    if (height_factor == 2) {
        image_bytes += mask_row_bytes(picture.size) * static_cast<std::uint32_t>(picture.size);
    }
    std::memset(out, 0, 40);
    put32(out, 40);
    put32(out + 4, static_cast<std::uint32_t>(picture.size));
    put32(out + 8, static_cast<std::uint32_t>(picture.size * height_factor));
    put16(out + 12, 1);
    put16(out + 14, 4);
    put32(out + 16, 0);
    put32(out + 20, image_bytes);
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
            std::uint8_t nibble = ground[y][x] ? Black : picture.pixels[y][x] & 0x0F;
            p[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? nibble << 4 : nibble);
        }
        p += row_bytes;
    }
    if (height_factor == 2) {
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
    return static_cast<std::uint32_t>(p - out);
}

std::uint32_t encode_bmp(const Picture& picture, std::uint8_t* out, std::uint32_t capacity)
{
    std::uint32_t dib_bytes = 40 + 64 + nibble_row_bytes(picture.size) * static_cast<std::uint32_t>(picture.size);
    std::uint32_t total = 14 + dib_bytes;
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

std::uint32_t encode_ico(const Picture* images, std::int32_t count, std::uint8_t* out, std::uint32_t capacity)
{
    std::uint32_t total = 6 + 16 * static_cast<std::uint32_t>(count);
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint32_t size = static_cast<std::uint32_t>(images[i].size);
        total += 40 + 64 + (nibble_row_bytes(images[i].size) + mask_row_bytes(images[i].size)) * size;
    }
    if (count <= 0 || capacity < total) {
        return 0;
    }
    put16(out, 0);
    put16(out + 2, 1);
    put16(out + 4, static_cast<std::uint32_t>(count));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(count);
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint8_t* entry = out + 6 + 16 * i;
        std::uint32_t bytes = encode_dib(images[i], 2, out + offset);
        entry[0] = static_cast<std::uint8_t>(images[i].size);
        entry[1] = static_cast<std::uint8_t>(images[i].size);
        entry[2] = 16;
        entry[3] = 0;
        put16(entry + 4, 1);
        put16(entry + 6, 4);
        put32(entry + 8, bytes);
        put32(entry + 12, offset);
        offset += bytes;
    }
    return total;
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
    std::uint8_t bytes[IcoCapacity];
    Picture picture;
    for (std::int32_t index = 0; index < TileCount; ++index) {
        draw_tile(index, picture);
        std::uint32_t size = encode_bmp(picture, bytes, sizeof bytes);
        int length = std::snprintf(path, sizeof path, "%s/tile_%02d.bmp", folder, tile_resource_id(index));
        if (size == 0 || length < 0 || length >= static_cast<int>(sizeof path) || write_bytes(path, bytes, size) != 0) {
            return 1;
        }
    }
    static Picture icons[2];
    draw_icon(32, icons[0]);
    draw_icon(16, icons[1]);
    std::uint32_t size = encode_ico(icons, 2, bytes, sizeof bytes);
    int length = std::snprintf(path, sizeof path, "%s/ondulor.ico", folder);
    if (size == 0 || length < 0 || length >= static_cast<int>(sizeof path)) {
        return 1;
    }
    return write_bytes(path, bytes, size);
}
