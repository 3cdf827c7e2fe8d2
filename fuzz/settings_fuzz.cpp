// Fuzzes the settings file: any bytes read, written and read again must give a clean, stable file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "memory_files.h"

#include "app/scores.h"
#include "app/settings_file.h"
#include "res/resource_ids.h"

namespace {

struct Snapshot {
    Settings values;
    ScoreTable table;
};

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "settings_fuzz: %s\n", what);
        std::abort();
    }
}

std::string file_bytes(const std::string& path)
{
    std::string bytes;
    check(memory_file_bytes(path.c_str(), bytes), "written file is missing");
    return bytes;
}

void start_fresh()
{
    settings = Settings{};
    clear_scores();
}

// Entries that every reader sees: those before the first free slot.
std::int32_t used_slots(const ScoreTable& table)
{
    std::int32_t used = 0;
    while (used < ScoreSlotCount && table.entries[used].score != 0) ++used;
    return used;
}

void check_state_is_sound()
{
    check(settings.language == LANGUAGE_FRENCH || settings.language == LANGUAGE_ENGLISH,
          "language is neither French nor English");
    for (const ScoreEntry& entry : score_table.entries) {
        const void* end = std::memchr(entry.name, '\0', sizeof entry.name);
        check(end != nullptr, "name without terminator");
        check(std::strchr(entry.name, '\n') == nullptr, "name keeps a line feed");
    }
}

// The written file: CR LF after every line, three setting lines, one line per used slot.
void check_file_shape(const std::string& bytes, std::int32_t used)
{
    std::int32_t lines = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lf = bytes.find('\n', start);
        check(lf != std::string::npos, "last line without its line feed");
        check(lf > start && bytes[lf - 1] == '\r', "line feed without its CR");
        check(lf - start + 1 <= 63, "line longer than a 63-byte piece");
        start = lf + 1;
        ++lines;
    }
    check(lines == 3 + used, "wrong number of lines");
    const char* first = settings.language == LANGUAGE_ENGLISH ? "Language=1000\r\n" : "Langue=0\r\n";
    check(bytes.compare(0, std::strlen(first), first) == 0, "language line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string input = std::string(memory_folder) + "input.ini";
    static const std::string first = std::string(memory_folder) + "first.ini";
    static const std::string second = std::string(memory_folder) + "second.ini";

    set_memory_file(input.c_str(), data, size);

    start_fresh();
    read_settings(input.c_str());
    check_state_is_sound();
    const Snapshot read_once{settings, score_table};
    const std::int32_t used = used_slots(score_table);

    write_settings(first.c_str());
    const std::string first_bytes = file_bytes(first);
    check_file_shape(first_bytes, used);

    // Reading what was written gives the same settings and the same used slots, and writing
    // that again gives the same bytes.
    start_fresh();
    read_settings(first.c_str());
    check(settings.language == read_once.values.language, "language changed on the round trip");
    check(settings.duration == read_once.values.duration, "duration changed on the round trip");
    check(settings.sound == read_once.values.sound, "sound changed on the round trip");
    check(used_slots(score_table) == used, "number of scores changed on the round trip");
    for (std::int32_t i = 0; i < used; ++i) {
        check(score_table.entries[i].score == read_once.table.entries[i].score, "score changed");
        check(std::strcmp(score_table.entries[i].name, read_once.table.entries[i].name) == 0, "name changed");
    }
    write_settings(second.c_str());
    check(file_bytes(second) == first_bytes, "second write differs from the first");
    return 0;
}
