#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "pipeline/draw_setup.h"
#include "pipeline/triangle_rasterizer.h"
#include "pipeline/triangle_stage.h"
#include "render/render_context.h"
#include "test_mesh.h"

namespace {

bool SameColour(const Color& a, const Color& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

// A curved, turned grid whose corners have colours of their own, lit by one
// light, seen as in DrawModelTest.
class VertexColorDrawTest : public ::testing::Test {
protected:
    RenderContext context;

    void SetUp() override
    {
        FaceTheUnitSquare(context);
        Matrix4 turn;
        turn.SetRotation(20, 10, 30);
        context.SetModelMatrix(turn);
        context.Enable(RC_LIGHTING);
        context.SetLight(0, Light(Vector4(1, 2, 3, 1)));
        context.Enable(RC_LIGHT0);
        context.material = Material(Color(0.3f, 0.2f, 0.1f, 1), Color(0.7f, 0.6f, 0.5f, 1),
                                    Color(0.5f, 0.5f, 0.5f, 1), 4.0f);
    }

    // A wavy grid whose corners are coloured `argb` or, when it is 0, each its
    // own colour.
    static TestMesh Grid(uint32_t argb)
    {
        return WavyGrid(8, [argb](int i, int j) {
            const uint32_t own =
                0xFF000000u | (30u * i) << 16 | (250u - 25u * j) << 8 | (40u + 20u * ((i + j) % 9));
            return argb != 0 ? argb : own;
        });
    }

    std::vector<float> Draw(TestMesh& mesh)
    {
        context.frameBuffer.Clear();
        mesh.Bind(context);
        context.DrawModel();
        EXPECT_GT(CountDrawn(context.frameBuffer), 300);
        return Colours(context.frameBuffer);
    }

    // A corner as the triangle stage leaves it: world position and normal,
    // window pixel.
    PipelineVertex Transformed(const TestMesh::Vertex& v)
    {
        TransformedCorner corner;
        corner.vertex.position = Vector4(v.x, v.y, v.z, 1);
        corner.vertex.normal = Vector3(v.nx, v.ny, v.nz);
        const DrawSetup setup(context, context.material);
        TriangleStage(setup).TransformCorner(corner);
        return corner.vertex;
    }
    Color PixelAt(const PipelineVertex& corner) const
    {
        return context.frameBuffer
            .At(static_cast<int>(corner.windowPos.x), static_cast<int>(corner.windowPos.y))
            .color;
    }
};

}  // namespace

TEST_F(VertexColorDrawTest, TheSwitchChoosesTheLitByVertexColourFragmentsForPerPixelLighting)
{
    for (int model : {RC_PHONG, RC_CARTOON}) {
        context.shadeModel = model;
        EXPECT_EQ(DrawSetup(context, context.material).fragmentKind, FragmentKind::kLitPerPixel);
        context.vertexColorLighting = true;
        EXPECT_EQ(DrawSetup(context, context.material).fragmentKind,
                  FragmentKind::kLitByVertexColor);
        context.vertexColorLighting = false;
    }
    context.vertexColorLighting = true;
    context.lighting = false;  // nothing lit: the colours as they are
    EXPECT_EQ(DrawSetup(context, context.material).fragmentKind, FragmentKind::kInterpolated);
}

// A mesh of one colour C lit by its vertex colours is lit as a material whose
// diffuse colour is C (with the material's alpha) and whose ambient colour is
// Ma x C: to the bit, in every shade model. C's channels are 1, 128/255 and
// 64/255, whose mean over a flat face's three corners is C again.
TEST_F(VertexColorDrawTest, AMeshOfOneColourIsLitAsAMaterialOfThatColour)
{
    TestMesh mesh = Grid(0xFFFF8040u);
    const Color c(0xFFFF8040u);
    for (int model : {RC_FLAT, RC_GOURAUD, RC_PHONG, RC_CARTOON}) {
        context.shadeModel = model;
        const Material material = context.material;
        context.vertexColorLighting = true;
        const std::vector<float> byVertexColor = Draw(mesh);
        context.vertexColorLighting = false;
        context.material.diffuse = Color(c.r, c.g, c.b, material.diffuse.a);
        context.material.ambient = material.ambient * c;
        EXPECT_EQ(Draw(mesh), byVertexColor) << model;
        context.material = material;
        EXPECT_NE(Draw(mesh), byVertexColor) << model;  // without the switch C is unread
    }
}

// Without a light, and with a white ambient colour and no emission, lighting
// by vertex colours leaves each colour as it is: Gouraud and Phong then draw
// the unlit frame, so Phong lights every fragment, in the spans too, with the
// colour interpolated between the corners.
TEST_F(VertexColorDrawTest, WithOnlyAWhiteAmbientLightTheColoursInterpolatedAreThoseLit)
{
    TestMesh mesh = Grid(0);
    context.lighting = false;
    const std::vector<float> unlit = Draw(mesh);
    context.lighting = true;
    context.lights[0].enabled = false;
    context.material.emission = Color(0, 0, 0, 1);
    context.material.ambient = Color(1, 1, 1, 1);
    context.vertexColorLighting = true;
    for (int model : {RC_GOURAUD, RC_PHONG}) {
        context.shadeModel = model;
        EXPECT_EQ(Draw(mesh), unlit) << model;
    }
    context.shadeModel = RC_FLAT;  // one colour a face
    EXPECT_NE(Draw(mesh), unlit);
}

// Gouraud lights each corner with its own colour, and each corner's pixel
// shows it; Phong and cartoon light the fragment at a corner with the
// corner's colour.
TEST_F(VertexColorDrawTest, EachCornerIsLitWithItsOwnColour)
{
    const TestMesh::Vertex corners[3] = {{-0.8f, -0.7f, 0.1f, 0.2f, -0.1f, 1, 0xFFE02010u},
                                         {0.9f, -0.5f, -0.2f, -0.3f, 0.1f, 1, 0xFF10C040u},
                                         {0.1f, 0.8f, 0.0f, 0.1f, 0.4f, 1, 0xFF3050F0u}};
    TestMesh mesh({corners[0], corners[1], corners[2]}, {{0, 1, 2}});
    context.vertexColorLighting = true;
    const LightingSetup lights = GatherLighting(context, context.material);
    for (int model : {RC_GOURAUD, RC_PHONG, RC_CARTOON}) {
        context.shadeModel = model;
        Draw(mesh);
        for (const TestMesh::Vertex& v : corners) {
            const PipelineVertex corner = Transformed(v);
            Vector3 normal = corner.normal;
            if (model != RC_GOURAUD) normal.Normalize();  // per fragment, normals are unit
            const Color expected =
                LightPoint(lights, corner.position, normal, Color(v.argb), model == RC_CARTOON);
            EXPECT_TRUE(SameColour(PixelAt(corner), expected)) << model;
            EXPECT_FALSE(SameColour(
                PixelAt(corner), LightPoint(lights, corner.position, normal, model == RC_CARTOON)));
        }
    }
}

// Flat shading lights the face once, at its centroid with its normal, with the
// mean of its corners' colours: every pixel shows that one colour, which no
// corner's own colour gives.
TEST_F(VertexColorDrawTest, FlatLightsTheMeanOfTheCornerColoursAtTheCentroid)
{
    context.SetModelMatrix(Matrix4());
    TestMesh mesh({{-0.8f, -0.7f, 0, 0, 0, 1, 0xFFE02010u},
                   {0.9f, -0.5f, 0.3f, 0, 0, 1, 0xFF10C040u},
                   {0.1f, 0.8f, -0.1f, 0, 0, 1, 0xFF3050F0u}},
                  {{0, 1, 2}});
    context.shadeModel = RC_FLAT;
    context.vertexColorLighting = true;
    Draw(mesh);
    const Color c[3] = {Color(0xFFE02010u), Color(0xFF10C040u), Color(0xFF3050F0u)};
    const Vector4 p[3] = {Vector4(-0.8f, -0.7f, 0, 1), Vector4(0.9f, -0.5f, 0.3f, 1),
                          Vector4(0.1f, 0.8f, -0.1f, 1)};
    const Color mean((c[0].r + c[1].r + c[2].r) / 3.0f, (c[0].g + c[1].g + c[2].g) / 3.0f,
                     (c[0].b + c[1].b + c[2].b) / 3.0f, 1);
    const LightingSetup lights = GatherLighting(context, context.material);
    const Vector4 centroid = Centroid(p[0], p[1], p[2]);
    const Vector3 normal = mesh.faces.GetFaceNormal(0);
    const Color expected = LightPoint(lights, centroid, normal, mean, false);
    int drawn = 0;
    for (const Pixel& pixel : context.frameBuffer.pixels) {
        if (pixel.depth == CLEAR_DEPTH) continue;
        ++drawn;
        ASSERT_TRUE(SameColour(pixel.color, expected));
    }
    EXPECT_GT(drawn, 200);
    for (const Color& corner : c)
        EXPECT_NE(LightPoint(lights, centroid, normal, corner, false).ToARGB(), expected.ToARGB());
}

// The step-by-step operations light a Gouraud corner on each walk that
// starts or ends at it. Lit by vertex colours, each walk lights it from the
// colour it was given, not from what an earlier walk made of it: the
// triangle is drawn as unlit corners already lit once would draw it.
TEST(VertexColorWalks, EachWalkLightsItsEndsFromTheirOwnColours)
{
    RenderContext lit, unlit;
    for (RenderContext* c : {&lit, &unlit})
        c->SetFrameBuffer(FrameBuffer(12, 12, Color(0, 0, 0, 1)));
    lit.Enable(RC_LIGHTING);
    lit.Enable(RC_LIGHT0);
    lit.SetLight(0, Light(Vector4(2, 3, 4, 1)));
    lit.vertexColorLighting = true;
    TriangleRasterizer byColor(lit), asGiven(unlit);
    const LightingSetup lights = GatherLighting(lit, byColor.material);
    const int place[3][2] = {{2, 1}, {9, 4}, {4, 10}};
    for (int k = 0; k < 3; ++k) {
        PipelineVertex v;
        v.windowPos =
            Vector4(static_cast<float>(place[k][0]), static_cast<float>(place[k][1]), 5, 1);
        v.position = Vector4(0.3f * k, -0.2f, 0.1f * k, 1);
        v.normal = Vector3(0.2f * k, 1 - 0.3f * k, 0.5f);
        v.color = Color(0.9f - 0.3f * k, 0.2f + 0.2f * k, 0.6f, 1);
        byColor.vertices[k] = v;
        v.color = LightPoint(lights, v.position, v.normal, v.color, false);
        asGiven.vertices[k] = v;
    }
    for (TriangleRasterizer* r : {&byColor, &asGiven}) {
        r->PrepareEdges();
        r->WalkEdge(r->vertices[0], r->vertices[1], 1);
        r->WalkEdge(r->vertices[1], r->vertices[2], 1);
        r->WalkEdge(r->vertices[0], r->vertices[2], 2);
        r->FillSpans();
    }
    EXPECT_GT(CountDrawn(lit.frameBuffer), 30);
    EXPECT_EQ(Colours(lit.frameBuffer), Colours(unlit.frameBuffer));
}
