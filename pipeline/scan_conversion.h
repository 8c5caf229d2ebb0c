#pragma once

#include <algorithm>
#include <cassert>
#include <vector>

#include "pipeline/edge_steps.h"
#include "pipeline/pipeline_vertex.h"

class FrameBuffer;
struct FragmentEnds;
struct ScreenTriangle;

// The scan conversion's working state: the edge lists of the triangle being
// drawn. Their storage is kept from triangle to triangle: the walks write
// every entry that FillSpans reads.
struct EdgeLists {
    std::vector<PipelineVertex> chainEdges;  // the two edges through the middle corner
    std::vector<PipelineVertex> longEdges;   // the edge from top corner to bottom corner
    int edgeRows = 0;                        // entry k describes row (top row + 1 + k)

    // Room for `rows` entries in each list.
    void Prepare(int rows);
};

// Where a walk records the first pixel of each row it reaches after its
// first: into entries[cursor], entries[cursor + 1], ..., while the index
// stays below `limit`, and only for rows of `rows` (the rows that spans
// fill). Without entries it records nothing.
struct EdgeRecord {
    PipelineVertex* entries = nullptr;
    int cursor = 0;
    int limit = 0;
    PixelBox rows = kEveryPixel;  // only its rows matter

    // The entry at `index`, or null when there is none to record.
    PipelineVertex* At(int index) const
    {
        assert(index >= 0);
        if (entries == nullptr || index >= limit) return nullptr;
        return entries + index;
    }
    // The walk's new rows (the k-th one, k = 1, 2, ..., row ya + sy k) that it
    // records.
    StepRange NewRows(const EdgeSteps& steps) const;
    // The cursor once a walk of `steps` has recorded.
    int CursorAfter(const EdgeSteps& steps) const
    {
        if (entries == nullptr) return cursor;
        return cursor + std::min(steps.RowsReached(), std::max(limit - cursor, 0));
    }
};

// Scan conversion of one draw, for fragments of one kind: the edge walks and
// the span fills, writing the pixels of `box` (the frame buffer) alone. A
// pixel outside the box writes nothing, so a walk or span passes over such
// pixels without visiting them; the others keep their parameter t.
template <class Fragments>
class ScanConversion {
public:
    ScanConversion(EdgeLists& lists, Fragments& fragments, FrameBuffer& target, bool fill);

    // PrepareEdges, the three walks and, when filling, FillSpans: a triangle
    // whose corners are sorted by row.
    void Draw(const ScreenTriangle& triangle);
    // Walks from a to b, shading every pixel inside the box and recording into
    // `record`; returns the cursor after the walk.
    int WalkEdge(const PipelineVertex& a, const PipelineVertex& b, bool coloursDiffer,
                 const EdgeRecord& record);
    // The spans of entries first .. end - 1 of the edge lists.
    void FillSpans(int first, int end);

private:
    EdgeLists& lists;
    Fragments& fragments;
    FrameBuffer& target;
    PixelBox box;
    bool fill;

    void RecordRowsOutside(const EdgeSteps& steps, const FragmentEnds& ends,
                           const EdgeRecord& record, StepRange inside);
    void FillSpan(const PipelineVertex& left, const PipelineVertex& right);
};
