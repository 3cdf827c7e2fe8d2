// UTF-8 paths to and from UTF-16 and the ANSI code page.
#include "util/wide_path.h"

bool widen_path(const char* path, wchar_t* wide)
{
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, PathSize);
    return units > 0 && units <= MAX_PATH;
}

bool narrow_path(const wchar_t* wide, int length, char* path, int size)
{
    const int bytes = length == 0 ? 0
                                  : WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, length, path, size - 1,
                                                        nullptr, nullptr);
    if (length != 0 && bytes == 0) {
        path[0] = '\0';
        return false;
    }
    path[bytes] = '\0';
    return true;
}

void spell_in_code_page(const char* path, char* spelled, int size)
{
    wchar_t wide[PathSize];
    const int units = MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, PathSize);
    if (units == 0 || WideCharToMultiByte(CP_ACP, 0, wide, -1, spelled, size, nullptr, nullptr) == 0) {
        // Too long for the buffers: the start of the path, as the box shows it anyway.
        lstrcpynA(spelled, path, size);
    }
}

namespace {

// wide in the code page, true only when every character survives.
bool spell_whole(const wchar_t* wide, char* converted, int size)
{
    BOOL lost = FALSE;
    const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, converted, size, nullptr, &lost);
    return bytes > 0 && !lost;
}

}  // namespace

bool code_page_path(const char* path, char* converted, int size)
{
    wchar_t wide[PathSize];
    if (!widen_path(path, wide)) {
        converted[0] = '\0';
        return false;
    }
    if (spell_whole(wide, converted, size)) {
        return true;
    }
    // Short names are made of code-page letters where the volume keeps them (Wine always does).
    wchar_t short_form[MAX_PATH];
    const DWORD length = GetShortPathNameW(wide, short_form, MAX_PATH);
    if (length > 0 && length < MAX_PATH && spell_whole(short_form, converted, size)) {
        return true;
    }
    converted[0] = '\0';
    return false;
}
