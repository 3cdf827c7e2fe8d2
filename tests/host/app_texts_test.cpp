// Texts: every string of both tables, byte for byte in Windows-1252, as the game must show them.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "app/settings_file.h"
#include "app/texts.h"
#include "res/resource_ids.h"
#include "tests/host/app_expected_texts.h"

namespace {

// Every id of res/texts.inc with its name, for a message that names a text missing from one list.
struct TableText {
    int id;
    const char* name;
};

constexpr TableText table_texts[] = {
#define ONDULOR_TEXT(id, french, english) {id, #id},
#define ONDULOR_TEXT_FRENCH_ONLY(id, french) {id, #id},
#include "res/texts.inc"
#undef ONDULOR_TEXT
#undef ONDULOR_TEXT_FRENCH_ONLY
};

std::string text_in(int language, int id)
{
    settings.language = language;
    std::string text = load_text(id);
    settings.language = 0;
    return text;
}

TEST(Texts, EveryTextInBothLanguagesHasItsExactBytes)
{
    for (const ExpectedText& expected : expected_texts) {
        SCOPED_TRACE(expected.id);
        EXPECT_EQ(text_in(LANGUAGE_FRENCH, expected.id), expected.french);
        EXPECT_EQ(text_in(LANGUAGE_ENGLISH, expected.id), expected.english ? expected.english : "");
    }
}

TEST(Texts, EveryTextOfTheTablesIsExpectedAndEveryExpectedTextIsInTheTables)
{
    std::set<int> table_ids;
    std::set<int> expected_ids;
    for (const ExpectedText& expected : expected_texts) {
        expected_ids.insert(expected.id);
    }
    for (const TableText& text : table_texts) {
        table_ids.insert(text.id);
        EXPECT_TRUE(expected_ids.count(text.id) == 1)
            << text.name << " (" << text.id << ") is in res/texts.inc but not in tests/host/app_expected_texts.h";
    }
    for (const ExpectedText& expected : expected_texts) {
        EXPECT_TRUE(table_ids.count(expected.id) == 1)
            << expected.id << " \"" << expected.french
            << "\" is in tests/host/app_expected_texts.h but not in res/texts.inc";
    }
}

TEST(Texts, AccentsAreSingleWindows1252Bytes)
{
    const std::string settings_title = text_in(LANGUAGE_FRENCH, TXT_GAME_SETTINGS);
    ASSERT_EQ(settings_title.size(), 17u);
    EXPECT_EQ(static_cast<unsigned char>(settings_title[5]), 0xE8);
    const std::string francais = text_in(LANGUAGE_ENGLISH, TXT_LANGUAGE_SWITCH);
    ASSERT_EQ(francais.size(), 8u);
    EXPECT_EQ(static_cast<unsigned char>(francais[4]), 0xE7);
    const std::string duration_key = text_in(LANGUAGE_FRENCH, TXT_KEY_DURATION);
    EXPECT_EQ(static_cast<unsigned char>(duration_key[3]), 0xE9);
}

TEST(Texts, MakerTextsAreTheSameInBothLanguages)
{
    const std::string contact = text_in(LANGUAGE_FRENCH, TXT_ABOUT_CONTACT);
    EXPECT_FALSE(contact.empty());
    EXPECT_EQ(contact, text_in(LANGUAGE_ENGLISH, TXT_ABOUT_CONTACT));
    const std::string caption = text_in(LANGUAGE_FRENCH, TXT_FATAL_CAPTION);
    EXPECT_EQ(caption.rfind("Ondulor", 0), 0u);
    EXPECT_GT(caption.size(), 7u);
    EXPECT_EQ(caption, text_in(LANGUAGE_ENGLISH, TXT_FATAL_CAPTION));
}

TEST(Texts, IdsWithoutTextGiveAnEmptyString)
{
    EXPECT_STREQ(load_text(399), "");
    EXPECT_STREQ(load_text(511), "");
    EXPECT_STREQ(load_text(556), "");
    settings.language = 2000;
    EXPECT_STREQ(load_text(TXT_WINDOW_TITLE), "");
    settings.language = 0;
}

TEST(Texts, FormattedResultSurvivesTheNextFetch)
{
    settings.language = LANGUAGE_ENGLISH;
    char own[64];
    std::snprintf(own, sizeof own, load_text(TXT_POINTS), 42);
    const char* shared = load_text(TXT_GAME_OVER_STATUS);
    EXPECT_STREQ(own, "Points: 42");
    EXPECT_STREQ(shared, "Game over");

    char game_over[512];
    std::snprintf(game_over, sizeof game_over, load_text(TXT_GAME_OVER_TEXT), 17, 1, 30);
    EXPECT_STREQ(game_over, "Congratulations,\n\nyou scored 17 points \nin 01' 30\".");
    settings.language = LANGUAGE_FRENCH;
    std::snprintf(game_over, sizeof game_over, load_text(TXT_GAME_OVER_TEXT), -3, 0, 5);
    EXPECT_STREQ(game_over, "Bravo,\n\nvous avez marqu\xE9 -3 points \nen 00' 05\".");
}

}  // namespace
