#pragma once

#include <string>

#include "model/mesh_fit.h"

extern const char kImportUsage[];

struct ImportOptions {
    std::string in;
    std::string out;
    MeshFraming framing;
    bool help = false;
    bool version = false;
};

// The options, or an error message for a bad command line.
struct ParsedImportOptions {
    ImportOptions options;
    std::string error;
};

ParsedImportOptions ParseImportOptions(int argc, const char* const* argv);
