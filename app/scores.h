// The table of the 24 best results, in the order they were entered.
#ifndef ONDULOR_APP_SCORES_H
#define ONDULOR_APP_SCORES_H

#include <cstdint>

constexpr std::int32_t ScoreSlotCount = 24;
constexpr std::int32_t ScoreNameLength = 24;  // characters, without the terminating NUL
// The characters of a name that the name box takes and the file keeps; the slot has room for one more.
constexpr std::int32_t ScoreNameTyped = 23;
constexpr std::int32_t ScoreLineSize = 64;  // bytes of a display line, terminator included

struct ScoreEntry {
    std::int32_t score;  // 0 marks a free slot and ends the table for every reader
    char name[ScoreNameLength + 1];
};

struct ScoreTable {
    ScoreEntry entries[ScoreSlotCount];
};

extern ScoreTable score_table;

// Enters points into the table: the slot taken (its name left for the caller), or -1 for none.
std::int32_t enter_score(std::int32_t points);

// Empties every slot.
void clear_scores();

// The display line "%06d, %s" of one entry; buffer holds at least ScoreLineSize bytes.
void format_score_line(const ScoreEntry& entry, char* buffer);

#endif
