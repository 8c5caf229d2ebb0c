#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/draw_threads.h"
#include "app/frame_file_name.h"
#include "app/pipeline_views.h"
#include "math/vector4.h"
#include "model/mesh_fit.h"
#include "pipeline/draw_observer.h"
#include "render/render_context.h"

// What zbuffer-render's command line asks for; the defaults are the window
// program's start-up state.
struct RenderOptions {
    std::optional<std::string> meshPath;  // none: the default teapot (DefaultMeshPath)
    bool import = false;                  // read the mesh through the import: PLY, OBJ or STL
    bool fit = false;                     // centre the mesh, largest half-extent 1
    UpAxis up = UpAxis::Z;                // the mesh's axis that points up, turned to z
    int frames = 1;
    std::optional<float> angle;  // every frame at this angle instead of 0, 10, 20, ...
    int32_t shadeModel = RC_GOURAUD;
    bool wireframe = false;
    bool clockwise = false;
    bool unlit = false;
    bool vertexColors = false;           // lighting by the vertex colours
    std::optional<std::string> texture;  // a PNG bound as the texture, with texturing on
    bool replace = false;                // shade model RC_REPLACE
    bool shadows = false;                // light 0's shadow pass every frame, shadow test on
    std::optional<Vector3> light2;       // a second point light, in slot 1
    bool normalize = false;              // RC_NORMALIZE
    int threads = AllCores();            // the draw's threads: the same frames on any number
    std::optional<FrameFileName> out;    // none: frame.png
    bool bench = false;
    // What the pipeline did, drawing each frame observed: its counts, the
    // fragments of some pixels, a picture of a view in place of the frame.
    bool stats = false;
    std::vector<PixelPosition> pixels;  // in the order given
    std::optional<PipelineView> show;
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    RenderOptions options;
    std::string error;  // one line; empty when the command line is good
};

// How the mesh is placed before anything is computed from it.
inline MeshFraming Framing(const RenderOptions& o)
{
    MeshFraming framing;
    framing.up = o.up;
    framing.fit = o.fit;
    return framing;
}

ParsedOptions ParseRenderOptions(int argc, const char* const* argv);

// Whether the options ask what the pipeline did (--stats, --pixel, --show):
// the frames are then drawn observed.
bool Inspects(const RenderOptions& o);

// What --help shows, and a bad command line after its reason.
std::string RenderUsage();
