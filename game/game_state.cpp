// The process-wide game state, all zero until the first game runs.
#include "game/game_state.h"

GameState game_state = {0, 0, 0};
