#include "lighting/light.h"
#include "lighting/material.h"

#include <gtest/gtest.h>

namespace {

TEST(Material, DefaultsAndConstructorKeepBlackEmission)
{
    const Material m;
    EXPECT_EQ(m.GetAmbient().ToARGB(), Color(0.2f, 0.2f, 0.2f, 1).ToARGB());
    EXPECT_EQ(m.GetDiffuse().r, 0.7f);
    EXPECT_EQ(m.shininess, 2.0f);
    const Material k(Color(1, 0, 0, 1), Color(0, 1, 0, 1), Color(0, 0, 1, 1), 7);
    EXPECT_EQ(k.GetEmission().ToARGB(), 0xFF000000u);
    EXPECT_EQ(k.GetSpecular().b, 1.0f);
    EXPECT_EQ(k.shininess, 7.0f);
}

TEST(Light, DefaultIsAWhitePointLightWithoutAttenuation)
{
    const Light l;
    EXPECT_EQ(l.GetPosition().x, 10.0f);
    EXPECT_EQ(l.GetPosition().w, 1.0f);
    EXPECT_EQ(l.GetDiffuse().ToARGB(), 0xFFFFFFFFu);
    EXPECT_EQ(l.GetSpecular().ToARGB(), 0xFFFFFFFFu);
    EXPECT_EQ(l.shininess, 30.0f);
    EXPECT_EQ(l.constantAttenuation + l.linearAttenuation + l.quadraticAttenuation, 0.0f);
    EXPECT_EQ(l.shadowMap.width, 0);
    EXPECT_EQ(l.shadowMap.GetDepth(0, 0), CLEAR_DEPTH);
}

TEST(Light, PositionConstructorChangesOnlyThePosition)
{
    const Light l(Vector4(1, 2, 3, 0));
    const Light d;
    EXPECT_EQ(l.GetPosition().z, 3.0f);
    EXPECT_EQ(l.GetPosition().w, 0.0f);
    EXPECT_EQ(l.shininess, d.shininess);
    EXPECT_EQ(l.GetAmbient().ToARGB(), d.GetAmbient().ToARGB());
}

TEST(Light, CopiesOwnTheirShadowMapAndEveryMember)
{
    Light a;
    a.shadowMap = FrameBuffer(4, 4, Color());
    a.emission = Color(0.5f, 0, 0, 1);
    a.shininess = 12;
    Light b;
    b = a;
    b.shadowMap.WritePixelDepthTested(1, 1, Color(), 3.0f);
    EXPECT_EQ(b.shadowMap.GetDepth(1, 1), 3.0f - 0.05f);
    EXPECT_EQ(a.shadowMap.GetDepth(1, 1), CLEAR_DEPTH);
    EXPECT_EQ(b.emission.r, 0.5f);
    EXPECT_EQ(b.shininess, 12.0f);
}

}  // namespace
