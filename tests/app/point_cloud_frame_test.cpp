// A point cloud read through the import, drawn by the frame cycle as the
// programs draw it: each point is a face (i, i, i), and the pipeline makes of
// it exactly one depth-tested pixel, where the point projects.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/app_test_support.h"
#include "app/frame_cycle.h"
#include "model/mesh_import.h"

namespace {

using app_test::SceneTest;

struct CloudPoint {
    float x, y, z;
    uint32_t argb;
};

// Spread so that no two share a pixel, and all in view.
const std::vector<CloudPoint> kPoints = {
    {1.0f, 0.0f, 0.0f, 0xFFFF0000u},   {-1.0f, 0.1f, 0.0f, 0xFF00FF00u},
    {0.0f, 0.3f, 0.2f, 0xFF0000FFu},   {0.4f, -0.2f, -0.3f, 0xFFFFFF00u},
    {-0.5f, -0.1f, 0.3f, 0xFF20A0E0u},
};

// An ASCII PLY of the points, their colours and normals towards the camera,
// which stands on the diagonal x = y = z.
std::string CloudPly()
{
    std::string ply = "ply\nformat ascii 1.0\nelement vertex " + std::to_string(kPoints.size()) +
                      "\nproperty float x\nproperty float y\nproperty float z\n"
                      "property float nx\nproperty float ny\nproperty float nz\n"
                      "property uchar red\nproperty uchar green\nproperty uchar blue\n"
                      "end_header\n";
    for (const CloudPoint& p : kPoints)
        ply += std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.z) +
               " 0.57735 0.57735 0.57735 " + std::to_string(p.argb >> 16 & 0xFF) + " " +
               std::to_string(p.argb >> 8 & 0xFF) + " " + std::to_string(p.argb & 0xFF) + "\n";
    return ply;
}

// Where the model's vertex lands, worked out here in double from the
// context's matrices: projected, divided by w, mapped to the 480 x 480 window
// (row 0 at the top) and truncated toward zero plus one. The points are
// chosen away from pixel borders, so double and the pipeline's float agree.
std::pair<int, int> ExpectedPixel(int32_t vertex)
{
    const Matrix4& m = RenderContext::Instance().modelViewProjectionMatrix;
    float p[3];
    gModel->vertices.GetAttribute(p, ATTRIB_POSITION, vertex);
    double clip[4];
    for (int row = 0; row < 4; ++row)
        clip[row] = m(row, 0) * double{p[0]} + m(row, 1) * double{p[1]} + m(row, 2) * double{p[2]} +
                    m(row, 3);
    const double x = 240.0 * clip[0] / clip[3] + 240.0;
    const double y = -240.0 * clip[1] / clip[3] + 240.0;
    EXPECT_GT(std::abs(x - std::round(x)), 1e-3) << "on a pixel border ";
    EXPECT_GT(std::abs(y - std::round(y)), 1e-3) << "on a pixel border";
    return {static_cast<int>(x) + 1, static_cast<int>(y) + 1};
}

class PointCloudFrame : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        MeshFraming fit;
        fit.fit = true;
        SetupScene(new Model(ImportMesh(WriteFile("cloud.ply", CloudPly()), fit)), nullptr);
    }

    // One frame at angle 0 in these modes, as the display callback draws it.
    const FrameBuffer& Draw(int32_t shadeModel, int32_t polygonMode, bool lit)
    {
        RenderContext& c = RenderContext::Instance();
        c.shadeModel = shadeModel;
        c.polygonMode = polygonMode;
        c.lighting = lit;
        c.Enable(RC_DEPTH_TEST);
        c.Enable(RC_LIGHT0);
        RenderFrameTimed(0.0f);
        return c.frameBuffer;
    }

    // The pixels whose depth was written.
    static std::set<std::pair<int, int>> Written(const FrameBuffer& fb)
    {
        std::set<std::pair<int, int>> written;
        for (int y = 0; y < fb.height; ++y)
            for (int x = 0; x < fb.width; ++x)
                if (fb.GetDepth(x, y) != CLEAR_DEPTH) written.insert({x, y});
        return written;
    }

    // The pixels of the vertices that project into the frame.
    static std::set<std::pair<int, int>> Expected()
    {
        std::set<std::pair<int, int>> expected;
        for (int32_t i = 0; i < gModel->vertices.count; ++i) {
            const std::pair<int, int> pixel = ExpectedPixel(i);
            if (RenderContext::Instance().frameBuffer.Contains(pixel.first, pixel.second))
                expected.insert(pixel);
        }
        return expected;
    }
};

struct Mode {
    const char* name;
    int32_t shadeModel;
    int32_t polygonMode;
};

const Mode kModes[] = {
    {"flat", RC_FLAT, RC_FILL},         {"gouraud", RC_GOURAUD, RC_FILL},
    {"phong", RC_PHONG, RC_FILL},       {"cartoon", RC_CARTOON, RC_FILL},
    {"flat lines", RC_FLAT, RC_LINE},   {"gouraud lines", RC_GOURAUD, RC_LINE},
    {"phong lines", RC_PHONG, RC_LINE}, {"cartoon lines", RC_CARTOON, RC_LINE},
};

// With the material's alpha at one half, a pixel written once holds half its
// opaque colour over the black background; a second write would add to it.
TEST_F(PointCloudFrame, EachPointLightsItsOwnPixelExactlyOnceInEveryShadeModel)
{
    ASSERT_EQ(Expected().size(), kPoints.size());
    const Material opaque = gDefaultMaterial;
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        gDefaultMaterial = opaque;
        const FrameBuffer solid = Draw(mode.shadeModel, mode.polygonMode, true);
        EXPECT_EQ(Written(solid), Expected());
        gDefaultMaterial.diffuse.a = 0.5f;
        const FrameBuffer& half = Draw(mode.shadeModel, mode.polygonMode, true);
        for (const auto& [x, y] : Expected()) {
            Color once = solid.At(x, y).color;
            ASSERT_NE(once.ToARGB() & 0xFFFFFFu, 0u) << x << ", " << y << " is black";
            once.a = 0.5f;
            EXPECT_EQ(half.At(x, y).color.ToARGB(), Mix(solid.clearColor, once, 0.5f).ToARGB())
                << x << ", " << y;
        }
    }
    gDefaultMaterial = opaque;
}

TEST_F(PointCloudFrame, UnlitPointsShowTheFilesColours)
{
    for (const int32_t polygonMode : {RC_FILL, RC_LINE}) {
        const FrameBuffer& fb = Draw(RC_GOURAUD, polygonMode, false);
        EXPECT_EQ(Written(fb), Expected());
        for (int32_t i = 0; i < gModel->vertices.count; ++i) {
            const auto [x, y] = ExpectedPixel(i);
            EXPECT_EQ(fb.At(x, y).color.ToARGB(), kPoints[i].argb) << x << ", " << y;
        }
    }
}

// Two points on one line of sight: whichever comes first in the file, the
// nearer one shows.
TEST_F(PointCloudFrame, TheNearerOfTwoPointsOnOnePixelShows)
{
    for (const bool nearFirst : {true, false}) {
        TearDown();
        SceneTest::SetUp();
        // far = c + 1.3 (near - c), c the centre of the lens (w = z + 1), a
        // unit behind the eye: 2.02610 on each axis.
        const std::string near = "0.3 0.2 0.1 255 0 0\n";
        const std::string far = "-0.21783 -0.34783 -0.47783 0 255 0\n";
        const std::string ply =
            "ply\nformat ascii 1.0\nelement vertex 4\nproperty float x\nproperty float y\n"
            "property float z\nproperty uchar red\nproperty uchar green\nproperty uchar blue\n"
            "end_header\n1 -1 1 9 9 9\n-1 1 -1 9 9 9\n" +
            (nearFirst ? near + far : far + near);
        SetupScene(new Model(ImportMesh(WriteFile("pair.ply", ply), MeshFraming{})), nullptr);
        const FrameBuffer& fb = Draw(RC_GOURAUD, RC_FILL, false);
        const int32_t nearVertex = nearFirst ? 2 : 3;
        const std::pair<int, int> pixel = ExpectedPixel(nearVertex);
        ASSERT_EQ(ExpectedPixel(5 - nearVertex), pixel);
        EXPECT_EQ(Written(fb), Expected());
        EXPECT_EQ(fb.At(pixel.first, pixel.second).color.ToARGB(), 0xFFFF0000u)
            << "near first: " << nearFirst;
    }
}

}  // namespace
