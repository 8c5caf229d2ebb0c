#include "render/render_context.h"

#include <gtest/gtest.h>

namespace {

TEST(RenderContext, FreshContextCullsAndDepthTestsOnly)
{
    const RenderContext c;
    EXPECT_TRUE(c.IsEnabled(RC_CULL_FACE));
    EXPECT_TRUE(c.IsEnabled(RC_DEPTH_TEST));
    for (int cap : {0, 1, 2, 3, 4, 5, 6, 7, 8, 18, 22, 25, 26})
        EXPECT_FALSE(c.IsEnabled(cap)) << cap;
    EXPECT_EQ(c.frontFace, RC_CCW);
    EXPECT_EQ(c.polygonMode, RC_FILL);
    EXPECT_EQ(c.shadeModel, RC_GOURAUD);
    EXPECT_EQ(c.shadowBias, 0.05f);
    EXPECT_EQ(c.attribMask, 0);
    EXPECT_EQ(c.frameBuffer.width, 0);
}

TEST(RenderContext, ModeValuesAndUnknownIdsAreNotCapabilities)
{
    RenderContext c;
    const int notCapabilities[] = {10, 11, 13, 14, 15, 16, 17, 19, 20, 21, 23, 24, 27, 1000, -1};
    for (int id : notCapabilities) {
        c.Enable(id);
        EXPECT_FALSE(c.IsEnabled(id)) << id;
    }
    for (int cap = 0; cap <= 8; ++cap)
        EXPECT_FALSE(c.IsEnabled(cap));
    EXPECT_FALSE(c.IsEnabled(RC_LIGHTING));
}

TEST(RenderContext, EnableTurnsOnExactlyTheNamedCapability)
{
    RenderContext c;
    c.Enable(RC_LIGHT0 + 4);
    EXPECT_TRUE(c.lights[4].enabled);
    EXPECT_FALSE(c.IsEnabled(RC_LIGHT0 + 3));
    c.Enable(RC_SHADOW);
    EXPECT_TRUE(c.IsEnabled(RC_SHADOW));
    EXPECT_FALSE(c.IsEnabled(RC_TEXTURE_2D));
}

TEST(RenderContext, SetLightDoesNotEnableTheSlot)
{
    RenderContext c;
    c.SetLight(0, Light(Vector4(1, 2, 3, 1)));
    EXPECT_FALSE(c.IsEnabled(RC_LIGHT0));
    EXPECT_EQ(c.lights[0].light.GetPosition().y, 2.0f);
    c.Enable(RC_LIGHT0);
    EXPECT_TRUE(c.IsEnabled(RC_LIGHT0));
}

TEST(RenderContext, ViewportOfA480BufferMapsTheUnitSquareToTheWindow)
{
    RenderContext c;
    c.SetFrameBuffer(FrameBuffer(480, 480, Color(0xFF000000u)));
    const float expected[16] = {240, 0, 0, 240, 0, -240, 0, 240, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(c.viewportMatrix.m[i], expected[i]) << i;
    EXPECT_EQ(c.frameBuffer.width, 480);
}

TEST(RenderContext, ModelViewProjectionFollowsCameraAndModelMatrix)
{
    RenderContext c;
    const Camera cam(Vector3(3, 4, 5), Vector3(0, 0, 0), Vector3(0, 0, 1), 1, 0.7853982f);
    Matrix4 model;
    model.SetRotation(0, 0, 30);
    c.SetModelMatrix(model);
    c.SetCamera(cam);
    const Matrix4 expected = Multiply(model, cam.GetViewProjection());
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(c.modelViewProjectionMatrix.m[i], expected.m[i]);
    c.SetModelMatrix(Matrix4());
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(c.modelViewProjectionMatrix.m[i], cam.GetViewProjection().m[i]);
}

TEST(RenderContext, InstanceIsOneObject)
{
    EXPECT_EQ(&RenderContext::Instance(), &RenderContext::Instance());
}

}  // namespace
