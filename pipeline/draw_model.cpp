#include "pipeline/draw_model.h"

#include <cassert>

#include "model/face_list.h"
#include "model/vertex_array.h"
#include "pipeline/band_draw.h"
#include "pipeline/draw_setup.h"
#include "pipeline/face_walk.h"
#include "pipeline/fragment_stage.h"
#include "pipeline/observed_fragments.h"
#include "pipeline/scan_conversion.h"
#include "pipeline/triangle_stage.h"
#include "render/render_context.h"

namespace {

// One thread's draw: each triangle scan-converted as soon as the triangle
// stage hands it on. An observed draw goes on with a triangle that the depth
// buffer hides (each of its fragments fails the depth test), tells its
// fragments which triangle they come from, and counts every triangle's fate.
template <class Fragments>
void DrawInOrder(const DrawSetup& setup, const FaceList& faces, const CornerFetch& fetch,
                 int32_t vertexCount, Fragments& fragments)
{
    constexpr bool kObserved = kIsObserved<Fragments>;
    EdgeLists lists;
    ScanConversion scan(lists, fragments, *setup.frameBuffer, setup.fill);
    ScreenTriangle triangle;
    const bool flat = setup.cornerColour == CornerColour::kFaceLit;
    if (fetch.FetchesEverything()) CornerPlaces().Begin(vertexCount);
    WalkFaces(
        setup, faces, {0, faces.count}, fetch, vertexCount,
        [&](const TriangleStage& stage, auto& corners, const TriangleBatch& batch, int k) {
            FaceInWorld face;
            if (flat) face = batch.WorldFace(k);  // lit in world space
            const TriangleFate fate =
                SetUpTriangle<kObserved>(stage, corners, flat ? &face : nullptr, triangle);
            if constexpr (kObserved) {
                if (fate == TriangleFate::kDrawn) scan.Draw(triangle, batch.id[k]);
                fragments.Count(fate);
            } else if (fate == TriangleFate::kDrawn) {
                scan.Draw(triangle);
            }
        },
        [&](TriangleId) {
            if constexpr (kObserved) fragments.Count(TriangleFate::kCulled);
        });
}

}  // namespace

CornerCache& CornerPlaces()
{
    thread_local CornerCache cache;
    return cache;
}

void DrawMesh(const DrawSetup& setup, const FaceList& faces, const VertexArray& vertices,
              int32_t attribMask, DrawObserver* observer)
{
    assert(observer == nullptr || (observer->Width() == setup.frameBuffer->width &&
                                   observer->Height() == setup.frameBuffer->height));
    if (observer != nullptr) observer->counts.faces += faces.count;
    // Without vertices no index is in range, and nothing is drawn.
    if (vertices.count <= 0) return;
    const CornerFetch fetch(vertices, attribMask);
    if (setup.threads > 1) {
        DrawInBands(setup, faces, fetch, vertices.count, observer);
        return;
    }
    const auto draw = [&](auto& fragments) {
        DrawInOrder(setup, faces, fetch, vertices.count, fragments);
    };
    if (observer == nullptr)
        WithFragmentStage(setup, draw);
    else
        WithFragmentStage(setup, *observer, observer->counts, draw);
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
