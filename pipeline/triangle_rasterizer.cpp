#include "pipeline/triangle_rasterizer.h"

#include <cmath>

#include "pipeline/draw_setup.h"
#include "pipeline/fragment_stage.h"
#include "pipeline/triangle_stage.h"
#include "render/render_context.h"

int edgeCursor = 0;

void TriangleRasterizer::LoadTriangle(const PipelineVertex corners[3], const Vector3& normal,
                                      const Material& faceMaterial)
{
    for (int k = 0; k < 3; ++k)
        vertices[k] = corners[k];
    faceNormal = normal;
    material = faceMaterial;
    centroid = Centroid(corners[0].position, corners[1].position, corners[2].position);
}

void TriangleRasterizer::DrawTriangle()
{
    const DrawSetup setup(context, material);
    FaceInWorld face{centroid, faceNormal};
    const bool facesTheEye = TriangleStage(setup).FacesTheEye(face);
    centroid = face.centroid;
    faceNormal = face.normal;
    if (facesTheEye)
        Rasterize(setup, setup.cornerColour == CornerColour::kFaceLit ? &face : nullptr);
}

void TriangleRasterizer::RasterizeTriangle()
{
    Rasterize(DrawSetup(context, material), nullptr);
}

void TriangleRasterizer::Rasterize(const DrawSetup& setup, const FaceInWorld* litFace)
{
    const TriangleStage stage(setup);
    GivenCorners corners(stage);
    corners.Use(vertices);
    ScreenTriangle triangle;
    if (!stage.SetUp(corners, litFace, triangle)) return;
    // The corners as the stage leaves them, sorted by row.
    for (int k = 0; k < 3; ++k)
        vertices[k] = triangle.corners[k];
    WithFragmentStage(setup, [&](auto& fragments) {
        ScanConversion(*this, fragments, *setup.frameBuffer, setup.fill).Draw(triangle);
    });
}

void TriangleRasterizer::PrepareEdges()
{
    const RowOrder order =
        SortByRow(vertices[0].windowPos.y, vertices[1].windowPos.y, vertices[2].windowPos.y);
    const PipelineVertex sorted[3] = {vertices[order.index[0]], vertices[order.index[1]],
                                      vertices[order.index[2]]};
    for (int k = 0; k < 3; ++k)
        vertices[k] = sorted[k];
    Prepare(static_cast<int>(std::fabs(vertices[2].windowPos.y - vertices[0].windowPos.y)));
}

void TriangleRasterizer::WalkEdge(PipelineVertex& a, PipelineVertex& b, int list)
{
    const DrawSetup setup(context, material);
    // Gouraud lights both ends in place, on every walk. Lit by vertex colours,
    // it lights copies: a corner keeps the colour that lights it again for its
    // other edge.
    PipelineVertex copies[2] = {a, b};
    PipelineVertex& from = setup.vertexColorLighting ? copies[0] : a;
    PipelineVertex& to = setup.vertexColorLighting ? copies[1] : b;
    const TriangleStage stage(setup);
    stage.LightCorner(from);
    stage.LightCorner(to);
    // List 1 is the chain list, from the cursor; 2 the long list, from 0.
    EdgeRecord record;
    if (list == 1) record = Record(chainEdges, edgeCursor);
    if (list == 2) record = Record(longEdges, 0);
    WithFragmentStage(setup, [&](auto& fragments) {
        ScanConversion scan(*this, fragments, *setup.frameBuffer, setup.fill);
        const int cursor = scan.WalkEdge(from, to, ColorsDiffer(from.color, to.color), record);
        if (list == 1) edgeCursor = cursor;
    });
    if (list == 2) edgeCursor = 0;
}

void TriangleRasterizer::FillSpans()
{
    const DrawSetup setup(context, material);
    WithFragmentStage(setup, [&](auto& fragments) {
        ScanConversion(*this, fragments, *setup.frameBuffer, setup.fill)
            .FillSpans(kept.first, kept.end);
    });
}

void TriangleRasterizer::ShadeFragment(const PipelineVertex& a, const PipelineVertex& b, int x,
                                       int y, float t, Vector4* outPosition, Vector3* outNormal,
                                       Color* outColor, Vector4* outTexCoord)
{
    const DrawSetup setup(context, material);
    PipelineVertex outputs;  // what no step computes keeps its default
    WithFragmentStage(setup, [&](auto& fragments) {
        const FragmentEnds ends(a, b, ColorsDiffer(a.color, b.color));
        ShadeAlone(fragments, ends, setup.frameBuffer->Find(x, y), t, outputs);
    });
    // Handed back whether or not the write took place.
    if (outNormal) *outNormal = outputs.normal;
    if (outPosition) *outPosition = outputs.position;
    if (outColor) *outColor = outputs.color;
    if (outTexCoord) *outTexCoord = outputs.texCoord;
}

void TriangleRasterizer::ComputeLighting(PipelineVertex& vertex) const
{
    vertex.color = LightVertex(vertex, false);
}

void TriangleRasterizer::ComputeCartoonLighting(PipelineVertex& vertex) const
{
    vertex.color = LightVertex(vertex, true);
}

Color TriangleRasterizer::LightVertex(const PipelineVertex& vertex, bool cartoon) const
{
    const LightingSetup lights = GatherLighting(context, material);
    if (context.vertexColorLighting)
        return LightPoint(lights, vertex.position, vertex.normal, vertex.color, cartoon);
    return LightPoint(lights, vertex.position, vertex.normal, cartoon);
}
