// Checks that regenerating the art gives the committed files, that the icon and the click parse,
// and that the generator refuses what it cannot do without writing out of bounds.
#include "host/art_support.h"

#include "art.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>

namespace {

// Cuts the icon's 256-pixel PNG and its byte count out of b and gives its pixels as 8-bit RGBA, decoded by
// libpng: zlib of another version may compress the same pixels into other bytes.
std::vector<std::uint8_t> cut_png(std::vector<std::uint8_t>& b)
{
    std::vector<std::uint8_t> pixels;
    for (std::uint32_t e = 6; e + 16 <= b.size() && e < 6 + 16 * le16(b, 4); e += 16) {
        std::uint32_t bytes = le32(b, e + 8), offset = le32(b, e + 12);
        if (b[e] != 0 || offset > b.size() || bytes > b.size() - offset) {
            continue;
        }
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (png_image_begin_read_from_memory(&image, b.data() + offset, bytes) != 0) {
            image.format = PNG_FORMAT_RGBA;
            pixels.resize(PNG_IMAGE_SIZE(image));
            if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
                pixels.clear();
            }
        }
        png_image_free(&image);
        b.erase(b.begin() + offset, b.begin() + offset + bytes);
        std::fill(b.begin() + e + 8, b.begin() + e + 12, 0);
    }
    return pixels;
}

TEST(ArtFiles, RegeneratingGivesTheCommittedFiles)
{
    TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    ASSERT_EQ(write_art(folder.path().c_str()), 0);
    std::vector<std::uint8_t> fresh_icon = read_art_file(folder.file("ondulor.ico"));
    std::vector<std::uint8_t> committed_icon = read_art_file(art_path("ondulor.ico"));
    std::vector<std::uint8_t> fresh_png = cut_png(fresh_icon);
    EXPECT_EQ(fresh_png.size(), 256u * 256u * 4u) << "no 256-pixel PNG that libpng reads in a fresh icon";
    EXPECT_TRUE(fresh_png == cut_png(committed_icon)) << "the icon's PNG differs from a fresh run of make_art";
    EXPECT_TRUE(fresh_icon == committed_icon) << "ondulor.ico differs from a fresh run of make_art";
    std::vector<std::string> names;
    for (int index = 0; index < TileCount; ++index) {
        names.push_back(tile_name(tile_resource_id(index)));
    }
    for (const std::string& name : names) {
        std::vector<std::uint8_t> fresh = read_art_file(folder.file(name));
        std::vector<std::uint8_t> committed = read_art_file(art_path(name));
        EXPECT_FALSE(fresh.empty()) << name;
        EXPECT_TRUE(fresh == committed) << name << " differs from a fresh run of make_art";
    }
    static std::uint8_t click[WavCapacity];
    std::uint32_t size = encode_click(click, sizeof click);
    ASSERT_GT(size, 44u);
    EXPECT_TRUE(std::vector<std::uint8_t>(click, click + size) == read_art_file(art_path("click.wav")))
        << "click.wav differs from a fresh run of make_click";
}

TEST(ArtFiles, TileResourceIdsSkipTenAndEleven)
{
    EXPECT_EQ(tile_resource_id(0), 1);
    EXPECT_EQ(tile_resource_id(8), 9);
    EXPECT_EQ(tile_resource_id(9), 12);
    EXPECT_EQ(tile_resource_id(16), 19);
}

// Windows picks the image nearest the display's icon size: 16-colour images of 32, 16, 48 and 64 pixels,
// and at 256 a PNG with an alpha channel, the only kind it reads at that size.
TEST(ArtFiles, IconHoldsSixteenColourImagesAndA256PixelPng)
{
    const std::uint32_t sizes[] = {32, 16, 48, 64, 256};
    std::vector<std::uint8_t> b = read_art_file(art_path("ondulor.ico"));
    ASSERT_GE(b.size(), 6u + 16u);
    EXPECT_EQ(le16(b, 0), 0u);
    EXPECT_EQ(le16(b, 2), 1u) << "type 1 is an icon";
    std::uint32_t count = le16(b, 4);
    ASSERT_EQ(count, 5u);
    std::uint32_t end_of_directory = 6 + 16 * count;
    std::uint32_t expected_end = end_of_directory;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::size_t e = 6 + 16 * i;
        std::uint32_t size = b[e] == 0 ? 256 : b[e];  // 0 stands for 256
        SCOPED_TRACE("image " + std::to_string(i));
        EXPECT_EQ(size, sizes[i]);
        EXPECT_EQ(b[e + 1], b[e]);
        EXPECT_EQ(b[e + 3], 0u);
        EXPECT_EQ(le16(b, e + 4), 1u) << "planes";
        std::uint32_t bytes = le32(b, e + 8);
        std::uint32_t offset = le32(b, e + 12);
        if (size == 256) {
            EXPECT_EQ(b[e + 2], 0u) << "colour count";
            EXPECT_EQ(le16(b, e + 6), 32u) << "bits per pixel";
            EXPECT_EQ(offset, expected_end);
            ASSERT_GE(bytes, 8u + 25u + 12u);
            ASSERT_LE(static_cast<std::size_t>(offset) + bytes, b.size());
            expected_end = offset + bytes;
            // The signature, then IHDR: 256 by 256, 8 bits a channel, colour type 6 (with alpha); IEND last.
            auto be32 = [&](std::size_t at) {
                return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 |
                       b[at + 3];
            };
            EXPECT_EQ(std::string(b.begin() + offset, b.begin() + offset + 8), "\x89PNG\r\n\x1A\n");
            EXPECT_EQ(be32(offset + 8), 13u);
            EXPECT_EQ(std::string(b.begin() + offset + 12, b.begin() + offset + 16), "IHDR");
            EXPECT_EQ(be32(offset + 16), 256u);
            EXPECT_EQ(be32(offset + 20), 256u);
            EXPECT_EQ(b[offset + 24], 8u);
            EXPECT_EQ(b[offset + 25], 6u);
            EXPECT_EQ(std::string(b.begin() + expected_end - 8, b.begin() + expected_end - 4), "IEND");
            continue;
        }
        EXPECT_EQ(b[e + 2], 16u) << "colour count";
        EXPECT_EQ(le16(b, e + 6), 4u) << "bits per pixel";
        std::uint32_t xor_bytes = size * ((size * 4 + 31) / 32 * 4);
        std::uint32_t and_bytes = size * ((size + 31) / 32 * 4);
        EXPECT_EQ(bytes, 40 + 64 + xor_bytes + and_bytes);
        EXPECT_EQ(offset, expected_end) << "images follow the directory back to back";
        ASSERT_LE(static_cast<std::size_t>(offset) + bytes, b.size());
        expected_end = offset + bytes;
        EXPECT_EQ(le32(b, offset), 40u);
        EXPECT_EQ(le32(b, offset + 4), size);
        EXPECT_EQ(le32(b, offset + 8), 2 * size) << "height counts the XOR and AND bitmaps";
        EXPECT_EQ(le16(b, offset + 12), 1u);
        EXPECT_EQ(le16(b, offset + 14), 4u);
        EXPECT_EQ(le32(b, offset + 16), 0u);
        // Grey pipes on a transparent ground. Rows are stored bottom-up; y here counts from the top.
        std::uint32_t pixels = offset + 40 + 64;
        std::uint32_t row_bytes = (size * 4 + 31) / 32 * 4;
        std::uint32_t mask = pixels + row_bytes * size;
        std::uint32_t mask_row_bytes = (size + 31) / 32 * 4;
        auto colour = [&](std::uint32_t x, std::uint32_t y) {
            std::uint8_t byte = b[pixels + (size - 1 - y) * row_bytes + x / 2];
            return x % 2 == 0 ? byte >> 4 : byte & 0x0F;
        };
        auto clear = [&](std::uint32_t x, std::uint32_t y) {
            return (b[mask + (size - 1 - y) * mask_row_bytes + x / 8] >> (7 - x % 8) & 1) != 0;
        };
        static Picture drawn;
        draw_icon(static_cast<std::int32_t>(size), drawn);
        int black = 0;
        int transparent = 0;
        for (std::uint32_t y = 0; y < size; ++y) {
            for (std::uint32_t x = 0; x < size; ++x) {
                SCOPED_TRACE("pixel " + std::to_string(x) + "," + std::to_string(y));
                int index = colour(x, y);
                if (clear(x, y)) {
                    // Black under a set mask bit leaves the screen as it is; white would invert it.
                    EXPECT_EQ(index, 0);
                    EXPECT_EQ(drawn.pixels[y][x], White) << "only the ground is transparent";
                    ++transparent;
                } else {
                    EXPECT_TRUE(index == 0 || index == 7 || index == 8) << "colour index " << index;
                    EXPECT_EQ(index, drawn.pixels[y][x]) << "the picture is kept";
                    black += index == 0;
                }
            }
        }
        EXPECT_GT(black, static_cast<int>(size));
        EXPECT_GT(transparent, static_cast<int>(size * size / 3));
        EXPECT_TRUE(clear(0, 0) && clear(size - 1, 0) && clear(0, size - 1) && clear(size - 1, size - 1));
        // The mask bits past the image's width in each 32-bit row are left clear.
        for (std::uint32_t y = 0; y < size; ++y) {
            for (std::uint32_t x = size; x < mask_row_bytes * 8; ++x) {
                EXPECT_EQ(b[mask + y * mask_row_bytes + x / 8] >> (7 - x % 8) & 1, 0);
            }
        }
    }
    EXPECT_EQ(expected_end, b.size());
}

TEST(ArtFiles, ClickIsAShortUnclippedMonoPcmWave)
{
    std::vector<std::uint8_t> b = read_art_file(art_path("click.wav"));
    ASSERT_GE(b.size(), 44u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(le32(b, 4), b.size() - 8);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(b, 16), 16u);
    EXPECT_EQ(le16(b, 20), 1u) << "PCM";
    EXPECT_EQ(le16(b, 22), 1u) << "mono";
    std::uint32_t rate = le32(b, 24);
    EXPECT_EQ(rate, 22050u);
    EXPECT_EQ(le32(b, 28), rate * 2);
    EXPECT_EQ(le16(b, 32), 2u);
    EXPECT_EQ(le16(b, 34), 16u);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    std::uint32_t data = le32(b, 40);
    ASSERT_EQ(data, b.size() - 44);
    std::uint32_t samples = data / 2;
    EXPECT_GE(samples, rate * 40 / 1000);
    EXPECT_LE(samples, rate * 80 / 1000);
    int peak = 0;
    for (std::uint32_t i = 0; i < samples; ++i) {
        int s = static_cast<std::int16_t>(le16(b, 44 + 2 * i));
        peak = std::max(peak, std::abs(s));
    }
    EXPECT_LT(peak, 32000) << "clipped";
    EXPECT_GT(peak, 6000) << "too quiet to hear";
    // A soft onset and a faded end: no click of its own at either boundary.
    EXPECT_LT(std::abs(static_cast<std::int16_t>(le16(b, 44))), 200);
    EXPECT_LT(std::abs(static_cast<std::int16_t>(le16(b, 44 + 2 * (samples - 1)))), 200);
}

TEST(ArtFiles, EncodersRefuseTooSmallBuffersAndWritesReportFailure)
{
    static Picture picture;
    draw_tile(0, TileSize, picture);
    std::uint8_t small[BmpBytes - 1] = {};
    EXPECT_EQ(encode_bmp(picture, small, sizeof small), 0u);
    EXPECT_EQ(encode_ico(&picture, 1, small, 100), 0u);
    EXPECT_EQ(encode_ico(&picture, 0, small, sizeof small), 0u);
    static Picture large_icon;
    draw_icon(256, large_icon);
    EXPECT_EQ(encode_ico(&large_icon, 1, small, sizeof small), 0u) << "the PNG image does not fit either";
    EXPECT_EQ(encode_click(small, sizeof small), 0u);
    for (std::uint8_t byte : small) {
        ASSERT_EQ(byte, 0) << "an encoder wrote before refusing";
    }
    EXPECT_EQ(write_art("/nonexistent-ondulor-folder/art"), 1);
    EXPECT_EQ(write_bytes("/nonexistent-ondulor-folder/x.bin", small, 1), 1);
}

}  // namespace
