#include "pipeline/band_draw.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "model/face_list.h"
#include "pipeline/corner_cache.h"
#include "pipeline/draw_observer.h"
#include "pipeline/draw_setup.h"
#include "pipeline/face_walk.h"
#include "pipeline/fragment_stage.h"
#include "pipeline/observed_fragments.h"
#include "pipeline/row_bands.h"
#include "pipeline/scan_conversion.h"
#include "pipeline/thread_pool.h"
#include "pipeline/triangle_stage.h"

namespace {

// The faces are set up a chunk at a time, each thread a block of every
// chunk. While the threads convert one chunk they may set up the next two,
// so that a thread seldom waits for the slowest one's part.
constexpr int kChunksInFlight = 3;
// Faces of a block: at least so many that a thread's corner cache serves a
// block's shared corners, at most so many that its triangles stay in cache
// until they are converted, and, with many threads, so few that the
// triangles waiting in all their blocks stay within about 64 MB.
constexpr int32_t kMinBlockFaces = 256;
constexpr int32_t kMaxBlockFaces = 4096;
constexpr int32_t kMaxWaitingFaces = 1 << 16;  // of a chunk, all threads' blocks together
// The corner cache's places of each thread: the corners of its blocks, at
// most a share of the one-thread draw's, so that many threads keep no more
// corners than a few would; never fewer than a block's corners need.
constexpr int32_t kMinCornerPlaces = 1 << 12;
// Looks at a thread still busy before the waiting thread sleeps until it is
// woken: a few microseconds, a wait that other threads' work often ends.
// Sleeping, it leaves the core to them, which on a machine busy with other
// work is the thread it waits for.
constexpr int kSpinsBeforeSleep = 1000;

// A triangle the triangle stage has handed on, waiting to be converted.
struct PendingTriangle {
    ScreenTriangle triangle;
    TriangleId id;
};

// The triangles of one block in face order, and apart from them the rows
// each spans from its top corner to its bottom one: a thread passes over
// the triangles outside its bands reading those alone. The places are kept
// from chunk to chunk and draw to draw: once they have grown, a frame
// allocates none.
class PendingTriangles {
public:
    void Clear() { count = 0; }
    // Where the next triangle is set up; Keep keeps it, else the place is reused.
    PendingTriangle& Next()
    {
        if (count == places.size()) {
            places.emplace_back();
            rows.emplace_back();
        }
        return places[count];
    }
    void Keep()
    {
        const PipelineVertex* corners = places[count].triangle.corners;  // sorted by row
        rows[count] = {static_cast<int>(corners[0].windowPos.y),
                       static_cast<int>(corners[2].windowPos.y)};
        ++count;
    }
    std::size_t Count() const { return count; }
    const PendingTriangle& At(std::size_t i) const { return places[i]; }
    // The rows of triangle i: its top row and its bottom one (not past it).
    const RowRange& Rows(std::size_t i) const { return rows[i]; }

private:
    std::vector<PendingTriangle> places;
    std::vector<RowRange> rows;
    std::size_t count = 0;
};

// What a thread has set up for the chunks in flight, kept per thread.
struct SetUpShelf {
    PendingTriangles blocks[kChunksInFlight];
};

SetUpShelf& ThisThreadsShelf()
{
    thread_local SetUpShelf shelf;
    return shelf;
}

// The chunks a thread has set up and converted, written by that thread alone
// and read by the others; a cache line each.
struct alignas(64) Progress {
    std::atomic<int> setUp{0};
    std::atomic<int> converted{0};
};

// One draw shared by the threads: thread t sets up block t of every chunk
// and converts the triangles of every block on its own bands.
class BandDraw {
public:
    BandDraw(const DrawSetup& setup, const FaceList& faces, const CornerFetch& fetch,
             int32_t vertexCount, int threads);

    // Thread t's part of the draw, shading with `fragments`.
    template <class Fragments>
    void Run(int t, Fragments& fragments);

private:
    const DrawSetup& setup;
    const FaceList& faces;
    const CornerFetch& fetch;
    int32_t vertexCount;
    int threads;
    RowBands bands;
    int32_t blockFaces;
    int chunks;
    std::vector<Progress> progress;
    std::vector<const SetUpShelf*> shelves;  // each thread's, once it has begun
    std::mutex sleepers;                     // held to sleep on `progressed`
    std::condition_variable progressed;      // some thread's progress has grown

    template <class Fragments>
    void SetUpChunk(int chunk, int t, SetUpShelf& shelf, Fragments& fragments);
    template <class Fragments>
    void ConvertChunk(int chunk, int t, EdgeLists& lists, Fragments& fragments);
    template <class Fragments>
    void Convert(const PendingTriangle& pending, const Band& band, const TriangleStage& stage,
                 EdgeLists& lists, Fragments& fragments);
    // Until every thread has reached `chunks` in the count chosen.
    void WaitForAll(std::atomic<int> Progress::*count, int chunksDone);
    // Thread t has reached `chunksDone` in the count chosen: its waiters wake.
    void Publish(int t, std::atomic<int> Progress::*count, int chunksDone);
};

BandDraw::BandDraw(const DrawSetup& setup, const FaceList& faces, const CornerFetch& fetch,
                   int32_t vertexCount, int threads)
    : setup(setup),
      faces(faces),
      fetch(fetch),
      vertexCount(vertexCount),
      threads(threads),
      bands(setup.frameBuffer->width, setup.frameBuffer->height, threads),
      blockFaces(
          std::clamp(faces.count / (threads * 16), kMinBlockFaces,
                     std::clamp(kMaxWaitingFaces / threads, kMinBlockFaces, kMaxBlockFaces))),
      chunks(
          static_cast<int>((static_cast<int64_t>(faces.count) + int64_t{blockFaces} * threads - 1) /
                           (int64_t{blockFaces} * threads))),
      progress(static_cast<std::size_t>(threads)),
      shelves(static_cast<std::size_t>(threads), nullptr)
{
}

template <class Fragments>
void BandDraw::Run(int t, Fragments& fragments)
{
    SetUpShelf& shelf = ThisThreadsShelf();
    shelves[static_cast<std::size_t>(t)] = &shelf;
    if (fetch.FetchesEverything())
        CornerPlaces().Begin(vertexCount,
                             std::max(CornerCache::kMaxPlaces / threads, kMinCornerPlaces));
    EdgeLists lists;
    constexpr int kLead = kChunksInFlight - 1;
    for (int k = 0; k < std::min(kLead, chunks); ++k)
        SetUpChunk(k, t, shelf, fragments);
    for (int k = 0; k < chunks; ++k) {
        if (k + kLead < chunks) SetUpChunk(k + kLead, t, shelf, fragments);
        ConvertChunk(k, t, lists, fragments);
    }
}

// Block t of the chunk, its triangles handed on by the triangle stage without
// the depth buffer's test: the buffer is being written by the threads
// converting an earlier chunk. They make the test, each on its own rows.
template <class Fragments>
void BandDraw::SetUpChunk(int chunk, int t, SetUpShelf& shelf, Fragments& fragments)
{
    // The block's place held the triangles of chunk - kChunksInFlight.
    if (chunk >= kChunksInFlight) WaitForAll(&Progress::converted, chunk - kChunksInFlight + 1);
    PendingTriangles& block = shelf.blocks[chunk % kChunksInFlight];
    block.Clear();
    const int64_t first = (int64_t{chunk} * threads + t) * blockFaces;
    const FaceRange range{static_cast<int32_t>(std::min<int64_t>(first, faces.count)),
                          static_cast<int32_t>(std::min<int64_t>(first + blockFaces, faces.count))};
    const bool flat = setup.cornerColour == CornerColour::kFaceLit;
    WalkFaces(setup, faces, range, fetch, vertexCount,
              [&](const TriangleStage& stage, auto& corners, FaceInWorld& face, TriangleId id) {
                  PendingTriangle& next = block.Next();
                  const TriangleFate fate =
                      SetUpTriangle<true>(stage, corners, face, flat, next.triangle);
                  if (fate == TriangleFate::kDrawn) {
                      next.id = id;
                      block.Keep();
                  }
                  if constexpr (kIsObserved<Fragments>) fragments.Count(fate);
              });
    Publish(t, &Progress::setUp, chunk + 1);
}

// Every triangle of the chunk, in face order, on thread t's bands.
template <class Fragments>
void BandDraw::ConvertChunk(int chunk, int t, EdgeLists& lists, Fragments& fragments)
{
    WaitForAll(&Progress::setUp, chunk + 1);
    const TriangleStage stage(setup);
    for (const SetUpShelf* shelf : shelves) {
        const PendingTriangles& block = shelf->blocks[chunk % kChunksInFlight];
        for (std::size_t i = 0; i < block.Count(); ++i)
            bands.ForEachBand(t, block.Rows(i).top, block.Rows(i).bottom, [&](const Band& band) {
                Convert(block.At(i), band, stage, lists, fragments);
            });
    }
    Publish(t, &Progress::converted, chunk + 1);
}

// The triangle on one of the thread's bands. A band the depth buffer hides
// it in is passed over, as one thread passes over a hidden triangle; an
// observed draw converts it, and counts each of its fragments failing the
// depth test.
template <class Fragments>
void BandDraw::Convert(const PendingTriangle& pending, const Band& band, const TriangleStage& stage,
                       EdgeLists& lists, Fragments& fragments)
{
    if constexpr (!kIsObserved<Fragments>) {
        const PipelineVertex* corners = pending.triangle.corners;
        if (stage.HiddenByDepth(corners[0].windowPos, corners[1].windowPos, corners[2].windowPos,
                                band.box))
            return;
    }
    ScanConversion<Fragments>(lists, fragments, *setup.frameBuffer, setup.fill, band)
        .Draw(pending.triangle, pending.id);
}

void BandDraw::WaitForAll(std::atomic<int> Progress::*count, int chunksDone)
{
    for (const Progress& p : progress) {
        const auto reached = [&] {
            return (p.*count).load(std::memory_order_acquire) >= chunksDone;
        };
        for (int spins = 0; !reached(); ++spins) {
            if (spins < kSpinsBeforeSleep) continue;
            std::unique_lock<std::mutex> lock(sleepers);
            progressed.wait(lock, reached);
        }
    }
}

void BandDraw::Publish(int t, std::atomic<int> Progress::*count, int chunksDone)
{
    (progress[static_cast<std::size_t>(t)].*count).store(chunksDone, std::memory_order_release);
    // A waiter looks at the count holding the lock, then sleeps releasing it:
    // taking it here, the count is stored either before it looked or while
    // it sleeps, and the call below wakes it.
    {
        const std::lock_guard<std::mutex> lock(sleepers);
    }
    progressed.notify_all();
}

}  // namespace

void DrawInBands(const DrawSetup& setup, const FaceList& faces, const CornerFetch& fetch,
                 int32_t vertexCount, DrawObserver* observer)
{
    BandDraw draw(setup, faces, fetch, vertexCount, setup.threads);
    std::vector<PipelineCounts> parts(observer != nullptr ? setup.threads : 0);
    const auto part = [&](int t) {
        const auto run = [&](auto& fragments) { draw.Run(t, fragments); };
        if (observer == nullptr)
            WithFragmentStage(setup, run);
        else
            WithFragmentStage(setup, *observer, parts[static_cast<std::size_t>(t)], run);
    };
    ThreadPool::Shared().Run(setup.threads, part);
    for (const PipelineCounts& p : parts)
        observer->counts.Add(p);
}
