// The column of upcoming pieces and the linear congruential generator it draws from.
#include "game/queue.h"

#include <ctime>

#include "game/board.h"

PieceQueue piece_queue = {{0, 0, 0, 0, 0}};

namespace {

std::uint32_t random_state = 0;

std::uint32_t calendar_seconds()
{
    return static_cast<std::uint32_t>(std::time(nullptr));
}

}  // namespace

std::uint32_t (*clock_seconds)() = calendar_seconds;

void seed_random(std::uint32_t seed)
{
    random_state = seed;
}

// Unsigned arithmetic wraps modulo 2^32, which is the generator's own modulus.
std::int32_t random_value()
{
    random_state = random_state * 22695477u + 1u;
    return static_cast<std::int32_t>((random_state >> 16) & 0x7FFF);
}

std::int32_t random_shape()
{
    return random_value() % 7 + 1;
}

void new_game()
{
    reset_board();
    seed_random(clock_seconds());
    for (std::int32_t slot = 0; slot < QueueLength; ++slot) {
        piece_queue.slots[slot] = static_cast<std::uint8_t>(random_shape());
    }
}

// Reseeding before the draw makes the new piece a function of the current second alone.
void advance_queue(void (*on_queue_changed)())
{
    for (std::int32_t slot = NextPieceSlot; slot > 0; --slot) {
        piece_queue.slots[slot] = piece_queue.slots[slot - 1];
    }
    seed_random(clock_seconds());
    piece_queue.slots[0] = static_cast<std::uint8_t>(random_shape());
    if (on_queue_changed != nullptr) {
        on_queue_changed();
    }
}
