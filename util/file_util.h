// File names, file existence, opening a file or dying, the fatal error report, and blank trimming.
// Paths are UTF-8; the routines that look into them only look for ASCII bytes ('.', A to Z).
#ifndef ONDULOR_UTIL_FILE_UTIL_H
#define ONDULOR_UTIL_FILE_UTIL_H

#include <cstdint>
#include <cstdio>

// Size of the buffer in which the open-failure message is built.
constexpr std::int32_t MessageBufferSize = 256;

// 0 when no plain file (not a directory, not hidden, not system) matches path; otherwise its
// last-write time in local time, packed as a FAT date (high half) and time (low half); -1 when
// that packed value would be 0 or the time cannot be packed, so an existing file never gives 0.
std::int32_t file_exists(const char* path);

// Whether path names a file, hidden and system ones included: false for nothing there or a folder.
// A file that is there but cannot be looked at counts as there, so that its open fails loudly rather
// than its content being replaced with defaults.
bool names_file(const char* path);

// Replaces the extension of path (at most three characters after its last '.') with extension,
// written in lower case; appends ".extension" when there is none. The buffer needs room for 4 more.
char* set_extension(char* path, const char* extension);

void append_char(char* text, char c);

// An open stream on path, or the open-failure report, which never returns.
std::FILE* open_or_die(const char* path, const char* mode);

// The platform's file calls on a path in UTF-8 (on Windows through the wide functions, so that no
// letter of a folder's name is lost to the code page). open_file gives null on failure; the others
// answer whether they succeeded. A file emptied by a "w" mode keeps its hidden and system attributes.
std::FILE* open_file(const char* path, const char* mode);
bool remove_file(const char* path);
// Puts from in the place of to in one step, replacing it; the file at to keeps its hidden and system
// attributes.
bool replace_file(const char* from, const char* to);
// Writes the stream's buffer and has the system put the file's content on the disk, so that a later
// rename cannot outlive the data that it names (a power cut can keep one without the other).
bool flush_to_disk(std::FILE* stream);

// Whether the last open_file or replace_file failed because another program holds the file for now
// (a sharing or lock violation; for a replace, access denied too, which is how Windows refuses to
// replace a file that is open), rather than for good.
bool file_held_by_another_program(bool replacing);

void pause_milliseconds(std::int32_t milliseconds);

// Ends the process through fatal_error with "Erreur \340 l'ouverture du fichier : " and path.
[[noreturn]] void report_open_failure(const char* path);

// Shows message in an error box (on Windows; on the host it goes to stderr) and exits with code 1.
[[noreturn]] void fatal_error(const char* message);

// Removes leading blanks (space only); 1 when any were removed, else 0.
std::int32_t trim_leading_spaces(char* text);

// Removes trailing blanks (space only).
void trim_trailing_spaces(char* text);

#endif
