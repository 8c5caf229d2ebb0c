#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "awkward_floats.h"
#include "pipeline/draw_setup.h"
#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"

namespace {

class LightingTest : public ::testing::Test {
protected:
    RenderContext context;
    TriangleRasterizer rasterizer{context};

    void SetUp() override
    {
        context.SetCamera(
            Camera(Vector3(0, 0, 10), Vector3(0, 0, 0), Vector3(0, 1, 0), 1, 0.7853982f));
        context.SetLight(0, Light());
        context.Enable(RC_LIGHT0);
    }

    void PlaceEye(float x, float y, float z)
    {
        context.SetCamera(
            Camera(Vector3(x, y, z), Vector3(0, 0, 0), Vector3(0, 0, 1), 1, 0.7853982f));
    }

    Color Lit(Vector3 normal, bool cartoon = false)
    {
        PipelineVertex v;
        v.position = Vector4(0, 0, 0, 1);
        v.normal = normal;
        v.color = Color(0.3f, 0.6f, 0.9f, 0.5f);  // overwritten
        if (cartoon)
            rasterizer.ComputeCartoonLighting(v);
        else
            rasterizer.ComputeLighting(v);
        return v.color;
    }
};

void ExpectGrey(const Color& c, float level, float alpha = 1.0f)
{
    EXPECT_NEAR(c.r, level, 2e-5f);
    EXPECT_NEAR(c.g, level, 2e-5f);
    EXPECT_NEAR(c.b, level, 2e-5f);
    EXPECT_EQ(c.a, alpha);
}

TEST_F(LightingTest, WithoutLightsOnlyEmissionAndAmbientRemain)
{
    context.lights[0].enabled = false;
    ExpectGrey(Lit(Vector3(0, 1, 0)), 0.2f);
    ExpectGrey(Lit(Vector3(0, 1, 0), true), 0.0f);
}

TEST_F(LightingTest, DiffuseOnlyWhenTheReflectionMissesTheEye)
{
    ExpectGrey(Lit(Vector3(0, 1, 0)), 0.60415f);
}

TEST_F(LightingTest, SpecularUsesTheSinglePrecisionPower)
{
    PlaceEye(0, 10, 0);
    ExpectGrey(Lit(Vector3(0, 1, 0)), 0.93748f);
    Vector3 l(10, 10, 10);
    l.Normalize();
    const Vector3 r = Reflect(Vector3(0, 1, 0), l);
    const float ks = powf(r.Dot(Vector3(0, 1, 0)), 2.0f);
    const float kd = Vector3(0, 1, 0).Dot(l);
    const Color c = Lit(Vector3(0, 1, 0));
    EXPECT_EQ(c.r, (0.0f + 0.2f) + (0.0f + ((0.7f * 1.0f) * kd + (1.0f * 1.0f) * ks)));
}

// The default light with attenuation coefficients 1, 0.1 and 0.01: at the
// distance 17.3205 of the origin, the factor 0.17446.
Light AttenuatedLight()
{
    Light light;
    light.constantAttenuation = 1;
    light.linearAttenuation = 0.1f;
    light.quadraticAttenuation = 0.01f;
    return light;
}

TEST_F(LightingTest, AttenuationAppliesOnlyWithAllThreeCoefficients)
{
    Light light = AttenuatedLight();
    context.SetLight(0, light);
    ExpectGrey(Lit(Vector3(0, 1, 0)), 0.2f + 0.40415f * 0.17446f);
    light.linearAttenuation = 0;
    context.SetLight(0, light);
    ExpectGrey(Lit(Vector3(0, 1, 0)), 0.60415f);
}

TEST_F(LightingTest, AttenuationAboveOneIsCut)
{
    Light light(Vector4(0, 1, 0, 1));  // distance 1 from the point
    light.constantAttenuation = light.linearAttenuation = light.quadraticAttenuation = 0.1f;
    context.SetLight(0, light);
    ExpectGrey(Lit(Vector3(0, 1, 0)), 0.2f + 0.7f);
}

TEST_F(LightingTest, LightBelowTheSurfaceAddsNothing)
{
    PlaceEye(0, -10, 0);  // the mirror direction would reach the eye
    ExpectGrey(Lit(Vector3(0, -1, 0)), 0.2f);
}

TEST_F(LightingTest, EverySlotContributesAlikeButOnlyWhenEnabled)
{
    context.SetLight(7, Light());
    const Color one = Lit(Vector3(0, 1, 0));
    context.Enable(RC_LIGHT0 + 7);
    const Color two = Lit(Vector3(0, 1, 0));
    EXPECT_NEAR(two.r - one.r, one.r - 0.2f, 1e-6f);
}

TEST_F(LightingTest, ResultAlphaIsTheDiffuseAlphaCutAtOne)
{
    rasterizer.material.diffuse.a = 0.4f;
    EXPECT_EQ(Lit(Vector3(0, 1, 0)).a, 0.4f);
    EXPECT_EQ(Lit(Vector3(0, 1, 0), true).a, 0.4f);
    rasterizer.material.diffuse.a = 3.0f;
    EXPECT_EQ(Lit(Vector3(0, 1, 0)).a, 1.0f);
}

// Cartoon: the light sits straight above the point and the eye on a circle
// around it, so kd, ks and V . N can each be placed on a threshold.
class CartoonTest : public LightingTest {
protected:
    void SetUp() override
    {
        LightingTest::SetUp();
        context.SetLight(0, Light(Vector4(0, 0, 10, 1)));
        rasterizer.material = Material(Color(0, 0, 0, 1), Color(0.5f, 0.25f, 0.125f, 1),
                                       Color(0.0625f, 0.0625f, 0.0625f, 1), 1.0f);
    }
    // Normal in the x-z plane at `cosine` to the light direction (0, 0, 1).
    static Vector3 NormalAt(float cosine)
    {
        return Vector3(std::sqrt(1 - cosine * cosine), 0, cosine);
    }
};

TEST_F(CartoonTest, DiffuseBandSwitchesAtOneHalf)
{
    PlaceEye(0, 0, 10);
    Vector3 n(0.87f, 0, 0.49f);
    // Eye straight above: V . N = n.z, above the outline threshold; ks stays low.
    const Color low = Lit(n, true);
    EXPECT_FLOAT_EQ(low.r, 0.5f * 0.3f);
    n = Vector3(0.866f, 0, 0.5f);
    EXPECT_FLOAT_EQ(Lit(n, true).r, 0.5f * 0.7f);
}

TEST_F(CartoonTest, OutlineDropsEveryLightWhereTheSurfaceTurnsAway)
{
    PlaceEye(10, 0, 0);
    // V = (1, 0, 0): V . N is the normal's x.
    EXPECT_EQ(Lit(Vector3(0.19f, 0, 0.98f), true).r, 0.0f);
    EXPECT_GT(Lit(Vector3(0.2f, 0, 0.98f), true).r, 0.0f);
}

// The cel bands and the outline apply to the vertex colour C = (0.8, 0.4,
// 0.2) as to the material diffuse (0.5, 0.25, 0.125); the highlight stays
// the material specular (0.0625).
TEST_F(CartoonTest, BandsHighlightAndOutlineApplyToTheVertexColour)
{
    context.vertexColorLighting = true;
    const auto lit = [&](Vector3 normal) {
        PipelineVertex v;
        v.normal = normal;
        v.color = Color(0.8f, 0.4f, 0.2f, 1);
        rasterizer.ComputeCartoonLighting(v);
        return v.color;
    };
    PlaceEye(0, 0, 10);
    EXPECT_FLOAT_EQ(lit(Vector3(0.87f, 0, 0.49f)).r, 0.8f * 0.3f);
    EXPECT_FLOAT_EQ(lit(Vector3(0.87f, 0, 0.49f)).g, 0.4f * 0.3f);
    EXPECT_FLOAT_EQ(lit(Vector3(0.866f, 0, 0.5f)).b, 0.2f * 0.7f);
    PlaceEye(10 * 0.7092f, 0, 10 * 0.705f);  // ks just above 0.7
    EXPECT_FLOAT_EQ(lit(Vector3(0, 0, 1)).g, 0.4f * 0.7f + 0.0625f);
    PlaceEye(10, 0, 0);  // V . N = 0.19: the outline
    EXPECT_EQ(lit(Vector3(0.19f, 0, 0.98f)).r, 0.0f);
}

TEST_F(CartoonTest, HighlightIsAllOrNothingAtSevenTenths)
{
    // With the normal along the light, R = N = L = (0, 0, 1), and with
    // shininess 1, ks = R . V = the eye direction's z.
    PlaceEye(10 * 0.7092f, 0, 10 * 0.705f);  // ks just above 0.7
    EXPECT_FLOAT_EQ(Lit(Vector3(0, 0, 1), true).r, 0.5f * 0.7f + 0.0625f);
    PlaceEye(10 * 0.72f, 0, 10 * 0.69f);
    EXPECT_FLOAT_EQ(Lit(Vector3(0, 0, 1), true).r, 0.5f * 0.7f);
}

// Lit by vertex colours, the vertex's own colour C = (0.5, 0.25, 1) takes the
// material diffuse's place and the material ambient (0.2) lights it: with
// the default light at (10, 10, 10) and kd = 0.57735, the result is
// Ma C + (C Ld) kd = 0.77735 C. The specular term stays the material's white
// (ks = 0.33333 with the eye at (0, 10, 0)), and the alpha the diffuse's.
class VertexColorLightingTest : public LightingTest {
protected:
    const Color color{0.5f, 0.25f, 1.0f, 0.3f};

    void SetUp() override
    {
        LightingTest::SetUp();
        context.vertexColorLighting = true;
    }
    Color LitByColor(Vector3 normal, bool cartoon = false)
    {
        PipelineVertex v;
        v.position = Vector4(0, 0, 0, 1);
        v.normal = normal;
        v.color = color;
        if (cartoon)
            rasterizer.ComputeCartoonLighting(v);
        else
            rasterizer.ComputeLighting(v);
        return v.color;
    }
};

void ExpectColor(const Color& c, float r, float g, float b, float a = 1.0f)
{
    EXPECT_NEAR(c.r, r, 2e-5f);
    EXPECT_NEAR(c.g, g, 2e-5f);
    EXPECT_NEAR(c.b, b, 2e-5f);
    EXPECT_EQ(c.a, a);
}

TEST_F(VertexColorLightingTest, TheVertexColourTakesTheDiffuseAndAmbientColoursPlaces)
{
    ExpectColor(LitByColor(Vector3(0, 1, 0)), 0.388675f, 0.1943375f, 0.77735f);
    PlaceEye(0, 10, 0);
    ExpectColor(LitByColor(Vector3(0, 1, 0)), 0.722008f, 0.527671f, 1.110683f);
    rasterizer.material.diffuse.a = 0.4f;
    EXPECT_EQ(LitByColor(Vector3(0, 1, 0)).a, 0.4f);
}

TEST_F(VertexColorLightingTest, AttenuationScalesTheVertexColoursDiffuseTerm)
{
    context.SetLight(0, AttenuatedLight());
    // Ma C + (C Ld) kd att = (0.2 + 0.57735 x 0.174458) C = 0.300724 C
    ExpectColor(LitByColor(Vector3(0, 1, 0)), 0.150362f, 0.075181f, 0.300724f);
}

TEST_F(VertexColorLightingTest, EmissionIsAddedUnscaledAndCartoonAddsNoAmbient)
{
    context.lights[0].enabled = false;
    rasterizer.material.emission = Color(0.05f, 0.1f, 0.15f, 1);
    ExpectColor(LitByColor(Vector3(0, 1, 0)), 0.15f, 0.15f, 0.35f);  // Me + Ma C
    ExpectColor(LitByColor(Vector3(0, 1, 0), true), 0, 0, 0);
}

TEST_F(VertexColorLightingTest, WithoutTheSwitchTheVertexColourIsUnread)
{
    context.vertexColorLighting = false;
    ExpectGrey(LitByColor(Vector3(0, 1, 0)), 0.60415f);
}

TEST_F(LightingTest, EmptyShadowMapShadowsNothing)
{
    context.Enable(RC_SHADOW);
    ExpectGrey(Lit(Vector3(0, 1, 0)), 0.60415f);
}

TEST_F(LightingTest, ShadowTestComparesWithTheStoredDepthPlusBias)
{
    // A light camera looking down -z from above the point at the origin: the
    // point sits at clip depth about 9.9 and projects to the map centre.
    Light light(Vector4(0, 0, 10, 1));
    light.camera = Camera(Vector3(0, 0, 10), Vector3(0, 0, 0), Vector3(0, 1, 0), 1, 0.7853982f);
    light.shadowMap = FrameBuffer(8, 8, Color());
    Vector4 q = Transform(Vector4(0, 0, 0, 1), light.camera.GetViewProjection());
    context.Enable(RC_SHADOW);

    float tie = q.z - 0.05f;  // a stored depth that, plus the bias, equals q.z
    while (tie + 0.05f < q.z)
        tie = std::nextafter(tie, 1e9f);
    ASSERT_EQ(tie + 0.05f, q.z);
    light.shadowMap.pixels[4 * 8 + 4].depth = tie;  // a tie is lit
    context.SetLight(0, light);
    EXPECT_GT(Lit(Vector3(0, 0, 1)).r, 0.2f);
    light.shadowMap.pixels[4 * 8 + 4].depth = std::nextafter(tie, 0.0f);  // nearer: shadowed
    context.SetLight(0, light);
    ExpectGrey(Lit(Vector3(0, 0, 1)), 0.2f);
    context.lights[0].light.shadowMap.pixels[4 * 8 + 4].depth = NAN;
    EXPECT_GT(Lit(Vector3(0, 0, 1)).r, 0.2f);
}

// The bias the shadow test adds is the lighting set-up's own: a point whose
// map depth lies just in front of it is shadowed without a bias, and lit
// with one of 0.05.
TEST_F(LightingTest, TheShadowTestAddsTheSetUpsBias)
{
    Light light(Vector4(0, 0, 10, 1));
    light.camera = Camera(Vector3(0, 0, 10), Vector3(0, 0, 0), Vector3(0, 1, 0), 1, 0.7853982f);
    light.shadowMap = FrameBuffer(8, 8, Color());
    const Vector4 q = Transform(Vector4(0, 0, 0, 1), light.camera.GetViewProjection());
    light.shadowMap.pixels[4 * 8 + 4].depth = std::nextafter(q.z, 0.0f);  // just in front
    const auto reached = [&](float bias) {
        LightingSetup setup(Material(), Vector3(0, 0, 10), true, bias);
        setup.AddLight(light);
        return LightPoint(setup, Vector4(0, 0, 0, 1), Vector3(0, 0, 1), false).r > 0.2f;
    };
    EXPECT_FALSE(reached(0.0f));
    EXPECT_TRUE(reached(0.05f));
}

}  // namespace

namespace {

// The same float bits, not merely equal values.
bool SameColour(const Color& a, const Color& b)
{
    return std::memcmp(&a.r, &b.r, sizeof(float)) == 0 &&
           std::memcmp(&a.g, &b.g, sizeof(float)) == 0 &&
           std::memcmp(&a.b, &b.b, sizeof(float)) == 0 &&
           std::memcmp(&a.a, &b.a, sizeof(float)) == 0;
}

}  // namespace

// Per-pixel lighting lights whole batches of fragments at once, and single
// points (Gouraud corners, flat faces) go through code compiled for one
// point: the two must agree to the bit for every point, at every batch size
// and place in the batch, lit by the material's colours or by vertex colours.
// Two lights (one attenuated), a zero normal, a point on a light and
// unnormalised normals cover the equations' choices.
TEST_F(LightingTest, BatchesLightEachPointAsItIsLitAlone)
{
    Light near(Vector4(1, -2, 3, 1));
    near.constantAttenuation = 0.5f;
    near.linearAttenuation = 0.25f;
    near.quadraticAttenuation = 0.125f;
    context.SetLight(3, near);
    context.Enable(RC_LIGHT0 + 3);
    PlaceEye(4, -6, 5);
    rasterizer.material = Material(Color(0.1f, 0.2f, 0.3f, 1), Color(0.7f, 0.5f, 0.3f, 0.75f),
                                   Color(0.9f, 0.8f, 0.7f, 1), 7.5f);
    const LightingSetup setup = GatherLighting(context, rasterizer.material);
    PointBatch all;
    all.count = PointBatch::kSize;
    for (int k = 0; k < PointBatch::kSize; ++k) {
        const float s = 0.37f * static_cast<float>(k);
        all.px[k] = std::sin(s) * 2;
        all.py[k] = std::cos(1.3f * s);
        all.pz[k] = 0.25f * static_cast<float>(k % 5) - 0.5f;
        all.nx[k] = std::cos(s);
        all.ny[k] = std::sin(0.7f * s) * 1.5f;
        all.nz[k] = 0.8f - 0.05f * static_cast<float>(k);
    }
    all.nx[5] = all.ny[5] = all.nz[5] = 0;         // zero normal
    all.px[9] = 1, all.py[9] = -2, all.pz[9] = 3;  // on the attenuated light
    PointColors vertexColors;
    for (int k = 0; k < PointBatch::kSize; ++k) {
        vertexColors.r[k] = 0.03f * static_cast<float>(k);
        vertexColors.g[k] = 1 - 0.02f * static_cast<float>(k);
        vertexColors.b[k] = 0.5f + 0.4f * std::sin(static_cast<float>(k));
    }
    for (bool byVertexColor : {false, true})
        for (bool cartoon : {false, true}) {
            for (int count = 1; count <= PointBatch::kSize; ++count) {
                PointBatch batch = all;
                batch.count = count;
                Color colors[PointBatch::kSize];
                if (byVertexColor && cartoon)
                    LightPointsCartoon(setup, batch, vertexColors, colors);
                else if (byVertexColor)
                    LightPoints(setup, batch, vertexColors, colors);
                else if (cartoon)
                    LightPointsCartoon(setup, batch, colors);
                else
                    LightPoints(setup, batch, colors);
                for (int k = 0; k < count; ++k) {
                    const Vector4 position(all.px[k], all.py[k], all.pz[k], 1);
                    const Vector3 normal(all.nx[k], all.ny[k], all.nz[k]);
                    const Color own(vertexColors.r[k], vertexColors.g[k], vertexColors.b[k], 1);
                    const Color alone = byVertexColor
                                            ? LightPoint(setup, position, normal, own, cartoon)
                                            : LightPoint(setup, position, normal, cartoon);
                    EXPECT_TRUE(SameColour(colors[k], alone))
                        << (cartoon ? "cartoon" : "standard") << (byVertexColor ? " by colour" : "")
                        << " point " << k << " of " << count;
                }
            }
        }
}

namespace {

Color AwkwardColour(AwkwardFloats& value)
{
    return {value.Mostly(20), value.Mostly(20), value.Mostly(20), value.Mostly(20)};
}

// A set-up of material colours, shininess and eye, with one to three
// lights, some attenuated, one casting shadows from an 8 x 8 map of depths:
// each value now and then an awkward float.
struct AwkwardScene {
    Light lights[3];
    LightingSetup setup;

    explicit AwkwardScene(AwkwardFloats& value)
    {
        Material material(AwkwardColour(value), AwkwardColour(value), AwkwardColour(value),
                          value.Below(3) == 0 ? value.Mostly(20) : value.Uniform() * 40.0f);
        material.emission = AwkwardColour(value);
        setup = LightingSetup(
            material, Vector3(value.Mostly(20) * 9, value.Mostly(20) * 9, value.Mostly(20) * 9),
            value.Below(3) == 0, 0.05f);
        const int count = 1 + static_cast<int>(value.Below(3));
        for (int i = 0; i < count; ++i) {
            Light& light = lights[i];
            light =
                Light(Vector4(value.Mostly(20) * 5, value.Mostly(20) * 5, value.Mostly(20) * 5, 1));
            light.diffuse = AwkwardColour(value);
            light.specular = AwkwardColour(value);
            if (value.Below(2) != 0) {
                light.constantAttenuation = value.Mostly(20);
                light.linearAttenuation = value.Mostly(20);
                light.quadraticAttenuation = value.Mostly(20);
            }
            if (i == 0) {
                light.camera =
                    Camera(Vector3(0, 0, 8), Vector3(0, 0, 0), Vector3(0, 1, 0), 1, 0.7853982f);
                light.shadowMap = FrameBuffer(8, 8, Color());
                for (Pixel& p : light.shadowMap.pixels)
                    p.depth = value.Mostly(20) * 10;
            }
            setup.AddLight(light);
        }
    }
};

}  // namespace

// The batches are lit with the widest lanes the processor has (AVX2's 8
// where there is AVX2, else SSE2's 4): every width must light every point as
// a point lit alone, over positions, normals and colours of every kind of
// float. Two NaNs may hand on either NaN (SameBitsButNaNs).
TEST(LightingLanes, EveryLaneWidthLightsEachPointAsItIsLitAlone)
{
    AwkwardFloats value(5);
    int compared = 0, nanChoices = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const AwkwardScene scene(value);
        PointBatch batch;
        PointColors vertexColors;
        batch.count = 1 + static_cast<int>(value.Below(PointBatch::kSize));
        for (int k = 0; k < batch.count; ++k) {
            batch.px[k] = value.Mostly(12) * 3, batch.py[k] = value.Mostly(12) * 3,
            batch.pz[k] = value.Mostly(12) * 3;
            batch.nx[k] = value.Mostly(12), batch.ny[k] = value.Mostly(12),
            batch.nz[k] = value.Mostly(12);
            vertexColors.r[k] = value.Mostly(12), vertexColors.g[k] = value.Mostly(12),
            vertexColors.b[k] = value.Mostly(12);
        }
        const bool cartoon = value.Below(2) != 0;
        const bool byVertexColor = value.Below(2) != 0;
        const PointColors* colours = byVertexColor ? &vertexColors : nullptr;
        for (int width : {4, 8}) {
            Color lit[PointBatch::kSize];
            if (!LightPointsWithLanes(width, scene.setup, batch, colours, cartoon, lit)) continue;
            for (int k = 0; k < batch.count; ++k) {
                const Vector4 position(batch.px[k], batch.py[k], batch.pz[k], 1);
                const Vector3 normal(batch.nx[k], batch.ny[k], batch.nz[k]);
                const Color own(vertexColors.r[k], vertexColors.g[k], vertexColors.b[k], 1);
                const Color alone = byVertexColor
                                        ? LightPoint(scene.setup, position, normal, own, cartoon)
                                        : LightPoint(scene.setup, position, normal, cartoon);
                ++compared;
                ASSERT_TRUE(SameBitsButNaNs(&lit[k], &alone, 4, nanChoices))
                    << "width " << width << ", trial " << trial << ", point " << k;
            }
        }
    }
    EXPECT_GT(compared, 3000 * 16);
    EXPECT_LT(nanChoices, compared / 10);
}
