// Where the UTF-8 paths of the 8-bit routines meet the wide functions of Windows, which keep a
// name whole in any script where the code page would turn its letters into '?'.
#ifndef ONDULOR_UTIL_WIDE_PATH_H
#define ONDULOR_UTIL_WIDE_PATH_H

#include <windows.h>

#include "util/process_state.h"

// path in UTF-16 into wide (PathSize units); false for bytes that are not UTF-8 and for a path of
// MAX_PATH units or more, which the file functions refuse without the long-path prefix.
bool widen_path(const char* path, wchar_t* wide);

// The first length units of wide in UTF-8 into path (size bytes with the NUL); false when they do not
// fit or are not valid UTF-16 (a lone surrogate, which no UTF-8 path can name).
bool narrow_path(const wchar_t* wide, int length, char* path, int size);

// path as the ANSI code page spells it, '?' for what it cannot: fit for a message, not for a file.
void spell_in_code_page(const char* path, char* spelled, int size);

// A code-page path to the same file, for the callers that take no other (WinHelp): path itself when
// the code page spells it whole, else its short form; false when neither names it.
bool code_page_path(const char* path, char* converted, int size);

#endif
