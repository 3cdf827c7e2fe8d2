// The settings and best-score file, beside the executable or per user: read once at start, written at
// every change and at the end.
#ifndef ONDULOR_APP_SETTINGS_FILE_H
#define ONDULOR_APP_SETTINGS_FILE_H

#include <cstdint>

struct Settings {
    std::int32_t language;  // the LanguageOffset: 0 French, 1000 English
    std::int32_t duration;  // game length in seconds
    std::int32_t sound;     // 0 off, anything else on
};

extern Settings settings;

// How long a write waits at most, in all, for another program (a virus scanner, an indexer, a sync
// client) to let go of the file or its temporary twin before it counts as failed.
constexpr std::int32_t HoldPatience = 2000;

// Fills settings and score_table from the file at path, hidden or not; English, 90 s and no sound
// without a file. A score line that cannot be read (empty, no comma, no number, a score of 0) is
// skipped and the lines after it are still read; a CR alone also ends a score line.
void read_settings(const char* path);

// Replaces the file at path with settings and score_table, keys in the current language.
// The new content goes to "<path>.tmp" first, and the old file stays whole unless that was written
// completely; when no such file can be made, the file is rewritten in place. The file keeps its
// hidden and system attributes. A step that another program's hold refuses is tried again for up to
// patience_ms in all. False when the write failed; nothing is shown.
bool save_settings(const char* path, std::int32_t patience_ms = HoldPatience);

// save_settings, and on a failure the open-failure report, which ends the program.
void write_settings(const char* path);

// save_settings when the file would get other bytes than the disk holds, as far as this process
// read or wrote it (a file that was missing, or that a hand edited, gets written); true when nothing
// had to be written. A failed write keeps the change in memory only, and the next call tries again.
bool save_changes(const char* path, std::int32_t patience_ms = HoldPatience);

// How the place of the settings file beside the game can be written, as a look that writes nothing
// finds it.
enum FileAccess : std::uint8_t {
    FileWritable,        // there, and it opens for writing
    FileHeld,            // there, held by another program for now: the player's place all the same
    FileReadOnly,        // there, but it cannot be written: its mark, its folder, the medium or the rights
    FileAbsent,          // not there, and its folder takes a new file
    FileAbsentReadOnly,  // not there, and its folder takes no new file
};

// Where the settings are read from and written to: beside the game whenever it can be written there,
// else per user, reading the file beside the game until the per-user one exists, so that the scores
// carry over. Without a per-user place, beside the game as always.
struct SettingsPlaces {
    bool read_per_user;
    bool write_per_user;
};
SettingsPlaces choose_settings_places(FileAccess beside, bool per_user_known, bool per_user_exists);

#endif
