// Reading and writing the settings file: three setting lines, then up to 24 score lines, CR LF.
#include "app/settings_file.h"

#include <cstdio>
#include <cstring>

#include "app/scores.h"
#include "app/texts.h"
#include "res/resource_ids.h"
#include "util/file_util.h"

Settings settings;

namespace {

constexpr std::int32_t LineBufferSize = 64;
constexpr std::int32_t DefaultDuration = 90;
constexpr char temporary_suffix[] = ".tmp";
constexpr std::size_t TemporaryPathSize = 1024;  // past any path the game derives, with the suffix

// What the file holds since it was last read or written: a change is what differs from these.
Settings saved_settings;
ScoreTable saved_scores;

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A signed decimal like strtol reads it, but held at the int32 limits instead of overflowing.
std::int32_t read_decimal(const char* text)
{
    while (is_space(*text)) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
    std::int64_t value = 0;
    while (*text >= '0' && *text <= '9') {
        value = value * 10 + (*text - '0');
        if (value > limit) {
            value = limit;
        }
        ++text;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

// One line of at most 63 bytes, as fgets gives it; false at end of file.
bool read_line(std::FILE* stream, char* line)
{
    return std::fgets(line, LineBufferSize, stream) != nullptr;
}

// Reads the value after the first '=' of the next line into value; a missing line or '=' keeps it.
void read_setting_line(std::FILE* stream, std::int32_t& value)
{
    char line[LineBufferSize];
    if (!read_line(stream, line)) {
        return;
    }
    const char* equals = std::strchr(line, '=');
    if (equals != nullptr) {
        value = read_decimal(equals + 1);
    }
}

// The name part of a score line: cut at its last CR, without a trailing LF, at most 24 characters.
void store_name(ScoreEntry& entry, char* name)
{
    char* last_cr = std::strrchr(name, '\r');
    if (last_cr != nullptr) {
        *last_cr = '\0';
    }
    std::size_t length = std::strlen(name);
    if (length > 0 && name[length - 1] == '\n') {
        name[--length] = '\0';
    }
    if (length > static_cast<std::size_t>(ScoreNameLength)) {
        length = ScoreNameLength;
    }
    std::memcpy(entry.name, name, length);
    entry.name[length] = '\0';
}

bool write_text(std::FILE* stream, const char* text)
{
    return std::fputs(text, stream) >= 0 && std::fputs("\r\n", stream) >= 0;
}

bool write_lines(std::FILE* stream)
{
    char line[LineBufferSize];
    const std::int32_t keys[3] = {TXT_KEY_LANGUAGE, TXT_KEY_DURATION, TXT_KEY_SOUND};
    const std::int32_t values[3] = {settings.language, settings.duration, settings.sound};
    for (std::int32_t i = 0; i < 3; ++i) {
        std::snprintf(line, sizeof line, load_text(keys[i]), static_cast<int>(values[i]));
        if (!write_text(stream, line)) {
            return false;
        }
    }
    for (const ScoreEntry& entry : score_table.entries) {
        if (entry.score == 0) {
            break;
        }
        std::snprintf(line, sizeof line, "%d,%.24s", static_cast<int>(entry.score), entry.name);
        if (!write_text(stream, line)) {
            return false;
        }
    }
    // On the disk before the file takes the old one's place: a failed flush is a failed write.
    return flush_to_disk(stream);
}

// Opens "<path>.tmp" for the new content; null when that file cannot be made.
std::FILE* open_temporary(const char* path, char* temporary_path)
{
    const std::size_t path_length = std::strlen(path);
    if (path_length + sizeof temporary_suffix > TemporaryPathSize) {
        return nullptr;
    }
    // On Windows a name of MAX_PATH units or more is refused here as by the move that would follow.
    std::memcpy(temporary_path, path, path_length);
    std::memcpy(temporary_path + path_length, temporary_suffix, sizeof temporary_suffix);
    return open_file(temporary_path, "w+b");
}

// Empties the file and writes it again; false when it cannot be opened or written.
bool write_in_place(const char* path)
{
    std::FILE* stream = open_file(path, "w+b");
    if (stream == nullptr) {
        return false;
    }
    const bool written = write_lines(stream);
    return std::fclose(stream) == 0 && written;
}

void remember_saved()
{
    saved_settings = settings;
    saved_scores = score_table;
}

// Whether the file would get other lines than it holds: the settings, and the scores up to the
// first free slot, names as far as a line takes them.
bool differs_from_saved()
{
    if (settings.language != saved_settings.language || settings.duration != saved_settings.duration ||
        settings.sound != saved_settings.sound) {
        return true;
    }
    for (std::int32_t slot = 0; slot < ScoreSlotCount; ++slot) {
        const ScoreEntry& entry = score_table.entries[slot];
        const ScoreEntry& saved = saved_scores.entries[slot];
        if (entry.score != saved.score ||
            (entry.score != 0 && std::strncmp(entry.name, saved.name, ScoreNameLength) != 0)) {
            return true;
        }
        if (entry.score == 0) {
            return false;
        }
    }
    return false;
}

}  // namespace

void read_settings(const char* path)
{
    // A hidden or system file is the player's file as much as any other.
    if (!names_file(path)) {
        settings.language = LANGUAGE_ENGLISH;
        settings.sound = 0;
        settings.duration = DefaultDuration;
        remember_saved();
        return;
    }
    std::FILE* stream = open_or_die(path, "r+b");
    read_setting_line(stream, settings.language);
    if (settings.language != LANGUAGE_FRENCH && settings.language != LANGUAGE_ENGLISH) {
        settings.language = LANGUAGE_ENGLISH;
    }
    read_setting_line(stream, settings.duration);
    read_setting_line(stream, settings.sound);

    char line[LineBufferSize];
    for (ScoreEntry& entry : score_table.entries) {
        if (!read_line(stream, line)) {
            break;
        }
        entry.score = read_decimal(line);
        char* comma = std::strchr(line, ',');
        if (comma == nullptr) {
            break;
        }
        store_name(entry, comma + 1);
    }
    std::fclose(stream);
    remember_saved();
}

bool save_settings(const char* path)
{
    // The new content goes to a temporary file beside the old one, which it replaces only once it
    // is whole: a full disk or a failed write never leaves a short or empty settings file.
    char temporary_path[TemporaryPathSize];
    std::FILE* stream = open_temporary(path, temporary_path);
    if (stream == nullptr) {
        // No new file can be made beside the old one (a folder that takes no new entries, a name
        // past the length limit): rewrite the file itself, as the plain format always did.
        if (!write_in_place(path)) {
            return false;
        }
        remember_saved();
        return true;
    }
    const bool written = write_lines(stream);
    const bool closed = std::fclose(stream) == 0;
    if (!written || !closed || !replace_file(temporary_path, path)) {
        remove_file(temporary_path);
        return false;
    }
    remember_saved();
    return true;
}

void write_settings(const char* path)
{
    if (!save_settings(path)) {
        report_open_failure(path);
    }
}

bool save_changes(const char* path)
{
    return !differs_from_saved() || save_settings(path);
}
