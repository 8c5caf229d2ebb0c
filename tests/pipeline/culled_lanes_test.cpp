#include "pipeline/culled_lanes.h"

#include <gtest/gtest.h>

#include "awkward_floats.h"
#include "math/matrix4.h"
#include "model/vertex_array.h"
#include "pipeline/corner_cache.h"
#include "pipeline/draw_setup.h"
#include "pipeline/face_walk.h"
#include "render/render_context.h"

namespace {

// Positions mostly ordinary, now and then awkward (infinities, NaNs, zeros
// of both signs, denormals).
VertexArray Positions(AwkwardFloats& value, int32_t count)
{
    VertexArray vertices;
    vertices.Configure(nullptr, ATTRIB_POSITION, 12, count);
    for (int32_t i = 0; i < count; ++i) {
        const float p[3] = {value.Mostly(20), value.Mostly(20), value.Mostly(20)};
        vertices.SetAttribute(p, ATTRIB_POSITION, i);
    }
    return vertices;
}

bool SameFloats(const Vector4& a, const Vector4& b, int& nanChoices)
{
    const float fa[4] = {a.x, a.y, a.z, a.w}, fb[4] = {b.x, b.y, b.z, b.w};
    return SameBitsButNaNs(fa, fb, 4, nanChoices);
}

// Batches of every size, through lanes of 4 and of 8, against FacesTheEye
// on each face alone: the same world face to the bit, the same verdict.
TEST(CulledLanes, LanesCullEveryFaceAsOneFaceAloneIsCulled)
{
    AwkwardFloats value(3);
    RenderContext context;
    const VertexArray vertices = Positions(value, 40);
    const CornerFetch fetch(vertices, ATTRIB_POSITION);
    int compared = 0, front = 0, back = 0, nanChoices = 0;
    for (int trial = 0; trial < 400; ++trial) {
        DrawSetup setup(context, Material());
        setup.model = MatrixColumns(AwkwardMatrix(value, 3.0f));
        setup.eye =
            Vector3(value.Mostly(10) * 5.0f, value.Mostly(10) * 5.0f, value.Mostly(10) * 5.0f);
        setup.clockwise = value.Below(2) == 0;
        setup.normalize = value.Below(3) == 0;
        setup.cullFace = value.Below(5) != 0;
        TriangleBatch batch;
        const int count = 1 + static_cast<int>(value.Below(TriangleBatch::kSize));
        for (int k = 0; k < count; ++k) {
            const int32_t fan[3] = {static_cast<int32_t>(value.Below(40)),
                                    static_cast<int32_t>(value.Below(40)),
                                    static_cast<int32_t>(value.Below(40))};
            // A degenerate face's normal is zero: it faces the eye exactly edge on.
            const Vector3 normal =
                value.Below(6) == 0 ? Vector3(0.0f, 0.0f, 0.0f)
                                    : Vector3(value.Mostly(20), value.Mostly(20), value.Mostly(20));
            batch.Add(fetch, fan, normal, {trial, k});
        }
        const TriangleStage stage(setup);
        for (const int width : {4, 8}) {
            TriangleBatch culled = batch;
            if (!CullBatchWithLanes(width, setup, culled)) continue;  // AVX2 only where it is
            ++compared;
            for (int k = 0; k < count; ++k) {
                FaceInWorld alone =
                    ObjectFace(fetch, batch.fan[k],
                               Vector3(batch.normal[0][k], batch.normal[1][k], batch.normal[2][k]));
                const bool facesTheEye = stage.FacesTheEye(alone);
                const FaceInWorld lanes = culled.WorldFace(k);
                ASSERT_EQ(culled.front[k], facesTheEye) << "width " << width << ", trial " << trial;
                ASSERT_TRUE(SameFloats(lanes.centroid, alone.centroid, nanChoices) &&
                            SameFloats(lanes.normal, alone.normal, nanChoices))
                    << "width " << width << ", trial " << trial << ", face " << k;
                (facesTheEye ? front : back)++;
            }
        }
    }
    EXPECT_GE(compared, 400);
    EXPECT_GT(front, 200);  // both verdicts are met
    EXPECT_GT(back, 200);
}

}  // namespace
