#pragma once

// The project's version, as `--version` prints it after the program's name.
extern const char kProgramVersion[];
