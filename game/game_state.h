// The running game's clock, end mark and points.
#ifndef ONDULOR_GAME_GAME_STATE_H
#define ONDULOR_GAME_GAME_STATE_H

#include <cstdint>

struct GameState {
    std::int32_t elapsed_seconds;
    std::int32_t game_over;
    std::int32_t points;
};

extern GameState game_state;

#endif
