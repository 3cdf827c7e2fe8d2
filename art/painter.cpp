// Draws the 17 tiles at any cell size and the application icon pixel by pixel, in palette indices.
#include "art/painter.h"

#include <cstring>

const std::uint8_t vga_palette[16][3] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

const TileColours art_colours = {LightGrey, DarkGrey, Black, DarkGrey, White, Blue};
const TileColours contrast_colours = {ContrastGround, ContrastText,   ContrastText,
                                      ContrastText,   ContrastGround, ContrastHighlight};

// What a pixel of a tile is; the colour is chosen last, so a lit tile can differ from its
// unlit twin only where the water shows.
enum Role : std::uint8_t { Ground, Dot, Wall, Lining, Channel };

enum Side : std::int32_t { West, North, East, South };

constexpr std::int32_t OpenWest = 1, OpenNorth = 2, OpenEast = 4, OpenSouth = 8;

// The widths of one tile size in pixels, each rounded once from the 32-pixel design so that a line has
// the same width wherever it is drawn. At 32: a band of 8 (wall 1, lining 1, channel 4, lining 1, wall 1)
// on pixels 12..19, a collar 14 across (9..22) and 4 deep, dots of one pixel.
struct TileGeometry {
    std::int32_t size;
    std::int32_t wall;
    std::int32_t lining;
    std::int32_t channel;
    std::int32_t band;          // wall, lining, channel, lining, wall
    std::int32_t ground;        // pixels beside the band: it runs over [ground, ground + band)
    std::int32_t collar_gap;    // how far the collar's chamber reaches past the band on each side
    std::int32_t collar_depth;  // from the tile's edge through the collar's face
    std::int32_t dot;           // side of a square of the dotted edge
};

static TileGeometry tile;
static Role roles[MaxPictureSize][MaxPictureSize];

static TileGeometry tile_geometry(std::int32_t size)
{
    TileGeometry t{};
    t.size = size;
    // Wall and lining together are size / 16, a half rounded down; the wall takes the odd pixel.
    std::int32_t lines = (size + 7) / 16;
    t.wall = (lines + 1) / 2;
    t.lining = lines / 2;
    // The band is size / 4 with the parity of size, so that it has as many pixels on each side of the middle.
    t.band = size % 2 == 0 ? 2 * ((size + 4) / 8) : 2 * (size / 8) + 1;
    t.channel = t.band - 2 * lines;
    t.ground = (size - t.band) / 2;
    t.collar_gap = (size + 15) / 32;
    t.collar_depth = (size + 4) / 8;
    // Dots grow with the scale, but a tile must hold an even number of them to stay in step with its neighbours.
    t.dot = size / 32;
    while (t.dot > 1 && size % (2 * t.dot) != 0) {
        --t.dot;
    }
    return t;
}

// Twice the distance from the middle of the tile to the middle of pixel p, in whole numbers: a run of
// width w centred in the tile is the pixels where this is below w when w has the parity of the size.
static std::int32_t from_middle(std::int32_t p)
{
    std::int32_t d = 2 * p + 1 - tile.size;
    return d < 0 ? -d : d;
}

// The band across its width: d is twice the distance from its middle line.
static Role band_role(std::int32_t d)
{
    if (d < tile.channel) {
        return Channel;
    }
    if (d < tile.channel + 2 * tile.lining) {
        return Lining;
    }
    return d < tile.band ? Wall : Ground;
}

// Maps (along, across) relative to a side to (x, y): along 0 is the side's edge.
static void side_to_xy(Side side, std::int32_t along, std::int32_t across, std::int32_t& x, std::int32_t& y)
{
    std::int32_t last = tile.size - 1;
    switch (side) {
    case West:
        x = along;
        y = across;
        break;
    case East:
        x = last - along;
        y = across;
        break;
    case North:
        x = across;
        y = along;
        break;
    case South:
        x = across;
        y = last - along;
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
    for (std::int32_t along = 0; along < tile.ground + tile.band; ++along) {
        for (std::int32_t across = tile.ground; across < tile.ground + tile.band; ++across) {
            std::int32_t x = 0, y = 0;
            side_to_xy(side, along, across, x, y);
            merge_pipe(x, y, band_role(from_middle(across)));
        }
    }
}

// A quarter bend centred on the tile corner where the two open sides meet. Its rings have the radii of the
// band's pixels (12..20 at 32), so at each edge it crosses exactly the pixels of a straight band.
static void draw_bend(std::int32_t corner_x, std::int32_t corner_y)
{
    std::int32_t inner = 2 * tile.ground;
    std::int32_t outer = 2 * (tile.ground + tile.band);
    for (std::int32_t y = 0; y < tile.size; ++y) {
        for (std::int32_t x = 0; x < tile.size; ++x) {
            // Twice the distance from the corner to the pixel centre, squared: exact in integers.
            std::int32_t dx = 2 * x + 1 - 2 * corner_x;
            std::int32_t dy = 2 * y + 1 - 2 * corner_y;
            std::int32_t r4 = dx * dx + dy * dy;
            if (r4 < inner * inner || r4 >= outer * outer) {
                continue;
            }
            std::int32_t i = 0;
            while (r4 >= (inner + 2 * i + 2) * (inner + 2 * i + 2)) {
                ++i;
            }
            roles[y][x] = band_role(from_middle(tile.ground + i));
        }
    }
}

// The collar is a hollow sleeve: a black outline and a grey lining around a chamber that the channel opens
// into, so two neighbouring collars make one joint full of water. d is twice the distance from the middle.
static Role collar_role(std::int32_t d, std::int32_t along)
{
    std::int32_t chamber = tile.band + 2 * tile.collar_gap;
    bool in_channel = d < tile.channel;
    if (d >= chamber + 2 * tile.lining) {
        return Wall;
    }
    if (along >= tile.collar_depth - tile.wall) {
        return in_channel ? Channel : Wall;
    }
    if (d >= chamber) {
        return Lining;
    }
    if (along >= tile.collar_depth - tile.wall - tile.lining) {
        return in_channel ? Channel : Lining;
    }
    return Channel;
}

static void draw_collar(Side side)
{
    std::int32_t width = tile.band + 2 * (tile.collar_gap + tile.lining + tile.wall);
    for (std::int32_t along = 0; along < tile.collar_depth; ++along) {
        for (std::int32_t across = 0; across < tile.size; ++across) {
            std::int32_t d = from_middle(across);
            if (d < width) {
                std::int32_t x = 0, y = 0;
                side_to_xy(side, along, across, x, y);
                roles[y][x] = collar_role(d, along);
            }
        }
    }
}

// The source's foot: below the junction the band flares like a bell, its walls following
// ground - (ground - dot) * (depth / last)^2 (12 - 11 * (depth / 11)^2 at 32), down to a black base that
// spans the bottom edge but for one dot at each end.
static std::int32_t foot_left(std::int32_t depth)
{
    std::int32_t last = tile.ground - 1;
    if (depth <= 0) {
        return tile.ground;
    }
    return tile.ground - ((tile.ground - tile.dot) * depth * depth + last * last / 2) / (last * last);
}

static void draw_foot()
{
    std::int32_t top = tile.ground + tile.band;
    std::int32_t lines = tile.wall + tile.lining;
    for (std::int32_t y = top; y < tile.size; ++y) {
        std::int32_t depth = y - top;
        std::int32_t left = foot_left(depth);
        // Where the wall steps out faster than a pixel a row it runs along the row to stay unbroken:
        // a pixel is wall when a step up and sideways of at most the wall's width leaves the foot.
        std::int32_t wall_end = left + tile.wall;
        for (std::int32_t j = 1; j <= tile.wall; ++j) {
            std::int32_t end = foot_left(depth - j) + tile.wall - j;
            wall_end = end > wall_end ? end : wall_end;
        }
        std::int32_t lining_end = left + lines;
        for (std::int32_t j = 1; j < lines; ++j) {
            std::int32_t end = foot_left(depth - j) + lines - j;
            lining_end = end > lining_end ? end : lining_end;
        }
        for (std::int32_t x = left; x < tile.size - left; ++x) {
            std::int32_t from_side = x < tile.size - 1 - x ? x : tile.size - 1 - x;
            Role role = Channel;
            if (from_side < wall_end || y >= tile.size - tile.wall) {
                role = Wall;
            } else if (from_side < lining_end || y >= tile.size - lines) {
                role = Lining;
            }
            roles[y][x] = role;
        }
    }
}

// The edges are a checkerboard of dots that stays in step from tile to tile, so two neighbouring edges read
// as one faint dotted line: west and north edges dot the even squares along them, east and south the odd
// ones, so a dot faces a gap across every seam (with an even number of squares, the checkerboard itself).
static void draw_dotted_edges()
{
    for (std::int32_t i = 0; i < tile.size; ++i) {
        for (std::int32_t edge = 0; edge < 4; ++edge) {
            bool far_edge = edge == East || edge == South;
            for (std::int32_t depth = 0; depth < tile.dot && (i / tile.dot) % 2 == (far_edge ? 1 : 0); ++depth) {
                std::int32_t x = 0, y = 0;
                side_to_xy(static_cast<Side>(edge), depth, i, x, y);
                roles[y][x] = Dot;
            }
        }
    }
}

void draw_tile(std::int32_t index, std::int32_t size, Picture& picture, const TileColours& colours)
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
    if (index < 0 || index >= TileCount) {
        index = 0;
    }
    size = size < TileSize ? TileSize : size > MaxPictureSize ? MaxPictureSize : size;
    tile = tile_geometry(size);
    std::int32_t shape = index < FirstLitTile ? index : index - FirstLitTile + 1;
    bool lit = index >= FirstLitTile;
    std::int32_t open = openings[shape];

    std::memset(roles, Ground, sizeof roles);
    draw_dotted_edges();
    switch (shape) {
    case 3:
        draw_bend(0, 0);
        break;
    case 4:
        draw_bend(0, size);
        break;
    case 5:
        draw_bend(size, 0);
        break;
    case 6:
        draw_bend(size, size);
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

    const std::uint8_t by_role[5] = {colours.ground, colours.dot, colours.wall, colours.lining,
                                     lit ? colours.water : colours.channel};
    picture.size = size;
    for (std::int32_t y = 0; y < size; ++y) {
        for (std::int32_t x = 0; x < size; ++x) {
            picture.pixels[y][x] = by_role[roles[y][x]];
        }
    }
}

static void fill_rect(Picture& picture, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                      std::uint8_t colour)
{
    x0 = x0 < 0 ? 0 : x0;
    y0 = y0 < 0 ? 0 : y0;
    x1 = x1 > picture.size ? picture.size : x1;
    y1 = y1 > picture.size ? picture.size : y1;
    for (std::int32_t y = y0; y < y1; ++y) {
        for (std::int32_t x = x0; x < x1; ++x) {
            picture.pixels[y][x] = colour;
        }
    }
}

// The 16-pixel icon, drawn for its size: the pipes one pixel wide and the crosses reduced to plus signs.
static void draw_small_icon(Picture& picture)
{
    picture.size = 16;
    fill_rect(picture, 3, 5, 13, 8, Black);
    fill_rect(picture, 4, 6, 12, 7, DarkGrey);
    fill_rect(picture, 6, 1, 10, 12, Black);
    fill_rect(picture, 7, 1, 9, 12, DarkGrey);
    for (std::int32_t y = 11; y <= 14; ++y) {
        std::int32_t left = 6 - (y - 11);
        fill_rect(picture, left, y, 16 - left, y + 1, DarkGrey);
        fill_rect(picture, left, y, left + 1, y + 1, Black);
        fill_rect(picture, 15 - left, y, 16 - left, y + 1, Black);
    }
    fill_rect(picture, 2, 15, 14, 16, Black);
    static const std::int32_t cross_rows[2] = {1, 10};
    for (std::int32_t cy : cross_rows) {
        fill_rect(picture, 0, cy, 3, cy + 1, DarkGrey);
        fill_rect(picture, 1, cy - 1, 2, cy + 2, DarkGrey);
        fill_rect(picture, 13, cy, 16, cy + 1, DarkGrey);
        fill_rect(picture, 14, cy - 1, 15, cy + 2, DarkGrey);
    }
}

// The icon from 32 pixels up is one design laid out on a 32-unit grid: a coordinate maps to
// units * size / 32 pixels, rounded, and every line, one unit wide, is size / 32 pixels wide (at least one),
// so at 64 and 256 the picture is the 32-pixel one with each pixel repeated.
static std::int32_t icon_size;

static std::int32_t at(std::int32_t units)
{
    return (units * icon_size + 16) / 32;
}

// A pipe cross of the icon: a plus with arms three units wide, black outline and grey inside; (x, y) is the
// top left of its 7-unit square.
static void icon_cross(Picture& picture, std::int32_t x, std::int32_t y, std::int32_t line)
{
    std::int32_t arm = at(2), width = 2 * line + at(1), span = width + 2 * arm;
    fill_rect(picture, x, y + arm, x + span, y + arm + width, Black);
    fill_rect(picture, x + arm, y, x + arm + width, y + span, Black);
    fill_rect(picture, x + line, y + arm + line, x + span - line, y + arm + width - line, DarkGrey);
    fill_rect(picture, x + arm + line, y + line, x + arm + width - line, y + span - line, DarkGrey);
}

// The icon in grey: a vertical pipe on a flared foot with short side arms, four small crosses around.
void draw_icon(std::int32_t size, Picture& picture)
{
    std::memset(picture.pixels, White, sizeof picture.pixels);
    if (size < TileSize) {
        draw_small_icon(picture);
        return;
    }
    size = size > MaxPictureSize ? MaxPictureSize : size;
    icon_size = size;
    picture.size = size;
    std::int32_t line = size / 32;
    // Side arms: a horizontal pipe six units wide with collars at both ends, open toward the outside.
    std::int32_t arm_x = at(7), arm_top = at(10), arm_bottom = at(16);
    fill_rect(picture, arm_x, arm_top, size - arm_x, arm_bottom, Black);
    fill_rect(picture, arm_x, arm_top + line, size - arm_x, arm_bottom - line, DarkGrey);
    fill_rect(picture, arm_x, arm_top + 2 * line, size - arm_x, arm_bottom - 2 * line, LightGrey);
    fill_rect(picture, at(5), at(8), at(8), at(18), Black);
    fill_rect(picture, at(5), at(8) + line, at(8) - line, at(18) - line, DarkGrey);
    // The vertical pipe, from a collar at the top down to the foot; where it crosses the arms both are light.
    std::int32_t pipe_x = at(13), pipe_top = at(3), pipe_bottom = at(23);
    fill_rect(picture, pipe_x, pipe_top, size - pipe_x, pipe_bottom, Black);
    fill_rect(picture, pipe_x + line, pipe_top, size - pipe_x - line, pipe_bottom, DarkGrey);
    fill_rect(picture, pipe_x + 2 * line, pipe_top, size - pipe_x - 2 * line, pipe_bottom, LightGrey);
    fill_rect(picture, at(11), at(1), size - at(11), at(4), Black);
    fill_rect(picture, at(11) + line, at(1), size - at(11) - line, at(4) - line, DarkGrey);
    fill_rect(picture, pipe_x + line, arm_top + line, size - pipe_x - line, arm_bottom - line, LightGrey);
    fill_rect(picture, pipe_x + 2 * line, arm_top, size - pipe_x - 2 * line, arm_bottom, LightGrey);
    // The foot flares like the source tile's, row by row of the design: its walls at 13 - 8 * (row / 8)^2,
    // stepped along a row where they move out by more than a unit.
    for (std::int32_t row = 0; row < 9; ++row) {
        std::int32_t left = at(13 - (8 * row * row + 32) / 64);
        std::int32_t above = row == 0 ? left : at(13 - (8 * (row - 1) * (row - 1) + 32) / 64);
        std::int32_t wall_end = above > left + line ? above : left + line;
        std::int32_t y0 = at(21 + row), y1 = at(22 + row);
        fill_rect(picture, left, y0, size - left, y1, LightGrey);
        fill_rect(picture, left, y0, wall_end, y1, Black);
        fill_rect(picture, size - wall_end, y0, size - left, y1, Black);
        fill_rect(picture, wall_end, y0, wall_end + line, y1, DarkGrey);
        fill_rect(picture, size - wall_end - line, y0, size - wall_end, y1, DarkGrey);
    }
    // The base: a grey line on a black bar two lines thick.
    std::int32_t base = at(31) - 2 * line;
    fill_rect(picture, at(7), base - line, size - at(7), base, DarkGrey);
    fill_rect(picture, at(5), base, size - at(5), base + 2 * line, Black);
    icon_cross(picture, at(1), at(0), line);
    icon_cross(picture, at(0), at(19), line);
    // The design is symmetric: the right half is the left one mirrored.
    for (std::int32_t y = 0; y < size; ++y) {
        for (std::int32_t x = 0; x < size / 2; ++x) {
            picture.pixels[y][size - 1 - x] = picture.pixels[y][x];
        }
    }
}
