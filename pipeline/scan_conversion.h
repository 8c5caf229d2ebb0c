#pragma once

#include <algorithm>
#include <cassert>
#include <vector>

#include "pipeline/draw_observer.h"
#include "pipeline/edge_steps.h"
#include "pipeline/pipeline_vertex.h"
#include "pipeline/row_bands.h"

class FrameBuffer;
struct FragmentEnds;
struct ScreenTriangle;

// Where a walk records the first pixel of each row it reaches after its
// first: into entries cursor, cursor + 1, ... of a list of `limit` entries,
// of which it keeps `kept`. Without entries it records nothing.
struct EdgeRecord {
    PipelineVertex* entries = nullptr;  // entry kept.first is entries[0]
    StepRange kept = {0, 0};
    int cursor = 0;
    int limit = 0;

    // Where entry `index` is kept: its place among the kept entries. No walk
    // records a row above the kept ones (those lie outside the frame buffer),
    // so no place is negative.
    int PlaceOf(int index) const { return index - kept.first; }
    // The entry at `place`, or null when it is not kept.
    PipelineVertex* At(int place) const
    {
        assert(place >= 0);
        if (entries == nullptr || place >= kept.end - kept.first) return nullptr;
        return entries + place;
    }
    // The walk's new rows that it records: the k-th one, k = 1, 2, ..., is
    // row ya + sy k, recorded at index cursor + k - 1.
    StepRange NewRows(const EdgeSteps& steps) const;
    // The cursor once a walk of `steps` has recorded.
    int CursorAfter(const EdgeSteps& steps) const
    {
        if (entries == nullptr) return cursor;
        return cursor + std::min(steps.RowsReached(), std::max(limit - cursor, 0));
    }
};

// The scan conversion's working state: the edge lists of the triangle being
// drawn. Entry k of either list describes row (top row + 1 + k). A draw keeps
// only the entries of the frame buffer's rows, entries kept.first ..
// kept.end - 1, from place 0 of each list on; the lists' storage is kept
// from triangle to triangle, and the walks write every entry that FillSpans
// reads.
struct EdgeLists {
    std::vector<PipelineVertex> chainEdges;  // the two edges through the middle corner
    std::vector<PipelineVertex> longEdges;   // the edge from top corner to bottom corner
    int edgeRows = 0;                        // the entries of a list: rows below the top corner
    StepRange kept = {0, 0};                 // the entries kept

    // Lists of `rows` entries, of which `keep` (a range no wider than the
    // rows) are kept.
    void Prepare(int rows, StepRange keep);
    void Prepare(int rows) { Prepare(rows, {0, rows}); }
    // Where a walk records into `list` (one of the two), starting at `cursor`.
    EdgeRecord Record(std::vector<PipelineVertex>& list, int cursor) const
    {
        return {list.data(), kept, cursor, edgeRows};
    }
    PipelineVertex& Entry(std::vector<PipelineVertex>& list, int k)
    {
        assert(k >= kept.first && k < kept.end);
        return list[static_cast<std::size_t>(k - kept.first)];
    }
};

template <class Kind>
class ObservedFragments;
template <class Kind>
class FragmentsFrom;

// Whether fragments are observed: those of a draw (ObservedFragments), or of
// one walk or one triangle's spans in it (FragmentsFrom).
template <class Fragments>
constexpr bool kIsObserved = false;
template <class Kind>
constexpr bool kIsObserved<ObservedFragments<Kind>> = true;
template <class Kind>
constexpr bool kIsObserved<FragmentsFrom<Kind>> = true;

// Scan conversion of one draw, for fragments of one kind: the edge walks and
// the span fills, writing the pixels of a band's box (the whole frame buffer,
// or the part of it that one thread converts) alone. A pixel outside the box
// writes nothing, so a walk or span passes over such pixels without visiting
// them; the others keep their parameter t. Observed fragments count those it
// passes over on the band's rows, and an observed draw walks each edge and
// fills the spans with fragments told where they come from.
template <class Fragments>
class ScanConversion {
public:
    ScanConversion(EdgeLists& lists, Fragments& fragments, FrameBuffer& target, bool fill);
    ScanConversion(EdgeLists& lists, Fragments& fragments, FrameBuffer& target, bool fill,
                   const Band& band);

    // PrepareEdges, the three walks and, when filling, FillSpans: triangle
    // `id`, whose corners are sorted by row.
    void Draw(const ScreenTriangle& triangle, TriangleId id = {});
    // Walks from a to b, shading every pixel inside the box and recording into
    // `record`; returns the cursor after the walk.
    int WalkEdge(const PipelineVertex& a, const PipelineVertex& b, bool coloursDiffer,
                 const EdgeRecord& record);
    // The spans of entries first .. end - 1 of the edge lists.
    void FillSpans(int first, int end);

    // The fragment stage it shades with.
    Fragments& FragmentStage() { return fragments; }

private:
    EdgeLists& lists;
    Fragments& fragments;
    FrameBuffer& target;
    PixelBox box;
    RowRange countedRows;  // an observed draw counts the fragments of these rows
    bool fill;

    void RecordRowsOutside(const EdgeSteps& steps, const FragmentEnds& ends,
                           const EdgeRecord& record, StepRange inside);
    void FillSpan(const PipelineVertex& left, const PipelineVertex& right);
    // walk(scan) with this scan conversion, or in an observed draw, with one
    // whose fragments come from `source` of triangle `id`.
    template <class Walk>
    int WithFragmentsFrom(TriangleId id, FragmentSource source, Walk walk);
};
