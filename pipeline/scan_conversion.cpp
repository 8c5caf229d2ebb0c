#include <cmath>
#include <utility>

#include "pipeline/draw_setup.h"
#include "pipeline/fragment_stage.h"
#include "render/render_context.h"

int edgeCursor = 0;

namespace {

// Whether two colours differ at 8-bit precision. Equal floats pack alike
// (flat shading gives a row's two ends one colour), so they are not packed.
bool PackDifferently(const Color& a, const Color& b)
{
    if (a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a) return false;
    return a != b;
}

// Bresenham's walk from one pixel to another: one pixel per step along the
// major axis (x when dy < dx), the minor axis stepping when the decision
// value is not negative.
class EdgeSteps {
public:
    EdgeSteps(int xa, int ya, int xb, int yb) : x(xa), y(ya)
    {
        int dx = xb - xa, dy = yb - ya, sx = 1, sy = 1;
        if (dx < 0) {
            dx = -dx;
            sx = -1;
        }
        if (dy < 0) {
            dy = -dy;
            sy = -1;
        }
        const bool xMajor = dy < dx;
        steps = xMajor ? dx : dy;
        const int across = xMajor ? dy : dx;
        e = 2 * across - steps;
        eMinor = 2 * (across - steps);
        eMajor = 2 * across;
        majorX = xMajor ? sx : 0;
        majorY = xMajor ? 0 : sy;
        minorX = xMajor ? 0 : sx;
        minorY = xMajor ? sy : 0;
    }
    void Next()
    {
        const bool stepMinor = e >= 0;
        e += stepMinor ? eMinor : eMajor;
        x += majorX + (stepMinor ? minorX : 0);
        y += majorY + (stepMinor ? minorY : 0);
    }

    int x, y;   // the current pixel
    int steps;  // pixels after the first

private:
    int e, eMinor, eMajor, majorX, majorY, minorX, minorY;
};

}  // namespace

void TriangleRasterizer::PrepareEdges()
{
    // The walks compare corner colours at 8-bit precision: packed once per
    // triangle (by RasterizeTriangle from the corners' cache, or here).
    if (!cornerARGBKnown)
        for (int k = 0; k < 3; ++k)
            cornerARGB[k] = vertices[k].color.ToARGB();
    cornerARGBKnown = false;
    // Three compare-exchanges; corners on equal rows keep their order.
    const auto sortPair = [this](int i, int j) {
        if (vertices[j].windowPos.y < vertices[i].windowPos.y) {
            SwapVertices(vertices[i], vertices[j]);
            std::swap(cornerARGB[i], cornerARGB[j]);
        }
    };
    sortPair(1, 2);
    sortPair(0, 1);
    sortPair(1, 2);
    edgeRows = static_cast<int>(std::fabs(vertices[2].windowPos.y - vertices[0].windowPos.y));
    // The lists keep their storage from triangle to triangle: the three walks
    // write every one of the edgeRows entries before FillSpans reads them.
    const std::size_t rows = static_cast<std::size_t>(edgeRows);
    if (chainEdges.size() < rows) {
        chainEdges.resize(rows);
        longEdges.resize(rows);
    }
    // Nothing changes the context while a triangle is drawn (nor during a draw).
    if (!drawSetUp) {
        mode = CurrentFragmentMode();
        if (mode.lightPerPixel) lighting = GatherLighting(context, material);
    }
}

uint32_t TriangleRasterizer::PackedColor(const PipelineVertex& v) const
{
    for (int k = 0; k < 3; ++k)
        if (&v == &vertices[k]) return cornerARGB[k];
    return v.color.ToARGB();
}

void TriangleRasterizer::WalkEdge(PipelineVertex& a, PipelineVertex& b, int list)
{
    if (mode.lightPerPixel || mode.texturing)
        WalkEdgeFragments<false>(a, b, list);
    else
        WalkEdgeFragments<true>(a, b, list);
    if (!drawSetUp) LightQueuedFragments();  // a caller outside a draw may read the pixels now
}

void TriangleRasterizer::FillSpans()
{
    if (mode.lightPerPixel || mode.texturing)
        FillSpanFragments<false>();
    else
        FillSpanFragments<true>();
    if (!drawSetUp) LightQueuedFragments();
}

template <bool kColourOnly>
void TriangleRasterizer::WalkEdgeFragments(PipelineVertex& a, PipelineVertex& b, int list)
{
    std::vector<PipelineVertex>* edges = nullptr;
    if (list == 1) edges = &chainEdges;
    if (list == 2) {
        edges = &longEdges;
        edgeCursor = 0;
    }
    const int xa = static_cast<int>(a.windowPos.x), ya = static_cast<int>(a.windowPos.y);
    const int xb = static_cast<int>(b.windowPos.x), yb = static_cast<int>(b.windowPos.y);
    EdgeSteps pixel(xa, ya, xb, yb);
    const int steps = pixel.steps;
    const FragmentEnds ends(a, b, PackedColor(a) != PackedColor(b));
    // An edge whose ends share a pixel has no steps: t = 0, never 0 / 0.
    const auto parameter = [steps](int i) {
        return steps == 0 ? 0.0f : static_cast<float>(i) / static_cast<float>(steps);
    };
    // Bresenham keeps to the box of the two ends: with both inside the frame
    // buffer, every pixel is.
    FrameBuffer& fb = context.frameBuffer;
    const bool inside = fb.Contains(xa, ya) && fb.Contains(xb, yb);
    const auto pixelAt = [&](int x, int y) { return inside ? &fb.At(x, y) : fb.Find(x, y); };
    // The cursor and the list's entries in locals, so that the compiler need
    // not reload them after every write.
    PipelineVertex* const entries = edges != nullptr ? edges->data() : nullptr;
    const int entryLimit = edges != nullptr ? edgeRows : 0;
    int cursor = edgeCursor, yPrevious = ya;
    // A fragment is recorded on the first pixel of each new row, while the
    // list has room.
    const auto records = [entryLimit](int y, int& previous, int& position) {
        if (y == previous || position >= entryLimit) return false;
        previous = y;
        ++position;
        return true;
    };
    for (int i = 0; i <= steps; ++i, pixel.Next()) {
        const float t = parameter(i);
        Pixel* const target = pixelAt(pixel.x, pixel.y);
        if (kColourOnly) {
            ShadeFragment<true>(mode, a, b, ends, target, t, nullptr);
            if (!records(pixel.y, yPrevious, cursor)) continue;
        } else {
            // A recorded fragment's entry takes what the spans will read of it.
            const bool recorded = records(pixel.y, yPrevious, cursor);
            ShadeFragment<false>(mode, a, b, ends, target, t,
                                 recorded ? &entries[cursor - 1] : nullptr);
            if (!recorded) continue;
        }
        PipelineVertex& entry = entries[cursor - 1];
        if (kColourOnly) entry.color = ends.ColorAt(t);  // colour-only spans read nothing else
        entry.windowPos = Vector4(static_cast<float>(pixel.x), static_cast<float>(pixel.y),
                                  ends.Depth(t), (1.0f - t) * a.windowPos.w + t * b.windowPos.w);
    }
    edgeCursor = list == 2 ? 0 : cursor;
}

template <bool kColourOnly>
void TriangleRasterizer::FillSpanFragments()
{
    for (int k = 0; k < edgeRows; ++k) {
        const PipelineVertex& left = chainEdges[static_cast<std::size_t>(k)];
        const PipelineVertex& right = longEdges[static_cast<std::size_t>(k)];
        const int xl = static_cast<int>(left.windowPos.x);
        const int row = static_cast<int>(left.windowPos.y);
        const int xr = static_cast<int>(right.windowPos.x);
        const int n = std::abs(xl - xr);
        const int step = left.windowPos.x > right.windowPos.x ? -1 : 1;
        if (n <= 1) continue;
        // Only the pixels strictly between the two recorded edge pixels.
        const FragmentEnds ends(left, right, PackDifferently(left.color, right.color));
        const auto parameter = [n](int i) { return static_cast<float>(i) / static_cast<float>(n); };
        // Strictly between two pixels inside the buffer lies nothing outside
        // it: the row's pixels are then found by stepping from the left end.
        FrameBuffer& fb = context.frameBuffer;
        Pixel* const leftEnd =
            fb.Contains(xl, row) && fb.Contains(xr, row) ? &fb.At(xl, row) : nullptr;
        const auto pixelOf = [&](int i) {
            return leftEnd != nullptr ? leftEnd + i * step : fb.Find(xl + i * step, row);
        };
        const FragmentMode rowMode = mode;  // a local copy stays in registers
        for (int i = 1; i < n; ++i)
            ShadeFragment<kColourOnly>(rowMode, left, right, ends, pixelOf(i), parameter(i),
                                       nullptr);
    }
}
