// A draw on several threads against the same draw on one: every bit of every
// pixel's colour and depth, in every fragment kind, filled and as wireframe,
// with and without the depth test, in frames of every shape, smaller than the
// number of threads included. (The observed draw on several threads is
// checked against the road in observed_draw_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "pipeline/band_draw.h"
#include "pipeline/texture_image.h"
#include "render/render_context.h"
#include "test_mesh.h"

namespace {

// The frame of the bound model drawn on `threads` threads.
std::vector<Pixel> FrameOn(RenderContext& c, int threads)
{
    c.drawThreads = threads;
    c.frameBuffer.Clear();
    c.DrawModel();
    return c.frameBuffer.pixels;
}

// The pixels that differ in any bit (a colour that is not a number is the same one).
int PixelsApart(const std::vector<Pixel>& a, const std::vector<Pixel>& b)
{
    if (a.size() != b.size()) return -1;
    int apart = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        apart += std::memcmp(&a[i], &b[i], sizeof(Pixel)) != 0;
    return apart;
}

// Triangles of every size scattered over and beyond the frame, positions in
// clip coordinates: small ones, long thin ones, one-row ones, some far off
// the frame, translucent colours, and quads drawn as fans.
TestMesh Scattered(unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> ndc(-1.3f, 1.3f), near(-0.08f, 0.08f), depth(0.5f, 30.0f),
        unit(-1.0f, 1.0f), alpha(0.3f, 1.0f);
    std::vector<TestMesh::Vertex> corners;
    std::vector<std::vector<int32_t>> faces;
    const auto corner = [&](float x, float y) {
        corners.push_back({x, y, depth(random), unit(random), unit(random), 1,
                           (static_cast<uint32_t>(alpha(random) * 255) << 24) |
                               static_cast<uint32_t>(random() & 0xFFFFFF),
                           unit(random), unit(random)});
        return static_cast<int32_t>(corners.size() - 1);
    };
    for (int i = 0; i < 300; ++i) {
        const float x = ndc(random), y = ndc(random);
        const int32_t a = corner(x, y);
        if (i % 7 == 0) {  // one row: the same y everywhere
            faces.push_back({a, corner(x + near(random) * 8, y), corner(x - near(random), y)});
        } else if (i % 11 == 0) {  // across the frame
            faces.push_back({a, corner(-x, -y + near(random)), corner(near(random), ndc(random))});
        } else if (i % 5 == 0) {
            faces.push_back({a, corner(x + near(random), y + near(random)),
                             corner(x + near(random), y + near(random)),
                             corner(x + near(random), y + near(random))});
        } else {
            faces.push_back({a, corner(x + near(random), y + near(random)),
                             corner(x + near(random), y + near(random))});
        }
    }
    return TestMesh(corners, faces);
}

// What a case sets besides the defaults (Gouraud, filled, depth test, culling).
struct Modes {
    std::string name;
    bool lit = true;
    int32_t shade = RC_GOURAUD;
    bool textured = false, wireframe = false, clockwise = false, translucent = false;
    bool vertexColors = false;
};

void Apply(const Modes& m, RenderContext& c, TextureImage& texture)
{
    if (m.lit) c.Enable(RC_LIGHTING);
    c.SetLight(0, Light(Vector4(0.5f, 1, 40, 1)));
    c.Enable(RC_LIGHT0);
    c.shadeModel = m.shade;
    c.polygonMode = m.wireframe ? RC_LINE : RC_FILL;
    c.frontFace = m.clockwise ? RC_CW : RC_CCW;
    if (m.textured) {
        c.texture = &texture;
        c.Enable(RC_TEXTURE_2D);
    }
    c.depthTest = c.cullFace = !m.translucent;
    c.vertexColorLighting = m.vertexColors;
}

const Modes kModes[] = {
    {"unlit", false},
    {"flat", true, RC_FLAT},
    {"gouraud"},
    {"phong", true, RC_PHONG},
    {"phong textured", true, RC_PHONG, true},
    {"cartoon by vertex colours", true, RC_CARTOON, false, false, false, false, true},
    {"replace textured", true, RC_REPLACE, true},
    {"gouraud wireframe", true, RC_GOURAUD, false, true},
    {"flat clockwise", true, RC_FLAT, false, false, true},
    {"phong translucent", true, RC_PHONG, true, false, false, true},
    {"flat by vertex colours", true, RC_FLAT, false, false, false, false, true},
};

TEST(BandDraw, ScatteredTrianglesGiveOneThreadsFrameOnAnyNumberOfThreads)
{
    TestMesh mesh = Scattered(7);
    TextureImage texture(
        2, 2, {Color(1, 0, 0, 1), Color(0, 1, 0, 0.5f), Color(0, 0, 1, 1), Color(1, 1, 1, 0.25f)});
    struct Size {
        int width, height;
    };
    for (const Size size : {Size{64, 64}, Size{1, 1}, Size{7, 2}, Size{33, 5}, Size{120, 90}}) {
        for (const Modes& m : kModes) {
            RenderContext c;
            c.SetFrameBuffer(FrameBuffer(size.width, size.height, Color(0, 0, 0, 1)));
            // The eye and the light face the corners' normals.
            c.SetCamera(Camera(Vector3(0, 0, 60), Vector3(0, 0, 0), Vector3(0, 1, 0), 1, 0.8f));
            Apply(m, c, texture);
            c.modelViewProjectionMatrix = Matrix4();  // positions are clip coordinates
            mesh.Bind(c);
            const std::vector<Pixel> one = FrameOn(c, 1);
            if (size.width == 64) {
                EXPECT_GT(CountDrawn(c.frameBuffer), 1000) << m.name;
            }
            for (const int threads : {2, 3, 5, 8})
                EXPECT_EQ(PixelsApart(FrameOn(c, threads), one), 0)
                    << m.name << ", " << size.width << " x " << size.height << ", " << threads
                    << " threads";
        }
    }
}

// A dense grid: many chunks of faces, each thread's blocks set up while the
// others convert, and corners shared across blocks of different threads.
TEST(BandDraw, ADenseMeshGivesOneThreadsFrameOnAnyNumberOfThreads)
{
    TestMesh grid = WavyGrid(90, [](int i, int j) {
        return 0xFF000000u | static_cast<uint32_t>(i * 2) << 16 | static_cast<uint32_t>(j * 2);
    });
    TextureImage texture(1, 1, {Color(1, 1, 1, 1)});
    for (const Modes& m : kModes) {
        RenderContext c;
        FaceTheUnitSquare(c);
        c.SetFrameBuffer(FrameBuffer(160, 120, Color(0, 0, 0, 1)));
        Apply(m, c, texture);
        c.SetModelMatrix(Matrix4());
        grid.Bind(c);
        const std::vector<Pixel> one = FrameOn(c, 1);
        // Clockwise, the grid turns its back to the camera.
        EXPECT_GT(CountDrawn(c.frameBuffer), m.clockwise ? -1 : 5000) << m.name;
        for (const int threads : {2, 3, 8})
            EXPECT_EQ(PixelsApart(FrameOn(c, threads), one), 0) << m.name << ", " << threads;
    }
}

// Attributes left out of the mask: corners keep what no fetch sets (without
// positions, every corner sits at the origin), as the shadow pass's
// position-only draw and a draw without attributes at all rely on.
TEST(BandDraw, EveryAttributeMaskGivesOneThreadsFrameOnAnyNumberOfThreads)
{
    TestMesh grid = WavyGrid(40, [](int i, int j) {
        return 0xFF000000u | static_cast<uint32_t>(i * 5) << 16 | static_cast<uint32_t>(j * 5);
    });
    TextureImage texture(1, 1, {Color(1, 1, 1, 1)});
    for (const int32_t mask :
         std::vector<int32_t>{0, ATTRIB_POSITION, ATTRIB_POSITION | ATTRIB_NORMAL,
                              ATTRIB_NORMAL | ATTRIB_COLOR, 15 & ~ATTRIB_TEXCOORD}) {
        for (const Modes& m : {kModes[1], kModes[3], kModes[4]}) {
            RenderContext c;
            FaceTheUnitSquare(c);
            Apply(m, c, texture);
            c.SetModelMatrix(Matrix4());
            grid.Bind(c);
            c.attribMask = mask;
            const std::vector<Pixel> one = FrameOn(c, 1);
            EXPECT_GT(CountDrawn(c.frameBuffer), (mask & ATTRIB_POSITION) ? 1000 : 0)
                << m.name << ", mask " << mask;
            for (const int threads : {2, 3})
                EXPECT_EQ(PixelsApart(FrameOn(c, threads), one), 0)
                    << m.name << ", mask " << mask << ", " << threads << " threads";
        }
    }
}

// Draws follow one another on the same threads and the same kept places (the
// corner caches, the waiting triangles): nothing of one draw shows in the next.
TEST(BandDraw, DrawsOfOtherMeshesOneAfterAnotherLeaveNothingBehind)
{
    TestMesh first = Scattered(11), second = Scattered(12);
    TextureImage texture(1, 1, {Color(1, 1, 1, 1)});
    RenderContext c;
    c.SetFrameBuffer(FrameBuffer(90, 70, Color(0, 0, 0, 1)));
    Apply(kModes[3], c, texture);
    c.modelViewProjectionMatrix = Matrix4();
    std::vector<std::vector<Pixel>> alone;
    for (TestMesh* mesh : {&first, &second}) {
        mesh->Bind(c);
        alone.push_back(FrameOn(c, 1));
    }
    ASSERT_NE(PixelsApart(alone[0], alone[1]), 0);
    for (int round = 0; round < 3; ++round)
        for (std::size_t i = 0; i < 2; ++i) {
            (i == 0 ? first : second).Bind(c);
            EXPECT_EQ(PixelsApart(FrameOn(c, 2 + round), alone[i]), 0) << round << " " << i;
        }
}

// A clear on several threads reaches every pixel of frames of every shape,
// fewer rows than threads and rows that are no whole number of strips
// included.
TEST(BandDraw, AClearOnAnyNumberOfThreadsClearsEveryPixel)
{
    const Color clearColor(0.25f, 0.5f, 0.75f, 1.0f);
    const Pixel cleared{clearColor, CLEAR_DEPTH};
    for (const auto& [width, height] : {std::pair{1, 1}, {3, 2}, {90, 70}, {33, 17}, {7, 129}}) {
        for (const int threads : {1, 2, 3, 8}) {
            FrameBuffer frame(width, height, clearColor);
            std::fill(frame.pixels.begin(), frame.pixels.end(), Pixel{Color(1, 0, 0, 1), 1.0f});
            ClearInBands(frame, threads);
            int notCleared = 0;
            for (const Pixel& p : frame.pixels)
                notCleared += std::memcmp(&p, &cleared, sizeof(Pixel)) != 0;
            EXPECT_EQ(notCleared, 0) << width << " x " << height << ", " << threads;
        }
    }
    FrameBuffer empty;
    ClearInBands(empty, 3);
    EXPECT_TRUE(empty.pixels.empty());
}

}  // namespace
