#include "pipeline/projected_lanes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "awkward_floats.h"
#include "math/matrix4.h"
#include "model/vertex_array.h"
#include "pipeline/corner_cache.h"
#include "pipeline/draw_setup.h"
#include "render/render_context.h"

namespace {

// Positions of every kind: ordinary ones, ones that land on the window
// band's edge or just beyond it, on the view volume's faces, at clip w = 0,
// and awkward floats (infinities, NaNs, zeros, denormals).
VertexArray AwkwardPositions(AwkwardFloats& value, int32_t count)
{
    VertexArray vertices;
    vertices.Configure(nullptr, ATTRIB_POSITION, 12, count);
    for (int32_t i = 0; i < count; ++i) {
        float p[3];
        for (float& c : p) {
            switch (value.Below(6)) {
                case 0:
                    c = value();
                    break;
                case 1:
                    c = (value.Uniform() - 0.5f) * 4e4f;  // far beyond the band
                    break;
                case 2:
                    c = static_cast<float>(static_cast<int>(value.Below(5)) - 2) * 0.5f;
                    break;
                default:
                    c = value.Mostly(50);
            }
        }
        vertices.SetAttribute(p, ATTRIB_POSITION, i);
    }
    return vertices;
}

// An awkward matrix whose last row is zero one time in four: clip w is 0.
MatrixColumns AwkwardProjection(AwkwardFloats& value)
{
    Matrix4 m = AwkwardMatrix(value, 300.0f);
    if (value.Below(4) == 0)
        for (int col = 0; col < 4; ++col)
            m(3, col) = 0.0f;
    return MatrixColumns(m);
}

bool SameCorner(const ProjectedCorner& a, const ProjectedCorner& b, int& nanChoices)
{
    const float fa[4] = {a.x, a.y, a.z, a.w}, fb[4] = {b.x, b.y, b.z, b.w};
    return SameBitsButNaNs(fa, fb, 4, nanChoices) && a.inside == b.inside &&
           a.withinBand == b.withinBand;
}

// Every width against ProjectCorner, vertex by vertex, over ranges of every
// length (whole lanes and a part) from every offset.
void ExpectLanesProjectAsOneCornerDoes(const DrawSetup& setup, const CornerFetch& fetch,
                                       int32_t count, int& compared)
{
    const TriangleStage stage(setup);
    int nanChoices = 0;
    for (const int width : {4, 8}) {
        for (const auto& [first, end] : {std::pair{0, count}, {3, count - 2}, {5, 6}, {1, 12}}) {
            std::vector<ProjectedCorner> lanes(static_cast<std::size_t>(end - first));
            if (!ProjectVertexRangeWithLanes(width, setup, fetch, first, end, lanes.data()))
                continue;  // AVX2 only where the processor has it
            ++compared;
            for (int32_t v = first; v < end; ++v) {
                const ProjectedCorner alone = stage.ProjectCorner(fetch.PositionAsFetched(v));
                ASSERT_TRUE(
                    SameCorner(lanes[static_cast<std::size_t>(v - first)], alone, nanChoices))
                    << "width " << width << ", vertex " << v << " of " << first << " .. " << end;
            }
        }
    }
}

TEST(ProjectedLanes, LanesProjectEveryVertexAsOneCornerAloneIsProjected)
{
    AwkwardFloats value(5);
    RenderContext context;
    int compared = 0, withinBand = 0, outside = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const VertexArray vertices = AwkwardPositions(value, 61);
        DrawSetup setup(context, Material());
        if (trial % 3 != 0) {  // the context's own matrices a third of the time
            setup.modelViewProjection = AwkwardProjection(value);
            setup.viewport = AwkwardProjection(value);
            setup.zNear = value.Mostly(8);
            setup.zFar = setup.zNear + value.Uniform() * 100.0f;
        }
        const CornerFetch fetch(vertices, ATTRIB_POSITION);
        ExpectLanesProjectAsOneCornerDoes(setup, fetch, vertices.count, compared);
        const TriangleStage stage(setup);
        for (int32_t v = 0; v < vertices.count; ++v)
            (stage.ProjectCorner(fetch.PositionAsFetched(v)).withinBand ? withinBand : outside)++;
    }
    EXPECT_GE(compared, 300 * 4);
    EXPECT_GT(withinBand, 1000);  // both sides of the band are met
    EXPECT_GT(outside, 1000);
}

// Without positions in the mask every vertex projects the default position.
TEST(ProjectedLanes, WithoutPositionsEveryVertexProjectsTheDefaultPosition)
{
    AwkwardFloats value(9);
    const VertexArray vertices = AwkwardPositions(value, 20);
    RenderContext context;
    const DrawSetup setup(context, Material());
    const CornerFetch fetch(vertices, ATTRIB_NORMAL);
    int compared = 0;
    ExpectLanesProjectAsOneCornerDoes(setup, fetch, vertices.count, compared);
    EXPECT_GT(compared, 0);
    std::vector<ProjectedCorner> out(20);
    ProjectVertexRange(setup, fetch, 0, 20, out.data());
    const ProjectedCorner origin = TriangleStage(setup).ProjectCorner(PipelineVertex().position);
    int nanChoices = 0;
    for (const ProjectedCorner& p : out)
        EXPECT_TRUE(SameCorner(p, origin, nanChoices));
}

}  // namespace
