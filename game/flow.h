// The water's walk from the source through facing openings, and the points it leaves.
#ifndef ONDULOR_GAME_FLOW_H
#define ONDULOR_GAME_FLOW_H

#include <cstdint>

// Recomputes which pieces the water reaches; on_cell_lit hears of each cell the moment it is lit.
void compute_flow(void (*on_cell_lit)(std::int32_t column, std::int32_t row));

// Clears VisitedFlag on every cell; LitFlag stays.
void clear_visited();

// Each walker leaves (column, row) by its own side and walks on depth first from the cell it enters.
// They answer 0 when the step would leave the board, 1 otherwise.
std::int32_t flow_west(std::int32_t column, std::int32_t row);
std::int32_t flow_north(std::int32_t column, std::int32_t row);
std::int32_t flow_east(std::int32_t column, std::int32_t row);
std::int32_t flow_south(std::int32_t column, std::int32_t row);

// Lit cells minus occupied unlit cells; stored in game_state.points and returned.
std::int32_t compute_points();

#endif
