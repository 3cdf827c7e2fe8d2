// Helpers of the host tests of files and settings: the shared folder and file helpers, and child runs.
#ifndef ONDULOR_TESTS_HOST_APP_SUPPORT_H
#define ONDULOR_TESTS_HOST_APP_SUPPORT_H

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

#include "tests/support.h"

struct ChildResult {
    int exit_code;    // -1 when the child did not exit normally
    std::string err;  // everything it wrote to stderr
};

// Runs body in a forked child and collects its exit code and its stderr bytes.
inline ChildResult run_in_child(const std::function<void()>& body)
{
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
