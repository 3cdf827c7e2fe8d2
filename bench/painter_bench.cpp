// Cost of drawing the whole tile set at a cell size, as the game does when the display scale changes.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "art/painter.h"

namespace {

void all_tiles(benchmark::State& state)
{
    static Picture picture;
    const std::int32_t size = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        for (std::int32_t index = 0; index < TileCount; ++index) {
            draw_tile(index, size, picture);
        }
        benchmark::DoNotOptimize(picture.pixels[size / 2][size / 2]);
    }
}
BENCHMARK(all_tiles)->Arg(32)->Arg(64)->Arg(160)->Arg(256)->Unit(benchmark::kMicrosecond);

}  // namespace
