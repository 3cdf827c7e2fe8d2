// The Win32 file routines under Wine: file_exists with attributes and times, the settings file's
// replacement, and the fatal error box and exit code seen from a child copy of this program.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "app/scores.h"
#include "app/settings_file.h"
#include "res/resource_ids.h"
#include "ui/main_window.h"
#include "util/file_util.h"
#include "win_support.h"

namespace {

// ---- Child mode: this program run again with "--app-child MODE REPORT ARGUMENT" ----
//
// The child shows the fatal box and a thread timer, run by the box's own modal loop, writes the
// box's caption, text and owner into REPORT and presses OK; the parent checks the report and
// the child's exit code.

char child_report_path[MAX_PATH];
HWND child_owner = nullptr;
int child_timer_ticks = 0;

BOOL CALLBACK collect_static_text(HWND control, LPARAM text)
{
    const std::string content = window_text(control);
    if (_stricmp(class_name(control).c_str(), "Static") == 0 && !content.empty()) {
        *reinterpret_cast<std::string*>(text) += content;
    }
    return TRUE;
}

void CALLBACK close_fatal_box(HWND, UINT, UINT_PTR, DWORD)
{
    if (++child_timer_ticks > 500) {
        ExitProcess(9);  // no box within 5 seconds
    }
    const HWND box = visible_box();
    if (box == nullptr) return;
    std::string text;
    EnumChildWindows(box, collect_static_text, reinterpret_cast<LPARAM>(&text));
    const HWND owner = GetWindow(box, GW_OWNER);
    std::FILE* report = std::fopen(child_report_path, "wb");
    if (report != nullptr) {
        std::fprintf(report, "%s\n%s\n%s\n", window_text(box).c_str(), text.c_str(),
                     owner == nullptr       ? "no owner"
                     : owner == child_owner ? "main window"
                                            : "other");
        std::fclose(report);
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// Runs before GoogleTest's main when this program is started as a child; never returns then.
bool run_child_mode()
{
    if (__argc < 5 || std::strcmp(__argv[1], "--app-child") != 0) return false;
    const std::string mode = __argv[2];
    std::snprintf(child_report_path, sizeof child_report_path, "%s", __argv[3]);
    const char* argument = __argv[4];
    SetTimer(nullptr, 0, 10, close_fatal_box);
    if (mode == "fatal-owned") {
        child_owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        main_window = child_owner;
        settings.language = LANGUAGE_ENGLISH;
        fatal_error(argument);
    } else if (mode == "fatal") {
        fatal_error(argument);
    } else if (mode == "read") {
        read_settings(argument);
    } else if (mode == "write") {
        settings = Settings{LANGUAGE_ENGLISH, 90, 0};
        write_settings(argument);
    }
    ExitProcess(0);
}

const bool child_mode = run_child_mode();

// ---- Parent side ----

struct ChildRun {
    DWORD exit_code = 0xFFFFFFFF;
    std::string report;
};

ChildRun run_child(const std::string& mode, const std::string& report, const std::string& argument)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command =
        "\"" + std::string(self) + "\" --app-child " + mode + " \"" + report + "\" \"" + argument + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ChildRun run;
    if (!CreateProcessA(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "CreateProcessA failed: " << GetLastError();
        return run;
    }
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        ADD_FAILURE() << "child did not end";
    }
    GetExitCodeProcess(process.hProcess, &run.exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    read_file(report, &run.report);  // empty when the child showed no box
    return run;
}

TEST(FatalError, ShowsAnUnownedStopBoxThenExitsOne)
{
    TempFolder folder;
    const ChildRun run = run_child("fatal", folder.file("report.txt"), "Disque plein");
    EXPECT_EQ(run.exit_code, 1u);
    EXPECT_EQ(run.report, "Ondulor - \xA9 Ondulor Games\nDisque plein\nno owner\n");
}

TEST(FatalError, IsOwnedByTheMainWindowWhenThereIsOne)
{
    TempFolder folder;
    const ChildRun run = run_child("fatal-owned", folder.file("report.txt"), "Plus de place");
    EXPECT_EQ(run.exit_code, 1u);
    EXPECT_EQ(run.report, "Ondulor - \xA9 Ondulor Games\nPlus de place\nmain window\n");
}

// Holds path open with no sharing, so that no other process can open or replace it (a read-only
// attribute would not do under Wine run as root, which may write any file).
struct ExclusiveLock {
    HANDLE file;
    explicit ExclusiveLock(const std::string& path)
        : file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~ExclusiveLock()
    {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

TEST(FatalError, ASettingsFileThatCannotBeOpenedEndsTheProgram)
{
    TempFolder folder;
    const std::string path = folder.file("ondulor.ini");
    write_bytes(path, "Language=0\r\n");
    ExclusiveLock lock(path);
    ASSERT_NE(lock.file, INVALID_HANDLE_VALUE);
    const ChildRun run = run_child("read", folder.file("report.txt"), path);
    EXPECT_EQ(run.exit_code, 1u);
    EXPECT_EQ(run.report,
              "Ondulor - \xA9 Ondulor Games\nErreur \xE0 l'ouverture du fichier : " + path + "\nno owner\n");
}

TEST(WriteSettings, AFileThatCannotBeReplacedStaysWholeAndNoTemporaryFileRemains)
{
    TempFolder folder;
    const std::string path = folder.file("ondulor.ini");
    const std::string old_bytes = "Langue=0\r\nDur\xE9"
                                  "e=45\r\nSon=1\r\n7,Old\r\n";
    write_bytes(path, old_bytes);
    ChildRun run;
    {
        ExclusiveLock lock(path);
        ASSERT_NE(lock.file, INVALID_HANDLE_VALUE);
        run = run_child("write", folder.file("report.txt"), path);
    }
    EXPECT_EQ(run.exit_code, 1u);
    EXPECT_NE(run.report.find("Erreur \xE0 l'ouverture du fichier : " + path), std::string::npos);
    EXPECT_EQ(read_bytes(path), old_bytes);
    EXPECT_EQ(GetFileAttributesA((path + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A virus scanner or an indexer opens a file that just changed, sharing reads only: the write waits it out.
TEST(WriteSettings, AFileHeldForAMomentIsWrittenOnceLetGo)
{
    TempFolder folder;
    const std::string path = folder.file("ondulor.ini");
    write_bytes(path, "Langue=0\r\n");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread scanner([held] { Sleep(500), CloseHandle(held); });
    settings = Settings{LANGUAGE_ENGLISH, 90, 0};
    clear_scores();
    EXPECT_TRUE(save_settings(path.c_str()));
    scanner.join();
    EXPECT_EQ(read_bytes(path), "Language=1000\r\nDuration=90\r\nSound=0\r\n");
    reset_app_state();
}

TEST(WriteSettings, ATemporaryNameTakenByAFolderRewritesTheFileInPlace)
{
    TempFolder folder;
    const std::string path = folder.file("ondulor.ini");
    write_bytes(path, "Langue=0\r\nDur\xE9"
                      "e=45\r\n");
    ASSERT_TRUE(CreateDirectoryA((path + ".tmp").c_str(), nullptr));
    const ChildRun run = run_child("write", folder.file("report.txt"), path);
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_EQ(run.report, "");
    EXPECT_EQ(read_bytes(path), "Language=1000\r\nDuration=90\r\nSound=0\r\n");
    EXPECT_EQ(GetFileAttributesA((path + ".tmp").c_str()), FILE_ATTRIBUTE_DIRECTORY);
}

// A settings path of MAX_PATH - 1 characters, the longest an executable's path gives: "<path>.tmp"
// passes the limit of the ANSI file functions, so the file is rewritten in place.
TEST(WriteSettings, APathTooLongForTheTemporaryNameRewritesTheFileInPlace)
{
    TempFolder folder;
    std::string deep = folder.path();
    while (deep.size() + 51 < MAX_PATH - 12) {
        deep += "\\" + std::string(50, 'd');
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep;
    }
    const std::size_t name_length = MAX_PATH - 1 - deep.size() - 1;
    ASSERT_GE(name_length, 5u);
    const std::string path = deep + "\\" + std::string(name_length - 4, 'n') + ".ini";
    ASSERT_EQ(path.size(), static_cast<std::size_t>(MAX_PATH - 1));
    write_bytes(path, "Langue=0\r\n");
    ASSERT_EQ(read_bytes(path), "Langue=0\r\n");

    const ChildRun run = run_child("write", folder.file("report.txt"), path);
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_EQ(run.report, "");
    EXPECT_EQ(read_bytes(path), "Language=1000\r\nDuration=90\r\nSound=0\r\n");
}

TEST(WriteSettings, ReplacesTheOldFileWithExactBytes)
{
    TempFolder folder;
    const std::string path = folder.file("ondulor.ini");
    write_bytes(path, std::string(300, 'x'));
    settings = Settings{LANGUAGE_FRENCH, 90, 1};
    clear_scores();
    score_table.entries[0] = ScoreEntry{250, "Alice"};
    score_table.entries[1] = ScoreEntry{120, "Bob"};
    write_settings(path.c_str());
    EXPECT_EQ(read_bytes(path), "Langue=0\r\nDur\xE9"
                                "e=90\r\nSon=1\r\n250,Alice\r\n120,Bob\r\n");
    EXPECT_EQ(GetFileAttributesA((path + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);

    reset_app_state();
    read_settings(path.c_str());
    EXPECT_EQ(settings.language, LANGUAGE_FRENCH);
    EXPECT_EQ(settings.duration, 90);
    EXPECT_EQ(settings.sound, 1);
    EXPECT_STREQ(score_table.entries[1].name, "Bob");
    reset_app_state();
}

// A folder whose name the code page cannot spell: the ANSI calls saw "????" there, and every open failed.
TEST(WriteSettings, ReplacesAndReadsTheFileInAFolderNamedInAnyScript)
{
    TempFolder folder;
    const std::string path = folder.file("\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B \xE9\x81\x8A\xE6\x88\xB2 \xC5\x81\xC3\xB3"
                                         "d\xC5\xBA");
    ASSERT_TRUE(CreateDirectoryW(wide_test_path(path).c_str(), nullptr));
    settings = Settings{LANGUAGE_FRENCH, 45, 1};
    for (int write = 0; write < 2; ++write) {  // a new file, then one replaced
        write_settings((path + "\\ondulor.ini").c_str());
    }
    EXPECT_TRUE(path_exists(path + "\\ondulor.ini"));
    EXPECT_FALSE(path_exists(path + "\\ondulor.ini.tmp"));
    reset_app_state();
    read_settings((path + "\\ondulor.ini").c_str());
    EXPECT_EQ(settings.duration, 45);
    reset_app_state();
    // The temporary folder's removal, in the code page, would see this folder as "????".
    DeleteFileW(wide_test_path(path + "\\ondulor.ini").c_str());
    RemoveDirectoryW(wide_test_path(path).c_str());
}

TEST(FileExists, PlainFilesGiveTheirPackedLocalTime)
{
    TempFolder folder;
    const std::string path = folder.file("plain.ini");
    write_bytes(path, "x");
    ASSERT_TRUE(set_local_write_time(path, 2021, 6, 15, 13, 45, 31));
    const std::uint32_t expected = (41u << 25) | (6u << 21) | (15u << 16) | (13u << 11) | (45u << 5) | 15u;
    EXPECT_EQ(static_cast<std::uint32_t>(file_exists(path.c_str())), expected);
    EXPECT_EQ(file_exists(folder.file("missing.ini").c_str()), 0);
    EXPECT_EQ(file_exists(folder.path().c_str()), 0);
}

TEST(FileExists, HiddenSystemAndDirectoryEntriesDoNotCount)
{
    TempFolder folder;
    const std::string hidden = folder.file("hidden.ini");
    const std::string system = folder.file("system.ini");
    write_bytes(hidden, "h");
    write_bytes(system, "s");
    ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(system.c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(CreateDirectoryA(folder.file("folder.ini").c_str(), nullptr));
    EXPECT_EQ(file_exists(hidden.c_str()), 0);
    EXPECT_EQ(file_exists(system.c_str()), 0);
    EXPECT_EQ(file_exists(folder.file("folder.ini").c_str()), 0);
    EXPECT_EQ(file_exists(folder.file("*.ini").c_str()), 0);

    // A wildcard passes over the entries that do not count and takes the next one.
    const std::string plain = folder.file("plain.ini");
    write_bytes(plain, "p");
    EXPECT_NE(file_exists(folder.file("*.ini").c_str()), 0);
}

// A player who hid the file keeps it: it is read, and every rewrite leaves it hidden (or system).
TEST(WriteSettings, AHiddenOrSystemFileIsReadAndKeepsItsAttributes)
{
    for (const DWORD attribute : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        TempFolder folder;
        const std::string path = folder.file("ondulor.ini");
        write_bytes(path, "Langue=0\r\nDur\xE9"
                          "e=45\r\nSon=1\r\n250,Alice\r\n");
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), attribute));
        read_settings(path.c_str());
        EXPECT_EQ(settings.duration, 45) << attribute;
        EXPECT_STREQ(score_table.entries[0].name, "Alice");
        settings.sound = 0;
        EXPECT_TRUE(save_settings(path.c_str()));
        EXPECT_EQ(read_bytes(path), "Langue=0\r\nDur\xE9"
                                    "e=45\r\nSon=0\r\n250,Alice\r\n");
        EXPECT_NE(GetFileAttributesA(path.c_str()) & attribute, 0u) << attribute;
        reset_app_state();
    }
}

TEST(FileExists, TimesBefore1980GiveMinusOne)
{
    TempFolder folder;
    const std::string path = folder.file("old.ini");
    write_bytes(path, "x");
    ASSERT_TRUE(set_local_write_time(path, 1979, 7, 1, 12, 0, 0));
    EXPECT_EQ(file_exists(path.c_str()), -1);
}

}  // namespace
