#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

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

TEST_F(LightingTest, AttenuationAppliesOnlyWithAllThreeCoefficients)
{
    Light light;
    light.constantAttenuation = 1;
    light.linearAttenuation = 0.1f;
    light.quadraticAttenuation = 0.01f;
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

TEST_F(CartoonTest, HighlightIsAllOrNothingAtSevenTenths)
{
    // With the normal along the light, R = N = L = (0, 0, 1), and with
    // shininess 1, ks = R . V = the eye direction's z.
    PlaceEye(10 * 0.7092f, 0, 10 * 0.705f);  // ks just above 0.7
    EXPECT_FLOAT_EQ(Lit(Vector3(0, 0, 1), true).r, 0.5f * 0.7f + 0.0625f);
    PlaceEye(10 * 0.72f, 0, 10 * 0.69f);
    EXPECT_FLOAT_EQ(Lit(Vector3(0, 0, 1), true).r, 0.5f * 0.7f);
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
// and place in the batch. Two lights (one attenuated), a zero normal, a point
// on a light and unnormalised normals cover the equations' choices.
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
    for (bool cartoon : {false, true}) {
        for (int count = 1; count <= PointBatch::kSize; ++count) {
            PointBatch batch = all;
            batch.count = count;
            Color colors[PointBatch::kSize];
            if (cartoon)
                LightPointsCartoon(setup, batch, colors);
            else
                LightPoints(setup, batch, colors);
            for (int k = 0; k < count; ++k) {
                const Color alone = LightPoint(setup, Vector4(all.px[k], all.py[k], all.pz[k], 1),
                                               Vector3(all.nx[k], all.ny[k], all.nz[k]), cartoon);
                EXPECT_TRUE(SameColour(colors[k], alone))
                    << (cartoon ? "cartoon" : "standard") << " point " << k << " of " << count;
            }
        }
    }
}
