// The settings and best-score file beside the executable: read once at start, written at every change
// and at the end.
#ifndef ONDULOR_APP_SETTINGS_FILE_H
#define ONDULOR_APP_SETTINGS_FILE_H

#include <cstdint>

struct Settings {
    std::int32_t language;  // the LanguageOffset: 0 French, 1000 English
    std::int32_t duration;  // game length in seconds
    std::int32_t sound;     // 0 off, anything else on
};

extern Settings settings;

// Fills settings and score_table from the file at path, hidden or not; English, 90 s and no sound
// without a file.
void read_settings(const char* path);

// Replaces the file at path with settings and score_table, keys in the current language.
// The new content goes to "<path>.tmp" first, and the old file stays whole unless that was written
// completely; when no such file can be made, the file is rewritten in place. The file keeps its
// hidden and system attributes. False when the one write attempted failed; nothing is shown.
bool save_settings(const char* path);

// save_settings at the program's end: a failure ends the program through the open-failure report.
void write_settings(const char* path);

// save_settings when settings or score_table differ from what the file was last read or written
// with; true when nothing had to be written. A failed write keeps the change in memory only, and the
// next call tries again.
bool save_changes(const char* path);

#endif
