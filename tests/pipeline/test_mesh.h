#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "model/face_list.h"
#include "model/vertex_array.h"
#include "render/render_context.h"

// A mesh built in memory, laid out as the model lays out a loaded file.
struct TestMesh {
    VertexArray vertices;
    FaceList faces;

    struct Vertex {
        float x, y, z;
        float nx = 0, ny = 0, nz = 1;
        uint32_t argb = 0xFFFFFFFFu;
        float u = 0, v = 0;
    };

    TestMesh(const std::vector<Vertex>& corners, const std::vector<std::vector<int32_t>>& polygons)
    {
        vertices.Configure(nullptr, 15, 36, static_cast<int32_t>(corners.size()));
        for (int32_t i = 0; i < vertices.count; ++i) {
            const Vertex& c = corners[i];
            const float p[3] = {c.x, c.y, c.z}, n[3] = {c.nx, c.ny, c.nz}, uv[2] = {c.u, c.v};
            vertices.SetAttribute(p, ATTRIB_POSITION, i);
            vertices.SetAttribute(n, ATTRIB_NORMAL, i);
            vertices.SetAttribute(&c.argb, ATTRIB_COLOR, i);
            vertices.SetAttribute(uv, ATTRIB_TEXCOORD, i);
        }
        faces.Resize(static_cast<int32_t>(polygons.size()));
        for (int32_t f = 0; f < faces.count; ++f)
            faces.SetFace(f, static_cast<int32_t>(polygons[f].size()), polygons[f].data());
        faces.ComputeFaceNormals(vertices);
    }

    void Bind(RenderContext& context)
    {
        context.vertexArray = &vertices;
        context.faceList = &faces;
        context.attribMask = 15;
    }
};

// A 64 x 64 frame and a camera on the z axis looking at the origin from
// z = 3: the unit square in the plane z = 0 fills the middle of the frame.
inline void FaceTheUnitSquare(RenderContext& context)
{
    context.SetFrameBuffer(FrameBuffer(64, 64, Color(0, 0, 0, 1)));
    context.SetCamera(Camera(Vector3(0, 0, 3), Vector3(0, 0, 0), Vector3(0, 1, 0), 1, 0.7853982f));
}

// An n x n grid of squares over -1 .. 1 in x and y, two triangles each,
// raised into a wave, with normals that vary across it; corner (i, j) has the
// colour colorOf(i, j).
template <class ColorOf>
TestMesh WavyGrid(int n, ColorOf colorOf)
{
    std::vector<TestMesh::Vertex> corners;
    std::vector<std::vector<int32_t>> faces;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) {
            const float x = -1 + 2.0f * i / n, y = -1 + 2.0f * j / n;
            const float z = 0.3f * std::sin(3 * x) * std::cos(2 * y);
            corners.push_back({x, y, z, -0.3f * x, 0.2f * y, 1, colorOf(i, j)});
        }
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int c = j * (n + 1) + i;
            faces.push_back({c, c + 1, c + n + 2});
            faces.push_back({c, c + n + 2, c + n + 1});
        }
    return TestMesh(corners, faces);
}

// Every channel of every pixel's colour, as floats.
inline std::vector<float> Colours(const FrameBuffer& fb)
{
    std::vector<float> channels;
    for (const Pixel& p : fb.pixels)
        channels.insert(channels.end(), {p.color.r, p.color.g, p.color.b, p.color.a});
    return channels;
}

// A corner that lands on pixel (px, py) of a frame `size` pixels square, at
// `depth`, when positions are clip coordinates (identity model-view-
// projection): window x = size/2 (x + 1) is snapped to its whole part plus
// one, so a position half a pixel short of px lands on it.
inline TestMesh::Vertex OnPixel(int px, int py, float depth, uint32_t argb = 0xFFFFFFFFu,
                                int size = 16)
{
    const auto ndc = [size](int p) {
        const float window = static_cast<float>(p) - (p >= 1 ? 0.5f : 1.5f);
        return window / (static_cast<float>(size) / 2.0f) - 1.0f;
    };
    return {ndc(px), -ndc(py), depth, 0, 0, 1, argb};
}

// Counts the pixels whose colour differs from the clear colour.
inline int CountDrawn(const FrameBuffer& fb)
{
    int drawn = 0;
    for (const Pixel& p : fb.pixels)
        drawn += p.color != fb.clearColor ? 1 : 0;
    return drawn;
}
