// The settings file: exact bytes in both languages, odd and random content read as a plain model
// reads it, saturating numbers, and a failed write that never loses the previous file.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <climits>
#include <csignal>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/scores.h"
#include "app/settings_file.h"
#include "res/resource_ids.h"
#include "tests/host/app_support.h"

namespace {

// ---- A plain model of the file, written from the format's description, not from the code ----

struct ModelEntry {
    std::int32_t score = 0;
    std::string name;
};

struct ModelState {
    std::int32_t language = 0, duration = 0, sound = 0;
    ModelEntry entries[24];
};

// The next setting line as a 64-byte fgets buffer receives it: at most 63 bytes, ending after a LF at
// the latest; an embedded NUL ends the text the reader sees.
std::string model_setting_line(const std::string& bytes, std::size_t& pos)
{
    std::string piece;
    while (pos < bytes.size() && piece.size() < 63) {
        const char c = bytes[pos++];
        piece += c;
        if (c == '\n') break;
    }
    return piece.substr(0, piece.find('\0'));
}

// The next score line: up to a LF, a CR or a CR LF, which it loses; its first 63 bytes, up to a NUL.
std::string model_score_line(const std::string& bytes, std::size_t& pos)
{
    std::string line;
    while (pos < bytes.size() && bytes[pos] != '\n' && bytes[pos] != '\r') line += bytes[pos++];
    if (pos < bytes.size() && bytes[pos++] == '\r' && pos < bytes.size() && bytes[pos] == '\n') ++pos;
    return line.substr(0, std::min(line.find('\0'), std::size_t{63}));
}

std::int32_t model_decimal(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && std::string(" \t\n\v\f\r").find(text[i]) != std::string::npos) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string digits;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') digits += text[i++];
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    if (digits.size() > 10) return negative ? INT32_MIN : INT32_MAX;
    const long long magnitude = digits.empty() ? 0 : std::stoll(digits);
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

ModelState model_read(const std::string& bytes, ModelState state)
{
    std::size_t pos = 0;
    std::int32_t* fields[3] = {&state.language, &state.duration, &state.sound};
    for (int i = 0; i < 3; ++i) {
        if (pos < bytes.size()) {
            const std::string line = model_setting_line(bytes, pos);
            const std::size_t equals = line.find('=');
            if (equals != std::string::npos) *fields[i] = model_decimal(line.substr(equals + 1));
        }
        if (i == 0 && state.language != 0 && state.language != 1000) state.language = 1000;
    }
    // A line without a comma, without a number before it, or with a score of 0 is passed over.
    int slot = 0;
    while (slot < 24 && pos < bytes.size()) {
        const std::string line = model_score_line(bytes, pos);
        const std::size_t comma = line.find(',');
        const std::size_t first = line.find_first_not_of(" \t\n\v\f\r");
        const std::size_t digit =
            first != std::string::npos && (line[first] == '+' || line[first] == '-') ? first + 1 : first;
        const bool number = digit < line.size() && line[digit] >= '0' && line[digit] <= '9';
        if (comma == std::string::npos || !number || model_decimal(line) == 0) continue;
        state.entries[slot].score = model_decimal(line);
        state.entries[slot].name = line.substr(comma + 1, 23);
        ++slot;
    }
    return state;
}

std::string model_write(const ModelState& state)
{
    const bool english = state.language == 1000;
    std::string out = (english ? "Language=" : "Langue=") + std::to_string(state.language) + "\r\n";
    out += (english ? "Duration="
                    : "Dur\xE9"
                      "e=") +
           std::to_string(state.duration) + "\r\n";
    out += (english ? "Sound=" : "Son=") + std::to_string(state.sound) + "\r\n";
    for (const ModelEntry& entry : state.entries) {
        if (entry.score == 0) break;
        out += std::to_string(entry.score) + "," + entry.name + "\r\n";
    }
    return out;
}

ModelState current_state()
{
    ModelState state;
    state.language = settings.language;
    state.duration = settings.duration;
    state.sound = settings.sound;
    for (int i = 0; i < 24; ++i) {
        state.entries[i].score = score_table.entries[i].score;
        state.entries[i].name = score_table.entries[i].name;
    }
    return state;
}

void expect_state(const ModelState& expected, const ModelState& actual)
{
    EXPECT_EQ(actual.language, expected.language);
    EXPECT_EQ(actual.duration, expected.duration);
    EXPECT_EQ(actual.sound, expected.sound);
    for (int i = 0; i < 24; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual.entries[i].score, expected.entries[i].score);
        EXPECT_EQ(actual.entries[i].name, expected.entries[i].name);
    }
}

// ---- Fixture: a fresh folder and the records as they are at start-up ----

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { reset_app_state(); }
    void TearDown() override { reset_app_state(); }

    std::string path() const { return dir.file("ondulor.ini"); }

    // Reads bytes from a fresh start and checks the result against the model.
    ModelState read_and_check(const std::string& bytes)
    {
        reset_app_state();
        write_bytes(path(), bytes);
        read_settings(path().c_str());
        const ModelState actual = current_state();
        expect_state(model_read(bytes, ModelState{}), actual);
        return actual;
    }

    std::string write_now()
    {
        write_settings(path().c_str());
        EXPECT_FALSE(path_exists(path() + ".tmp"));
        return read_bytes(path());
    }

    TempFolder dir;
};

void set_alice_and_bob(std::int32_t language)
{
    settings = Settings{language, 90, 1};
    score_table.entries[0] = ScoreEntry{250, "Alice"};
    score_table.entries[1] = ScoreEntry{120, "Bob"};
}

TEST_F(SettingsFile, WrittenBytesInBothLanguages)
{
    set_alice_and_bob(LANGUAGE_ENGLISH);
    EXPECT_EQ(write_now(), "Language=1000\r\nDuration=90\r\nSound=1\r\n250,Alice\r\n120,Bob\r\n");
    set_alice_and_bob(LANGUAGE_FRENCH);
    EXPECT_EQ(write_now(), "Langue=0\r\nDur\xE9"
                           "e=90\r\nSon=1\r\n250,Alice\r\n120,Bob\r\n");
}

TEST_F(SettingsFile, FilesOfBothLanguagesReadTheSame)
{
    const ModelState french = read_and_check("Langue=0\r\nDur\xE9"
                                             "e=90\r\nSon=1\r\n250,Alice\r\n120,Bob\r\n");
    EXPECT_EQ(french.language, 0);
    EXPECT_EQ(french.duration, 90);
    EXPECT_EQ(french.sound, 1);
    EXPECT_EQ(french.entries[0].name, "Alice");
    EXPECT_EQ(french.entries[1].score, 120);
    const ModelState english = read_and_check("Language=0\r\nDuration=90\r\nSound=1\r\n250,Alice\r\n120,Bob\r\n");
    expect_state(french, english);
}

TEST_F(SettingsFile, NoFileGivesDefaultsAndLeavesTheTableAlone)
{
    score_table.entries[0] = ScoreEntry{5, "Kept"};
    read_settings(path().c_str());
    EXPECT_EQ(settings.language, LANGUAGE_ENGLISH);
    EXPECT_EQ(settings.duration, 90);
    EXPECT_EQ(settings.sound, 0);
    EXPECT_EQ(score_table.entries[0].score, 5);
    EXPECT_FALSE(path_exists(path()));
    reset_app_state();
    read_settings(path().c_str());
    EXPECT_EQ(write_now(), "Language=1000\r\nDuration=90\r\nSound=0\r\n");
}

TEST_F(SettingsFile, EmptyFileIsFrenchWithZeroDuration)
{
    const ModelState state = read_and_check("");
    EXPECT_EQ(state.language, 0);
    EXPECT_EQ(state.duration, 0);
    EXPECT_EQ(state.sound, 0);
    EXPECT_EQ(state.entries[0].score, 0);
}

TEST_F(SettingsFile, LanguageFixUp)
{
    EXPECT_EQ(read_and_check("Language=5\r\n").language, 1000);
    EXPECT_EQ(read_and_check("Langue=42\r\n").language, 1000);
    EXPECT_EQ(read_and_check("Language=-1000\r\n").language, 1000);
    EXPECT_EQ(read_and_check("Language=\r\n").language, 0);
    EXPECT_EQ(read_and_check("Language 1000\r\n").language, 0);
    EXPECT_EQ(read_and_check("x=y=1000\r\n").language, 0);
    EXPECT_EQ(read_and_check("=  +1000xyz\r\n").language, 1000);
    // Every white space a decimal may start with: blank, tab, CR, LF, vertical tab, form feed.
    EXPECT_EQ(read_and_check("Language=\v1000\r\n").language, 1000);
    EXPECT_EQ(read_and_check("Language=\f1000\r\n").language, 1000);
    EXPECT_EQ(read_and_check("Language= \t\r\v\f1000\r\n").language, 1000);
}

TEST_F(SettingsFile, SettingValuesGetNoRangeTest)
{
    const ModelState state = read_and_check("Language=1000\r\nDuration=15\r\nSound=7\r\n");
    EXPECT_EQ(state.duration, 15);
    EXPECT_EQ(state.sound, 7);
    EXPECT_EQ(read_and_check("Language=0\r\nDuration=-4\r\n").duration, -4);
}

TEST_F(SettingsFile, HugeNumbersSaturate)
{
    ModelState state = read_and_check("Language=99999999999999999999000\r\nDuration=2147483648\r\nSound=-2147483649\r\n"
                                      "99999999999,Big\r\n-99999999999,Small\r\n2147483647,Max\r\n-2147483648,Min\r\n"
                                      "000000000000000000000000000012,Zeros\r\n");
    EXPECT_EQ(state.language, 1000);
    EXPECT_EQ(state.duration, INT32_MAX);
    EXPECT_EQ(state.sound, INT32_MIN);
    EXPECT_EQ(state.entries[0].score, INT32_MAX);
    EXPECT_EQ(state.entries[1].score, INT32_MIN);
    EXPECT_EQ(state.entries[2].score, INT32_MAX);
    EXPECT_EQ(state.entries[3].score, INT32_MIN);
    EXPECT_EQ(state.entries[4].score, 12);
    EXPECT_EQ(write_now(), "Language=1000\r\nDuration=2147483647\r\nSound=-2147483648\r\n2147483647,Big\r\n"
                           "-2147483648,Small\r\n2147483647,Max\r\n-2147483648,Min\r\n12,Zeros\r\n");
}

TEST_F(SettingsFile, ScoreLineFirstShiftsEverything)
{
    const ModelState state = read_and_check("250,Alice\r\n120,Bob\r\n90,Carl\r\n80,Dora\r\n");
    EXPECT_EQ(state.language, 0);
    EXPECT_EQ(state.duration, 0);
    EXPECT_EQ(state.sound, 0);
    EXPECT_EQ(state.entries[0].score, 80);
    EXPECT_EQ(state.entries[0].name, "Dora");
    EXPECT_EQ(state.entries[1].score, 0);
}

TEST_F(SettingsFile, LongLinesArriveIn63BytePieces)
{
    // 75 bytes: the first 63 are the language line, the rest (blanks, CR LF) the duration line.
    const std::string long_first = "Language=1000" + std::string(60, ' ') + "\r\n";
    const ModelState state = read_and_check(long_first + "Duration=45\r\nSound=1\r\n300,Eve\r\n");
    EXPECT_EQ(state.language, 1000);
    EXPECT_EQ(state.duration, 0);
    EXPECT_EQ(state.sound, 45);
    EXPECT_EQ(state.entries[0].score, 300);  // "Sound=1" has no comma: passed over
    EXPECT_EQ(state.entries[0].name, "Eve");
}

TEST_F(SettingsFile, ScoreLineOddities)
{
    ModelState state = read_and_check("L=0\r\nD=60\r\nS=0\r\n250,Ann,Lee\r\n7,\r\n");
    EXPECT_EQ(state.entries[0].name, "Ann,Lee");
    EXPECT_EQ(state.entries[1].score, 7);
    EXPECT_EQ(state.entries[1].name, "");
    EXPECT_EQ(write_now(), "Langue=0\r\nDur\xE9"
                           "e=60\r\nSon=0\r\n250,Ann,Lee\r\n7,\r\n");

    state = read_and_check("L=0\r\nD=60\r\nS=0\r\n-15,Neg\r\n 42,Spaced\r\n+3,Plus\r\n\v\f-8,Ff\r\n");
    EXPECT_EQ(state.entries[0].score, -15);
    EXPECT_EQ(state.entries[1].score, 42);
    EXPECT_EQ(state.entries[2].score, 3);
    EXPECT_EQ(state.entries[3].score, -8);
    EXPECT_EQ(write_now(), "Langue=0\r\nDur\xE9"
                           "e=60\r\nSon=0\r\n-15,Neg\r\n42,Spaced\r\n3,Plus\r\n-8,Ff\r\n");
}

// A file edited by hand: a line the reader cannot take costs only itself, and the good scores after it
// are kept. Each row puts its bad line between two good ones.
TEST_F(SettingsFile, ABadScoreLineIsPassedOverAndTheLinesAfterItAreRead)
{
    const struct {
        const char* what;
        std::string line;
        std::string kept;  // the middle entry the bad line gives, if any
    } rows[] = {
        {"a blank line", "", ""},
        {"no comma", "250", ""},
        {"a score that is not a number", "abc,Bob", ""},
        {"a score of 0, which marks a free slot", "0,Bob", ""},
        {"a line past the buffer, consumed whole", "7," + std::string(60, 'n'), "7," + std::string(23, 'n')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string kept = row.kept.empty() ? "" : row.kept + "\r\n";
        read_and_check("Language=1000\r\nDuration=60\r\nSound=0\r\n\r\n100,Alice\r\n" + row.line + "\r\n50,Carol\r\n");
        EXPECT_EQ(write_now(), "Language=1000\r\nDuration=60\r\nSound=0\r\n100,Alice\r\n" + kept + "50,Carol\r\n");
    }
}

TEST_F(SettingsFile, NamesLoseTheirLineEnds)
{
    ModelState state = read_and_check("L=0\nD=60\nS=0\n10,Bare\n20,Mixed\r\r\n30,In\rside\r\n35,Bo\rb\n40,Last");
    EXPECT_EQ(state.entries[0].name, "Bare");
    EXPECT_EQ(state.entries[1].name, "Mixed");  // a CR alone ends a line, and the empty one after it is passed over
    EXPECT_EQ(state.entries[2].name, "In");
    EXPECT_EQ(state.entries[3].name, "Bo");
    EXPECT_EQ(state.entries[4].name, "Last");
    EXPECT_EQ(write_now(), "Langue=0\r\nDur\xE9"
                           "e=60\r\nSon=0\r\n10,Bare\r\n20,Mixed\r\n30,In\r\n35,Bo\r\n40,Last\r\n");
}

TEST_F(SettingsFile, LongNamesKeepTheirFirst23Characters)
{
    const std::string name(40, 'n');
    const ModelState state = read_and_check("L=0\r\nD=60\r\nS=0\r\n5," + name + "\r\n6,abcdefghijklmnopqrstuvwxyz\r\n");
    EXPECT_EQ(state.entries[0].name, std::string(23, 'n'));
    EXPECT_EQ(state.entries[1].name, "abcdefghijklmnopqrstuvw");
}

TEST_F(SettingsFile, AtMost24ScoreLines)
{
    std::string bytes = "L=1000\r\nD=60\r\nS=0\r\n";
    for (int i = 1; i <= 25; ++i) bytes += std::to_string(i) + ",P" + std::to_string(i) + "\r\n";
    const ModelState state = read_and_check(bytes);
    EXPECT_EQ(state.entries[23].score, 24);
    std::string expected = "Language=1000\r\nDuration=60\r\nSound=0\r\n";
    for (int i = 1; i <= 24; ++i) expected += std::to_string(i) + ",P" + std::to_string(i) + "\r\n";
    EXPECT_EQ(write_now(), expected);
}

TEST_F(SettingsFile, AZeroScoreEndsTheWriting)
{
    settings = Settings{LANGUAGE_ENGLISH, 60, 0};
    score_table.entries[0] = ScoreEntry{5, "A"};
    score_table.entries[1] = ScoreEntry{0, "Gap"};
    score_table.entries[2] = ScoreEntry{7, "Hidden"};
    EXPECT_EQ(write_now(), "Language=1000\r\nDuration=60\r\nSound=0\r\n5,A\r\n");
    clear_scores();
    EXPECT_EQ(write_now(), "Language=1000\r\nDuration=60\r\nSound=0\r\n");
}

TEST_F(SettingsFile, ReplacesALongerOldFileWhole)
{
    write_bytes(path(), std::string(500, 'x'));
    settings = Settings{LANGUAGE_FRENCH, 30, 0};
    EXPECT_EQ(write_now(), "Langue=0\r\nDur\xE9"
                           "e=30\r\nSon=0\r\n");
}

// Beside the game whenever it can be written there; else per user, reading the file beside the game
// until the per-user one exists.
TEST(SettingsPlace, BesideTheGameWhenWritableElsePerUser)
{
    const struct {
        const char* what;
        FileAccess beside;
        bool per_user_known, per_user_exists;
        bool read_per_user, write_per_user;
    } rows[] = {
        {"a writable file beside", FileWritable, true, true, false, false},
        {"no file, a writable folder", FileAbsent, true, true, false, false},
        {"a read-only file, no per-user file yet", FileReadOnly, true, false, false, true},
        {"a read-only folder, a per-user file", FileAbsentReadOnly, true, true, true, true},
        {"a read-only file, no per-user folder known", FileReadOnly, false, false, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const SettingsPlaces places = choose_settings_places(row.beside, row.per_user_known, row.per_user_exists);
        EXPECT_EQ(places.read_per_user, row.read_per_user);
        EXPECT_EQ(places.write_per_user, row.write_per_user);
    }
}

// What stops the temporary file or the write, provoked in ways that hold for root too (CI runs
// as root, whom permissions never stop): a folder in the place of "<path>.tmp", a file name at the
// file system's length limit so that ".tmp" passes it, and a file-size limit that fails the write.
enum Obstacle : unsigned {
    TemporaryNameIsAFolder = 1,
    NameAtTheLengthLimit = 2,
    FileSizeLimit = 4,
};

struct WriteCase {
    const char* what;
    unsigned obstacles;
    int exit_code;     // 0: written; 1: the open-failure report
    bool new_content;  // the file holds the new content; otherwise the old one, or (in place) no
                       // more than the limit let through
    bool in_place;     // the file itself was rewritten, no temporary file took part
};

const WriteCase write_cases[] = {
    {"a folder in the place of the temporary file: rewritten in place", TemporaryNameIsAFolder, 0, true, true},
    {"a name whose temporary twin is too long: rewritten in place", NameAtTheLengthLimit, 0, true, true},
    {"a write of the temporary file fails: the old file stays whole", FileSizeLimit, 1, false, false},
    {"a write fails in place too: reported", TemporaryNameIsAFolder | FileSizeLimit, 1, false, true},
};

constexpr rlim_t WriteLimitBytes = 20;

TEST_F(SettingsFile, WritesInPlaceOnlyWhenNoTemporaryFileCanBeMade)
{
    const std::string old_bytes = "Language=1000\r\nDuration=45\r\nSound=1\r\n77,Old\r\n";
    const std::string new_bytes = "Language=1000\r\nDuration=90\r\nSound=0\r\n88,New\r\n";
    long name_max = pathconf(dir.path().c_str(), _PC_NAME_MAX);
    if (name_max <= 0 || name_max > 1000) name_max = 255;
    for (const WriteCase& c : write_cases) {
        SCOPED_TRACE(c.what);
        const TempFolder folder;
        const std::string name = (c.obstacles & NameAtTheLengthLimit)
                                     ? std::string(static_cast<std::size_t>(name_max) - 4, 'o') + ".ini"
                                     : "ondulor.ini";
        const std::string file = folder.file(name);
        write_bytes(file, old_bytes);
        ASSERT_EQ(read_bytes(file), old_bytes);
        if (c.obstacles & TemporaryNameIsAFolder) {
            ASSERT_EQ(mkdir((file + ".tmp").c_str(), 0700), 0);
        }
        settings = Settings{LANGUAGE_ENGLISH, 90, 0};
        clear_scores();
        score_table.entries[0] = ScoreEntry{88, "New"};
        const ChildResult result = run_in_child([&] {
            if (c.obstacles & FileSizeLimit) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{WriteLimitBytes, WriteLimitBytes};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            write_settings(file.c_str());
        });
        EXPECT_EQ(result.exit_code, c.exit_code);
        EXPECT_EQ(result.err, c.exit_code == 0 ? "" : "Erreur \xE0 l'ouverture du fichier : " + file + "\n");
        const std::string now = read_bytes(file);
        if (c.new_content) {
            EXPECT_EQ(now, new_bytes);
        } else if (c.in_place) {
            EXPECT_LE(now.size(), WriteLimitBytes);
            EXPECT_EQ(now, new_bytes.substr(0, now.size()));
        } else {
            EXPECT_EQ(now, old_bytes);
        }
        struct stat status;
        const bool temporary_left = stat((file + ".tmp").c_str(), &status) == 0;
        // The folder that stood in the way is left alone; a temporary file of ours never stays.
        EXPECT_EQ(temporary_left, (c.obstacles & TemporaryNameIsAFolder) != 0);
        if (temporary_left) {
            EXPECT_TRUE(S_ISDIR(status.st_mode));
        }
    }
    reset_app_state();
}

TEST_F(SettingsFile, AFailedReplaceRemovesTheTemporaryFile)
{
    // The settings path is a folder that is not empty: the finished file cannot take its place.
    ASSERT_EQ(mkdir(path().c_str(), 0700), 0);
    write_bytes(path() + "/inside", "keep");
    const ChildResult result = run_in_child([&] { write_settings(path().c_str()); });
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.err.find(path()), std::string::npos);
    EXPECT_FALSE(path_exists(path() + ".tmp"));
    EXPECT_EQ(read_bytes(path() + "/inside"), "keep");
}

TEST_F(SettingsFile, FailedWriteToAMissingFolderExitsWithTheSettingsPath)
{
    const std::string missing = dir.file("no/such/folder/ondulor.ini");
    const ChildResult result = run_in_child([&] { write_settings(missing.c_str()); });
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err, "Erreur \xE0 l'ouverture du fichier : " + missing + "\n");
}

TEST_F(SettingsFile, TooLongAPathForTheTemporaryNameIsAnOpenFailure)
{
    const std::string long_path = "/tmp/" + std::string(520, 'p');
    const ChildResult result = run_in_child([&] { write_settings(long_path.c_str()); });
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err.rfind("Erreur \xE0 l'ouverture du fichier : /tmp/ppp", 0), 0u);
}

// Random files built from the pieces that matter: keys, '=', ',', signs, digits, huge numbers,
// CR and LF in every combination, NUL and accented bytes, and runs long enough to split lines.
std::string random_file(std::mt19937& random)
{
    static const char* const pieces[] = {"Language=",
                                         "Langue=",
                                         "Dur\xE9"
                                         "e=",
                                         "Sound=",
                                         "=",
                                         ",",
                                         "\r\n",
                                         "\n",
                                         "\r",
                                         " ",
                                         "\t",
                                         "\v",
                                         "\f",
                                         "-",
                                         "+",
                                         "0",
                                         "7",
                                         "1000",
                                         "250",
                                         "2147483647",
                                         "2147483648",
                                         "-2147483649",
                                         "99999999999999999999",
                                         "Alice",
                                         "Ann,Lee",
                                         "\xE9",
                                         "\xFF"};
    std::uniform_int_distribution<int> count(0, 60);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(pieces)) + 2);
    std::uniform_int_distribution<int> run(1, 90);
    std::string bytes;
    const int n = count(random);
    for (int i = 0; i < n; ++i) {
        const int which = pick(random);
        if (which == static_cast<int>(std::size(pieces))) {
            bytes += std::string(static_cast<std::size_t>(run(random)), 'x');
        } else if (which == static_cast<int>(std::size(pieces)) + 1) {
            bytes += '\0';
        } else if (which == static_cast<int>(std::size(pieces)) + 2) {
            bytes += std::to_string(static_cast<std::int32_t>(random())) + ",";
        } else {
            bytes += pieces[which];
        }
    }
    return bytes;
}

TEST_F(SettingsFile, RandomFilesReadAsTheModelReadsThemAndRoundTrip)
{
    std::mt19937 random(20240601);
    for (int round = 0; round < 1500; ++round) {
        const std::string bytes = random_file(random);
        SCOPED_TRACE(::testing::PrintToString(bytes));
        const ModelState state = read_and_check(bytes);
        if (HasFailure()) return;

        const std::string written = write_now();
        ASSERT_EQ(written, model_write(state));

        // What was written reads back to the same settings and the same table up to its end.
        reset_app_state();
        read_settings(path().c_str());
        const ModelState again = current_state();
        ASSERT_EQ(again.language, state.language);
        ASSERT_EQ(again.duration, state.duration);
        ASSERT_EQ(again.sound, state.sound);
        for (int i = 0; i < 24 && state.entries[i].score != 0; ++i) {
            ASSERT_EQ(again.entries[i].score, state.entries[i].score);
            ASSERT_EQ(again.entries[i].name, state.entries[i].name);
        }
        ASSERT_EQ(write_now(), written);
    }
}

}  // namespace
