// Scene set-up: what SetupScene prints and what it leaves in the
// process-wide render context.
#include "app/scene_setup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/frame_presenter.h"
#include "app_test_support.h"
#include "model/model.h"
#include "render/render_context.h"

namespace {

using app_test::AsciiPly;
using app_test::SceneTest;

// d = r / tan(0.6041524723549063) in double, stored as a float.
float Distance(double halfExtent)
{
    return static_cast<float>(halfExtent / std::tan(0.6041524723549063));
}

void ExpectPoint(const Vector4& p, float x, float y, float z, float w)
{
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.z, z);
    EXPECT_EQ(p.w, w);
}

using SceneSetup = SceneTest;

TEST_F(SceneSetup, CentredUnitBoxPrintsDistanceAndCentreAndPlacesTheCamera)
{
    const std::string out = SetUpBox({-1, -1, -1}, {1, 1, 1});
    EXPECT_EQ(out, "distance : 1.44875\ncentre : (0, 0, 0)\n");
    const RenderContext& c = RenderContext::Instance();
    const float d = Distance(1.0);
    EXPECT_NEAR(d, 1.44875f, 1e-5f);
    ExpectPoint(c.camera.eye, d, d, d, 1.0f);
    ExpectPoint(c.camera.target, 0.0f, 0.0f, 0.0f, 1.0f);
    ExpectPoint(c.lights[0].light.position, d, d * 0.5f, d, 1.0f);
}

TEST_F(SceneSetup, OffCentreBoxAimsTheCameraAtTheBoxCentre)
{
    const std::string out = SetUpBox({-1, 0, -2}, {3, 1, 2});
    EXPECT_EQ(out, "distance : 2.8975\ncentre : (1, 0.5, 0)\n");
    const RenderContext& c = RenderContext::Instance();
    const float d = Distance(2.0);
    EXPECT_NEAR(d, 2.8975f, 1e-5f);
    ExpectPoint(c.camera.eye, d, d, d, 1.0f);
    ExpectPoint(c.camera.target, 1.0f, 0.5f, 0.0f, 1.0f);
    ExpectPoint(c.lights[0].light.position, d, d * 0.5f, d, 1.0f);
    EXPECT_NEAR(c.lights[0].light.position.y, 1.44875f, 1e-5f);
}

TEST_F(SceneSetup, SingleVertexMeshGivesDistanceZero)
{
    const std::string path = WriteFile("point.ply", AsciiPly({{2.0f, -3.0f, 0.5f}}, {}));
    app_test::CaptureStdout out;
    SetupScene(path.c_str());
    EXPECT_EQ(out.Text(), "distance : 0\ncentre : (2, -3, 0.5)\n");
    const RenderContext& c = RenderContext::Instance();
    ExpectPoint(c.camera.eye, 0.0f, 0.0f, 0.0f, 1.0f);
    ExpectPoint(c.camera.target, 2.0f, -3.0f, 0.5f, 1.0f);
    ExpectPoint(c.lights[0].light.position, 0.0f, 0.0f, 0.0f, 1.0f);
}

TEST_F(SceneSetup, CameraLensIsFixed)
{
    SetUpBox({-1, -1, -1}, {1, 1, 1});
    const Camera& camera = RenderContext::Instance().camera;
    EXPECT_EQ(camera.aspect, 1.0f);
    EXPECT_EQ(camera.fov, 0.7853982f);
    EXPECT_EQ(camera.zNear, 0.1f);
    EXPECT_EQ(camera.zFar, 1000.0f);
    // Same matrices as a camera built directly with up (0, 0, 1).
    const float d = Distance(1.0);
    const Camera expected(Vector3(d, d, d), Vector3(0, 0, 0), Vector3(0, 0, 1), 1.0f, 0.7853982f);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(camera.view.m[i], expected.view.m[i]) << i;
        EXPECT_EQ(camera.projection.m[i], expected.projection.m[i]) << i;
    }
}

TEST_F(SceneSetup, LeavesLightingAndLightZeroOff)
{
    SetUpBox({-1, -1, -1}, {1, 1, 1});
    const RenderContext& c = RenderContext::Instance();
    EXPECT_FALSE(c.IsEnabled(RC_LIGHT0));
    EXPECT_FALSE(c.IsEnabled(RC_LIGHTING));
}

TEST_F(SceneSetup, WritesTheDefaultModes)
{
    SetUpBox({-1, -1, -1}, {1, 1, 1});
    const RenderContext& c = RenderContext::Instance();
    EXPECT_EQ(c.frontFace, RC_CCW);
    EXPECT_EQ(c.polygonMode, RC_FILL);
    EXPECT_EQ(c.shadeModel, RC_GOURAUD);
    EXPECT_TRUE(c.IsEnabled(RC_CULL_FACE));
    EXPECT_TRUE(c.IsEnabled(RC_DEPTH_TEST));
}

TEST_F(SceneSetup, GivesTheContextAClearedFrameBufferAndItsViewport)
{
    RenderContext& c = RenderContext::Instance();
    c.frameBuffer = FrameBuffer(2, 2, Color(1, 0, 0, 1));  // whatever an earlier test left
    SetUpBox({-1, -1, -1}, {1, 1, 1});
    ASSERT_EQ(c.frameBuffer.width, 480);
    ASSERT_EQ(c.frameBuffer.height, 480);
    ASSERT_EQ(c.frameBuffer.pixels.size(), 480u * 480u);
    EXPECT_EQ(c.frameBuffer.clearColor.ToARGB(), 0xFF000000u);
    for (const Pixel& p : c.frameBuffer.pixels) {
        ASSERT_EQ(p.color.ToARGB(), 0xFF000000u);
        ASSERT_EQ(p.depth, CLEAR_DEPTH);
    }
    // Viewport (0, 0, 480, 480, 0, 1).
    EXPECT_EQ(c.viewportMatrix(0, 0), 240.0f);
    EXPECT_EQ(c.viewportMatrix(0, 3), 240.0f);
    EXPECT_EQ(c.viewportMatrix(1, 1), -240.0f);
    EXPECT_EQ(c.viewportMatrix(1, 3), 240.0f);
    EXPECT_EQ(c.viewportMatrix(2, 2), 1.0f);
    EXPECT_EQ(c.viewportMatrix(2, 3), 0.0f);
}

TEST_F(SceneSetup, LightZeroTakesTheLightDefaultsBesidesItsPosition)
{
    SetUpBox({-1, -1, -1}, {1, 1, 1});
    const Light& light = RenderContext::Instance().lights[0].light;
    const Light defaults;
    EXPECT_EQ(light.diffuse.ToARGB(), defaults.diffuse.ToARGB());
    EXPECT_EQ(light.specular.ToARGB(), defaults.specular.ToARGB());
    EXPECT_EQ(light.ambient.ToARGB(), defaults.ambient.ToARGB());
    EXPECT_EQ(light.shininess, defaults.shininess);
    EXPECT_EQ(light.constantAttenuation, defaults.constantAttenuation);
    EXPECT_EQ(light.linearAttenuation, defaults.linearAttenuation);
    EXPECT_EQ(light.quadraticAttenuation, defaults.quadraticAttenuation);
    EXPECT_EQ(light.shadowMap.width, 0);
}

TEST_F(SceneSetup, CreatesModelAndPresenterBoundToTheContext)
{
    SetUpBox({-1, -1, -1}, {1, 1, 1});
    ASSERT_NE(gModel, nullptr);
    EXPECT_EQ(gModel->vertices.count, 8);
    EXPECT_EQ(gModel->faces.count, 12);
    ASSERT_NE(gPresenter, nullptr);
    EXPECT_EQ(gPresenter->context, &RenderContext::Instance());
}

TEST(DefaultMaterial, IsBuiltBeforeMainAsSpecified)
{
    EXPECT_EQ(gDefaultMaterial.emission.ToARGB(), Color(0, 0, 0, 1).ToARGB());
    EXPECT_EQ(gDefaultMaterial.ambient.r, 0.2f);
    EXPECT_EQ(gDefaultMaterial.ambient.g, 0.2f);
    EXPECT_EQ(gDefaultMaterial.ambient.b, 0.2f);
    EXPECT_EQ(gDefaultMaterial.ambient.a, 1.0f);
    for (const Color& c : {gDefaultMaterial.diffuse, gDefaultMaterial.specular}) {
        EXPECT_EQ(c.r, 1.0f);
        EXPECT_EQ(c.g, 1.0f);
        EXPECT_EQ(c.b, 1.0f);
        EXPECT_EQ(c.a, 1.0f);
    }
    EXPECT_EQ(gDefaultMaterial.shininess, 5.0f);
}

}  // namespace
