// The column of five upcoming pieces and the random draw that fills it.
#ifndef ONDULOR_GAME_QUEUE_H
#define ONDULOR_GAME_QUEUE_H

#include <cstdint>

// Slot 0 is the top of the column; the last slot holds the piece the next click lays.
inline constexpr std::int32_t QueueLength = 5;
inline constexpr std::int32_t NextPieceSlot = QueueLength - 1;

// Always shapes 1 to 7.
struct PieceQueue {
    std::uint8_t slots[QueueLength];
};

extern PieceQueue piece_queue;

// Resets the board, reseeds from the clock and fills the slots from the top down.
void new_game();

// Drops the laid piece, moves the others down, draws slot 0 from a fresh clock seed, then tells the observer.
void advance_queue(void (*on_queue_changed)());

void seed_random(std::uint32_t seed);
std::int32_t random_value();
std::int32_t random_shape();

// Calendar time in whole seconds; replaceable so that tests can choose the second.
extern std::uint32_t (*clock_seconds)();

#endif
