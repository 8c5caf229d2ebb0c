#include "pipeline/culled_lanes.h"

#include <cstring>

#include "math/lanes.h"
#include "pipeline/corner_cache.h"
#include "pipeline/draw_setup.h"

namespace {

using BatchCuller = void (*)(const DrawSetup&, TriangleBatch&);

template <class F>
F Load(const float* from)
{
    F v;
    std::memcpy(&v, from, sizeof v);
    return v;
}

template <class F>
void Store(float* to, F v)
{
    std::memcpy(to, &v, sizeof v);
}

// Triangles first .. first + W - 1 of the batch, lane k for triangle first +
// k, through the steps of TriangleStage::FacesTheEye, each lane taking
// exactly one face's operations. Lanes past the batch's end work on what
// the arrays hold there, and are not read.
template <int W>
void CullLanes(const DrawSetup& setup, TriangleBatch& b, int first)
{
    using F = FloatLanes<W>;
    // The centroid, as Centroid sums it: (0 + a + b + c) times the
    // reciprocal of 3.
    F sum[3];
    for (int axis = 0; axis < 3; ++axis) {
        sum[axis] = Broadcast<F>(0.0f);
        for (int c = 0; c < 3; ++c)
            sum[axis] = sum[axis] + Load<F>(&b.position[c][axis][first]);
    }
    const float third = 1.0f / 3.0f;
    F centroid[4];
    setup.model.TransformLanes(sum[0] * third, sum[1] * third, sum[2] * third, Broadcast<F>(1.0f),
                               centroid);
    F n[3];
    setup.model.TransformDirectionLanes(Load<F>(&b.normal[0][first]), Load<F>(&b.normal[1][first]),
                                        Load<F>(&b.normal[2][first]), n);
    if (setup.clockwise)
        for (F& axis : n)
            axis = axis * -1.0f;
    for (int axis = 0; axis < 4; ++axis)
        Store(&b.centroid[axis][first], centroid[axis]);
    for (int axis = 0; axis < 3; ++axis)
        Store(&b.worldNormal[axis][first], n[axis]);
    if (setup.normalize) {  // seldom: a lane at a time
        for (int k = first; k < first + W; ++k) {
            Vector3 v(b.worldNormal[0][k], b.worldNormal[1][k], b.worldNormal[2][k]);
            v.Normalize();
            b.worldNormal[0][k] = v.x;
            b.worldNormal[1][k] = v.y;
            b.worldNormal[2][k] = v.z;
        }
        for (int axis = 0; axis < 3; ++axis)
            n[axis] = Load<F>(&b.worldNormal[axis][first]);
    }
    // (eye - centroid) . normal, summed x, y, z.
    const F facing = (setup.eye.x - centroid[0]) * n[0] + (setup.eye.y - centroid[1]) * n[1] +
                     (setup.eye.z - centroid[2]) * n[2];
    const IntLanes<W> drawn = facing >= 0.0f;
    for (int k = 0; k < W; ++k)
        b.front[first + k] = !setup.cullFace || drawn[k] != 0;
}

template <int W>
void CullBatchIn(const DrawSetup& setup, TriangleBatch& batch)
{
    for (int first = 0; first < batch.count; first += W)
        CullLanes<W>(setup, batch, first);
}

FOUR_LANES_FUNCTION void CullBatchIn4Lanes(const DrawSetup& setup, TriangleBatch& batch)
{
    CullBatchIn<4>(setup, batch);
}

EIGHT_LANES_FUNCTION void CullBatchIn8Lanes(const DrawSetup& setup, TriangleBatch& batch)
{
    CullBatchIn<8>(setup, batch);
}

constexpr LaneVariants<BatchCuller> kCullers{CullBatchIn4Lanes, CullBatchIn8Lanes};

}  // namespace

void CullBatch(const DrawSetup& setup, TriangleBatch& batch)
{
    static const BatchCuller kCuller = kCullers.OfWidth(WidestLanes());
    kCuller(setup, batch);
}

bool CullBatchWithLanes(int width, const DrawSetup& setup, TriangleBatch& batch)
{
    return kCullers.Call(width, setup, batch);
}
