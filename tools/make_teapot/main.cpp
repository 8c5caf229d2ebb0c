// make_teapot N ENCODING PATCHES OUTPUT [--colors]: tessellates the Bezier
// patches in PATCHES with an N x N grid per patch and writes the mesh as a
// PLY file (or, for the import's benchmark, an OBJ file); with --colors,
// each vertex carries the colour of a painted teapot (PaintedColor).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "make_teapot/bezier_patches.h"
#include "make_teapot/ply_writer.h"
#include "make_teapot/teapot_mesh.h"

namespace {

constexpr int kMaxGrid = 1000;

int Fail(const std::string& message)
{
    std::fprintf(stderr, "make_teapot: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool colors = argc == 6 && std::string(argv[5]) == "--colors";
    if (argc != 5 && !colors)
        return Fail(
            "usage: make_teapot N ascii|binary_little_endian|binary_big_endian|obj "
            "PATCHES OUTPUT [--colors]");
    const int n = std::atoi(argv[1]);
    const std::string encoding = argv[2];
    if (n < 1 || n > kMaxGrid) return Fail("N must be 1 to " + std::to_string(kMaxGrid));
    if (!IsPlyEncoding(encoding)) return Fail("unknown encoding " + encoding);
    BezierPatches patches;
    std::string error;
    if (!ReadBezierPatches(argv[3], patches, error)) return Fail(error);
    const TriangleMesh mesh = TessellatePatches(patches, n);
    std::FILE* out = std::fopen(argv[4], "wb");
    if (out == nullptr) return Fail(std::string("cannot write ") + argv[4]);
    const std::string grid = std::to_string(n);
    WritePly(mesh, encoding, "Newell teapot, " + grid + " x " + grid + " quads per Bezier patch",
             colors, out);
    return std::fclose(out) == 0 ? 0 : Fail(std::string("cannot write ") + argv[4]);
}
