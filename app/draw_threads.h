#pragma once

#include <optional>
#include <ostream>
#include <string>

// The threads a program draws on. The frames are the same on any number.

// Every core of the machine, at least 1 and at most kMaxDrawThreads.
int AllCores();

// A thread count as a command line or ZBUFFER_THREADS gives it: a whole
// number from 1 to kMaxDrawThreads; none for anything else.
std::optional<int> ParseThreadCount(const std::string& text);

// The threads ZBUFFER_THREADS asks for, or `fallback` when it is not set or
// empty. None when it holds anything but a thread count: the reason is said
// on `err` (one line, beginning with `program`), and the program stops
// rather than draw on a number the user did not mean.
std::optional<int> ThreadsFromEnvironment(const char* program, int fallback, std::ostream& err);
