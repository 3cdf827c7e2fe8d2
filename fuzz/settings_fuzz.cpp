// Fuzzes the settings file: any bytes read, written and read again must give a clean, stable file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/scores.h"
#include "app/settings_file.h"
#include "res/resource_ids.h"

namespace {

struct Snapshot {
    Settings values;
    ScoreTable table;
};

// The three files of a run live in a folder of their own. On a memory-backed file system (TMPDIR,
// else /dev/shm) a run costs a few system calls and no disk; /tmp is the fallback. The folder goes
// when the fuzzer exits.
std::string folder_path;

void remove_work_folder() {
    for (const char* name : {"/input.ini", "/first.ini", "/first.ini.tmp", "/second.ini", "/second.ini.tmp"}) {
        unlink((folder_path + name).c_str());
    }
    rmdir(folder_path.c_str());
}

const std::string& work_folder() {
    if (folder_path.empty()) {
        const char* base = std::getenv("TMPDIR");
        struct stat status;
        if (base == nullptr || base[0] == '\0') {
            base = stat("/dev/shm", &status) == 0 && S_ISDIR(status.st_mode) && access("/dev/shm", W_OK) == 0
                       ? "/dev/shm"
                       : "/tmp";
        }
        std::string pattern = std::string(base) + "/ondulor-fuzz-XXXXXX";
        if (mkdtemp(&pattern[0]) == nullptr) std::abort();
        folder_path = pattern;
        std::atexit(remove_work_folder);
    }
    return folder_path;
}

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "settings_fuzz: %s\n", what);
        std::abort();
    }
}

// The whole file, read with plain system calls: the harness's own I/O stays out of the way.
std::string file_bytes(const std::string& path) {
    const int file = open(path.c_str(), O_RDONLY);
    check(file >= 0, "written file is missing");
    std::string bytes;
    char chunk[4096];
    ssize_t got;
    while ((got = read(file, chunk, sizeof chunk)) > 0) {
        bytes.append(chunk, static_cast<std::size_t>(got));
        if (static_cast<std::size_t>(got) < sizeof chunk) break;
    }
    close(file);
    return bytes;
}

// The input file is created once and rewritten in place: truncated and written at its start.
void write_input(const std::string& path, const std::uint8_t* data, std::size_t size) {
    static int file = -1;
    if (file < 0) {
        file = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        if (file < 0) std::abort();
    }
    if (ftruncate(file, 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = pwrite(file, data + done, size - done, static_cast<off_t>(done));
        if (put <= 0) std::abort();
        done += static_cast<std::size_t>(put);
    }
}

void start_fresh() {
    settings = Settings{};
    clear_scores();
}

// Entries that every reader sees: those before the first free slot.
std::int32_t used_slots(const ScoreTable& table) {
    std::int32_t used = 0;
    while (used < ScoreSlotCount && table.entries[used].score != 0) ++used;
    return used;
}

void check_state_is_sound() {
    check(settings.language == LANGUAGE_FRENCH || settings.language == LANGUAGE_ENGLISH,
          "language is neither French nor English");
    for (const ScoreEntry& entry : score_table.entries) {
        const void* end = std::memchr(entry.name, '\0', sizeof entry.name);
        check(end != nullptr, "name without terminator");
        check(std::strchr(entry.name, '\n') == nullptr, "name keeps a line feed");
    }
}

// The written file: CR LF after every line, three setting lines, one line per used slot.
void check_file_shape(const std::string& bytes, std::int32_t used) {
    std::int32_t lines = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lf = bytes.find('\n', start);
        check(lf != std::string::npos, "last line without its line feed");
        check(lf > start && bytes[lf - 1] == '\r', "line feed without its CR");
        check(lf - start + 1 <= 63, "line longer than a 63-byte piece");
        start = lf + 1;
        ++lines;
    }
    check(lines == 3 + used, "wrong number of lines");
    const char* first = settings.language == LANGUAGE_ENGLISH ? "Language=1000\r\n" : "Langue=0\r\n";
    check(bytes.compare(0, std::strlen(first), first) == 0, "language line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string input = work_folder() + "/input.ini";
    static const std::string first = work_folder() + "/first.ini";
    static const std::string second = work_folder() + "/second.ini";

    write_input(input, data, size);

    start_fresh();
    read_settings(input.c_str());
    check_state_is_sound();
    const Snapshot read_once{settings, score_table};
    const std::int32_t used = used_slots(score_table);

    write_settings(first.c_str());
    const std::string first_bytes = file_bytes(first);
    check_file_shape(first_bytes, used);

    // Reading what was written gives the same settings and the same used slots, and writing
    // that again gives the same bytes.
    start_fresh();
    read_settings(first.c_str());
    check(settings.language == read_once.values.language, "language changed on the round trip");
    check(settings.duration == read_once.values.duration, "duration changed on the round trip");
    check(settings.sound == read_once.values.sound, "sound changed on the round trip");
    check(used_slots(score_table) == used, "number of scores changed on the round trip");
    for (std::int32_t i = 0; i < used; ++i) {
        check(score_table.entries[i].score == read_once.table.entries[i].score, "score changed");
        check(std::strcmp(score_table.entries[i].name, read_once.table.entries[i].name) == 0,
              "name changed");
    }
    write_settings(second.c_str());
    check(file_bytes(second) == first_bytes, "second write differs from the first");
    return 0;
}
