#include <cmath>
#include <utility>

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
        if (mode.lightPerPixel) lighting = LightingSetup(context, material);
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
}

void TriangleRasterizer::FillSpans()
{
    if (mode.lightPerPixel || mode.texturing)
        FillSpanFragments<false>();
    else
        FillSpanFragments<true>();
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
    int dx = xb - xa, dy = yb - ya, sx = 1, sy = 1;
    if (dx < 0) {
        dx = -dx;
        sx = -1;
    }
    if (dy < 0) {
        dy = -dy;
        sy = -1;
    }

    // Bresenham: one pixel per step along the major axis (x when dy < dx),
    // the minor axis stepping when the decision value is not negative.
    int x = xa, y = ya, yPrevious = ya;
    const FragmentEnds ends(a, b, PackedColor(a) != PackedColor(b));
    FragmentOutputs outputs;
    const bool xMajor = dy < dx;
    const int steps = xMajor ? dx : dy;
    const int across = xMajor ? dy : dx;
    int e = 2 * across - steps;
    // An edge whose ends share a pixel has no steps: t = 0, never 0 / 0.
    const auto parameter = [steps](int i) {
        return steps == 0 ? 0.0f : static_cast<float>(i) / static_cast<float>(steps);
    };
    if (!kColourOnly && mode.lightPerPixel) {
        fragmentT.resize(static_cast<std::size_t>(steps) + 1);
        for (int i = 0; i <= steps; ++i)
            fragmentT[static_cast<std::size_t>(i)] = parameter(i);
        LightFragments(a, b, steps + 1, mode.cartoon);
    }
    // Bresenham keeps to the box of the two ends: with both inside the frame
    // buffer, every pixel is.
    FrameBuffer& fb = context.frameBuffer;
    const bool inside = fb.Contains(xa, ya) && fb.Contains(xb, yb);
    const LitFragment* lit = LitAhead<kColourOnly>(mode);
    // The cursor and the list's entries in locals, so that the compiler need
    // not reload them after every write.
    PipelineVertex* const entries = edges != nullptr ? edges->data() : nullptr;
    const int entryLimit = edges != nullptr ? edgeRows : 0;
    int cursor = edgeCursor;
    // One step along the major axis, and the extra step across it.
    const int majorX = xMajor ? sx : 0, majorY = xMajor ? 0 : sy;
    const int minorX = xMajor ? 0 : sx, minorY = xMajor ? sy : 0;
    for (int i = 0; i <= steps; ++i) {
        const float t = parameter(i);
        ShadeFragment<kColourOnly>(mode, a, b, ends, inside ? &fb.At(x, y) : fb.Find(x, y), t,
                                   kColourOnly ? nullptr : &outputs,
                                   lit != nullptr ? lit + i : nullptr);
        if (y != yPrevious && cursor < entryLimit) {
            PipelineVertex& entry = entries[cursor];
            entry.color = kColourOnly ? ends.ColorAt(t) : outputs.color;
            // Colour-only spans read nothing else of the entries.
            if (!kColourOnly) {
                entry.normal = outputs.normal;
                entry.position = outputs.position;
                entry.texCoord = outputs.texCoord;
            }
            entry.windowPos = Vector4(static_cast<float>(x), static_cast<float>(y), ends.Depth(t),
                                      (1.0f - t) * a.windowPos.w + t * b.windowPos.w);
            yPrevious = y;
            ++cursor;
        }
        const bool stepMinor = e >= 0;
        e += stepMinor ? 2 * (across - steps) : 2 * across;
        x += majorX + (stepMinor ? minorX : 0);
        y += majorY + (stepMinor ? minorY : 0);
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
        if (!kColourOnly && mode.lightPerPixel) {
            fragmentT.resize(static_cast<std::size_t>(n) - 1);
            for (int i = 1; i < n; ++i)
                fragmentT[static_cast<std::size_t>(i) - 1] = parameter(i);
            LightFragments(left, right, n - 1, mode.cartoon);
        }
        // Strictly between two pixels inside the buffer lies nothing outside
        // it: the row's pixels are then found by stepping from the left end.
        FrameBuffer& fb = context.frameBuffer;
        Pixel* const leftEnd =
            fb.Contains(xl, row) && fb.Contains(xr, row) ? &fb.At(xl, row) : nullptr;
        const LitFragment* lit = LitAhead<kColourOnly>(mode);
        const FragmentMode rowMode = mode;  // a local copy stays in registers
        for (int i = 1; i < n; ++i) {
            Pixel* pixel = leftEnd != nullptr ? leftEnd + i * step : fb.Find(xl + i * step, row);
            ShadeFragment<kColourOnly>(rowMode, left, right, ends, pixel, parameter(i), nullptr,
                                       lit != nullptr ? lit + i - 1 : nullptr);
        }
    }
}
