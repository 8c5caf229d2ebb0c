#include "math/camera.h"

#include <gtest/gtest.h>

namespace {

TEST(Camera, DefaultLooksAlongZFromTheOrigin)
{
    const Camera c;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(c.view.m[i], Matrix4().m[i]) << i;
        EXPECT_EQ(c.viewProjection.m[i], c.projection.m[i]) << i;
    }
    EXPECT_EQ(c.forward.z, 1.0f);
    EXPECT_EQ(c.up.y, 1.0f);
    EXPECT_EQ(c.aspect, 1.0f);
    EXPECT_EQ(c.fov, 0.7853982f);
    EXPECT_EQ(c.zNear, 0.1f);
    EXPECT_EQ(c.zFar, 1000.0f);
}

TEST(Camera, ProjectionKeepsUnitBottomRightAndLinearDepth)
{
    const Camera c;
    EXPECT_EQ(c.projection(3, 3), 1.0f);
    EXPECT_EQ(c.projection(3, 2), 1.0f);
    EXPECT_NEAR(c.projection(1, 1), 2.41421f, 1e-5f);
    EXPECT_NEAR(c.projection(2, 2), 1.0001f, 1e-6f);
    EXPECT_NEAR(c.projection(2, 3), -0.10001f, 1e-6f);
    EXPECT_NEAR(Transform({0, 0, 0.1f, 1}, c.projection).z, 0.0f, 1e-5f);
    EXPECT_NEAR(Transform({0, 0, 1000, 1}, c.projection).z, 1000.0f, 1e-3f);
}

TEST(Camera, ClipPointOfTheOriginSeenFromMinusFive)
{
    const Camera c(Vector3(0, 0, -5), Vector3(0, 0, 0), Vector3(0, 1, 0), 1, 0.7853982f);
    const Vector4 clip = Transform({0, 0, 0, 1}, c.GetViewProjection());
    EXPECT_NEAR(clip.x, 0, 1e-6f);
    EXPECT_NEAR(clip.y, 0, 1e-6f);
    EXPECT_NEAR(clip.z, 4.90049f, 1e-5f);
    EXPECT_NEAR(clip.w, 6.0f, 1e-6f);
}

TEST(Camera, UpIsRecomputedPerpendicularToForward)
{
    const Camera c(Vector3(0, 0, 0), Vector3(0, 0, 1), Vector3(0, 2, 1), 1, 0.7853982f);
    EXPECT_NEAR(c.up.x, 0, 1e-7f);
    EXPECT_NEAR(c.up.y, 1, 1e-7f);
    EXPECT_NEAR(c.up.z, 0, 1e-7f);
    EXPECT_NEAR(c.view(0, 0), 1, 1e-7f);  // right = (1, 0, 0)
}

TEST(Camera, ViewMatrixMovesTheEyeToTheOrigin)
{
    const Camera c(Vector3(3, 4, 5), Vector3(0, 0, 0), Vector3(0, 0, 1), 1, 0.7853982f);
    const Vector4 e = Transform({3, 4, 5, 1}, c.GetView());
    EXPECT_NEAR(e.x, 0, 1e-5f);
    EXPECT_NEAR(e.y, 0, 1e-5f);
    EXPECT_NEAR(e.z, 0, 1e-5f);
    const Vector4 t = Transform({0, 0, 0, 1}, c.GetView());
    EXPECT_NEAR(t.z, std::sqrt(50.0f), 1e-5f);  // the target lies ahead, at positive z
}

}  // namespace
