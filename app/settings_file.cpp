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
// The longest file the game writes: three setting lines and 24 score lines, each of at most 63 bytes
// with its CR LF.
constexpr std::size_t ContentSize = (3 + ScoreSlotCount) * (LineBufferSize - 1);
// The first sleep while another program holds the file; each next one is twice as long.
constexpr std::int32_t FirstPause = 10;

// The bytes the file holds, as far as this process read or wrote it; a length past ContentSize for a
// file that holds something the game never writes, or nothing at all.
char disk_content[ContentSize + 1];
std::size_t disk_length = ContentSize + 1;

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

// The next score line into line, at most 63 bytes of it: LF, CR or CR LF ends a line, and a longer
// line is consumed whole. False at the end of the file.
bool read_score_line(std::FILE* stream, char* line)
{
    std::int32_t length = 0;
    int c = std::getc(stream);
    if (c == EOF) {
        return false;
    }
    while (c != EOF && c != '\n' && c != '\r') {
        if (length < LineBufferSize - 1) {
            line[length++] = static_cast<char>(c);
        }
        c = std::getc(stream);
    }
    if (c == '\r') {
        c = std::getc(stream);
        if (c != '\n' && c != EOF) {
            std::ungetc(c, stream);
        }
    }
    line[length] = '\0';
    return true;
}

// Whether text starts with a decimal as read_decimal reads it: blanks, a sign, then a digit.
bool starts_with_number(const char* text)
{
    while (is_space(*text)) {
        ++text;
    }
    if (*text == '+' || *text == '-') {
        ++text;
    }
    return *text >= '0' && *text <= '9';
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

// The name part of a score line, cut to what the name box takes, so that every name the game holds
// fits there.
void store_name(ScoreEntry& entry, const char* name)
{
    std::size_t length = std::strlen(name);
    if (length > static_cast<std::size_t>(ScoreNameTyped)) {
        length = ScoreNameTyped;
    }
    std::memcpy(entry.name, name, length);
    entry.name[length] = '\0';
}

void append_line(char* content, std::size_t& length, const char* line)
{
    const std::size_t line_length = std::strlen(line);
    std::memcpy(content + length, line, line_length);
    std::memcpy(content + length + line_length, "\r\n", 2);
    length += line_length + 2;
}

// The file's bytes for settings and score_table, keys in the current language; its length.
std::size_t compose_content(char* content)
{
    char line[LineBufferSize];
    std::size_t length = 0;
    const std::int32_t keys[3] = {TXT_KEY_LANGUAGE, TXT_KEY_DURATION, TXT_KEY_SOUND};
    const std::int32_t values[3] = {settings.language, settings.duration, settings.sound};
    for (std::int32_t i = 0; i < 3; ++i) {
        std::snprintf(line, sizeof line - 2, load_text(keys[i]), static_cast<int>(values[i]));
        append_line(content, length, line);
    }
    for (const ScoreEntry& entry : score_table.entries) {
        if (entry.score == 0) {
            break;
        }
        std::snprintf(line, sizeof line - 2, "%d,%.24s", static_cast<int>(entry.score), entry.name);
        append_line(content, length, line);
    }
    return length;
}

bool write_content(std::FILE* stream, const char* content, std::size_t length)
{
    // On the disk before the file takes the old one's place: a failed flush is a failed write.
    return std::fwrite(content, 1, length, stream) == length && flush_to_disk(stream);
}

// After a step that failed: true, having slept a little longer than the time before, while another
// program holds the file and patience is left; false when the step failed for good.
bool wait_for_release(std::int32_t& patience, std::int32_t& pause, bool replacing)
{
    if (patience <= 0 || !file_held_by_another_program(replacing)) {
        return false;
    }
    const std::int32_t slept = pause < patience ? pause : patience;
    pause_milliseconds(slept);
    patience -= slept;
    pause *= 2;
    return true;
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

void remember_on_disk(const char* content, std::size_t length)
{
    std::memcpy(disk_content, content, length);
    disk_length = length;
}

// Fills disk_content with the first bytes of the file read from stream.
void remember_file(std::FILE* stream)
{
    std::rewind(stream);
    disk_length = std::fread(disk_content, 1, sizeof disk_content, stream);
    if (std::ferror(stream) != 0) {
        disk_length = ContentSize + 1;
    }
}

}  // namespace

void read_settings(const char* path)
{
    // A hidden or system file is the player's file as much as any other.
    if (!names_file(path)) {
        settings.language = LANGUAGE_ENGLISH;
        settings.sound = 0;
        settings.duration = DefaultDuration;
        disk_length = ContentSize + 1;
        return;
    }
    // Only read: a read-only file, or one in a folder the player may not write, is read all the same.
    std::FILE* stream = open_or_die(path, "rb");
    read_setting_line(stream, settings.language);
    if (settings.language != LANGUAGE_FRENCH && settings.language != LANGUAGE_ENGLISH) {
        settings.language = LANGUAGE_ENGLISH;
    }
    read_setting_line(stream, settings.duration);
    read_setting_line(stream, settings.sound);

    // A line that a hand spoiled costs only itself: the good lines after it are kept.
    char line[LineBufferSize];
    std::int32_t slot = 0;
    while (slot < ScoreSlotCount && read_score_line(stream, line)) {
        const char* comma = std::strchr(line, ',');
        const std::int32_t score = starts_with_number(line) ? read_decimal(line) : 0;
        if (comma == nullptr || score == 0) {
            continue;
        }
        score_table.entries[slot].score = score;
        store_name(score_table.entries[slot], comma + 1);
        ++slot;
    }
    remember_file(stream);
    std::fclose(stream);
}

bool save_settings(const char* path, std::int32_t patience_ms)
{
    char content[ContentSize];
    const std::size_t length = compose_content(content);
    std::int32_t patience = patience_ms;
    std::int32_t pause = FirstPause;
    // The new content goes to a temporary file beside the old one, which it replaces only once it
    // is whole: a full disk or a failed write never leaves a short or empty settings file.
    char temporary_path[TemporaryPathSize];
    std::FILE* stream = nullptr;
    while ((stream = open_temporary(path, temporary_path)) == nullptr && wait_for_release(patience, pause, false)) {
    }
    if (stream == nullptr) {
        // No new file can be made beside the old one (a folder that takes no new entries, a name
        // past the length limit): rewrite the file itself, as the plain format always did.
        while ((stream = open_file(path, "w+b")) == nullptr && wait_for_release(patience, pause, false)) {
        }
        if (stream == nullptr) {
            return false;
        }
        const bool written = write_content(stream, content, length);
        if (std::fclose(stream) != 0 || !written) {
            return false;
        }
        remember_on_disk(content, length);
        return true;
    }
    const bool written = write_content(stream, content, length);
    bool replaced = std::fclose(stream) == 0 && written;
    if (replaced) {
        // A scanner that opened the old file refuses its replacement until it lets go.
        while (!(replaced = replace_file(temporary_path, path)) && wait_for_release(patience, pause, true)) {
        }
    }
    if (!replaced) {
        remove_file(temporary_path);
        return false;
    }
    remember_on_disk(content, length);
    return true;
}

void write_settings(const char* path)
{
    if (!save_settings(path)) {
        report_open_failure(path);
    }
}

bool save_changes(const char* path, std::int32_t patience_ms)
{
    char content[ContentSize];
    const std::size_t length = compose_content(content);
    if (length == disk_length && std::memcmp(content, disk_content, length) == 0) {
        return true;
    }
    return save_settings(path, patience_ms);
}

SettingsPlaces choose_settings_places(FileAccess beside, bool per_user_known, bool per_user_exists)
{
    // A file merely held for a moment is still the player's: only a place that refuses writing moves.
    const bool beside_refuses = beside == FileReadOnly || beside == FileAbsentReadOnly;
    if (!beside_refuses || !per_user_known) {
        return {false, false};
    }
    return {per_user_exists, true};
}
