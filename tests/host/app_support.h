// Helpers of the host tests of texts, files and scores: temporary folders, file bytes, child runs.
#ifndef ONDULOR_TESTS_HOST_APP_SUPPORT_H
#define ONDULOR_TESTS_HOST_APP_SUPPORT_H

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "app/scores.h"
#include "app/settings_file.h"

// A fresh folder under /tmp, removed with its content when the test ends.
struct TempDir {
    std::string path;
    TempDir() {
        char pattern[] = "/tmp/ondulor-app-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made != nullptr ? made : "";
    }
    ~TempDir() {
        if (!path.empty()) {
            std::string command = "rm -rf '" + path + "'";
            std::system(command.c_str());
        }
    }
    std::string file(const std::string& name) const { return path + "/" + name; }
};

inline void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool path_exists(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

// The process-wide records as they are when the program starts.
inline void reset_app_state() {
    settings = Settings{};
    clear_scores();
}

struct ChildResult {
    int exit_code;     // -1 when the child did not exit normally
    std::string err;   // everything it wrote to stderr
};

// Runs body in a forked child and collects its exit code and its stderr bytes.
inline ChildResult run_in_child(const std::function<void()>& body) {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) {
        return {-2, ""};
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(pipe_ends[0]);
        dup2(pipe_ends[1], 2);
        body();
        std::fflush(nullptr);
        _exit(0);
    }
    close(pipe_ends[1]);
    ChildResult result{-1, ""};
    char chunk[256];
    ssize_t got;
    while ((got = read(pipe_ends[0], chunk, sizeof chunk)) > 0) {
        result.err.append(chunk, static_cast<std::size_t>(got));
    }
    close(pipe_ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status)) {
        result.exit_code = WEXITSTATUS(status);
    }
    return result;
}

#endif
