#include "pipeline/projected_lanes.h"

#include "math/lanes.h"
#include "pipeline/corner_cache.h"
#include "pipeline/draw_setup.h"

namespace {

using RangeProjector = void (*)(const DrawSetup&, const CornerFetch&, int32_t, int32_t,
                                ProjectedCorner*);

// Whether each lane's v lies in [low, high]: all bits set where it does
// (never for a lane that is not a number).
template <class F>
auto InRangeLanes(F v, float low, float high)
{
    return (v >= low) & (v <= high);
}

// W vertices from `first` on, lane k for vertex first + k, through the steps
// of TriangleStage::ProjectCorner, each lane taking exactly one vertex's
// operations; a branch of the one-vertex steps is a choice between lanes.
template <int W>
void ProjectLanes(const DrawSetup& setup, const CornerFetch& fetch, int32_t first,
                  ProjectedCorner* out)
{
    using F = FloatLanes<W>;
    using I = IntLanes<W>;
    F x, y, z;
    for (int k = 0; k < W; ++k) {
        float p[3];
        fetch.PositionAsFetched(first + k, p);
        x[k] = p[0];
        y[k] = p[1];
        z[k] = p[2];
    }
    const F one = Broadcast<F>(1.0f);
    F clip[4];
    setup.modelViewProjection.TransformLanes(x, y, z, one, clip);
    // The divide by w, of x and y alone, where w is not 0.
    const I divided = clip[3] != Broadcast<F>(0.0f);
    const F r = one / clip[3];
    const F nx = divided ? clip[0] * r : clip[0];
    const F ny = divided ? clip[1] * r : clip[1];
    const I inside = (InRangeLanes(clip[2], setup.zNear, setup.zFar) & int32_t{kDepthInside}) |
                     (InRangeLanes(nx, -1.0f, 1.0f) & int32_t{kXInside}) |
                     (InRangeLanes(ny, -1.0f, 1.0f) & int32_t{kYInside});
    F window[4];
    setup.viewport.TransformLanes(nx, ny, clip[2], one, window);
    // Within the band (a number no farther out than the limit), a coordinate
    // is snapped to its whole pixel; only those are converted to int.
    const I withinBand = InRangeLanes(window[0], -kMaxWindowCoordinate, kMaxWindowCoordinate) &
                         InRangeLanes(window[1], -kMaxWindowCoordinate, kMaxWindowCoordinate);
    const auto snapped = [&](F v) {
        const I whole = __builtin_convertvector(withinBand ? v : Broadcast<F>(0.0f), I) + 1;
        return withinBand ? __builtin_convertvector(whole, F) : v;
    };
    const F wx = snapped(window[0]), wy = snapped(window[1]);
    for (int k = 0; k < W; ++k)
        out[k] = {wx[k],
                  wy[k],
                  window[2][k],
                  clip[3][k],
                  static_cast<uint8_t>(inside[k]),
                  withinBand[k] != 0};
}

template <int W>
void ProjectRangeIn(const DrawSetup& setup, const CornerFetch& fetch, int32_t first, int32_t end,
                    ProjectedCorner* out)
{
    int32_t v = first;
    for (; end - v >= W; v += W)
        ProjectLanes<W>(setup, fetch, v, out + (v - first));
    const TriangleStage stage(setup);
    for (; v < end; ++v)
        out[v - first] = stage.ProjectCorner(fetch.PositionAsFetched(v));
}

FOUR_LANES_FUNCTION void ProjectRangeIn4Lanes(const DrawSetup& setup, const CornerFetch& fetch,
                                              int32_t first, int32_t end, ProjectedCorner* out)
{
    ProjectRangeIn<4>(setup, fetch, first, end, out);
}

EIGHT_LANES_FUNCTION void ProjectRangeIn8Lanes(const DrawSetup& setup, const CornerFetch& fetch,
                                               int32_t first, int32_t end, ProjectedCorner* out)
{
    ProjectRangeIn<8>(setup, fetch, first, end, out);
}

constexpr LaneVariants<RangeProjector> kProjectors{ProjectRangeIn4Lanes, ProjectRangeIn8Lanes};

}  // namespace

void ProjectVertexRange(const DrawSetup& setup, const CornerFetch& fetch, int32_t first,
                        int32_t end, ProjectedCorner* out)
{
    static const RangeProjector kProjector = kProjectors.OfWidth(WidestLanes());
    kProjector(setup, fetch, first, end, out);
}

bool ProjectVertexRangeWithLanes(int width, const DrawSetup& setup, const CornerFetch& fetch,
                                 int32_t first, int32_t end, ProjectedCorner* out)
{
    return kProjectors.Call(width, setup, fetch, first, end, out);
}
