#pragma once

#include <string>

// `text` as one line of printable ASCII: every other byte (a line end, an
// escape sequence, a byte of a file's binary data) is shown as \xNN. Messages
// pass file names and words read from files through it, so that whatever
// they hold, a message stays one line and cannot steer the terminal.
std::string PrintableText(const std::string& text);
