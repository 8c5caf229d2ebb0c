#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/mesh_fit.h"
#include "render/render_context.h"

// What zbuffer-view's command line asks for.
struct ViewOptions {
    std::optional<std::string> meshPath;  // none: the default teapot (DefaultMeshPath)
    UpAxis up = UpAxis::Z;
    int32_t shadeModel = RC_GOURAUD;
    bool vertexColors = false;  // lighting by the vertex colours
    int width = 512;
    int height = 512;
    double turnSpeed = 30.0;  // degrees a second
    bool help = false;
    bool version = false;
};

struct ParsedViewOptions {
    ViewOptions options;
    std::string error;  // one line; empty when the command line is good
};

ParsedViewOptions ParseViewOptions(int argc, const char* const* argv);

// What --help shows, and a bad command line after its reason.
extern const char kViewUsage[];
