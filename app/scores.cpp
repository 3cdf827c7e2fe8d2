// The best-score table: entering a result, emptying, and the display line of an entry.
#include "app/scores.h"

#include <cstdio>

ScoreTable score_table;

std::int32_t enter_score(std::int32_t points)
{
    std::int32_t target = -1;
    std::int32_t threshold = 0;
    for (std::int32_t slot = 0; slot < ScoreSlotCount; ++slot) {
        const std::int32_t score = score_table.entries[slot].score;
        if (score == 0) {
            target = slot;
            threshold = 0;
            break;
        }
        if (target < 0 || score < threshold) {
            target = slot;
            threshold = score;
        }
    }
    if (threshold > points) {
        return -1;
    }
    // A 0 in an occupied slot would read as a free slot and hide every entry behind it.
    if (points == 0 && score_table.entries[target].score != 0) {
        return -1;
    }
    score_table.entries[target].score = points;
    return target;
}

void clear_scores()
{
    for (ScoreEntry& entry : score_table.entries) {
        entry.score = 0;
        entry.name[0] = '\0';
    }
}

void format_score_line(const ScoreEntry& entry, char* buffer)
{
    std::snprintf(buffer, ScoreLineSize, "%06d, %.24s", static_cast<int>(entry.score), entry.name);
}
