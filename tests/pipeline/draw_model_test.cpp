#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"
#include "test_mesh.h"

namespace {

// A camera on the z axis looking at the origin from z = 3: the unit square
// in the plane z = 0 fills the middle of a 64 x 64 frame.
class DrawModelTest : public ::testing::Test {
protected:
    RenderContext context;

    void SetUp() override
    {
        FaceTheUnitSquare(context);
        context.SetModelMatrix(Matrix4());
    }

    int Draw(TestMesh& mesh)
    {
        context.frameBuffer.Clear();
        mesh.Bind(context);
        context.DrawModel();
        return CountDrawn(context.frameBuffer);
    }
};

std::vector<TestMesh::Vertex> Square(uint32_t argb = 0xFFFFFFFFu)
{
    return {{-1, -1, 0, 0, 0, 1, argb},
            {1, -1, 0, 0, 0, 1, argb},
            {1, 1, 0, 0, 0, 1, argb},
            {-1, 1, 0, 0, 0, 1, argb}};
}

TEST_F(DrawModelTest, QuadIsDrawnAsAFanLikeItsTwoTriangles)
{
    TestMesh quad(Square(), {{0, 1, 2, 3}});
    TestMesh pair(Square(), {{0, 1, 2}, {0, 2, 3}});
    const int quadPixels = Draw(quad);
    const std::vector<uint8_t> quadImage = context.frameBuffer.ExportRGB();
    EXPECT_EQ(Draw(pair), quadPixels);
    EXPECT_EQ(context.frameBuffer.ExportRGB(), quadImage);
    TestMesh first(Square(), {{0, 1, 2}});
    EXPECT_LT(Draw(first), quadPixels);
}

TEST_F(DrawModelTest, FacesOfFewerThanThreeCornersDrawNothing)
{
    TestMesh degenerate(Square(), {{0, 1}, {2}, {}});
    EXPECT_EQ(Draw(degenerate), 0);
    TestMesh empty(Square(), {});
    EXPECT_EQ(Draw(empty), 0);
}

TEST_F(DrawModelTest, UnlitFacesShowTheirVertexColour)
{
    TestMesh red(Square(0xFFFF0000u), {{0, 1, 2, 3}});
    ASSERT_GT(Draw(red), 0);
    int wrong = 0;
    for (const Pixel& p : context.frameBuffer.pixels)
        wrong += p.color != context.frameBuffer.clearColor && p.color.ToARGB() != 0xFFFF0000u;
    EXPECT_EQ(wrong, 0);
}

TEST_F(DrawModelTest, WithoutAttributesEveryTriangleIsDegenerateAtTheOrigin)
{
    TestMesh quad(Square(), {{0, 1, 2, 3}});
    quad.Bind(context);
    context.attribMask = 0;
    context.DrawModel();
    // All corners sit at the model origin: one black pixel in the frame's centre.
    int written = 0;
    for (const Pixel& p : context.frameBuffer.pixels)
        written += p.depth < CLEAR_DEPTH ? 1 : 0;
    EXPECT_EQ(written, 1);
    EXPECT_LT(context.frameBuffer.GetDepth(33, 33), CLEAR_DEPTH);
}

TEST_F(DrawModelTest, ShadeModelsDifferOnlyWithLighting)
{
    TestMesh quad(Square(), {{0, 1, 2, 3}});
    std::vector<std::vector<uint8_t>> images;
    for (int model : {RC_FLAT, RC_GOURAUD, RC_PHONG, RC_CARTOON}) {
        context.shadeModel = model;
        Draw(quad);
        images.push_back(context.frameBuffer.ExportRGB());
    }
    EXPECT_EQ(images[0], images[1]);
    EXPECT_EQ(images[0], images[3]);
    context.Enable(RC_LIGHTING);
    context.SetLight(0, Light(Vector4(0.5f, 0.5f, 2, 1)));
    context.Enable(RC_LIGHT0);
    images.clear();
    for (int model : {RC_FLAT, RC_GOURAUD, RC_PHONG, RC_CARTOON}) {
        context.shadeModel = model;
        Draw(quad);
        images.push_back(context.frameBuffer.ExportRGB());
    }
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            EXPECT_NE(images[i], images[j]) << i << " " << j;
}

TEST_F(DrawModelTest, WireframeDrawsFarFewerPixelsThanFill)
{
    TestMesh quad(Square(), {{0, 1, 2, 3}});
    const int filled = Draw(quad);
    context.polygonMode = RC_LINE;
    const int lines = Draw(quad);
    EXPECT_GT(lines, 0);
    EXPECT_LT(lines * 3, filled);
}

// A closed box around the eye: corners beside and behind the eye project
// anywhere, some to billions of pixels. The frame must finish and draw the
// walls in front.
TEST_F(DrawModelTest, CameraInsideALargeMeshFinishesTheFrame)
{
    std::vector<TestMesh::Vertex> corners;
    std::vector<std::vector<int32_t>> faces;
    const int n = 12;  // grid cells per box side
    for (int side = 0; side < 6; ++side) {
        const int axis = side / 2;
        const float sign = side % 2 ? 1.0f : -1.0f;
        const int base = static_cast<int>(corners.size());
        for (int j = 0; j <= n; ++j)
            for (int i = 0; i <= n; ++i) {
                float p[3];
                p[axis] = 40 * sign;
                p[(axis + 1) % 3] = -40 + 80.0f * i / n;
                p[(axis + 2) % 3] = -40 + 80.0f * j / n;
                corners.push_back({p[0], p[1], p[2], 0, 0, 1, 0xFF808080u});
            }
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const int c = base + j * (n + 1) + i;
                faces.push_back({c, c + 1, c + n + 2, c + n + 1});
            }
    }
    TestMesh box(corners, faces);
    context.cullFace = false;
    for (const Vector3& eye :
         {Vector3(0, 0, 0), Vector3(39, 0.5f, -20), Vector3(-1, -0.9f, 38.9f)}) {
        context.SetCamera(Camera(eye, Vector3(3, 2, 1), Vector3(0, 0, 1), 1, 0.7853982f));
        EXPECT_GT(Draw(box), 64 * 64 / 4);
    }
}

}  // namespace

// Corners shared by faces are worked on once per draw (fetched, transformed,
// lit). That relies on a corner's results depending on its vertex alone:
// drawing through the per-vertex path (all four attributes fetched) and the
// per-face path (texture coordinates left out, so corners are not cached)
// must give the same frame, byte for byte, in every shade model.
TEST_F(DrawModelTest, SharedCornersGiveTheSameFrameAsCornersWorkedOnPerFace)
{
    TestMesh mesh = WavyGrid(8, [](int i, int) { return 0xFF3080C0u + 0x010203u * i; });
    context.Enable(RC_LIGHTING);
    context.SetLight(0, Light(Vector4(1, 2, 3, 1)));
    context.Enable(RC_LIGHT0);
    Matrix4 turn;
    turn.SetRotation(20, 10, 30);
    context.SetModelMatrix(turn);
    for (int model : {RC_FLAT, RC_GOURAUD, RC_PHONG, RC_CARTOON}) {
        context.shadeModel = model;
        Draw(mesh);
        const std::vector<uint8_t> cached = context.frameBuffer.ExportRGB();
        context.frameBuffer.Clear();
        context.attribMask = ATTRIB_POSITION | ATTRIB_NORMAL | ATTRIB_COLOR;
        context.DrawModel();
        EXPECT_EQ(context.frameBuffer.ExportRGB(), cached) << model;
        EXPECT_GT(CountDrawn(context.frameBuffer), 500);
    }
}

namespace {

// Six translucent squares over one another, `size` across or more, each
// tilted its own way, with normals that vary across it; `reversed` lists them
// the other way round.
TestMesh Layers(float size, bool reversed)
{
    std::vector<TestMesh::Vertex> corners;
    std::vector<std::vector<int32_t>> faces;
    for (int layer = 0; layer < 6; ++layer) {
        const float r = size * (0.5f + 0.1f * layer), z = 0.05f * layer, tilt = 0.2f * (layer - 2);
        const int c = static_cast<int>(corners.size());
        corners.push_back({-r, -r, z, tilt, -0.3f, 1});
        corners.push_back({r, -r, z + tilt * 0.1f, 0.4f, tilt, 1});
        corners.push_back({r, r, z, -tilt, 0.5f, 1});
        corners.push_back({-r, r, z - tilt * 0.1f, -0.6f, 0.1f, 1});
        faces.push_back({c, c + 1, c + 2, c + 3});
    }
    if (reversed) std::reverse(faces.begin(), faces.end());
    return TestMesh(corners, faces);
}

}  // namespace

// Per-pixel lighting waits until a batch of written fragments is full, then
// lights the batch and blends each fragment into its pixel in the order they
// were written. With translucent layers and no depth test that order shows in
// every pixel: a draw that queues across faces (corners cached) must give the
// same float colours as the per-face path, which lights what each walk and
// span wrote before the next begins; drawing the layers the other way round
// must not. Large layers put many batch ends inside a layer; tiny ones put
// several layers' fragments of one pixel into one batch.
TEST_F(DrawModelTest, TranslucentLayersLitPerPixelBlendInDrawingOrder)
{
    context.Enable(RC_LIGHTING);
    context.SetLight(0, Light(Vector4(0.5f, 1, 2, 1)));
    context.Enable(RC_LIGHT0);
    context.depthTest = false;
    context.material.diffuse.a = 0.5f;
    for (const auto& [size, model] : {std::pair(1.0f, RC_PHONG), std::pair(1.0f, RC_CARTOON),
                                      std::pair(0.1f, RC_PHONG), std::pair(0.1f, RC_CARTOON)}) {
        TestMesh layers = Layers(size, false), reversed = Layers(size, true);
        context.shadeModel = model;
        ASSERT_GT(Draw(layers), size > 0.5f ? 1000 : 9);
        const std::vector<float> queuedAcrossFaces = Colours(context.frameBuffer);
        context.frameBuffer.Clear();
        context.attribMask = ATTRIB_POSITION | ATTRIB_NORMAL | ATTRIB_COLOR;
        context.DrawModel();
        EXPECT_EQ(Colours(context.frameBuffer), queuedAcrossFaces) << size << " " << model;
        Draw(reversed);
        EXPECT_NE(Colours(context.frameBuffer), queuedAcrossFaces) << size << " " << model;
    }
}

// The corner cache keeps its places from one draw to the next and the next
// draw fetches into them: nothing the last draw left there may show. A grid
// drawn after another mesh must look as it does drawn first, in a fresh
// context, unlit (vertex colours) and lit per pixel (normals and positions).
TEST_F(DrawModelTest, ADrawSeesNothingTheLastDrawLeftInTheCornerCache)
{
    std::vector<TestMesh::Vertex> before, after;
    std::vector<std::vector<int32_t>> faces;
    const int n = 6;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) {
            const float x = -1 + 2.0f * i / n, y = -1 + 2.0f * j / n;
            before.push_back({y, -x, 0.4f, 1, 0, 0.2f, 0xFF10E020u});
            after.push_back(
                {x, y, 0.1f * x * y, 0.2f * x, -0.1f * y, 1, 0xFF2040F0u + 0x0303u * i});
        }
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int c = j * (n + 1) + i;
            faces.push_back({c, c + 1, c + n + 2, c + n + 1});
        }
    TestMesh first(before, faces), second(after, faces);
    for (bool lit : {false, true}) {
        RenderContext fresh;
        for (RenderContext* c : {&context, &fresh}) {
            c->SetFrameBuffer(FrameBuffer(64, 64, Color(0, 0, 0, 1)));
            c->SetCamera(context.camera);
            c->SetModelMatrix(Matrix4());
            c->shadeModel = lit ? RC_PHONG : RC_GOURAUD;
            if (lit) {
                c->Enable(RC_LIGHTING);
                c->SetLight(0, Light(Vector4(1, 2, 3, 1)));
                c->Enable(RC_LIGHT0);
            }
        }
        Draw(first);
        Draw(second);
        second.Bind(fresh);
        fresh.DrawModel();
        EXPECT_GT(CountDrawn(fresh.frameBuffer), 1000) << lit;
        EXPECT_EQ(Colours(context.frameBuffer), Colours(fresh.frameBuffer)) << lit;
    }
}
