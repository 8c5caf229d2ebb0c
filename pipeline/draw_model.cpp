#include "pipeline/draw_model.h"

#include <cassert>

#include "model/face_list.h"
#include "model/vertex_array.h"
#include "pipeline/draw_setup.h"
#include "pipeline/fragment_stage.h"
#include "pipeline/observed_fragments.h"
#include "pipeline/scan_conversion.h"
#include "pipeline/triangle_stage.h"
#include "render/render_context.h"

namespace {

bool IndicesInRange(const Face& face, int32_t vertexCount)
{
    // One unsigned comparison: a negative index wraps above any count.
    for (int32_t index : face.indices)
        if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(vertexCount)) return false;
    return true;
}

// Calls draw(vertex indices, face normal, triangle id) for every triangle of
// the faces, in order. Faces of fewer than three corners, or with an index
// out of range, are not drawn; larger ones are drawn as a fan (0, i, i + 1)
// sharing the face's normal.
template <class DrawTriangle>
void ForEachTriangle(const FaceList& faces, int32_t vertexCount, DrawTriangle draw)
{
    for (int32_t f = 0; f < faces.count; ++f) {
        const Face& face = faces.records[f];
        if (face.cornerCount < 3 || !IndicesInRange(face, vertexCount)) continue;
        for (int32_t i = 1; i + 1 < face.cornerCount; ++i) {
            const int32_t fan[3] = {face.indices[0], face.indices[i], face.indices[i + 1]};
            draw(fan, faces.GetFaceNormal(f), TriangleId{f, i - 1});
        }
    }
}

// The corner cache's places, kept per thread from one draw to the next: a
// draw of a large mesh would otherwise fault tens of megabytes of fresh pages
// in every frame. What they hold belongs to one draw (Begin forgets it).
CornerCache& CornerPlaces()
{
    thread_local CornerCache cache;
    return cache;
}

// The rest of a triangle's road once its corners are chosen: culling, the
// triangle stage and scan conversion. Flat shading lights `face`. An observed
// draw goes on with a triangle that the depth buffer hides (each of its
// fragments fails the depth test), and tells its fragments which triangle
// they come from.
template <class Corners, class Fragments>
TriangleFate DrawTriangle(const TriangleStage& stage, Corners& corners, FaceInWorld& face,
                          bool flat, ScreenTriangle& triangle, ScanConversion<Fragments>& scan,
                          TriangleId id)
{
    constexpr bool kObserved = kIsObserved<Fragments>;
    if (!stage.FacesTheEye(face)) return TriangleFate::kCulled;
    if (!stage.SetUp<Corners, kObserved>(corners, flat ? &face : nullptr, triangle))
        return TriangleFate::kRejected;
    if constexpr (kObserved)
        scan.Draw(triangle, id);
    else
        scan.Draw(triangle);
    return TriangleFate::kDrawn;
}

// DrawTriangle, whose outcome an observed draw counts.
template <class Corners, class Fragments>
void DrawFace(const TriangleStage& stage, Corners& corners, FaceInWorld& face, bool flat,
              ScreenTriangle& triangle, ScanConversion<Fragments>& scan, TriangleId id)
{
    const TriangleFate fate = DrawTriangle(stage, corners, face, flat, triangle, scan, id);
    if constexpr (kIsObserved<Fragments>) scan.FragmentStage().Count(fate);
}

// Every attribute is fetched: a corner is a function of its vertex alone, and
// the corners that faces share are worked on once.
template <class Scan>
void DrawCachedFaces(const DrawSetup& setup, const FaceList& faces, const CornerFetch& fetch,
                     int32_t vertexCount, Scan& scan)
{
    const TriangleStage stage(setup);
    CornerCache& cache = CornerPlaces();
    cache.Begin(vertexCount);
    CachedCorners corners(stage, fetch, cache);
    ScreenTriangle triangle;
    const bool flat = setup.cornerColour == CornerColour::kFaceLit;
    ForEachTriangle(
        faces, vertexCount, [&](const int32_t fan[3], const Vector3& normal, TriangleId id) {
            corners.Use(fan);
            // Built in place: a copy would read back at once what was just written in parts.
            FaceInWorld face{
                Centroid(fetch.Position(fan[0]), fetch.Position(fan[1]), fetch.Position(fan[2])),
                normal};
            DrawFace(stage, corners, face, flat, triangle, scan, id);
        });
}

// Corners fetched face by face: an attribute outside the mask keeps what the
// previous face left (its default for the first face).
template <class Scan>
void DrawFetchedFaces(const DrawSetup& setup, const FaceList& faces, const CornerFetch& fetch,
                      int32_t vertexCount, Scan& scan)
{
    const TriangleStage stage(setup);
    GivenCorners corners(stage);
    PipelineVertex fetched[3];
    ScreenTriangle triangle;
    const bool flat = setup.cornerColour == CornerColour::kFaceLit;
    ForEachTriangle(
        faces, vertexCount, [&](const int32_t fan[3], const Vector3& normal, TriangleId id) {
            for (int k = 0; k < 3; ++k)
                fetch(fan[k], fetched[k]);
            corners.Use(fetched);
            FaceInWorld face{
                Centroid(fetched[0].position, fetched[1].position, fetched[2].position), normal};
            DrawFace(stage, corners, face, flat, triangle, scan, id);
        });
}

}  // namespace

void DrawMesh(const DrawSetup& setup, const FaceList& faces, const VertexArray& vertices,
              int32_t attribMask, DrawObserver* observer)
{
    assert(observer == nullptr || (observer->Width() == setup.frameBuffer->width &&
                                   observer->Height() == setup.frameBuffer->height));
    if (observer != nullptr) observer->counts.faces += faces.count;
    // Without vertices no index is in range, and nothing is drawn.
    if (vertices.count <= 0) return;
    const CornerFetch fetch(vertices, attribMask);
    const auto draw = [&](auto& fragments) {
        EdgeLists lists;
        ScanConversion scan(lists, fragments, *setup.frameBuffer, setup.fill);
        if (fetch.FetchesEverything())
            DrawCachedFaces(setup, faces, fetch, vertices.count, scan);
        else
            DrawFetchedFaces(setup, faces, fetch, vertices.count, scan);
    };
    if (observer == nullptr)
        WithFragmentStage(setup, draw);
    else
        WithFragmentStage(setup, *observer, draw);
}

void DrawModel(RenderContext& context, DrawObserver* observer)
{
    if (context.faceList == nullptr || context.vertexArray == nullptr) return;
    DrawMesh(DrawSetup(context, context.material), *context.faceList, *context.vertexArray,
             context.attribMask, observer);
}

void RenderContext::DrawModel()
{
    ::DrawModel(*this, nullptr);
}
