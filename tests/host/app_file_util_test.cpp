// File names, trims, file_exists on the host, and the fatal paths (message, exit code 1).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/host/app_support.h"
#include "util/file_util.h"

namespace {

std::string with_extension(const char* path, const char* extension)
{
    char buffer[300];
    std::strcpy(buffer, path);
    char* result = set_extension(buffer, extension);
    EXPECT_EQ(result, buffer);
    return buffer;
}

TEST(SetExtension, ReplacesAnExtensionOfAtMostThreeCharacters)
{
    EXPECT_EQ(with_extension("C:\\Games\\ondulor.exe", "INI"), "C:\\Games\\ondulor.ini");
    EXPECT_EQ(with_extension("C:\\Games\\ondulor.exe", "HLP"), "C:\\Games\\ondulor.hlp");
    EXPECT_EQ(with_extension("C:\\Games\\ondulor.hlp", "INI"), "C:\\Games\\ondulor.ini");
    EXPECT_EQ(with_extension("a.c", "INI"), "a.ini");
    EXPECT_EQ(with_extension("name.", "INI"), "name.ini");
    EXPECT_EQ(with_extension(".", "ini"), ".ini");
}

TEST(SetExtension, AppendsWhenThereIsNoShortExtension)
{
    EXPECT_EQ(with_extension("C:\\Games\\ondulor", "INI"), "C:\\Games\\ondulor.ini");
    EXPECT_EQ(with_extension("page.html", "INI"), "page.html.ini");
    EXPECT_EQ(with_extension("", "INI"), ".ini");
}

TEST(SetExtension, OnlyThePositionOfTheLastDotCounts)
{
    EXPECT_EQ(with_extension("C:\\A.B\\C", "INI"), "C:\\A.ini");
    EXPECT_EQ(with_extension("C:\\A.BCD\\C", "INI"), "C:\\A.BCD\\C.ini");
    // Dots in folder names: the first dot of the path is not the one that counts.
    EXPECT_EQ(with_extension("C:\\Games\\v1.2\\ondulor.exe", "INI"), "C:\\Games\\v1.2\\ondulor.ini");
    EXPECT_EQ(with_extension("C:\\Games\\v1.2\\ondulor", "INI"), "C:\\Games\\v1.2\\ondulor.ini");
    EXPECT_EQ(with_extension("C:\\j.smith\\ondulor", "INI"), "C:\\j.smith\\ondulor.ini");
    EXPECT_EQ(with_extension("C:\\j.smith\\ondulor.exe", "HLP"), "C:\\j.smith\\ondulor.hlp");
}

TEST(SetExtension, WritesLowerCaseAndLeavesTheCallersTextAlone)
{
    const char extension[] = "HlP";
    EXPECT_EQ(with_extension("x.exe", extension), "x.hlp");
    EXPECT_STREQ(extension, "HlP");
    EXPECT_EQ(with_extension("x.exe", "A1_"), "x.a1_");
    EXPECT_EQ(with_extension("x.exe", "\xC9Z"), "x.\xC9z");
    EXPECT_EQ(with_extension("x.exe", "LONGER"), "x.lon");
}

TEST(AppendChar, AddsOneCharacterAndTheTerminator)
{
    char text[8] = "ab\0xxxx";
    append_char(text, 'c');
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(text[4], 'x');
}

TEST(Trim, LeadingBlanksOnly)
{
    char text[32] = "   ";
    EXPECT_EQ(trim_leading_spaces(text), 1);
    EXPECT_STREQ(text, "");
    std::strcpy(text, "");
    EXPECT_EQ(trim_leading_spaces(text), 0);
    std::strcpy(text, "  Ann  Lee ");
    EXPECT_EQ(trim_leading_spaces(text), 1);
    EXPECT_STREQ(text, "Ann  Lee ");
    std::strcpy(text, "\tAnn");
    EXPECT_EQ(trim_leading_spaces(text), 0);
    EXPECT_STREQ(text, "\tAnn");
}

TEST(Trim, TrailingBlanksOnly)
{
    char text[32] = "";
    trim_trailing_spaces(text);
    EXPECT_STREQ(text, "");
    std::strcpy(text, "    ");
    trim_trailing_spaces(text);
    EXPECT_STREQ(text, "");
    std::strcpy(text, " Ann Lee  ");
    trim_trailing_spaces(text);
    EXPECT_STREQ(text, " Ann Lee");
    std::strcpy(text, "Ann\t");
    trim_trailing_spaces(text);
    EXPECT_STREQ(text, "Ann\t");
}

std::uint32_t fat(int year, int month, int day, int hour, int minute, int second)
{
    return static_cast<std::uint32_t>(year - 1980) << 25 | static_cast<std::uint32_t>(month) << 21 |
           static_cast<std::uint32_t>(day) << 16 | static_cast<std::uint32_t>(hour) << 11 |
           static_cast<std::uint32_t>(minute) << 5 | static_cast<std::uint32_t>(second / 2);
}

TEST(FileExists, MissingFilesAndDirectoriesGiveZero)
{
    TempFolder dir;
    EXPECT_EQ(file_exists(dir.file("missing.ini").c_str()), 0);
    EXPECT_EQ(file_exists(dir.path().c_str()), 0);
    EXPECT_EQ(file_exists((dir.path() + "/nowhere/x.ini").c_str()), 0);
    EXPECT_EQ(file_exists(""), 0);
}

TEST(FileExists, GivesTheLocalLastWriteTimeInFatPacking)
{
    TempFolder dir;
    const std::string path = dir.file("a.ini");
    write_bytes(path, "x");
    ASSERT_TRUE(set_local_write_time(path, 2021, 6, 15, 13, 45, 31));
    EXPECT_EQ(static_cast<std::uint32_t>(file_exists(path.c_str())), fat(2021, 6, 15, 13, 45, 30));
    ASSERT_TRUE(set_local_write_time(path, 1980, 1, 1, 0, 0, 0));
    EXPECT_EQ(static_cast<std::uint32_t>(file_exists(path.c_str())), fat(1980, 1, 1, 0, 0, 0));
    // From 2044 on the year sets the sign bit: the result is negative but never 0 or -1.
    ASSERT_TRUE(set_local_write_time(path, 2050, 12, 31, 23, 59, 58));
    const std::int32_t late = file_exists(path.c_str());
    EXPECT_LT(late, -1);
    EXPECT_EQ(static_cast<std::uint32_t>(late), fat(2050, 12, 31, 23, 59, 58));
}

TEST(FileExists, TimesTheFatFormCannotHoldGiveMinusOne)
{
    TempFolder dir;
    const std::string path = dir.file("old.ini");
    write_bytes(path, "x");
    ASSERT_TRUE(set_local_write_time(path, 1979, 7, 1, 12, 0, 0));
    EXPECT_EQ(file_exists(path.c_str()), -1);
    ASSERT_TRUE(set_local_write_time(path, 2108, 1, 1, 12, 0, 0));
    EXPECT_EQ(file_exists(path.c_str()), -1);
}

const std::string open_failure_prefix = "Erreur \xE0 l'ouverture du fichier : ";

TEST(FatalPaths, FatalErrorPrintsTheMessageAndExitsOne)
{
    const ChildResult result = run_in_child([] { fatal_error("Disque plein"); });
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err, "Disque plein\n");
}

TEST(FatalPaths, OpenOrDieOpensOrReportsThePath)
{
    TempFolder dir;
    const std::string present = dir.file("present.ini");
    write_bytes(present, "Langue=0\r\n");
    std::FILE* stream = open_or_die(present.c_str(), "r+b");
    ASSERT_NE(stream, nullptr);
    char line[64];
    ASSERT_NE(std::fgets(line, sizeof line, stream), nullptr);
    EXPECT_STREQ(line, "Langue=0\r\n");
    std::fclose(stream);

    const std::string missing = dir.file("missing.ini");
    const ChildResult result = run_in_child([&] { open_or_die(missing.c_str(), "r+b"); });
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err, open_failure_prefix + missing + "\n");
    EXPECT_FALSE(path_exists(missing));
}

TEST(FatalPaths, LongPathsAreShortenedToFitTheMessage)
{
    const std::string fits(221, 'a');
    ChildResult result = run_in_child([&] { report_open_failure(fits.c_str()); });
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err, open_failure_prefix + fits + "\n");

    std::string long_path = "C:\\" + std::string(400, 'd') + "\\ondulor.ini";
    result = run_in_child([&] { report_open_failure(long_path.c_str()); });
    EXPECT_EQ(result.exit_code, 1);
    ASSERT_EQ(result.err.size(), 255u + 1u);
    EXPECT_EQ(result.err.rfind(open_failure_prefix + "C:\\ddd", 0), 0u);
    EXPECT_NE(result.err.find("d...d"), std::string::npos);
    EXPECT_EQ(result.err.substr(result.err.size() - 13), "\\ondulor.ini\n");

    const std::string one_too_many(222, 'b');
    result = run_in_child([&] { report_open_failure(one_too_many.c_str()); });
    EXPECT_EQ(result.err.size(), 256u);
    EXPECT_NE(result.err.find("..."), std::string::npos);
}

}  // namespace
