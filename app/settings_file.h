// The settings and best-score file beside the executable: read once at start, written once at exit.
#ifndef ONDULOR_APP_SETTINGS_FILE_H
#define ONDULOR_APP_SETTINGS_FILE_H

#include <cstdint>

struct Settings {
    std::int32_t language;  // the LanguageOffset: 0 French, 1000 English
    std::int32_t duration;  // game length in seconds
    std::int32_t sound;     // 0 off, anything else on
};

extern Settings settings;

// Fills settings and score_table from the file at path; English, 90 s and no sound without a file.
void read_settings(const char* path);

// Replaces the file at path with settings and score_table, keys in the current language.
// The new content goes to "<path>.tmp" first, and the old file stays whole unless that was written
// completely; when no such file can be made, the file is rewritten in place. A failure of the one
// write attempted ends the program through the open-failure report.
void write_settings(const char* path);

#endif
