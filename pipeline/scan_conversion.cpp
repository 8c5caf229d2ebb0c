#include "pipeline/scan_conversion.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "pipeline/fragment_stage.h"
#include "pipeline/observed_fragments.h"
#include "pipeline/triangle_stage.h"
#include "render/frame_buffer.h"

namespace {

// An entry's window position: the recorded pixel, and depth and clip w
// interpolated along the edge.
void PlaceEntry(PipelineVertex& entry, int x, int y, const FragmentEnds& ends, float t)
{
    entry.windowPos = Vector4(static_cast<float>(x), static_cast<float>(y), ends.Depth(t),
                              (1.0f - t) * ends.a.windowPos.w + t * ends.b.windowPos.w);
}

// The steps 1 .. n - 1 of a span from column xl (step +1 or -1) whose pixel
// lies in columns left .. right - 1.
StepRange SpanSteps(int xl, int step, int n, int left, int right)
{
    const int first = step > 0 ? left - xl : xl - (right - 1);
    const int end = step > 0 ? right - xl : xl - left + 1;
    return {std::max(first, 1), std::min(end, n)};
}

// The pixels of a walk's steps `range`, all inside the frame buffer, in
// walking order: each is shaded, and the first of each new row recorded. The
// walk is stepped in place (not copied: a copy would read back in one piece
// what the set-up has just written field by field, and wait for it).
template <class Fragments>
void WalkPixels(Fragments& fragments, FrameBuffer& frameBuffer, EdgeSteps& pixel,
                const FragmentEnds& ends, const EdgeRecord& record, StepRange range)
{
    if (range.first >= range.end) return;
    // The row of the step before, and the place of its entry.
    int row = range.first > 0 ? pixel.RowAt(range.first - 1) : pixel.ya;
    int place = record.PlaceOf(record.cursor + std::abs(row - pixel.ya) - 1);
    if (range.first > 0) pixel.JumpTo(range.first);
    for (int i = range.first; i < range.end; ++i, pixel.Next()) {
        const float t = pixel.Parameter(i);
        Pixel* const target = &frameBuffer.At(pixel.x, pixel.y);
        if (pixel.y == row) {
            fragments.Shade(ends, target, t, nullptr);
            continue;
        }
        row = pixel.y;
        PipelineVertex* const recorded = record.At(++place);
        fragments.Shade(ends, target, t, recorded);
        if (recorded != nullptr) PlaceEntry(*recorded, pixel.x, pixel.y, ends, t);
    }
}

}  // namespace

void EdgeLists::Prepare(int rows, StepRange keep)
{
    edgeRows = rows;
    kept = keep;
    const std::size_t size = static_cast<std::size_t>(std::max(keep.end - keep.first, 0));
    if (chainEdges.size() < size) {
        chainEdges.resize(size);
        longEdges.resize(size);
    }
}

StepRange EdgeRecord::NewRows(const EdgeSteps& steps) const
{
    if (entries == nullptr) return {1, 1};
    const int first = std::max(kept.first - cursor + 1, 1);
    return {first, std::max(std::min(kept.end - cursor, steps.RowsReached()) + 1, first)};
}

template <class Fragments>
ScanConversion<Fragments>::ScanConversion(EdgeLists& lists, Fragments& fragments,
                                          FrameBuffer& target, bool fill)
    : ScanConversion(lists, fragments, target, fill, Band::Whole(target.width, target.height))
{
}

template <class Fragments>
ScanConversion<Fragments>::ScanConversion(EdgeLists& lists, Fragments& fragments,
                                          FrameBuffer& target, bool fill, const Band& band)
    : lists(lists),
      fragments(fragments),
      target(target),
      box(band.box),
      countedRows(band.rows),
      fill(fill)
{
}

template <class Fragments>
void ScanConversion<Fragments>::Draw(const ScreenTriangle& triangle, TriangleId id)
{
    const PipelineVertex* v = triangle.corners;
    const uint32_t* packed = triangle.packedColors;
    const int top = static_cast<int>(v[0].windowPos.y);
    const int rows = static_cast<int>(std::fabs(v[2].windowPos.y - v[0].windowPos.y));
    // Entry k describes row top + 1 + k: only the box's rows are kept and
    // filled, but an observed draw keeps every row of its band, to count the
    // fragments of every span. The records take the range from here, not
    // from the lists: read back at once right after it was stored in two
    // parts, it would be waited for.
    const RowRange kept = kIsObserved<Fragments> ? countedRows : RowRange{box.top, box.bottom};
    const int first = std::max(kept.top - top - 1, 0);
    const int end = std::min(kept.bottom - top - 1, rows);
    const StepRange keep = {first, std::max(end, first)};
    lists.Prepare(rows, keep);
    const EdgeRecord chain = {lists.chainEdges.data(), keep, 0, rows};
    const int cursor = WithFragmentsFrom(id, FragmentSource::kEdge1, [&](auto& scan) {
        return scan.WalkEdge(v[0], v[1], ColorsDiffer(packed[0], packed[1]), chain);
    });
    WithFragmentsFrom(id, FragmentSource::kEdge2, [&](auto& scan) {
        return scan.WalkEdge(v[1], v[2], ColorsDiffer(packed[1], packed[2]),
                             {chain.entries, keep, cursor, rows});
    });
    WithFragmentsFrom(id, FragmentSource::kLong, [&](auto& scan) {
        return scan.WalkEdge(v[0], v[2], ColorsDiffer(packed[0], packed[2]),
                             {lists.longEdges.data(), keep, 0, rows});
    });
    assert(cursor <= lists.edgeRows);  // the first chain walk records rows top + 1 .. middle
    if (!fill) return;
    WithFragmentsFrom(id, FragmentSource::kSpan, [&](auto& scan) {
        scan.FillSpans(keep.first, keep.end);
        return 0;
    });
}

template <class Fragments>
template <class Walk>
int ScanConversion<Fragments>::WithFragmentsFrom([[maybe_unused]] TriangleId id,
                                                 [[maybe_unused]] FragmentSource source, Walk walk)
{
    if constexpr (kIsObserved<Fragments>) {
        auto from = fragments.From(id, source);
        ScanConversion<decltype(from)> scan(lists, from, target, fill, {box, countedRows});
        return walk(scan);
    } else {
        return walk(*this);
    }
}

template <class Fragments>
int ScanConversion<Fragments>::WalkEdge(const PipelineVertex& a, const PipelineVertex& b,
                                        bool coloursDiffer, const EdgeRecord& record)
{
    const int xa = static_cast<int>(a.windowPos.x), ya = static_cast<int>(a.windowPos.y);
    const int xb = static_cast<int>(b.windowPos.x), yb = static_cast<int>(b.windowPos.y);
    EdgeSteps steps(xa, ya, xb, yb);
    const FragmentEnds ends(a, b, coloursDiffer);
    // With both ends inside the box every pixel is: the walk keeps to the box
    // of its ends.
    const bool endsInside = box.Contains(xa, ya) && box.Contains(xb, yb);
    const StepRange inside = endsInside ? StepRange{0, steps.steps + 1} : steps.Within(box);
    WalkPixels(fragments, target, steps, ends, record, inside);
    if (!endsInside) RecordRowsOutside(steps, ends, record, inside);
    if constexpr (kIsObserved<Fragments>) {
        const StepRange counted =
            steps.Within({INT_MIN, countedRows.top, INT_MAX, countedRows.bottom});
        fragments.PassOver(std::max(counted.end - counted.first, 0) -
                           std::max(inside.end - inside.first, 0));
    }
    return record.CursorAfter(steps);
}

// The recorded rows whose first pixel lies outside the box (outside
// `inside`): recorded without a write, since spans may still fill their row
// inside it.
template <class Fragments>
void ScanConversion<Fragments>::RecordRowsOutside(const EdgeSteps& steps, const FragmentEnds& ends,
                                                  const EdgeRecord& record, StepRange inside)
{
    const StepRange rows = record.NewRows(steps);
    for (int k = rows.first; k < rows.end; ++k) {
        const int i = steps.FirstStepOnRow(steps.ya + steps.sy * k);
        if (i >= inside.first && i < inside.end) continue;  // recorded by WalkPixels
        EdgeSteps pixel = steps;
        pixel.JumpTo(i);
        PipelineVertex* const entry = record.At(record.PlaceOf(record.cursor + k - 1));
        const float t = steps.Parameter(i);
        fragments.Shade(ends, nullptr, t, entry);
        PlaceEntry(*entry, pixel.x, pixel.y, ends, t);
    }
}

template <class Fragments>
void ScanConversion<Fragments>::FillSpans(int first, int end)
{
    for (int k = first; k < end; ++k)
        FillSpan(lists.Entry(lists.chainEdges, k), lists.Entry(lists.longEdges, k));
}

// The pixels strictly between a row's two recorded edge pixels, from the left
// entry (t = 0) to the right one (t = 1), within the box.
template <class Fragments>
void ScanConversion<Fragments>::FillSpan(const PipelineVertex& left, const PipelineVertex& right)
{
    const int xl = static_cast<int>(left.windowPos.x);
    const int row = static_cast<int>(left.windowPos.y);
    const int xr = static_cast<int>(right.windowPos.x);
    const int n = std::abs(xl - xr);
    const int step = left.windowPos.x > right.windowPos.x ? -1 : 1;
    if (n <= 1) return;
    if (row < box.top || row >= box.bottom) {
        if constexpr (kIsObserved<Fragments>) fragments.PassOver(n - 1);
        return;
    }
    const StepRange range = SpanSteps(xl, step, n, box.left, box.right);
    if constexpr (kIsObserved<Fragments>)
        fragments.PassOver(n - 1 - std::max(range.end - range.first, 0));
    if (range.first >= range.end) return;
    const FragmentEnds ends(left, right, ColorsDiffer(left.color, right.color));
    ShadeSpan(fragments, ends, &target.At(xl + range.first * step, row), step, range, n);
}

template class ScanConversion<InterpolatedFragments>;
template class ScanConversion<TexturedFragments>;
template class ScanConversion<LitFragments>;
template class ScanConversion<VertexColorLitFragments>;
// An observed draw converts whole triangles (Draw), walking each edge and
// filling the spans with fragments of their own (FragmentsFrom).
template <class Kind>
using ObservedScan = ScanConversion<ObservedFragments<Kind>>;
#define OBSERVED_SCAN(Kind)                                                           \
    template ObservedScan<Kind>::ScanConversion(EdgeLists&, ObservedFragments<Kind>&, \
                                                FrameBuffer&, bool);                  \
    template ObservedScan<Kind>::ScanConversion(EdgeLists&, ObservedFragments<Kind>&, \
                                                FrameBuffer&, bool, const Band&);     \
    template void ObservedScan<Kind>::Draw(const ScreenTriangle&, TriangleId)
OBSERVED_SCAN(InterpolatedFragments);
OBSERVED_SCAN(TexturedFragments);
OBSERVED_SCAN(LitFragments);
OBSERVED_SCAN(VertexColorLitFragments);
