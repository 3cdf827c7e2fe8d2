// Where the settings file lives: beside the game whenever that place can be written, else per user
// under %LOCALAPPDATA%\Ondulor (the zip unpacked into Program Files, a read-only share or disc copy).
#ifndef ONDULOR_UI_SETTINGS_PLACE_H
#define ONDULOR_UI_SETTINGS_PLACE_H

#include <cstdint>

#include "util/process_state.h"

// Chooses the place once, at start-up, after derive_paths: settings_path becomes the path every write
// and the claim use, and read_path (PathSize bytes) the file to read, which is the one beside the game
// until the per-user file exists. Writes nothing.
void place_settings_file(char* read_path);

// Writes what differs from the disk to settings_path, making the per-user folder first when the file
// goes there; true when nothing had to be written or the write succeeded.
bool save_settings_file(std::int32_t patience_ms);

// For the end, when the place in use refused the write: the per-user file takes over, if it is not
// already the one in use. True when it was written there.
bool save_settings_per_user();

#endif
