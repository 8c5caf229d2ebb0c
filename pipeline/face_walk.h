#pragma once

// The draw routine's walk over the faces: every triangle of a range of faces
// in order, with its corners from one of the two corner sources, through
// culling and the triangle stage. What becomes of a triangle the stage hands
// on is the caller's: a draw on one thread scan-converts it at once, a draw
// on several keeps it for the threads that convert its rows.
#include <cstdint>

#include "model/face_list.h"
#include "pipeline/corner_cache.h"
#include "pipeline/culled_lanes.h"
#include "pipeline/draw_observer.h"
#include "pipeline/triangle_stage.h"

// Faces first .. end - 1.
struct FaceRange {
    int32_t first, end;
};

// The corner cache's places, kept per thread from one draw to the next: a
// draw would otherwise fault megabytes of fresh pages in every frame. What
// they hold belongs to one draw (Begin forgets it).
CornerCache& CornerPlaces();

inline bool IndicesInRange(const Face& face, int32_t vertexCount)
{
    // One unsigned comparison: a negative index wraps above any count.
    for (int32_t index : face.indices)
        if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(vertexCount)) return false;
    return true;
}

// The vertices of fan triangle `triangle` of `face`: corners 0, triangle + 1
// and triangle + 2.
inline void FanTriangle(const Face& face, int32_t triangle, int32_t fan[3])
{
    fan[0] = face.indices[0];
    fan[1] = face.indices[triangle + 1];
    fan[2] = face.indices[triangle + 2];
}

// The face of the triangle of vertices `fan` in object space: its corners'
// centroid as `fetch` fetches them, and `normal`.
inline FaceInWorld ObjectFace(const CornerFetch& fetch, const int32_t fan[3], const Vector3& normal)
{
    return {Centroid(fetch.PositionAsFetched(fan[0]), fetch.PositionAsFetched(fan[1]),
                     fetch.PositionAsFetched(fan[2])),
            normal};
}

// Calls draw(vertex indices, face normal, triangle id) for every triangle of
// the faces in `range`, in order. Faces of fewer than three corners, or with
// an index out of range, are not drawn; larger ones are drawn as a fan
// (0, i, i + 1) sharing the face's normal.
template <class DrawTriangle>
void ForEachTriangle(const FaceList& faces, FaceRange range, int32_t vertexCount, DrawTriangle draw)
{
    for (int32_t f = range.first; f < range.end; ++f) {
        const Face& face = faces.records[f];
        if (face.cornerCount < 3 || !IndicesInRange(face, vertexCount)) continue;
        for (int32_t i = 0; i + 2 < face.cornerCount; ++i) {
            int32_t fan[3];
            FanTriangle(face, i, fan);
            draw(fan, faces.GetFaceNormal(f), TriangleId{f, i});
        }
    }
}

// Calls front(batch, k) for every triangle of the faces in `range` that
// faces the eye (triangle k of the batch it was culled in), and culled(id)
// for every other, in order. The faces are culled a batch at a time.
template <class Front, class Culled>
void CullTriangles(const DrawSetup& setup, const FaceList& faces, FaceRange range,
                   const CornerFetch& fetch, int32_t vertexCount, Front front, Culled culled)
{
    TriangleBatch batch;
    const auto cull = [&] {
        CullBatch(setup, batch);
        for (int k = 0; k < batch.count; ++k) {
            if (batch.front[k])
                front(batch, k);
            else
                culled(batch.id[k]);
        }
        batch.count = 0;
    };
    ForEachTriangle(faces, range, vertexCount,
                    [&](const int32_t fan[3], const Vector3& normal, TriangleId id) {
                        batch.Add(fetch, fan, normal, id);
                        if (batch.Full()) cull();
                    });
    if (batch.count > 0) cull();
}

// The triangle stage after culling: the triangle of `corners`, ready for
// scan conversion in `out` when it is drawn. Flat shading lights `face`
// (null otherwise). A triangle the depth buffer hides counts as rejected,
// unless `kDrawHidden` (an observed draw, which counts a hidden triangle's
// fragments).
template <bool kDrawHidden, class Corners>
TriangleFate SetUpTriangle(const TriangleStage& stage, Corners& corners, const FaceInWorld* face,
                           ScreenTriangle& out)
{
    if (!stage.SetUp<Corners, kDrawHidden>(corners, face, out)) return TriangleFate::kRejected;
    return TriangleFate::kDrawn;
}

// Every attribute is fetched: a corner is a function of its vertex alone, and
// the corners that faces share are worked on once while `cache` (begun for
// this draw) holds them.
class CachedCornerSource {
public:
    CachedCornerSource(const DrawSetup& setup, const CornerFetch& fetch, CornerCache& cache)
        : stage(setup), corners(stage, fetch, cache)
    {
    }
    // The triangle of vertices `fan`.
    void UseCorners(const int32_t fan[3]) { corners.Use(fan); }

    const TriangleStage stage;
    CachedCorners corners;
};

// Corners fetched face by face: an attribute outside the mask keeps what the
// previous face left, which is its default, since no fetch sets it.
class FetchedCornerSource {
public:
    FetchedCornerSource(const DrawSetup& setup, const CornerFetch& fetch)
        : stage(setup), corners(stage), fetch(fetch)
    {
    }
    void UseCorners(const int32_t fan[3])
    {
        for (int k = 0; k < 3; ++k)
            fetch(fan[k], fetched[k]);
        corners.Use(fetched);
    }

    const TriangleStage stage;
    GivenCorners corners;

private:
    const CornerFetch& fetch;
    PipelineVertex fetched[3];
};

// Calls use(source) with a CachedCornerSource on this thread's cache when the
// fetch sets every attribute, else with a FetchedCornerSource. The cache is
// begun by the caller, once a draw.
template <class Use>
void WithCornerSource(const DrawSetup& setup, const CornerFetch& fetch, Use use)
{
    if (fetch.FetchesEverything()) {
        CachedCornerSource source(setup, fetch, CornerPlaces());
        use(source);
    } else {
        FetchedCornerSource source(setup, fetch);
        use(source);
    }
}

// Every triangle of the faces in `range` that faces the eye, in order, its
// corners from the corner source: road(stage, corners, batch, k), triangle k
// of `batch`; and culled(id) for every other.
template <class Road, class Culled>
void WalkFaces(const DrawSetup& setup, const FaceList& faces, FaceRange range,
               const CornerFetch& fetch, int32_t vertexCount, Road road, Culled culled)
{
    WithCornerSource(setup, fetch, [&](auto& source) {
        CullTriangles(
            setup, faces, range, fetch, vertexCount,
            [&](const TriangleBatch& batch, int k) {
                source.UseCorners(batch.fan[k]);
                road(source.stage, source.corners, batch, k);
            },
            culled);
    });
}
