#include "bench/gl_peer/peer_options.h"

const char kPeerUsage[] =
    "usage: gl_peer [MESH.ply] [--frames N] [--shade flat|gouraud] [--bench]\n"
    "Draws zbuffer's scene with the platform's fixed-function OpenGL and times each frame\n"
    "(clear + draw + glFinish), for comparison with zbuffer-render --bench. Meant for Mesa's\n"
    "llvmpipe: LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe LP_NUM_THREADS=1.\n"
    "  MESH.ply       the mesh to draw (default ./data/teapot.ply)\n"
    "  --frames N     timed frames, after a few untimed ones (default 1)\n"
    "  --shade MODEL  flat or gouraud (default)\n"
    "  --bench        accepted for zbuffer-render's sake; gl_peer always times\n"
    "  --help         show this text\n"
    "Exit status: 0 done, 1 mesh error or OpenGL not on llvmpipe, 2 bad command line.\n";

std::string UnsupportedByPeer(const RenderOptions& o)
{
    if (o.shadeModel != RC_FLAT && o.shadeModel != RC_GOURAUD)
        return "--shade: fixed-function OpenGL shades only flat or gouraud";
    const char* const option = o.angle       ? "--angle"
                               : o.wireframe ? "--wireframe"
                               : o.clockwise ? "--cw"
                               : o.unlit     ? "--unlit"
                               : o.out       ? "--out"
                                             : nullptr;
    if (option == nullptr) return "";
    return std::string(option) + " is not supported: gl_peer times the lit, filled, turning mesh";
}
