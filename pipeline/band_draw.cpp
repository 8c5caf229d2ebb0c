#include "pipeline/band_draw.h"

#include <algorithm>
#include <type_traits>
#include <vector>

#include "model/face_list.h"
#include "pipeline/corner_cache.h"
#include "pipeline/draw_observer.h"
#include "pipeline/draw_setup.h"
#include "pipeline/face_walk.h"
#include "pipeline/fragment_stage.h"
#include "pipeline/observed_fragments.h"
#include "pipeline/projected_lanes.h"
#include "pipeline/row_bands.h"
#include "pipeline/scan_conversion.h"
#include "pipeline/thread_pool.h"
#include "pipeline/triangle_stage.h"
#include "render/frame_buffer.h"

namespace {

// Faces a thread culls at a time, block after block in turn with the other
// threads: blocks small enough that every thread gets front and back faces
// alike (some 16 blocks a thread), large enough that the lists keep few
// block ends.
constexpr int64_t kMinBlockFaces = 256;
constexpr int64_t kMaxBlockFaces = 4096;

int64_t BlockFaces(int32_t faces, int threads)
{
    return std::clamp(faces / (int64_t{16} * threads), kMinBlockFaces, kMaxBlockFaces);
}

// The corner cache's places of each thread: a share of the one-thread draw's,
// so that many threads keep no more corners than a few would.
constexpr int32_t kMinCornerPlaces = 1 << 12;

// The triangles of a thread's blocks that culling and rejection let
// through, listed for each thread whose rows they reach (8 bytes each: what
// passes from one thread to another), block after block, and where each
// block ends in each list. Kept per thread from draw to draw: once grown, a
// frame allocates none.
struct ProjectedBlocks {
    std::vector<std::vector<TriangleId>> to;     // [thread]
    std::vector<std::vector<std::size_t>> ends;  // [thread][block]
};

ProjectedBlocks& ThisThreadsBlocks()
{
    thread_local ProjectedBlocks blocks;
    return blocks;
}

// Every vertex's window position and rejection tests, for the draw the
// calling thread makes: kept from draw to draw, as the lists are.
std::vector<ProjectedCorner>& ThisDrawsCorners()
{
    thread_local std::vector<ProjectedCorner> corners;
    return corners;
}

// Thread t's share of the vertices projected: each vertex once, however many
// faces of however many threads' blocks use it.
void ProjectVertices(const DrawSetup& setup, const CornerFetch& fetch, int t, int threads,
                     std::vector<ProjectedCorner>& corners)
{
    const int64_t count = static_cast<int64_t>(corners.size());
    const auto first = static_cast<int32_t>(count * t / threads);
    const auto end = static_cast<int32_t>(count * (t + 1) / threads);
    ProjectVertexRange(setup, fetch, first, end, corners.data() + first);
}

// The projected corners of vertices `fan`.
struct FanCorners {
    const ProjectedCorner* at[3];

    FanCorners(const std::vector<ProjectedCorner>& corners, const int32_t fan[3])
        : at{&corners[static_cast<std::size_t>(fan[0])], &corners[static_cast<std::size_t>(fan[1])],
             &corners[static_cast<std::size_t>(fan[2])]}
    {
    }
};

// Thread t's blocks of faces (t, t + threads, ...) through culling and the
// rejection tests, each triangle's fate counted in `fates` when the draw is
// observed (the fragments of the thread's rows are counted there after).
void ProjectBlocks(const DrawSetup& setup, const FaceList& faces, const CornerFetch& fetch,
                   const std::vector<ProjectedCorner>& corners, const RowBands& bands, int t,
                   ProjectedBlocks& out, PipelineCounts* fates)
{
    const int threads = bands.Threads();
    out.to.resize(static_cast<std::size_t>(threads));
    out.ends.resize(static_cast<std::size_t>(threads));
    for (std::vector<TriangleId>& list : out.to)
        list.clear();
    for (std::vector<std::size_t>& ends : out.ends)
        ends.clear();
    const auto vertexCount = static_cast<int32_t>(corners.size());
    const auto project = [&](const TriangleBatch& batch, int k) {
        RowRange rows{0, 0};
        const bool kept = TriangleStage::Project(FanCorners(corners, batch.fan[k]).at, rows);
        if (kept)
            bands.ForEachThread(rows.top, rows.bottom, [&](int d) {
                out.to[static_cast<std::size_t>(d)].push_back(batch.id[k]);
            });
        if (fates != nullptr) fates->Count(kept ? TriangleFate::kDrawn : TriangleFate::kRejected);
    };
    const auto culled = [&](TriangleId) {
        if (fates != nullptr) fates->Count(TriangleFate::kCulled);
    };
    const int64_t blockFaces = BlockFaces(faces.count, threads);
    const int64_t stride = threads * blockFaces;
    for (int64_t first = t * blockFaces; first < faces.count; first += stride) {
        const int64_t end = std::min<int64_t>(first + blockFaces, faces.count);
        CullTriangles(setup, faces, {static_cast<int32_t>(first), static_cast<int32_t>(end)}, fetch,
                      vertexCount, project, culled);
        for (std::size_t d = 0; d < out.to.size(); ++d)
            out.ends[d].push_back(out.to[d].size());
    }
}

// Every projected triangle that reaches thread t's rows, in face order: block
// b is block b / threads of thread b mod threads.
template <class Visit>
void ForEachProjected(const std::vector<const ProjectedBlocks*>& threadsBlocks, int t, Visit visit)
{
    const std::size_t threads = threadsBlocks.size();
    for (std::size_t b = 0;; ++b) {
        const ProjectedBlocks& blocks = *threadsBlocks[b % threads];
        const std::vector<std::size_t>& ends = blocks.ends[static_cast<std::size_t>(t)];
        const std::size_t j = b / threads;
        if (j >= ends.size()) return;
        for (std::size_t i = j == 0 ? 0 : ends[j - 1]; i < ends[j]; ++i)
            visit(blocks.to[static_cast<std::size_t>(t)][i]);
    }
}

// The set-up triangle on each band of thread t that holds one of its rows. A
// band the depth buffer hides it in is passed over, as one thread passes
// over a hidden triangle; an observed draw converts it, and counts each of
// its fragments failing the depth test.
template <class Fragments>
void ConvertOnBands(const DrawSetup& setup, const TriangleStage& stage, const RowBands& bands,
                    int t, const ScreenTriangle& triangle, TriangleId id, EdgeLists& lists,
                    Fragments& fragments)
{
    const PipelineVertex* c = triangle.corners;  // sorted by row
    const int top = static_cast<int>(c[0].windowPos.y), bottom = static_cast<int>(c[2].windowPos.y);
    // In one band, the test before its set-up has just found it not hidden there.
    const bool tested = bands.InOneBandOfEach(top, bottom);
    bands.ForEachBand(t, top, bottom, [&](const Band& band) {
        if constexpr (!kIsObserved<Fragments>) {
            if (!tested &&
                stage.HiddenByDepth(c[0].windowPos, c[1].windowPos, c[2].windowPos, band.box))
                return;
        }
        ScanConversion<Fragments>(lists, fragments, *setup.frameBuffer, setup.fill, band)
            .Draw(triangle, id);
    });
}

// Thread t's rows of the frame: every listed triangle that reaches one of
// them, in face order. One the depth buffer hides in all of them is passed
// over before it is set up; the others are set up again from their corners
// (in the thread's own cache), lit, and converted there.
template <class Fragments>
void DrawOwnRows(const DrawSetup& setup, const FaceList& faces, const CornerFetch& fetch,
                 const std::vector<ProjectedCorner>& corners,
                 const std::vector<const ProjectedBlocks*>& listed, const RowBands& bands, int t,
                 Fragments& fragments)
{
    const bool flat = setup.cornerColour == CornerColour::kFaceLit;
    const OwnRows own{&bands, t};
    EdgeLists lists;
    ScreenTriangle triangle;
    WithCornerSource(setup, fetch, [&](auto& source) {
        using Corners = std::decay_t<decltype(source.corners)>;
        ForEachProjected(listed, t, [&](TriangleId id) {
            int32_t fan[3];
            FanTriangle(faces.records[id.face], id.triangle, fan);
            // An observed draw converts hidden triangles too, counting their fragments.
            if constexpr (!kIsObserved<Fragments>) {
                const FanCorners projected(corners, fan);
                if (source.stage.HiddenInRows(projected.at[0]->WindowPos(),
                                              projected.at[1]->WindowPos(),
                                              projected.at[2]->WindowPos(), own))
                    return;
            }
            source.UseCorners(fan);
            FaceInWorld face;
            if (flat) {  // the face is lit in world space
                face = ObjectFace(fetch, fan, faces.GetFaceNormal(id.face));
                source.stage.FacesTheEye(face);
            }
            // Set up without a depth test: it is made above.
            if (!source.stage.template SetUp<Corners, true>(source.corners, flat ? &face : nullptr,
                                                            triangle))
                return;
            ConvertOnBands(setup, source.stage, bands, t, triangle, id, lists, fragments);
        });
    });
}

}  // namespace

void DrawInBands(const DrawSetup& setup, const FaceList& faces, const CornerFetch& fetch,
                 int32_t vertexCount, DrawObserver* observer)
{
    const int threads = setup.threads;
    const RowBands bands(setup.frameBuffer->width, setup.frameBuffer->height, threads);
    std::vector<ProjectedCorner>& corners = ThisDrawsCorners();
    corners.resize(static_cast<std::size_t>(vertexCount));
    std::vector<const ProjectedBlocks*> listed(static_cast<std::size_t>(threads));
    std::vector<PipelineCounts> parts(observer != nullptr ? threads : 0);
    ThreadPool& pool = ThreadPool::Shared();
    pool.Run(threads, [&](int t) { ProjectVertices(setup, fetch, t, threads, corners); });
    pool.Run(threads, [&](int t) {
        if (fetch.FetchesEverything())
            CornerPlaces().Begin(vertexCount,
                                 std::max(CornerCache::kMaxPlaces / threads, kMinCornerPlaces));
        ProjectedBlocks& mine = ThisThreadsBlocks();
        ProjectBlocks(setup, faces, fetch, corners, bands, t, mine,
                      observer != nullptr ? &parts[static_cast<std::size_t>(t)] : nullptr);
        listed[static_cast<std::size_t>(t)] = &mine;
    });
    pool.Run(threads, [&](int t) {
        const auto run = [&](auto& fragments) {
            DrawOwnRows(setup, faces, fetch, corners, listed, bands, t, fragments);
        };
        if (observer == nullptr)
            WithFragmentStage(setup, run);
        else
            WithFragmentStage(setup, *observer, parts[static_cast<std::size_t>(t)], run);
    });
    for (const PipelineCounts& p : parts)
        observer->counts.Add(p);
}

void ClearInBands(FrameBuffer& frame, int threads)
{
    threads = std::min(threads, kMaxDrawThreads);
    if (threads <= 1) {
        frame.Clear();
        return;
    }
    const RowBands bands(frame.width, frame.height, threads);
    ThreadPool::Shared().Run(threads, [&](int t) {
        bands.ForEachBand(t, 0, frame.height - 1, [&](const Band& band) {
            frame.ClearRows(band.box.top, band.box.bottom);
        });
    });
}
