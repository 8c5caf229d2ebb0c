#pragma once

#include <string>
#include <vector>

// How a program run ended, and what it wrote.
struct ProgramRun {
    bool timedOut = false;  // killed at the time limit
    int exitStatus = -1;    // the status passed to exit, or -1 when a signal ended it
    int signal = 0;         // the signal that ended it, or 0
    std::string out;        // standard output
    std::string err;        // standard error
};

// Runs `argv` (argv[0] is the program's path) with standard input empty and
// waits for it, at most `seconds`; then it is killed and counts as timed out.
ProgramRun RunProgram(const std::vector<std::string>& argv, unsigned seconds);
