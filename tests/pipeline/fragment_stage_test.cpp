#include <gtest/gtest.h>

#include <cmath>

#include "pipeline/texture_image.h"
#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"

namespace {

// A 4 x 4 texture whose texel (column i, row j) has red i / 4 and green j / 4.
TextureImage Ramp()
{
    std::vector<Color> texels;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            texels.emplace_back(i / 4.0f, j / 4.0f, 1.0f, 1.0f);
    return TextureImage(4, 4, texels);
}

TEST(TextureImage, NegativeCoordinatesMirrorAboutZero)
{
    const TextureImage t = Ramp();
    EXPECT_EQ(t.Sample(-0.25f, 0.5f).r, t.Sample(0.25f, 0.5f).r);
    EXPECT_EQ(t.Sample(0.5f, -0.75f).g, t.Sample(0.5f, 0.75f).g);
}

TEST(TextureImage, WholeCoordinatesWrapToTheFirstTexel)
{
    const TextureImage t = Ramp();
    EXPECT_EQ(t.Sample(1.0f, 0).r, 0.0f);
    EXPECT_EQ(t.Sample(2.0f, 0).r, 0.0f);
    EXPECT_EQ(t.Sample(0, 3.0f).g, 0.0f);
}

TEST(TextureImage, LastColumnAndRowAreNeverReachedFromFiniteCoordinates)
{
    const TextureImage t = Ramp();
    EXPECT_EQ(t.Sample(0.99999994f, 0.99999994f).r, 0.5f);  // column 2 of 0..3
    EXPECT_EQ(t.Sample(0.99999994f, 0.99999994f).g, 0.5f);
    EXPECT_EQ(t.Sample(0.34f, 0).r, 0.25f);  // 3 x 0.34 = 1.02 -> column 1
}

TEST(TextureImage, CoordinatesThatAreNotFiniteSampleTheFirstTexel)
{
    const TextureImage t = Ramp();
    for (float bad : {NAN, INFINITY, -INFINITY}) {
        EXPECT_EQ(t.Sample(bad, 0.5f).g, 0.0f);
        EXPECT_EQ(t.Sample(0.5f, bad).r, 0.0f);
    }
}

TEST(TextureImage, MismatchedTexelCountGivesAnEmptyImage)
{
    const TextureImage t(3, 3, std::vector<Color>(4));
    EXPECT_EQ(t.width, 0);
    EXPECT_EQ(t.Sample(0.5f, 0.5f).ToARGB(), Color().ToARGB());
}

class FragmentStageTest : public ::testing::Test {
protected:
    RenderContext context;
    TriangleRasterizer rasterizer{context};
    TextureImage texture = Ramp();
    PipelineVertex a, b;

    void SetUp() override
    {
        context.SetFrameBuffer(FrameBuffer(4, 4, Color(0, 0, 0, 1)));
        a.windowPos = Vector4(0, 0, 1, 1);
        b.windowPos = Vector4(3, 0, 4, 1);
        a.texCoord = Vector4(0.3f, 0.6f, 0, 1);
        b.texCoord = Vector4(0.3f, 0.6f, 0, 1);
    }

    Color Shade(float t, Vector4* texCoord = nullptr)
    {
        Color out;
        rasterizer.ShadeFragment(a, b, 1, 1, t, nullptr, nullptr, &out, texCoord);
        return out;
    }
};

TEST_F(FragmentStageTest, EqualPackedColoursAreNotInterpolated)
{
    a.color = Color(0.5f, 0.5f, 0.5f, 1);
    b.color = Color(0.501f, 0.5f, 0.5f, 1);  // packs the same
    EXPECT_EQ(Shade(0.7f).r, 0.5f);
    b.color = Color(1, 0.5f, 0.5f, 1);
    EXPECT_FLOAT_EQ(Shade(0.5f).r, 0.75f);
}

TEST_F(FragmentStageTest, TexelModulatesOrReplacesButNeverUnderGouraud)
{
    a.color = b.color = Color(0.5f, 0.5f, 0.5f, 1);
    context.texture = &texture;
    context.Enable(RC_TEXTURE_2D);
    context.shadeModel = RC_GOURAUD;
    EXPECT_EQ(Shade(0.5f).g, 0.5f);
    context.shadeModel = RC_FLAT;
    const Color c = Shade(0.5f);  // texel (0, 0.25, 1, 1): column 0, row 1
    EXPECT_EQ(c.r, 0.0f);
    EXPECT_EQ(c.g, 0.5f * 0.25f);
    EXPECT_EQ(c.b, 0.5f);
}

TEST_F(FragmentStageTest, ReplaceTakesTheTexelAsIs)
{
    a.color = b.color = Color(0.5f, 0.5f, 0.5f, 1);
    context.texture = &texture;
    context.Enable(RC_TEXTURE_2D);
    context.shadeModel = RC_REPLACE;
    const Color c = Shade(0.5f);
    EXPECT_EQ(c.r, 0.0f);   // column 3 x 0.3 = 0.9 -> 0
    EXPECT_EQ(c.g, 0.25f);  // row 3 x 0.6 = 1.8 -> 1
    EXPECT_EQ(c.b, 1.0f);
}

TEST_F(FragmentStageTest, TextureCoordinateIsPerspectiveCorrect)
{
    context.texture = &texture;
    context.Enable(RC_TEXTURE_2D);
    context.shadeModel = RC_REPLACE;
    a.texCoord = Vector4(0, 0, 0, 1);
    b.texCoord = Vector4(1, 0, 0, 1);
    a.windowPos.w = 1;
    b.windowPos.w = 3;
    Vector4 tc;
    Shade(0.5f, &tc);
    // t' = t wa / ((wa - wb) t + wb) = 0.5 / 2 = 0.25
    EXPECT_FLOAT_EQ(tc.x, 0.25f);
    a.windowPos.w = 0;
    b.windowPos.w = 0;  // zero denominator: the screen-space parameter stands in
    Shade(0.5f, &tc);
    EXPECT_FLOAT_EQ(tc.x, 0.5f);
}

TEST_F(FragmentStageTest, PerPixelLightingIgnoresVertexColours)
{
    context.Enable(RC_LIGHTING);
    context.Enable(RC_LIGHT0);
    context.shadeModel = RC_PHONG;
    a.normal = b.normal = Vector3(0, 0, 1);
    a.color = Color(1, 0, 0, 1);
    b.color = Color(0, 1, 0, 1);
    const Color lit = Shade(0.3f);
    a.color = b.color = Color(0, 0, 1, 1);
    EXPECT_FALSE(Shade(0.3f) != lit);
    context.shadeModel = RC_CARTOON;
    EXPECT_TRUE(Shade(0.3f) != lit);
}

TEST_F(FragmentStageTest, OutputsAreHandedBackEvenWhenTheDepthTestFails)
{
    context.frameBuffer.WritePixelDepthTested(1, 1, Color(0, 0, 0, 1), 0.0f);
    a.color = b.color = Color(1, 1, 1, 1);
    EXPECT_EQ(Shade(0.5f).r, 1.0f);
    EXPECT_EQ(context.frameBuffer.pixels[5].color.r, 0.0f);
    // Off-screen pixels hand back their values too.
    Color out;
    Vector4 position(9, 9, 9, 9);
    rasterizer.ShadeFragment(a, b, -5, 99, 0.5f, &position, nullptr, &out, nullptr);
    EXPECT_EQ(out.r, 1.0f);
    EXPECT_EQ(position.x, 0.0f);  // not computed without per-pixel lighting: the default
    EXPECT_EQ(position.w, 1.0f);
}

}  // namespace
