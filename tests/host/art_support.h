// Test-side readers of the committed art files, written apart from the generator so they check it.
#ifndef ONDULOR_TESTS_HOST_ART_SUPPORT_H
#define ONDULOR_TESTS_HOST_ART_SUPPORT_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support.h"

// The file's bytes, empty when it cannot be read.
inline std::vector<std::uint8_t> read_art_file(const std::string& path)
{
    std::string bytes;
    read_file(path, &bytes);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

inline std::uint32_t le16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return at + 2 <= b.size() ? b[at] | (b[at + 1] << 8) : 0xFFFFFFFFu;
}

inline std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return at + 4 <= b.size() ? le16(b, at) | (le16(b, at + 2) << 16) : 0xFFFFFFFFu;
}

inline std::string art_path(const std::string& name)
{
    return std::string(ONDULOR_ART_DIR) + "/" + name;
}

inline std::string tile_name(int resource_id)
{
    char name[32];
    std::snprintf(name, sizeof name, "tile_%02d.bmp", resource_id);
    return name;
}

#endif
