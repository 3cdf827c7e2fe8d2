// Checks the committed tile bitmaps: their BMP format and palette, and the drawing rules that make
// neighbouring tiles join, closed sides show the grid and lit tiles differ from unlit ones only in water.
#include "host/art_support.h"

#include "art/painter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::uint32_t kBlack = 0x000000, kGrey = 0x808080, kLight = 0xC0C0C0, kWhite = 0xFFFFFF, kBlue = 0x0000FF;

const std::uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// A decoded tile: colour[y][x] as 0xRRGGBB, row 0 at the top.
struct Tile {
    std::uint32_t colour[32][32];
    std::uint32_t at(int x, int y) const { return colour[y][x]; }
};

// Parses a 32x32 4-bit BI_RGB bitmap file with its own reading of the format; reports every fault.
bool parse_tile(const std::string& name, Tile& tile)
{
    std::vector<std::uint8_t> b = read_art_file(art_path(name));
    if (b.size() != 630) {
        ADD_FAILURE() << name << ": size " << b.size();
        return false;
    }
    bool ok = true;
    auto expect = [&](const char* what, std::uint32_t got, std::uint32_t want) {
        if (got != want) {
            ADD_FAILURE() << name << ": " << what << " is " << got << ", expected " << want;
            ok = false;
        }
    };
    expect("magic", le16(b, 0), 0x4D42);
    expect("file size", le32(b, 2), 630);
    expect("reserved", le32(b, 6), 0);
    expect("pixel offset", le32(b, 10), 118);
    expect("header size", le32(b, 14), 40);
    expect("width", le32(b, 18), 32);
    expect("height (positive: bottom-up)", le32(b, 22), 32);
    expect("planes", le16(b, 26), 1);
    expect("bits per pixel", le16(b, 28), 4);
    expect("compression", le32(b, 30), 0);
    std::uint32_t image_size = le32(b, 34);
    if (image_size != 0) {
        expect("image size", image_size, 512);
    }
    std::uint32_t used = le32(b, 46);
    if (used != 0) {
        expect("colours used", used, 16);
    }
    for (int i = 0; i < 16; ++i) {
        std::uint32_t rgb = (b[54 + 4 * i + 2] << 16) | (b[54 + 4 * i + 1] << 8) | b[54 + 4 * i];
        expect("palette entry", rgb, kVga[i]);
        expect("palette reserved byte", b[54 + 4 * i + 3], 0);
    }
    // Rows are 16 bytes (already a multiple of four), the bottom row first, the high nibble on the left.
    for (int y = 0; y < 32; ++y) {
        const std::uint8_t* row = &b[118 + 16 * (31 - y)];
        for (int x = 0; x < 32; ++x) {
            int index = x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
            tile.colour[y][x] = kVga[index];
        }
    }
    return ok;
}

enum Side { West, North, East, South };

// Pixel i (0..31) along the edge of a side, and the pixel `depth` rows in from it.
std::uint32_t edge_pixel(const Tile& t, Side side, int i, int depth = 0)
{
    switch (side) {
    case West:
        return t.at(depth, i);
    case East:
        return t.at(31 - depth, i);
    case North:
        return t.at(i, depth);
    case South:
        return t.at(i, 31 - depth);
    }
    return 0;
}

struct TileSpec {
    int resource_id;
    const char* name;
    bool open[4];  // West, North, East, South
    bool lit;
    bool source;
};

const TileSpec kTiles[17] = {
    {1, "empty", {false, false, false, false}, false, false},
    {2, "Horizontal", {true, false, true, false}, false, false},
    {3, "Vertical", {false, true, false, true}, false, false},
    {4, "ElbowWN", {true, true, false, false}, false, false},
    {5, "ElbowWS", {true, false, false, true}, false, false},
    {6, "ElbowEN", {false, true, true, false}, false, false},
    {7, "ElbowES", {false, false, true, true}, false, false},
    {8, "Cross", {true, true, true, true}, false, false},
    {9, "Source", {true, true, true, false}, false, true},
    {12, "Horizontal lit", {true, false, true, false}, true, false},
    {13, "Vertical lit", {false, true, false, true}, true, false},
    {14, "ElbowWN lit", {true, true, false, false}, true, false},
    {15, "ElbowWS lit", {true, false, false, true}, true, false},
    {16, "ElbowEN lit", {false, true, true, false}, true, false},
    {17, "ElbowES lit", {false, false, true, true}, true, false},
    {18, "Cross lit", {true, true, true, true}, true, false},
    {19, "Source lit", {true, true, true, false}, true, true},
};

class TileFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        for (int i = 0; i < 17; ++i) {
            parsed[i] = parse_tile(tile_name(kTiles[i].resource_id), tiles[i]);
        }
    }
    static Tile tiles[17];
    static bool parsed[17];
};

Tile TileFiles::tiles[17];
bool TileFiles::parsed[17];

TEST_F(TileFiles, AllSeventeenParseAsSixteenColourBitmapsInTheTileColours)
{
    for (int i = 0; i < 17; ++i) {
        ASSERT_TRUE(parsed[i]) << kTiles[i].name;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                std::uint32_t c = tiles[i].at(x, y);
                std::uint32_t water = kTiles[i].lit ? kBlue : kWhite;
                EXPECT_TRUE(c == kLight || c == kGrey || c == kBlack || c == water)
                    << kTiles[i].name << " (" << x << "," << y << ") has colour " << std::hex << c;
            }
        }
    }
}

TEST_F(TileFiles, LitTileDiffersFromItsTwinOnlyWhereTheWaterTurnsBlue)
{
    for (int i = 1; i <= 8; ++i) {
        const Tile& unlit = tiles[i];
        const Tile& lit = tiles[i + 8];
        int blue = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (lit.at(x, y) == kBlue) {
                    ++blue;
                    EXPECT_EQ(unlit.at(x, y), kWhite) << kTiles[i].name << " (" << x << "," << y << ")";
                } else {
                    EXPECT_EQ(lit.at(x, y), unlit.at(x, y)) << kTiles[i].name << " (" << x << "," << y << ")";
                }
            }
        }
        EXPECT_GT(blue, 100) << kTiles[i].name;
    }
}

TEST_F(TileFiles, ClosedSidesCarryTheDottedGridLine)
{
    for (int i = 0; i < 17; ++i) {
        for (int s = 0; s < 4; ++s) {
            if (kTiles[i].open[s] || (kTiles[i].source && s == South)) {
                continue;
            }
            for (int p = 0; p < 32; ++p) {
                // Grey on the pixels whose tile coordinates sum to an even number: a checkerboard that
                // stays in step from tile to tile, so neighbouring edges make one faint line.
                int x = s == West ? 0 : s == East ? 31 : p;
                int y = s == North ? 0 : s == South ? 31 : p;
                std::uint32_t want = (x + y) % 2 == 0 ? kGrey : kLight;
                EXPECT_EQ(edge_pixel(tiles[i], static_cast<Side>(s), p), want)
                    << kTiles[i].name << " side " << s << " pixel " << p;
            }
        }
    }
}

TEST_F(TileFiles, EmptyCellIsPlainGroundInsideItsDottedFrame)
{
    const Tile& t = tiles[0];
    for (int y = 1; y < 31; ++y) {
        for (int x = 1; x < 31; ++x) {
            EXPECT_EQ(t.at(x, y), kLight) << "(" << x << "," << y << ")";
        }
    }
}

// Every open side ends in the same collar profile, symmetric about the tile's middle, so any two
// tiles whose facing sides are open meet in a closed joint with the channel running through.
TEST_F(TileFiles, OpenSidesEndInTheSameCollarSoNeighboursJoin)
{
    for (int i = 0; i < 17; ++i) {
        std::uint32_t water = kTiles[i].lit ? kBlue : kWhite;
        for (int s = 0; s < 4; ++s) {
            if (!kTiles[i].open[s]) {
                continue;
            }
            Side side = static_cast<Side>(s);
            for (int depth = 0; depth < 2; ++depth) {
                std::array<std::uint32_t, 14> want{};
                for (int p = 9; p <= 22; ++p) {
                    int from_side = std::min(p - 9, 22 - p);
                    want[p - 9] = from_side == 0 ? kBlack : from_side == 1 ? kGrey : water;
                }
                for (int p = 9; p <= 22; ++p) {
                    EXPECT_EQ(edge_pixel(tiles[i], side, p, depth), want[p - 9])
                        << kTiles[i].name << " side " << s << " depth " << depth << " pixel " << p;
                }
            }
            // The collar's face, 3 pixels in: black outside the 4-pixel channel, which passes through.
            for (int p = 9; p <= 22; ++p) {
                std::uint32_t want = p >= 14 && p <= 17 ? water : kBlack;
                EXPECT_EQ(edge_pixel(tiles[i], side, p, 3), want) << kTiles[i].name << " side " << s << " pixel " << p;
            }
            // Beside the collar the edge keeps the dotted grid.
            for (int p : {0, 1, 7, 8, 23, 24, 30, 31}) {
                std::uint32_t c = edge_pixel(tiles[i], side, p);
                EXPECT_TRUE(c == kGrey || c == kLight) << kTiles[i].name << " side " << s << " pixel " << p;
            }
        }
    }
}

// Flood fill through channel pixels from one open side's edge must reach every other open side:
// the water drawn in a piece is one connected run, with no wall across it.
TEST_F(TileFiles, ChannelConnectsEveryOpenSide)
{
    for (int i = 1; i < 17; ++i) {
        std::uint32_t water = kTiles[i].lit ? kBlue : kWhite;
        int first = 0;
        while (!kTiles[i].open[first]) {
            ++first;
        }
        bool seen[32][32] = {};
        std::vector<std::pair<int, int>> todo;
        for (int p = 14; p <= 17; ++p) {
            int x = first == West ? 0 : first == East ? 31 : p;
            int y = first == North ? 0 : first == South ? 31 : p;
            todo.push_back({x, y});
        }
        while (!todo.empty()) {
            auto [x, y] = todo.back();
            todo.pop_back();
            if (x < 0 || y < 0 || x > 31 || y > 31 || seen[y][x] || tiles[i].at(x, y) != water) {
                continue;
            }
            seen[y][x] = true;
            todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
        }
        int total = 0, reached = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                total += tiles[i].at(x, y) == water;
                reached += seen[y][x];
            }
        }
        EXPECT_EQ(reached, total) << kTiles[i].name << ": water pixels not joined to the rest";
        for (int s = 0; s < 4; ++s) {
            if (!kTiles[i].open[s]) {
                continue;
            }
            for (int p = 14; p <= 17; ++p) {
                int x = s == West ? 0 : s == East ? 31 : p;
                int y = s == North ? 0 : s == South ? 31 : p;
                EXPECT_TRUE(seen[y][x]) << kTiles[i].name << " side " << s << " pixel " << p;
            }
        }
    }
}

// The pieces are drawn by one rule, so mirror images match exactly inside the border (the dotted
// checkerboard of the border is not symmetric; the collar test covers the edges).
TEST_F(TileFiles, PiecesAreMirrorImagesOfEachOther)
{
    auto mirrored_x = [](const Tile& a, const Tile& b) {
        for (int y = 1; y < 31; ++y)
            for (int x = 1; x < 31; ++x)
                if (a.at(x, y) != b.at(31 - x, y)) return false;
        return true;
    };
    auto mirrored_y = [](const Tile& a, const Tile& b) {
        for (int y = 1; y < 31; ++y)
            for (int x = 1; x < 31; ++x)
                if (a.at(x, y) != b.at(x, 31 - y)) return false;
        return true;
    };
    auto transposed = [](const Tile& a, const Tile& b) {
        for (int y = 1; y < 31; ++y)
            for (int x = 1; x < 31; ++x)
                if (a.at(x, y) != b.at(y, x)) return false;
        return true;
    };
    for (int lit = 0; lit <= 8; lit += 8) {
        EXPECT_TRUE(mirrored_x(tiles[3 + lit], tiles[5 + lit])) << "ElbowWN and ElbowEN";
        EXPECT_TRUE(mirrored_y(tiles[3 + lit], tiles[4 + lit])) << "ElbowWN and ElbowWS";
        EXPECT_TRUE(mirrored_y(tiles[5 + lit], tiles[6 + lit])) << "ElbowEN and ElbowES";
        EXPECT_TRUE(transposed(tiles[1 + lit], tiles[2 + lit])) << "Horizontal and Vertical";
        EXPECT_TRUE(transposed(tiles[7 + lit], tiles[7 + lit])) << "Cross";
        EXPECT_TRUE(mirrored_x(tiles[7 + lit], tiles[7 + lit])) << "Cross";
        EXPECT_TRUE(mirrored_x(tiles[8 + lit], tiles[8 + lit])) << "Source";
    }
}

// The source's bottom arm flares: its channel grows wider row by row toward a base that reaches
// close to both bottom corners.
TEST_F(TileFiles, SourceStandsOnAFlaredFoot)
{
    for (int i : {8, 16}) {
        std::uint32_t water = kTiles[i].lit ? kBlue : kWhite;
        auto width = [&](int y) {
            int n = 0;
            for (int x = 0; x < 32; ++x) n += tiles[i].at(x, y) == water;
            return n;
        };
        EXPECT_EQ(width(21), 4) << "the neck below the junction is the plain channel";
        for (int y = 22; y < 30; ++y) {
            EXPECT_GE(width(y), width(y - 1)) << "row " << y;
        }
        EXPECT_GE(width(29), 16);
        for (int x = 2; x <= 29; ++x) {
            EXPECT_EQ(tiles[i].at(x, 31), kBlack) << "base pixel " << x;
        }
    }
}

// The painter at the cell sizes of higher display scales follows the same rules as the committed tiles.
const int kScaledSizes[] = {40, 48, 64};

// Pixel i along a side of a drawn picture, `depth` pixels in from its edge.
int side_pixel(const Picture& p, Side side, int i, int depth)
{
    int last = p.size - 1;
    return side == West    ? p.pixels[i][depth]
           : side == East  ? p.pixels[i][last - depth]
           : side == North ? p.pixels[depth][i]
                           : p.pixels[last - depth][i];
}

// The colours met along pixels from..to-1 of that line, each with the length of its run.
std::vector<std::pair<int, int>> runs(const Picture& p, Side side, int depth, int from, int to)
{
    std::vector<std::pair<int, int>> out;
    for (int i = from; i < to; ++i) {
        int c = side_pixel(p, side, i, depth);
        if (!out.empty() && out.back().first == c) {
            ++out.back().second;
        } else {
            out.push_back({c, 1});
        }
    }
    return out;
}

TEST(ScaledTiles, OnlyTileColoursAndLitDiffersFromUnlitOnlyInBlueWater)
{
    static Picture unlit, lit;
    for (int size : kScaledSizes) {
        for (int i = 1; i < FirstLitTile; ++i) {
            draw_tile(i, size, unlit);
            draw_tile(i + FirstLitTile - 1, size, lit);
            ASSERT_EQ(unlit.size, size);
            SCOPED_TRACE(kTiles[i].name + (" at " + std::to_string(size)));
            int blue = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    int u = unlit.pixels[y][x], l = lit.pixels[y][x];
                    EXPECT_TRUE(u == LightGrey || u == DarkGrey || u == Black || u == White) << x << "," << y;
                    blue += l == Blue;
                    EXPECT_EQ(u, l == Blue ? White : l) << x << "," << y;
                }
            }
            EXPECT_GT(blue, size * 4);
        }
    }
}

TEST(ScaledTiles, ContrastColoursAloneAndWaterShowsByItsFill)
{
    static Picture dry, lit;
    for (int n = 0; n < 3 * 8; ++n) {  // the 8 pieces at 96, 144 and 192 DPI
        const int size = 32 + 16 * (n / 8), i = 1 + n % 8;
        draw_tile(i, size, dry, contrast_colours);
        draw_tile(i + FirstLitTile - 1, size, lit, contrast_colours);
        for (int p = 0; p < size * size; ++p) {
            const int d = dry.pixels[p / size][p % size], l = lit.pixels[p / size][p % size];
            ASSERT_EQ(l == ContrastHighlight ? ContrastGround : l, d <= ContrastText ? d : -1) << i << " at " << size;
        }
        EXPECT_NE(std::memcmp(dry.pixels, lit.pixels, sizeof dry.pixels), 0) << i << " at " << size;
    }
}

// Across every arm of the straight pieces and the cross: ground, wall, lining, water, lining, wall, ground,
// the same widths on both sides and all along, about a quarter of the tile with an eighth of water.
TEST(ScaledTiles, BandIsSymmetricAndKeepsItsWidthsAlongItsLength)
{
    static Picture picture;
    for (int size : kScaledSizes) {
        std::vector<std::pair<int, int>> band;
        for (int index : {1, 2, 7}) {
            draw_tile(index, size, picture);
            for (int s = 0; s < 4; ++s) {
                for (int along = size / 6; along < size / 3 && kTiles[index].open[s]; ++along) {
                    auto across = runs(picture, static_cast<Side>(s), along, size / 8, size - size / 8);
                    band = band.empty() ? across : band;
                    EXPECT_EQ(across, band) << kTiles[index].name << " at " << size << " side " << s << " " << along;
                }
            }
        }
        const int colours[7] = {LightGrey, Black, DarkGrey, White, DarkGrey, Black, LightGrey};
        ASSERT_EQ(band.size(), 7u) << size;
        for (int k = 0; k < 7; ++k) {
            EXPECT_EQ(band[k].first, colours[k]) << size;
            EXPECT_EQ(band[k].second, band[6 - k].second) << size;
        }
        EXPECT_NEAR(4 * (2 * band[1].second + 2 * band[2].second + band[3].second), size, 4);
        EXPECT_NEAR(8 * band[3].second, size, 8);
    }
}

// Every open side ends like the straight piece's on that side, and those are one profile turned about the
// tile; the dots alternate with the neighbour's across a seam and run on in step into the next tile.
TEST(ScaledTiles, OpenSidesEndAlikeAndDotsStayInStep)
{
    static Picture straight[2], picture;
    for (int size : kScaledSizes) {
        draw_tile(1, size, straight[0]);
        draw_tile(2, size, straight[1]);
        for (int index = 1; index < TileCount; ++index) {
            draw_tile(index, size, picture);
            for (int s = 0; s < 4; ++s) {
                const Picture& reference = straight[s % 2];
                for (int depth = 0; depth < size / 8 && kTiles[index].open[s]; ++depth) {
                    for (int i = size / 8; i < size - size / 8; ++i) {
                        int want = side_pixel(reference, static_cast<Side>(s), i, depth);
                        want = kTiles[index].lit && want == White ? Blue : want;
                        EXPECT_EQ(side_pixel(picture, static_cast<Side>(s), i, depth), want)
                            << kTiles[index].name << " at " << size << " side " << s << " " << i << "," << depth;
                    }
                }
            }
        }
        for (int depth = size / 32; depth < size / 8; ++depth) {
            EXPECT_EQ(runs(straight[0], West, depth, 0, size), runs(straight[1], North, depth, 0, size));
            for (int i = 0; i < size; ++i) {
                EXPECT_EQ(side_pixel(straight[0], West, i, depth), side_pixel(straight[0], East, size - 1 - i, depth));
            }
        }
        draw_tile(0, size, picture);
        for (int i = 0; i < size; ++i) {
            EXPECT_NE(side_pixel(picture, West, i, 0), side_pixel(picture, East, i, 0)) << size << " " << i;
            EXPECT_NE(side_pixel(picture, North, i, 0), side_pixel(picture, South, i, 0)) << size << " " << i;
        }
        EXPECT_NE(side_pixel(picture, West, 0, 0), side_pixel(picture, West, size - 1, 0)) << size;
    }
}

TEST(ScaledTiles, PiecesAreMirrorImagesOfEachOther)
{
    static Picture a, b;
    // Tile, its twin, and how one turns into the other: 0 left to right, 1 top to bottom, 2 about the diagonal.
    const int twins[][3] = {{3, 5, 0}, {4, 6, 0}, {3, 4, 1}, {7, 7, 0}, {8, 8, 0}, {1, 2, 2}, {7, 7, 2}};
    for (int size : kScaledSizes) {
        for (const auto& twin : twins) {
            draw_tile(twin[0], size, a);
            draw_tile(twin[1], size, b);
            for (int y = size / 16; y < size - size / 16; ++y) {
                for (int x = size / 16; x < size - size / 16; ++x) {
                    int other = twin[2] == 0   ? b.pixels[y][size - 1 - x]
                                : twin[2] == 1 ? b.pixels[size - 1 - y][x]
                                               : b.pixels[x][y];
                    ASSERT_EQ(a.pixels[y][x], other) << kTiles[twin[0]].name << " at " << size << " " << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
