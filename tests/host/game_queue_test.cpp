// Tests of the generator, the filling of the queue by a new game and its advance after a placement.
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <vector>

#include "game/board.h"
#include "game/game_state.h"
#include "game/queue.h"

namespace {

std::vector<std::uint32_t> clock_readings;
std::uint32_t current_second = 0;

std::uint32_t test_clock()
{
    clock_readings.push_back(current_second);
    return current_second;
}

// The shape a generator freshly seeded with `second` draws first, worked out from the formula itself.
std::int32_t first_shape_of(std::uint32_t second)
{
    const std::uint32_t state = second * 22695477u + 1u;
    return static_cast<std::int32_t>((state >> 16) & 0x7FFF) % 7 + 1;
}

std::int32_t observer_calls = 0;
PieceQueue queue_seen_by_observer;

void note_queue_change()
{
    ++observer_calls;
    queue_seen_by_observer = piece_queue;
}

class Queue : public testing::Test {
protected:
    void SetUp() override
    {
        saved_clock = clock_seconds;
        clock_seconds = test_clock;
        clock_readings.clear();
        observer_calls = 0;
    }
    void TearDown() override { clock_seconds = saved_clock; }

    std::uint32_t (*saved_clock)() = nullptr;
};

TEST(Generator, SeedZeroGivesTheKnownSequence)
{
    seed_random(0);
    const std::int32_t expected[] = {0, 346, 130, 10982, 1090};
    for (std::int32_t value : expected) {
        EXPECT_EQ(random_value(), value);
    }
}

TEST(Generator, SeedOneBillionGivesTheKnownSequenceAndShapes)
{
    seed_random(1000000000u);
    const std::int32_t expected[] = {1175, 2756, 18617, 10355, 8749};
    for (std::int32_t value : expected) {
        EXPECT_EQ(random_value(), value);
    }
    seed_random(1000000000u);
    const std::int32_t shapes[] = {7, 6, 5, 3, 7};
    for (std::int32_t shape : shapes) {
        EXPECT_EQ(random_shape(), shape);
    }
}

// The state wraps modulo 2^32: a seed near the top must not misbehave.
TEST(Generator, ValuesStayInRangeAndShapesAreOneToSeven)
{
    std::int32_t shape_counts[9] = {};
    for (std::uint32_t seed : {0u, 1u, 0x7FFFFFFFu, 0xFFFFFFFFu, 1234567u}) {
        seed_random(seed);
        for (std::int32_t i = 0; i < 20000; ++i) {
            const std::int32_t value = random_value();
            ASSERT_GE(value, 0);
            ASSERT_LE(value, 32767);
        }
        for (std::int32_t i = 0; i < 7000; ++i) {
            const std::int32_t shape = random_shape();
            ASSERT_GE(shape, 1);
            ASSERT_LE(shape, 7);
            ++shape_counts[shape];
        }
    }
    for (std::int32_t shape = 1; shape <= 7; ++shape) {
        EXPECT_GT(shape_counts[shape], 4000) << "shape " << shape;
    }
    seed_random(0xFFFFFFFFu);
    EXPECT_EQ(random_value(), static_cast<std::int32_t>(((0xFFFFFFFFu * 22695477u + 1u) >> 16) & 0x7FFF));
}

TEST_F(Queue, NewGameResetsTheBoardAndFillsTheSlotsFromOneClockSeed)
{
    for (std::int32_t i = 0; i < 225; ++i) {
        board.cells[i] = 0x97;
    }
    game_state = {17, 1, -4};
    current_second = 1000000000u;
    new_game();
    EXPECT_EQ(clock_readings.size(), 1u);
    const std::uint8_t expected[] = {7, 6, 5, 3, 7};
    for (std::int32_t slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(piece_queue.slots[slot], expected[slot]) << "slot " << slot;
    }
    for (std::int32_t i = 0; i < 225; ++i) {
        EXPECT_EQ(board.cells[i], i == 7 * 15 + 14 ? Source : Empty) << i;
    }
    EXPECT_EQ(game_state.elapsed_seconds, 17);
    EXPECT_EQ(game_state.game_over, 1);
    EXPECT_EQ(game_state.points, -4);
}

TEST_F(Queue, AdvanceShiftsDownAndDrawsTheSecondsFirstShapeIntoSlotZero)
{
    current_second = 1000000000u;
    new_game();
    clock_readings.clear();
    advance_queue(note_queue_change);
    const std::uint8_t expected[] = {7, 7, 6, 5, 3};
    for (std::int32_t slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(piece_queue.slots[slot], expected[slot]) << "slot " << slot;
    }
    EXPECT_EQ(clock_readings.size(), 1u);
    EXPECT_EQ(observer_calls, 1);
    for (std::int32_t slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(queue_seen_by_observer.slots[slot], expected[slot]) << "observer ran before slot " << slot;
    }
}

// Without a reseed before each draw, the second draw of a second would continue the sequence (6, 5, ...).
TEST_F(Queue, EveryAdvanceReseedsFromTheClockBeforeItsDraw)
{
    current_second = 1000000000u;
    new_game();
    for (std::int32_t i = 0; i < 4; ++i) {
        advance_queue(note_queue_change);
        EXPECT_EQ(piece_queue.slots[0], 7) << "placement " << i << " in the same second";
    }
    EXPECT_EQ(clock_readings.size(), 5u);
    EXPECT_EQ(observer_calls, 4);

    for (std::uint32_t second = 1700000000u; second < 1700000200u; ++second) {
        current_second = second;
        const PieceQueue before = piece_queue;
        clock_readings.clear();
        advance_queue(note_queue_change);
        ASSERT_EQ(clock_readings.size(), 1u);
        ASSERT_EQ(piece_queue.slots[0], first_shape_of(second)) << "second " << second;
        for (std::int32_t slot = 1; slot < 5; ++slot) {
            ASSERT_EQ(piece_queue.slots[slot], before.slots[slot - 1]) << "slot " << slot;
        }
    }
}

TEST_F(Queue, NewGameSlotZeroMatchesWhatAPlacementInTheSameSecondBrings)
{
    for (std::uint32_t second : {0u, 1u, 86399u, 1234567890u, 0xFFFFFFFFu}) {
        current_second = second;
        new_game();
        const std::uint8_t first = piece_queue.slots[0];
        EXPECT_EQ(first, first_shape_of(second));
        advance_queue(nullptr);
        EXPECT_EQ(piece_queue.slots[0], first) << "second " << second;
        EXPECT_EQ(piece_queue.slots[1], first);
    }
}

TEST_F(Queue, NeverHoldsEmptyOrSource)
{
    current_second = 42;
    new_game();
    for (std::uint32_t second = 0; second < 3000; ++second) {
        current_second = second * 7919u;
        advance_queue(nullptr);
        for (std::uint8_t shape : piece_queue.slots) {
            ASSERT_GE(shape, 1);
            ASSERT_LE(shape, 7);
        }
    }
}

TEST(Clock, DefaultReadsTheCalendarTimeInSeconds)
{
    const std::uint32_t before = static_cast<std::uint32_t>(std::time(nullptr));
    const std::uint32_t now = clock_seconds();
    const std::uint32_t after = static_cast<std::uint32_t>(std::time(nullptr));
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
}

}  // namespace
