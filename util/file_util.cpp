// File and text routines of the game and the one fatal error report; Win32 and POSIX branches.
#include "util/file_util.h"

#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include <io.h>

#include "app/texts.h"
#include "res/resource_ids.h"
#include "util/process_state.h"
#include "util/wide_path.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#endif

namespace {

// "Erreur à l'ouverture du fichier : " in Windows-1252, always French.
constexpr char open_failure_prefix[] = "Erreur \340 l'ouverture du fichier : ";
constexpr char ellipsis[] = "...";

#ifdef _WIN32
// The error of the last failed open_file or replace_file, 0 when it failed before reaching the system.
DWORD last_file_error = 0;

// What a rewrite gives back to the file: a player who hid the file wants it hidden still.
constexpr DWORD KeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The kept attributes of the file at wide; 0 when it has none or is not there.
DWORD kept_attributes(const wchar_t* wide)
{
    const DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return 0;
    }
    return attributes & KeptAttributes;
}

// Gives the entry at wide the attributes in add and takes those in remove, keeping the others.
bool change_attributes(const wchar_t* wide, DWORD add, DWORD remove)
{
    const DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const DWORD wanted = ((attributes & ~FILE_ATTRIBUTE_NORMAL) | add) & ~remove;
    return SetFileAttributesW(wide, wanted != 0 ? wanted : FILE_ATTRIBUTE_NORMAL) != 0;
}
#else
int last_file_error = 0;

// FAT date and time of a broken-down local time; 0 when the year lies outside 1980 to 2107.
std::uint32_t pack_fat_time(const std::tm& local)
{
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107) {
        return 0;
    }
    const std::uint32_t date = static_cast<std::uint32_t>(year - 1980) << 9 |
                               static_cast<std::uint32_t>(local.tm_mon + 1) << 5 |
                               static_cast<std::uint32_t>(local.tm_mday);
    const std::uint32_t time = static_cast<std::uint32_t>(local.tm_hour) << 11 |
                               static_cast<std::uint32_t>(local.tm_min) << 5 |
                               static_cast<std::uint32_t>(local.tm_sec / 2);
    return date << 16 | time;
}
#endif

// The packed value as the signed result, with 0 turned into -1.
std::int32_t packed_result(std::uint32_t packed)
{
    if (packed == 0) {
        return -1;
    }
    std::int32_t result;
    std::memcpy(&result, &packed, sizeof result);
    return result;
}

}  // namespace

std::int32_t file_exists(const char* path)
{
#ifdef _WIN32
    wchar_t wide[PathSize];
    if (!widen_path(path, wide)) {
        return 0;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const DWORD skipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    BOOL more = TRUE;
    while (more && (found.dwFileAttributes & skipped) != 0) {
        more = FindNextFileW(search, &found);
    }
    FindClose(search);
    if (!more) {
        return 0;
    }
    FILETIME local;
    WORD date = 0;
    WORD time = 0;
    if (!FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time)) {
        return -1;
    }
    return packed_result(static_cast<std::uint32_t>(date) << 16 | time);
#else
    struct stat status;
    if (stat(path, &status) != 0 || S_ISDIR(status.st_mode)) {
        return 0;
    }
    std::tm local;
    const std::time_t modified = status.st_mtime;
    if (localtime_r(&modified, &local) == nullptr) {
        return -1;
    }
    return packed_result(pack_fat_time(local));
#endif
}

bool names_file(const char* path)
{
    if (path[0] == '\0') {
        return false;
    }
#ifdef _WIN32
    wchar_t wide[PathSize];
    if (!widen_path(path, wide)) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_INVALID_NAME;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
#else
    struct stat status;
    if (stat(path, &status) != 0) {
        return errno != ENOENT && errno != ENOTDIR && errno != ENAMETOOLONG;
    }
    return !S_ISDIR(status.st_mode);
#endif
}

void append_char(char* text, char c)
{
    const std::size_t length = std::strlen(text);
    text[length] = c;
    text[length + 1] = '\0';
}

char* set_extension(char* path, const char* extension)
{
    const std::int32_t length = static_cast<std::int32_t>(std::strlen(path));
    const char* last_dot = std::strrchr(path, '.');
    if (last_dot != nullptr && last_dot - path >= length - 4) {
        path[last_dot - path + 1] = '\0';
    } else {
        append_char(path, '.');
    }
    char lowered[4] = {};
    for (std::int32_t i = 0; i < 3 && extension[i] != '\0'; ++i) {
        const char c = extension[i];
        lowered[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    std::strcat(path, lowered);
    return path;
}

std::FILE* open_or_die(const char* path, const char* mode)
{
    std::FILE* stream = open_file(path, mode);
    if (stream == nullptr) {
        report_open_failure(path);
    }
    return stream;
}

std::FILE* open_file(const char* path, const char* mode)
{
#ifdef _WIN32
    wchar_t wide[PathSize];
    wchar_t wide_mode[8];
    last_file_error = 0;
    if (!widen_path(path, wide) || MultiByteToWideChar(CP_UTF8, 0, mode, -1, wide_mode, 8) == 0) {
        return nullptr;
    }
    // Windows refuses to empty a hidden or system file unless it is asked with the same attributes,
    // which the C library never does: they are lifted for the open and given back at once.
    const DWORD kept = mode[0] == 'w' ? kept_attributes(wide) : 0;
    if (kept != 0) {
        change_attributes(wide, 0, kept);
    }
    std::FILE* stream = _wfopen(wide, wide_mode);
    if (stream == nullptr) {
        last_file_error = GetLastError();
    }
    if (kept != 0) {
        change_attributes(wide, kept, 0);
    }
    return stream;
#else
    std::FILE* stream = std::fopen(path, mode);
    last_file_error = stream == nullptr ? errno : 0;
    return stream;
#endif
}

bool remove_file(const char* path)
{
#ifdef _WIN32
    wchar_t wide[PathSize];
    return widen_path(path, wide) && DeleteFileW(wide) != 0;
#else
    return std::remove(path) == 0;
#endif
}

bool replace_file(const char* from, const char* to)
{
#ifdef _WIN32
    wchar_t wide_from[PathSize];
    wchar_t wide_to[PathSize];
    last_file_error = 0;
    if (!widen_path(from, wide_from) || !widen_path(to, wide_to)) {
        return false;
    }
    // The move gives to the attributes of from (Wine's ReplaceFileW, too, drops those of to): from
    // takes them first.
    const DWORD kept = kept_attributes(wide_to);
    if (kept != 0 && !change_attributes(wide_from, kept, 0)) {
        return false;
    }
    if (MoveFileExW(wide_from, wide_to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
        return true;
    }
    last_file_error = GetLastError();
    // Access denied is how an open file refuses its replacement for a moment, but a folder or a
    // read-only file in the way refuses it for good.
    const DWORD in_the_way = GetFileAttributesW(wide_to);
    if (in_the_way != INVALID_FILE_ATTRIBUTES &&
        (in_the_way & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        last_file_error = ERROR_FILE_READ_ONLY;
    }
    return false;
#else
    const bool renamed = std::rename(from, to) == 0;
    last_file_error = renamed ? 0 : errno;
    return renamed;
#endif
}

bool file_held_by_another_program(bool replacing)
{
#ifdef _WIN32
    return last_file_error == ERROR_SHARING_VIOLATION || last_file_error == ERROR_LOCK_VIOLATION ||
           (replacing && last_file_error == ERROR_ACCESS_DENIED);
#else
    // POSIX files take no share modes: only a busy file is held, whatever the step.
    static_cast<void>(replacing);
    return last_file_error == EBUSY;
#endif
}

void pause_milliseconds(std::int32_t milliseconds)
{
#ifdef _WIN32
    Sleep(static_cast<DWORD>(milliseconds));
#else
    const timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
#endif
}

bool flush_to_disk(std::FILE* stream)
{
    if (std::fflush(stream) != 0 || std::ferror(stream) != 0) {
        return false;
    }
#ifdef _WIN32
    return _commit(_fileno(stream)) == 0;  // FlushFileBuffers on the stream's handle
#else
    return fsync(fileno(stream)) == 0;
#endif
}

void report_open_failure(const char* path)
{
#ifdef _WIN32
    // The box is an 8-bit one, like the French prefix: the path shows as the code page spells it.
    char spelled[PathSize];
    spell_in_code_page(path, spelled, PathSize);
    path = spelled;
#endif
    char message[MessageBufferSize];
    const std::size_t prefix_length = sizeof open_failure_prefix - 1;
    const std::size_t room = sizeof message - prefix_length - 1;
    const std::size_t path_length = std::strlen(path);
    std::memcpy(message, open_failure_prefix, prefix_length);
    char* tail = message + prefix_length;
    if (path_length <= room) {
        std::memcpy(tail, path, path_length + 1);
    } else {
        // Too long for the box: keep the start (the drive) and the end (the file name).
        const std::size_t kept = room - (sizeof ellipsis - 1);
        const std::size_t head = kept / 2;
        const std::size_t end = kept - head;
        std::memcpy(tail, path, head);
        std::memcpy(tail + head, ellipsis, sizeof ellipsis - 1);
        std::memcpy(tail + head + sizeof ellipsis - 1, path + path_length - end, end);
        tail[room] = '\0';
    }
    fatal_error(message);
}

void fatal_error(const char* message)
{
#ifdef _WIN32
    // After the main window's destroy handling a quit message is pending; a message box would see
    // it and vanish at once, so the report could never be read. We exit anyway: drop it.
    MSG pending_quit;
    PeekMessageA(&pending_quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    MessageBoxA(main_window, message, load_text(TXT_FATAL_CAPTION), MB_OK | MB_ICONSTOP);
#else
    std::fputs(message, stderr);
    std::fputc('\n', stderr);
#endif
    std::exit(1);
}

std::int32_t trim_leading_spaces(char* text)
{
    std::size_t skipped = 0;
    while (text[skipped] == ' ') {
        ++skipped;
    }
    if (skipped == 0) {
        return 0;
    }
    std::memmove(text, text + skipped, std::strlen(text + skipped) + 1);
    return 1;
}

void trim_trailing_spaces(char* text)
{
    std::size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == ' ') {
        --length;
    }
    text[length] = '\0';
}
