#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>

#include "pipeline/draw_setup.h"
#include "pipeline/fragment_stage.h"
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

namespace {

// The same float bits, not merely equal values.
bool Same(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameColour(const Color& a, const Color& b)
{
    return Same(a.r, b.r) && Same(a.g, b.g) && Same(a.b, b.b) && Same(a.a, b.a);
}

bool SameVector(const Vector4& a, const Vector4& b)
{
    return Same(a.x, b.x) && Same(a.y, b.y) && Same(a.z, b.z) && Same(a.w, b.w);
}

// Two ends that differ in everything a fragment reads, a light, a texture
// and a translucent material: the fragment stage's steps, done here one by
// one as they read, against what each kind of fragment works out.
class FragmentKindTest : public ::testing::Test {
protected:
    RenderContext context;
    TextureImage texture = Ramp();
    Material material;
    PipelineVertex a, b;
    const Color old{0.1f, 0.2f, 0.3f, 1};  // the pixel's colour before the write

    void SetUp() override
    {
        context.SetFrameBuffer(FrameBuffer(4, 4, Color(0, 0, 0, 1)));
        context.SetCamera(Camera(Vector3(1, 5, 3), Vector3(0, 0, 0), Vector3(0, 0, 1), 1, 1));
        context.SetLight(0, Light(Vector4(-2, 4, 6, 1)));
        context.Enable(RC_LIGHT0);
        context.texture = &texture;
        material.diffuse = Color(0.6f, 0.7f, 0.8f, 0.75f);
        a.windowPos = Vector4(0, 0, 2, 1.5f);
        b.windowPos = Vector4(3, 0, 7, 0.5f);
        a.color = Color(0.9f, 0.1f, 0.4f, 0.6f);
        b.color = Color(0.2f, 0.8f, 0.4f, 1);
        a.normal = Vector3(0, 0.6f, 0.8f);
        b.normal = Vector3(0.6f, 0, 0.8f);
        a.position = Vector4(1, 2, 3, 1);
        b.position = Vector4(-1, 0.5f, 2, 1);
        a.texCoord = Vector4(0.1f, 0.9f, 0, 1);
        b.texCoord = Vector4(1.7f, -0.4f, 0, 1);
    }

    // The colour, the depth and the texel, by hand.
    Color Interpolated(float t) const { return Mix(a.color, b.color, t); }
    float Depth(float t) const { return (1 - t) * a.windowPos.z + t * b.windowPos.z; }
    Vector4 TexCoord(float t) const
    {
        const float wa = a.windowPos.w, wb = b.windowPos.w;
        const float u = (t * wa) / ((wa - wb) * t + wb);
        return Vector4((1 - u) * a.texCoord.x + u * b.texCoord.x,
                       (1 - u) * a.texCoord.y + u * b.texCoord.y,
                       (1 - u) * a.texCoord.z + u * b.texCoord.z, 1);
    }
    Color Texel(float t) const { return texture.Sample(TexCoord(t).x, TexCoord(t).y); }
    // The lighting by hand: the surface interpolated, the normal normalised, and lit.
    PipelineVertex Surface(float t)
    {
        PipelineVertex v;
        v.normal =
            Vector3((1 - t) * a.normal.x + t * b.normal.x, (1 - t) * a.normal.y + t * b.normal.y,
                    (1 - t) * a.normal.z + t * b.normal.z);
        v.normal.Normalize();
        v.position = Vector4((1 - t) * a.position.x + t * b.position.x,
                             (1 - t) * a.position.y + t * b.position.y,
                             (1 - t) * a.position.z + t * b.position.z, 1);
        TriangleRasterizer lighting(context);
        lighting.material = material;
        if (context.shadeModel == RC_CARTOON)
            lighting.ComputeCartoonLighting(v);
        else
            lighting.ComputeLighting(v);
        return v;
    }

    // One fragment of the kind the context chooses, written over `old` at
    // a stored depth of 5; what the pixel and the entry end with.
    std::pair<Pixel, PipelineVertex> Shade(float t)
    {
        const DrawSetup setup(context, material);
        Pixel pixel;
        pixel.color = old;
        pixel.depth = 5;
        PipelineVertex entry;
        WithFragmentStage(setup, [&](auto& fragments) {
            fragments.Shade(FragmentEnds(a, b, true), &pixel, t, &entry);
        });
        return {pixel, entry};
    }

    // The write by hand: the depth test against 5, and the blend.
    void ExpectWritten(const Pixel& pixel, float t, const Color& color) const
    {
        const bool passes = 5 > Depth(t);
        EXPECT_TRUE(Same(pixel.depth, passes ? Depth(t) - 0.05f : 5)) << t;
        EXPECT_TRUE(SameColour(pixel.color, passes ? Mix(old, color, color.ClampedAlpha()) : old))
            << t;
    }
};

const float kParameters[] = {0.0f, 0.2f, 0.45f, 0.6f, 1.0f};

}  // namespace

TEST_F(FragmentKindTest, InterpolatedKindTakesColourDepthAndWrite)
{
    context.Enable(RC_LIGHTING);
    context.shadeModel = RC_GOURAUD;  // which never textures
    context.Enable(RC_TEXTURE_2D);
    ASSERT_EQ(DrawSetup(context, material).fragmentKind, FragmentKind::kInterpolated);
    for (float t : kParameters) {
        const auto [pixel, entry] = Shade(t);
        ExpectWritten(pixel, t, Interpolated(t));
        EXPECT_TRUE(SameColour(entry.color, Interpolated(t))) << t;
    }
}

TEST_F(FragmentKindTest, TexturedKindAppliesTheTexelToTheInterpolatedColour)
{
    context.Enable(RC_TEXTURE_2D);
    for (int model : {RC_FLAT, RC_PHONG, RC_REPLACE}) {  // lighting off: Phong is not lit
        context.shadeModel = model;
        ASSERT_EQ(DrawSetup(context, material).fragmentKind, FragmentKind::kTextured);
        for (float t : kParameters) {
            const auto [pixel, entry] = Shade(t);
            const Color color = model == RC_REPLACE ? Texel(t) : Interpolated(t) * Texel(t);
            ExpectWritten(pixel, t, color);
            EXPECT_TRUE(SameColour(entry.color, color)) << t;
            EXPECT_TRUE(SameVector(entry.texCoord, TexCoord(t))) << t;
        }
    }
}

TEST_F(FragmentKindTest, LitKindLightsTheInterpolatedSurfaceAndAppliesTheTexel)
{
    context.Enable(RC_LIGHTING);
    for (bool textured : {false, true}) {
        if (textured) context.Enable(RC_TEXTURE_2D);
        for (int model : {RC_PHONG, RC_CARTOON}) {
            context.shadeModel = model;
            ASSERT_EQ(DrawSetup(context, material).fragmentKind, FragmentKind::kLitPerPixel);
            for (float t : kParameters) {
                const auto [pixel, entry] = Shade(t);
                const PipelineVertex surface = Surface(t);
                ExpectWritten(pixel, t, textured ? surface.color * Texel(t) : surface.color);
                // The spans read a lit entry's surface, never its colour.
                EXPECT_TRUE(SameVector(entry.normal, surface.normal)) << t;
                EXPECT_TRUE(SameVector(entry.position, surface.position)) << t;
                if (textured) {
                    EXPECT_TRUE(SameVector(entry.texCoord, TexCoord(t))) << t;
                }
            }
        }
    }
}

// ShadeFragment hands back a lit fragment's colour, whether the write takes
// place (the colour it was blended with), fails the depth test or falls
// outside the frame buffer (the colour it would have had).
TEST_F(FragmentKindTest, ShadeFragmentHandsBackTheLitColourWhetherOrNotItWrites)
{
    context.Enable(RC_LIGHTING);
    context.Enable(RC_TEXTURE_2D);
    context.shadeModel = RC_PHONG;
    TriangleRasterizer rasterizer(context);
    rasterizer.material = material;
    const auto handedBack = [&](int x, int y) {
        Color color;
        rasterizer.ShadeFragment(a, b, x, y, 0.3f, nullptr, nullptr, &color, nullptr);
        return color;
    };
    const Color expected = Surface(0.3f).color * Texel(0.3f);
    EXPECT_TRUE(SameColour(handedBack(1, 2), expected));  // written
    const Pixel& written = context.frameBuffer.At(1, 2);
    EXPECT_TRUE(
        SameColour(written.color, Mix(Color(0, 0, 0, 1), expected, expected.ClampedAlpha())));
    EXPECT_TRUE(SameColour(handedBack(1, 2), expected));   // hidden behind the first
    EXPECT_TRUE(SameColour(handedBack(-1, 9), expected));  // outside
}

TEST_F(FragmentKindTest, TheKindIsChosenFromShadeModelLightingAndTexture)
{
    const auto kind = [&] { return DrawSetup(context, material).fragmentKind; };
    context.shadeModel = RC_PHONG;
    EXPECT_EQ(kind(), FragmentKind::kInterpolated);  // unlit, untextured
    context.Enable(RC_TEXTURE_2D);
    context.texture = nullptr;
    EXPECT_EQ(kind(), FragmentKind::kInterpolated);  // no texture bound
    context.texture = &texture;
    EXPECT_EQ(kind(), FragmentKind::kTextured);
    context.Enable(RC_LIGHTING);
    EXPECT_EQ(kind(), FragmentKind::kLitPerPixel);
    context.shadeModel = RC_REPLACE;  // lights nothing
    EXPECT_EQ(kind(), FragmentKind::kTextured);
    context.shadeModel = RC_FLAT;
    EXPECT_EQ(kind(), FragmentKind::kTextured);
    context.shadeModel = RC_GOURAUD;
    EXPECT_EQ(kind(), FragmentKind::kInterpolated);
}
