// The choice between the settings file beside the game and the per-user one, and the writes to it.
#include "ui/settings_place.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

#include "app/settings_file.h"
#include "util/file_util.h"
#include "util/wide_path.h"

namespace {

constexpr wchar_t PerUserFile[] = L"\\Ondulor\\ondulor.ini";
constexpr wchar_t TemporarySuffix[] = L".tmp";

// The per-user file in UTF-8, empty when the system names no per-user folder.
char per_user_path[PathSize] = {};
bool writing_per_user = false;

bool refused(DWORD error)
{
    return error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION;
}

// Whether a new file can be made in the folder of wide, seen by making the game's own temporary file
// there, which its handle's closing removes. Neither a read-only mark nor the rights of a folder tell
// it everywhere: Wine, and some network shares, answer only to a real attempt.
FileAccess folder_access(const wchar_t* wide)
{
    wchar_t temporary[MAX_PATH + 8];
    const std::size_t length = std::wcslen(wide);
    std::wmemcpy(temporary, wide, length);
    std::wmemcpy(temporary + length, TemporarySuffix, sizeof TemporarySuffix / sizeof(wchar_t));
    HANDLE probe = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        return FileAbsent;
    }
    // A temporary file left there by a game that was killed: the folder took it.
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || !refused(error) ? FileAbsent : FileAbsentReadOnly;
}

// How the file at path can be written, found without writing: its read-only mark (which Windows keeps
// even for administrators), then an open for writing that writes nothing.
FileAccess file_access(const char* path)
{
    wchar_t wide[PathSize];
    if (!widen_path(path, wide)) {
        return FileAbsent;
    }
    const DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        // A file that cannot be looked at is left to the read, which reports it.
        return error == ERROR_FILE_NOT_FOUND ? folder_access(wide) : FileWritable;
    }
    // A folder in the file's place takes no file.
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return FileReadOnly;
    }
    HANDLE file = CreateFileW(wide, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return FileWritable;
    }
    return refused(GetLastError()) ? FileReadOnly : FileHeld;
}

// %LOCALAPPDATA%\Ondulor\ondulor.ini into per_user_path. The environment names the folder in every
// process since Windows Vista, as the known-folder call would, without loading the shell's library.
void find_per_user_path()
{
    per_user_path[0] = '\0';
    wchar_t wide[MAX_PATH];
    const std::size_t file_length = sizeof PerUserFile / sizeof(wchar_t);
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", wide, MAX_PATH);
    if (length == 0 || length + file_length > MAX_PATH) {
        return;
    }
    std::wmemcpy(wide + length, PerUserFile, file_length);
    if (!narrow_path(wide, static_cast<int>(length + file_length - 1), per_user_path, PathSize)) {
        per_user_path[0] = '\0';
    }
}

// The per-user folder, made when missing; true when it is there.
bool make_per_user_folder()
{
    wchar_t wide[PathSize];
    if (!widen_path(per_user_path, wide)) {
        return false;
    }
    wchar_t* file_name = std::wcsrchr(wide, L'\\');
    if (file_name == nullptr) {
        return false;
    }
    *file_name = L'\0';
    return CreateDirectoryW(wide, nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

void place_settings_file(char* read_path)
{
    std::memcpy(read_path, settings_path, PathSize);
    writing_per_user = false;
    if (settings_path[0] == '\0') {
        return;
    }
    const FileAccess beside = file_access(settings_path);
    // Only a place that refuses writing costs the look at the environment.
    if (beside != FileReadOnly && beside != FileAbsentReadOnly) {
        return;
    }
    find_per_user_path();
    const SettingsPlaces places = choose_settings_places(beside, per_user_path[0] != '\0', names_file(per_user_path));
    if (places.read_per_user) {
        std::memcpy(read_path, per_user_path, PathSize);
    }
    if (places.write_per_user) {
        std::memcpy(settings_path, per_user_path, PathSize);
        writing_per_user = true;
    }
}

bool save_settings_file(std::int32_t patience_ms)
{
    if (settings_path[0] == '\0') {
        return true;
    }
    if (writing_per_user && !make_per_user_folder()) {
        return false;
    }
    return save_changes(settings_path, patience_ms);
}

bool save_settings_per_user()
{
    if (writing_per_user || settings_path[0] == '\0') {
        return false;
    }
    find_per_user_path();
    if (per_user_path[0] == '\0') {
        return false;
    }
    std::memcpy(settings_path, per_user_path, PathSize);
    writing_per_user = true;
    return make_per_user_folder() && save_settings(settings_path);
}
