// Shadow pass: where a light's camera stands and what its depth map holds,
// seen through the shadow test of the lighting equations.
#include "app/shadow_pass.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "model/model.h"
#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"

namespace {

using app_test::Point;
using app_test::Triangle;

constexpr float kFov = 0.7853982f;

// Clip x and y divided by w, and the undivided depth, as the shadow test has them.
Vector4 Project(const Camera& camera, const Vector3& p)
{
    Vector4 q = Transform(Vector4(p.x, p.y, p.z, 1.0f), camera.GetViewProjection());
    q.DivideByW();
    return q;
}

// The map depth the shadow test reads for `p`: the same pixel mapping.
float DepthReadFor(const Light& light, const Vector3& p)
{
    const Vector4 q = Project(light.camera, p);
    const int w = light.shadowMap.width, h = light.shadowMap.height;
    const float sx = q.x / (2.0f / static_cast<float>(w)) + static_cast<float>(w / 2);
    const float sy = q.y / (-2.0f / static_cast<float>(h)) + static_cast<float>(h / 2);
    return light.shadowMap.GetDepth(static_cast<int>(sx), static_cast<int>(sy));
}

void ExpectFinite(const Matrix4& m)
{
    for (float e : m.m)
        EXPECT_TRUE(std::isfinite(e));
}

TEST(ShadowCamera, StandsAtTheLightLookingAtTheCentreWithTheVerticalUp)
{
    const Camera c = ShadowCamera(Vector3(3, 1, 4), Vector3(0.5f, 0, 1), 1.0f);
    EXPECT_EQ(c.GetEye().x, 3.0f);
    EXPECT_EQ(c.GetEye().y, 1.0f);
    EXPECT_EQ(c.GetEye().z, 4.0f);
    const Vector4 centre = Project(c, Vector3(0.5f, 0, 1));
    EXPECT_NEAR(centre.x, 0.0f, 1e-6f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-6f);
    EXPECT_EQ(c.aspect, 1.0f);
    // Up is (0, 0, 1): the view's x axis is horizontal and its y axis leans up.
    EXPECT_NEAR(c.view(0, 2), 0.0f, 1e-6f);
    EXPECT_GT(c.up.z, 0.0f);
    EXPECT_GT(Project(c, Vector3(0.5f, 0, 1.5f)).y, 0.0f);
}

TEST(ShadowCamera, LooksStraightDownWithAnotherUpInsteadOfDegenerating)
{
    for (const float tilt : {0.0f, 1e-5f}) {
        const Camera c = ShadowCamera(Vector3(tilt, 0, 5), Vector3(0, 0, 0), 1.0f);
        ExpectFinite(c.GetViewProjection());
        const Vector3 right(c.view(0, 0), c.view(0, 1), c.view(0, 2));
        EXPECT_NEAR(right.Length(), 1.0f, 1e-5f) << tilt;
        EXPECT_NEAR(std::fabs(right.x), 1.0f, 1e-4f) << tilt;
    }
}

TEST(ShadowCamera, LensHoldsTheWholeSphereWithLittleRoomToSpare)
{
    const Vector3 light(4, -2, 3), centre(0.5f, 0.5f, 1);
    const float radius = 1.5f;
    const Camera c = ShadowCamera(light, centre, radius);
    float widest = 0.0f;
    for (int i = 0; i < 2000; ++i) {
        // Points spread over the sphere (a spiral from pole to pole).
        const float z = 1.0f - 2.0f * (static_cast<float>(i) + 0.5f) / 2000.0f;
        const float ring = std::sqrt(1.0f - z * z), turn = 2.39996f * static_cast<float>(i);
        const Vector3 p =
            centre + Vector3(ring * std::cos(turn), ring * std::sin(turn), z) * radius;
        const Vector4 q = Project(c, p);
        widest = std::fmax(widest, std::fmax(std::fabs(q.x), std::fabs(q.y)));
    }
    EXPECT_LT(widest, 1.0f);
    EXPECT_GT(widest, 0.95f);
}

// The square (-1, -1) .. (1, 1) in the plane z = 1, tilted a little about x
// so that its depths differ from pixel to pixel.
const std::vector<Point> kPlate = {{-1, -1, 0.8f}, {1, -1, 0.8f}, {1, 1, 1.2f}, {-1, 1, 1.2f}};
const std::vector<Triangle> kPlateFaces = {{0, 1, 2}, {0, 2, 3}};

// A scene context with light 0 on and the shadow test switched on, and the
// plate loaded from an ASCII PLY file as the mesh.
class ShadowPassTest : public ::testing::Test {
protected:
    RenderContext scene;
    std::unique_ptr<Model> model;
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("shadow_pass_test_" + std::to_string(getpid()));

    void SetUp() override
    {
        std::filesystem::create_directories(dir);
        scene.SetCamera(Camera(Vector3(6, 6, 6), Vector3(0, 0, 0), Vector3(0, 0, 1), 1, kFov));
        scene.Enable(RC_LIGHT0);
        scene.Enable(RC_SHADOW);
        const std::string path = (dir / "plate.ply").string();
        std::ofstream(path) << app_test::AsciiPly(kPlate, kPlateFaces);
        model = std::make_unique<Model>(path);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    bool PassFrom(const Vector3& light)
    {
        scene.SetLight(0, Light(Vector4(light.x, light.y, light.z, 1.0f)));
        return RenderShadowMap(scene, 0, *model, Matrix4());
    }

    // Lit by light 0 when its contribution reaches the point, with the
    // normal turned toward the light.
    bool Lit(const Vector3& p)
    {
        Vector3 n = Vector3(scene.lights[0].light.GetPosition()) - p;
        n.Normalize();
        TriangleRasterizer rasterizer(scene);
        rasterizer.material = Material();
        PipelineVertex v;
        v.position = Vector4(p.x, p.y, p.z, 1.0f);
        v.normal = n;
        rasterizer.ComputeLighting(v);
        return v.color.r > 0.25f;  // ambient alone is 0.2
    }

    // The point on the ray from the light lens's centre of projection (one
    // unit behind the eye) through `p` at `depth`: it lands on `p`'s pixel.
    Vector3 OnTheSameRayAt(const Vector3& p, float depth)
    {
        const Camera& c = scene.lights[0].light.camera;
        const Vector3 apex = Vector3(c.GetEye()) - c.forward;
        const float d1 = Project(c, p).z, d2 = Project(c, apex + (p - apex) * 2.0f).z;
        return apex + (p - apex) * (1.0f + (depth - d1) / (d2 - d1));
    }
};

TEST_F(ShadowPassTest, TheShadowTestReadsEachCornersOwnDepth)
{
    // A corner is drawn into exactly its own pixel, so this finds a map that
    // lies one pixel off from where the shadow test looks.
    EXPECT_TRUE(PassFrom(Vector3(0.6f, 0.3f, 5)));
    const Light& light = scene.lights[0].light;
    EXPECT_EQ(light.shadowMap.width, 512);
    EXPECT_EQ(light.shadowMap.height, 512);
    for (const Point& p : kPlate) {
        const Vector3 corner(p[0], p[1], p[2]);
        EXPECT_NEAR(DepthReadFor(light, corner), Project(light.camera, corner).z, 1e-4f)
            << p[0] << ", " << p[1];
    }
}

TEST_F(ShadowPassTest, APointOnTheNearestSurfaceIsLitAndOnesBehindItAreShadowed)
{
    PassFrom(Vector3(0.6f, 0.3f, 5));
    const Vector3 onPlate(0.2f, -0.3f, 0.94f);
    EXPECT_TRUE(Lit(onPlate));
    // The map holds the surface's own depth, not the depth-tested write's
    // 0.05 less: depths interpolated linearly across the map only err on the
    // far side (by up to 0.03 here, mid-triangle). The test's 0.05 bias then
    // decides what lies just behind it.
    const Light& light = scene.lights[0].light;
    const float stored = DepthReadFor(light, onPlate), surface = Project(light.camera, onPlate).z;
    EXPECT_GT(stored, surface - 0.005f);
    EXPECT_LT(stored, surface + 0.05f);
    EXPECT_TRUE(Lit(OnTheSameRayAt(onPlate, stored + 0.05f - 1e-4f)));
    EXPECT_FALSE(Lit(OnTheSameRayAt(onPlate, stored + 0.05f + 1e-4f)));
    EXPECT_FALSE(Lit(Vector3(0.2f, -0.3f, 0)));  // well below the plate
    EXPECT_TRUE(Lit(Vector3(1.3f, 0, 0.5f)));    // beside the plate's shadow
}

TEST_F(ShadowPassTest, AnOpenSurfaceShadowsFromItsBackToo)
{
    // The plate's front faces up (or down, as the loader turns it); lit from
    // above or from below, it shadows what lies on its other side.
    for (const float side : {1.0f, -1.0f}) {
        PassFrom(Vector3(0.3f, 0.2f, 1 + 4 * side));
        EXPECT_FALSE(Lit(Vector3(0.1f, 0.1f, 1 - side))) << side;
        EXPECT_TRUE(Lit(Vector3(0.1f, 0.1f, 1 + side))) << side;
    }
}

TEST_F(ShadowPassTest, ALightInsideTheMeshsSphereGetsTheWidestLensAndIsReported)
{
    EXPECT_FALSE(PassFrom(Vector3(0, 0.2f, 1.5f)));
    const Camera& c = scene.lights[0].light.camera;
    EXPECT_NEAR(c.fov, 2.0943951f, 1e-6f);  // 120 degrees
    ExpectFinite(c.GetViewProjection());
}

}  // namespace
