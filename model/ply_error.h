#pragma once

#include <string>

// Ends the load of a PLY file through FatalError with what = "(ReadPly)".
[[noreturn]] void PlyFail(const std::string& detail);
