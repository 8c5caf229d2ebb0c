#pragma once

#include <string>

// The text as one line of printable ASCII, every other byte shown as \xNN.
std::string PrintableText(const std::string& text);
// Ends the load of a mesh file through FatalError with `what`; the detail,
// which may quote bytes of the file, is shown as one line of printable text.
[[noreturn]] void MeshFail(const char* what, const std::string& detail);
// The same with what = "(ReadPly)".
[[noreturn]] void PlyFail(const std::string& detail);
