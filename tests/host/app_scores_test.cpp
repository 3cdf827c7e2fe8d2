// The best-score table: which results qualify and which slot they take, emptying, display lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "app/scores.h"

namespace {

void fill_table(const std::vector<std::int32_t>& scores)
{
    clear_scores();
    for (std::size_t i = 0; i < scores.size(); ++i) {
        score_table.entries[i].score = scores[i];
        std::snprintf(score_table.entries[i].name, sizeof score_table.entries[i].name, "P%zu", i);
    }
}

std::vector<std::int32_t> full_table_with_lowest_at(std::int32_t lowest, std::vector<int> slots)
{
    std::vector<std::int32_t> scores(24, 100);
    for (int slot : slots) {
        scores[slot] = lowest;
    }
    return scores;
}

TEST(EnterScore, FreeSlotTakesAnyResultOfZeroOrMore)
{
    fill_table({30, 20});
    EXPECT_EQ(enter_score(-1), -1);
    EXPECT_EQ(score_table.entries[2].score, 0);
    EXPECT_EQ(enter_score(5), 2);
    EXPECT_EQ(score_table.entries[2].score, 5);
    EXPECT_STREQ(score_table.entries[2].name, "");
    EXPECT_EQ(enter_score(1000), 3);
}

TEST(EnterScore, ZeroTakesAFreeSlotWhichStaysFree)
{
    fill_table({30});
    EXPECT_EQ(enter_score(0), 1);
    EXPECT_EQ(score_table.entries[1].score, 0);
    clear_scores();
    EXPECT_EQ(enter_score(0), 0);
}

TEST(EnterScore, FullTableReplacesTheFirstSlotWithTheLowestScore)
{
    fill_table(full_table_with_lowest_at(10, {3, 7}));
    EXPECT_EQ(enter_score(9), -1);
    EXPECT_EQ(score_table.entries[3].score, 10);
    EXPECT_EQ(enter_score(10), 3);
    EXPECT_EQ(score_table.entries[3].score, 10);
    EXPECT_STREQ(score_table.entries[3].name, "P3");  // the caller replaces the name

    fill_table(full_table_with_lowest_at(10, {3, 7}));
    EXPECT_EQ(enter_score(50), 3);
    EXPECT_EQ(score_table.entries[3].score, 50);
    EXPECT_EQ(score_table.entries[7].score, 10);
    EXPECT_EQ(enter_score(50), 7);
}

TEST(EnterScore, NegativeLowestScoreTakesNegativeResultsThatReachIt)
{
    fill_table(full_table_with_lowest_at(-5, {10}));
    EXPECT_EQ(enter_score(-6), -1);
    EXPECT_EQ(enter_score(-5), 10);
    EXPECT_EQ(enter_score(-2), 10);
    EXPECT_EQ(score_table.entries[10].score, -2);
}

TEST(EnterScore, ZeroNeverOpensAGapInAFullTable)
{
    fill_table(full_table_with_lowest_at(-5, {10}));
    EXPECT_EQ(enter_score(0), -1);
    EXPECT_EQ(score_table.entries[10].score, -5);
    EXPECT_EQ(enter_score(1), 10);
}

TEST(EnterScore, ExtremeResults)
{
    fill_table(full_table_with_lowest_at(INT_MIN, {23}));
    EXPECT_EQ(enter_score(INT_MIN), 23);
    EXPECT_EQ(enter_score(INT_MAX), 23);
    EXPECT_EQ(score_table.entries[23].score, INT_MAX);
}

TEST(ClearScores, EmptiesEverySlot)
{
    fill_table(full_table_with_lowest_at(1, {0}));
    clear_scores();
    for (const ScoreEntry& entry : score_table.entries) {
        EXPECT_EQ(entry.score, 0);
        EXPECT_EQ(entry.name[0], '\0');
    }
    EXPECT_EQ(enter_score(7), 0);
}

std::string line_of(std::int32_t score, const char* name)
{
    ScoreEntry entry{};
    entry.score = score;
    std::strncpy(entry.name, name, sizeof entry.name - 1);
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    format_score_line(entry, buffer);
    return buffer;
}

TEST(FormatScoreLine, ZeroPaddedScoreCommaBlankName)
{
    EXPECT_EQ(line_of(250, "Alice"), "000250, Alice");
    EXPECT_EQ(line_of(-12, "Bob"), "-00012, Bob");
    EXPECT_EQ(line_of(1234567, ""), "1234567, ");
    EXPECT_EQ(line_of(INT_MIN, "abcdefghijklmnopqrstuvwx"), "-2147483648, abcdefghijklmnopqrstuvwx");
}

TEST(FormatScoreLine, SortedLinesShowLowestFirst)
{
    std::vector<std::string> lines = {line_of(120, "A"), line_of(7, "B"), line_of(45, "C")};
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines[0].substr(0, 6), "000007");
    EXPECT_EQ(lines[1].substr(0, 6), "000045");
    EXPECT_EQ(lines[2].substr(0, 6), "000120");
}

}  // namespace
