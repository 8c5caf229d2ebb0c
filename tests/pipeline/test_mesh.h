#pragma once

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
