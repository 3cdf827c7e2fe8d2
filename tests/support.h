// What the host tests and the Wine tests both need: a temporary folder that goes with everything in
// it, a file's bytes read and written whole, and the settings and scores as a program starts with.
#ifndef ONDULOR_TESTS_SUPPORT_H
#define ONDULOR_TESTS_SUPPORT_H

#ifdef _WIN32
#include <windows.h>
#else
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "app/scores.h"
#include "app/settings_file.h"

#ifdef _WIN32
inline const char* const path_separator = "\\";
#else
inline const char* const path_separator = "/";
#endif

#ifdef _WIN32
// Test paths are UTF-8, as the game's own are: the wide calls take them in any script.
inline std::wstring wide_test_path(const std::string& path)
{
    std::wstring wide(path.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    return wide;
}
#endif

inline bool path_exists(const std::string& path)
{
#ifdef _WIN32
    return GetFileAttributesW(wide_test_path(path).c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat status;
    return stat(path.c_str(), &status) == 0;
#endif
}

#ifndef _WIN32
inline int remove_entry(const char* path, const struct stat*, int, struct FTW*)
{
    return std::remove(path) == 0 ? 0 : -1;
}
#endif

// Removes path and everything below it, read-only entries and nested folders included; answers whether
// nothing is left.
inline bool remove_tree(const std::string& path)
{
#ifdef _WIN32
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                remove_tree(child);
            } else {
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
#else
    nftw(path.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
#endif
    return !path_exists(path);
}

// A fresh, empty folder under the system's temporary folder, removed with its content at the end; a
// folder that cannot be made or removed fails the test.
class TempFolder {
public:
    TempFolder()
    {
#ifdef _WIN32
        static int counter = 0;
        char base[MAX_PATH] = {};
        GetTempPathA(sizeof base, base);
        path_ = std::string(base) + "ondulor-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        remove_tree(path_);  // left by an earlier run that had the same process id
        if (!CreateDirectoryA(path_.c_str(), nullptr)) {
            path_.clear();
        }
#else
        char pattern[] = "/tmp/ondulor-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made != nullptr ? made : "";
#endif
        if (path_.empty()) {
            ADD_FAILURE() << "no temporary folder could be made";
        }
    }
    ~TempFolder()
    {
        if (!path_.empty() && !remove_tree(path_)) {
            ADD_FAILURE() << "the temporary folder " << path_ << " could not be removed";
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const
    {
        return path_;
    }
    std::string file(const std::string& name) const
    {
        return path_ + path_separator + name;
    }

private:
    std::string path_;
};

// Reads the whole file into bytes; answers false, with bytes empty, when it cannot be read.
inline bool read_file(const std::string& path, std::string* bytes)
{
    bytes->clear();
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr) {
        return false;
    }
    char chunk[4096];
    std::size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, stream)) > 0) {
        bytes->append(chunk, count);
    }
    const bool whole = std::ferror(stream) == 0;
    std::fclose(stream);
    if (!whole) {
        bytes->clear();
    }
    return whole;
}

// The file's bytes, or "<missing>" when it cannot be read, so that a missing file never passes for an
// empty one.
inline std::string read_bytes(const std::string& path)
{
    std::string bytes;
    return read_file(path, &bytes) ? bytes : "<missing>";
}

// Writes exactly bytes to path, replacing it; a write that fails also fails the test.
inline bool write_bytes(const std::string& path, const std::string& bytes)
{
    std::FILE* stream = std::fopen(path.c_str(), "wb");
    bool whole = false;
    if (stream != nullptr) {
        whole = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
        whole = std::fclose(stream) == 0 && whole;
    }
    if (!whole) {
        ADD_FAILURE() << "could not write " << path;
    }
    return whole;
}

// Sets path's last-write time to the given local time; answers whether it could.
inline bool set_local_write_time(const std::string& path, int year, int month, int day, int hour, int minute,
                                 int second)
{
#ifdef _WIN32
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(day);
    local.wHour = static_cast<WORD>(hour);
    local.wMinute = static_cast<WORD>(minute);
    local.wSecond = static_cast<WORD>(second);
    FILETIME local_time, utc;
    if (!SystemTimeToFileTime(&local, &local_time) || !LocalFileTimeToFileTime(&local_time, &utc)) {
        return false;
    }
    HANDLE file =
        CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool set = SetFileTime(file, nullptr, nullptr, &utc) != 0;
    CloseHandle(file);
    return set;
#else
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    const utimbuf times{when, when};
    return when != static_cast<std::time_t>(-1) && utime(path.c_str(), &times) == 0;
#endif
}

// The process-wide settings and score table as they are when the program starts.
inline void reset_app_state()
{
    settings = Settings{};
    clear_scores();
}

#endif
