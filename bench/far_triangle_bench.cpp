// Triangles that cover the window, with corners a few hundred pixels outside
// it ("near") or close to the 8,192-pixel band beyond which a triangle is
// dropped ("far"). Pixels outside the frame buffer write nothing, so the far
// triangles should cost what the near ones do. Drawn with the pipeline's
// DrawModel, Gouraud-lit, into the program's 480 x 480 frame.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "model/face_list.h"
#include "model/vertex_array.h"
#include "render/render_context.h"

namespace {

// Corners in normalised device coordinates: the window is -1 .. 1. Each
// triangle has a corner within the window's columns and another within its
// rows, so that it is not dropped as lying outside the view.
const float kNear[3][2] = {{0.0f, 4.0f}, {-4.0f, 0.0f}, {4.0f, -4.0f}};
// x = 33 maps to column 8,161, x = -35 to column -8,159.
const float kFar[3][2] = {{0.0f, 33.0f}, {-35.0f, 0.0f}, {33.0f, -33.0f}};

// `count` copies of a triangle at depths 2 .. 902 in a scattered order, so
// that some are drawn over earlier ones and some are hidden behind them.
struct Triangles {
    VertexArray vertices;
    FaceList faces;

    Triangles(const float (&corners)[3][2], int32_t count)
    {
        vertices.Configure(nullptr, 15, 36, 3 * count);
        faces.Resize(count);
        for (int32_t t = 0; t < count; ++t) {
            const float depth = 2.0f + static_cast<float>((t * 7919) % 1000) * 0.9f;
            for (int32_t k = 0; k < 3; ++k) {
                const float p[3] = {corners[k][0], corners[k][1], depth}, n[3] = {0, 0, -1};
                const uint32_t argb = 0xFF000000u | (0x3F5A7Bu * static_cast<uint32_t>(k + t));
                vertices.SetAttribute(p, ATTRIB_POSITION, 3 * t + k);
                vertices.SetAttribute(n, ATTRIB_NORMAL, 3 * t + k);
                vertices.SetAttribute(&argb, ATTRIB_COLOR, 3 * t + k);
            }
            const int32_t indices[3] = {3 * t, 3 * t + 1, 3 * t + 2};
            faces.SetFace(t, 3, indices);
        }
        faces.ComputeFaceNormals(vertices);
    }
};

void DrawTriangles(benchmark::State& state, const float (&corners)[3][2], int32_t count)
{
    Triangles triangles(corners, count);
    RenderContext context;
    context.SetFrameBuffer(FrameBuffer(480, 480, Color(0xFF000000u)));
    context.modelViewProjectionMatrix = Matrix4();  // positions are device coordinates
    context.cullFace = false;
    context.Enable(RC_LIGHTING);
    context.Enable(RC_LIGHT0);
    context.vertexArray = &triangles.vertices;
    context.faceList = &triangles.faces;
    context.attribMask = 15;
    for (auto _ : state) {
        context.frameBuffer.Clear();
        context.DrawModel();
    }
    int drawn = 0;
    for (const Pixel& p : context.frameBuffer.pixels)
        drawn += p.depth < CLEAR_DEPTH ? 1 : 0;
    state.counters["pixels_drawn"] = drawn;  // all 230,400: the window is covered
}

}  // namespace

BENCHMARK_CAPTURE(DrawTriangles, one_near, kNear, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawTriangles, one_far, kFar, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawTriangles, thousand_near, kNear, 1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawTriangles, thousand_far, kFar, 1000)->Unit(benchmark::kMillisecond);
