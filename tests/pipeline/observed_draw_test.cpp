// An observed draw against the road of the pipeline walked step by step: a
// second scan conversion, written from the road's description alone (no
// shortcut: every walk pixel and span pixel is a fragment, wherever it
// lies), with its own depth buffer. Both must count the same, tally every
// pixel alike and record the same history at every pixel, and the observed
// frame must be the frame, whether the draws run on one thread or on three.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "counts_text.h"
#include "model/model.h"
#include "pipeline/corner_cache.h"
#include "pipeline/draw_model.h"
#include "pipeline/draw_observer.h"
#include "pipeline/draw_setup.h"
#include "pipeline/texture_image.h"
#include "pipeline/triangle_stage.h"
#include "render/render_context.h"
#include "test_mesh.h"

namespace {

// The road's fragments, depth-tested in a depth buffer of its own.
class Road {
public:
    Road(int width, int height, bool depthTest)
        : tallies(static_cast<std::size_t>(width * height)),
          histories(tallies.size()),
          width(width),
          height(height),
          depthTest(depthTest),
          depths(tallies.size(), CLEAR_DEPTH)
    {
    }

    PipelineCounts counts;
    std::vector<PixelTally> tallies;
    std::vector<std::vector<PixelEvent>> histories;

    // The triangle stage's outcomes come from the program's own stage; what
    // follows a drawn triangle is walked here.
    void Draw(const FaceList& faces, const VertexArray& vertices, const DrawSetup& setup)
    {
        const TriangleStage stage(setup);
        const CornerFetch fetch(vertices, 15);
        counts.faces += faces.count;
        for (int32_t f = 0; f < faces.count; ++f) {
            const Face& face = faces.records[f];
            bool inRange = true;
            for (int32_t index : face.indices)
                inRange = inRange && index >= 0 && index < vertices.count;
            if (face.cornerCount < 3 || !inRange) continue;
            for (int32_t i = 1; i + 1 < face.cornerCount; ++i) {
                PipelineVertex corners[3];
                const int32_t fan[3] = {face.indices[0], face.indices[i], face.indices[i + 1]};
                for (int k = 0; k < 3; ++k)
                    fetch(fan[k], corners[k]);
                DrawTriangle(stage, corners, faces.GetFaceNormal(f), {f, i - 1}, setup.fill);
            }
        }
    }

private:
    struct Entry {
        int x, y;
        float z;
    };
    int width, height;
    bool depthTest;
    std::vector<float> depths;

    void DrawTriangle(const TriangleStage& stage, const PipelineVertex corners[3],
                      const Vector3& normal, TriangleId id, bool fill)
    {
        ++counts.triangles;
        FaceInWorld face{Centroid(corners[0].position, corners[1].position, corners[2].position),
                         normal};
        if (!stage.FacesTheEye(face)) {
            ++counts.culled;
            return;
        }
        GivenCorners given(stage);
        given.Use(corners);
        ScreenTriangle triangle;
        if (!stage.SetUp<GivenCorners, true>(given, nullptr, triangle)) {
            ++counts.rejected;
            return;
        }
        ++counts.drawn;
        Scan(triangle.corners, id, fill);
    }

    // PrepareEdges, the three walks sharing the cursor as the road has it,
    // and FillSpans.
    void Scan(const PipelineVertex v[3], TriangleId id, bool fill)
    {
        const int rows = static_cast<int>(std::fabs(v[2].windowPos.y - v[0].windowPos.y));
        std::vector<Entry> chain(static_cast<std::size_t>(rows)), longEdge(chain.size());
        int cursor = 0;
        Walk(v[0], v[1], chain, cursor, id, FragmentSource::kEdge1);
        Walk(v[1], v[2], chain, cursor, id, FragmentSource::kEdge2);
        cursor = 0;
        Walk(v[0], v[2], longEdge, cursor, id, FragmentSource::kLong);
        if (!fill) return;
        for (int k = 0; k < rows; ++k) {
            const Entry& l = chain[static_cast<std::size_t>(k)];
            const Entry& r = longEdge[static_cast<std::size_t>(k)];
            const int n = std::abs(l.x - r.x);
            const int step = l.x > r.x ? -1 : 1;
            for (int i = 1; i < n; ++i) {
                const float t = static_cast<float>(i) / static_cast<float>(n);
                Fragment(l.x + i * step, l.y, id, FragmentSource::kSpan, t,
                         (1.0f - t) * l.z + t * r.z);
            }
        }
    }

    // Bresenham's walk, every pixel shaded, the first of each new row
    // recorded while the list has room.
    void Walk(const PipelineVertex& a, const PipelineVertex& b, std::vector<Entry>& list,
              int& cursor, TriangleId id, FragmentSource source)
    {
        const int xa = static_cast<int>(a.windowPos.x), ya = static_cast<int>(a.windowPos.y);
        int dx = static_cast<int>(b.windowPos.x) - xa, dy = static_cast<int>(b.windowPos.y) - ya;
        const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
        dx = std::abs(dx);
        dy = std::abs(dy);
        const bool xMajor = dy < dx;
        const int steps = xMajor ? dx : dy, across = xMajor ? dy : dx;
        int x = xa, y = ya, previousRow = ya, e = 2 * across - steps;
        for (int i = 0; i <= steps; ++i) {
            const float t = steps == 0 ? 0.0f : static_cast<float>(i) / static_cast<float>(steps);
            const float z = (1.0f - t) * a.windowPos.z + t * b.windowPos.z;
            Fragment(x, y, id, source, t, z);
            if (y != previousRow && cursor < static_cast<int>(list.size())) {
                list[static_cast<std::size_t>(cursor++)] = {x, y, z};
                previousRow = y;
            }
            const bool minor = e >= 0;
            e += minor ? 2 * (across - steps) : 2 * across;
            x += xMajor ? sx : (minor ? sx : 0);
            y += xMajor ? (minor ? sy : 0) : sy;
        }
    }

    void Fragment(int x, int y, TriangleId id, FragmentSource source, float t, float z)
    {
        ++counts.fragments;
        if (x < 0 || x >= width || y < 0 || y >= height) {
            ++counts.offscreen;
            return;
        }
        const std::size_t i = static_cast<std::size_t>(y * width + x);
        const float stored = depths[i];
        const bool passed = !depthTest || stored > z;
        if (passed && depthTest) depths[i] = z - 0.05f;
        ++tallies[i].fragments;
        ++(passed ? counts.depthPassed : counts.depthFailed);
        counts.written += passed ? 1 : 0;
        if (passed) {
            tallies[i].face = id.face;
            tallies[i].source = source;
        }
        histories[i].push_back({id, source, t, z, stored, passed, {}, {}});
    }
};

std::vector<PixelPosition> EveryPixel(const FrameBuffer& fb)
{
    std::vector<PixelPosition> all;
    for (int y = 0; y < fb.height; ++y)
        for (int x = 0; x < fb.width; ++x)
            all.push_back({x, y});
    return all;
}

bool SameEvent(const PixelEvent& a, const PixelEvent& b)
{
    const auto same = [](float u, float v) { return u == v || (std::isnan(u) && std::isnan(v)); };
    return a.triangle.face == b.triangle.face && a.triangle.triangle == b.triangle.triangle &&
           a.source == b.source && same(a.t, b.t) && same(a.depth, b.depth) &&
           same(a.stored, b.stored) && a.passed == b.passed;
}

// Draws the bound model plainly, then observed with every pixel watched, then
// along the road; compares the three. Returns the observed counts.
PipelineCounts CheckOnThreads(RenderContext& c, const std::string& scene,
                              const std::vector<Pixel>& plain)
{
    FrameBuffer& fb = c.frameBuffer;
    fb.Clear();
    DrawObserver observer(fb.width, fb.height, EveryPixel(fb));
    DrawModel(c, &observer);
    Road road(fb.width, fb.height, c.depthTest);
    road.Draw(*c.faceList, *c.vertexArray, DrawSetup(c, c.material));

    EXPECT_EQ(CountsText(observer.counts), CountsText(road.counts)) << scene;
    int pixelsWrong = 0, historiesWrong = 0, coloursWrong = 0;
    for (int y = 0; y < fb.height; ++y)
        for (int x = 0; x < fb.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * fb.width + x);
            const Pixel& p = fb.pixels[i];
            pixelsWrong += p.color != plain[i].color || !(p.depth == plain[i].depth);
            const PixelTally& tally = observer.At(x, y);
            const PixelTally& expected = road.tallies[i];
            historiesWrong += tally.fragments != expected.fragments ||
                              tally.face != expected.face || tally.source != expected.source;
            const std::vector<PixelEvent>& history = observer.History(tally.watch);
            if (history.size() != road.histories[i].size()) {
                ++historiesWrong;
                continue;
            }
            // Each fragment's colour is the one blended: the results chain
            // from the clear colour to the pixel's final colour.
            Pixel chained;
            chained.color = fb.clearColor;
            for (std::size_t k = 0; k < history.size(); ++k) {
                historiesWrong += !SameEvent(history[k], road.histories[i][k]);
                if (history[k].passed) FrameBuffer::Blend(chained, history[k].color);
                coloursWrong += history[k].result != chained.color;
            }
            coloursWrong += chained.color != p.color;
        }
    EXPECT_EQ(pixelsWrong, 0) << scene << ": the observed frame differs from the frame";
    EXPECT_EQ(historiesWrong, 0) << scene << ": pixels whose tally or history is not the road's";
    EXPECT_EQ(coloursWrong, 0) << scene << ": colours that do not chain to the pixel's";
    return observer.counts;
}

// CheckOnThreads with the draws on one thread and on three, against the
// plain frame of one: the threads share the frame's rows, and each counts
// the fragments of its own.
PipelineCounts CheckAgainstTheRoad(RenderContext& c, const std::string& scene)
{
    c.drawThreads = 1;
    c.frameBuffer.Clear();
    c.DrawModel();
    const std::vector<Pixel> plain = c.frameBuffer.pixels;
    const PipelineCounts counts = CheckOnThreads(c, scene, plain);
    c.drawThreads = 3;
    EXPECT_EQ(CountsText(CheckOnThreads(c, scene + " on 3 threads", plain)), CountsText(counts));
    c.drawThreads = 1;
    return counts;
}

// The window program's scene: the camera on the diagonal of the mesh's
// bounding box, light 0 beside it, a 480 x 480 frame.
class ObservedDrawTest : public ::testing::Test {
protected:
    RenderContext context;

    void Frame(Model& model, float angle)
    {
        const float d = static_cast<float>(model.halfExtent / std::tan(0.6041524723549063));
        context.SetFrameBuffer(FrameBuffer(480, 480, Color(0, 0, 0, 1)));
        context.SetCamera(
            Camera(Vector3(d, d, d), model.center, Vector3(0, 0, 1), 1.0f, 0.7853982f));
        context.SetLight(0, Light(Vector4(d, d * 0.5f, d, 1)));
        context.Enable(RC_LIGHT0);
        context.Enable(RC_LIGHTING);
        Matrix4 turn;
        turn.SetRotation(0, 0, angle);
        context.SetModelMatrix(turn);
        context.faceList = &model.faces;
        context.vertexArray = &model.vertices;
        context.attribMask = 15;
    }
};

TEST_F(ObservedDrawTest, TeapotFramesFollowTheRoadInEveryFragmentKind)
{
    Model teapot("data/teapot.ply");
    TextureImage checker(
        2, 2, {Color(1, 0, 0, 1), Color(0, 1, 0, 0.5f), Color(0, 0, 1, 1), Color(1, 1, 1, 0.25f)});
    for (const float angle : {0.0f, 130.0f}) {
        Frame(teapot, angle);
        context.texture = nullptr;
        context.frontFace = RC_CCW;
        context.depthTest = context.cullFace = true;
        context.material = Material();
        context.shadeModel = RC_GOURAUD;
        CheckAgainstTheRoad(context, "gouraud");
        context.shadeModel = RC_PHONG;
        const PipelineCounts phong = CheckAgainstTheRoad(context, "phong");
        EXPECT_GT(phong.depthFailed, 10000);  // hidden triangles' fragments among them
        context.texture = &checker;
        context.Enable(RC_TEXTURE_2D);
        context.shadeModel = RC_FLAT;
        CheckAgainstTheRoad(context, "flat textured");
        context.shadeModel = RC_CARTOON;
        CheckAgainstTheRoad(context, "cartoon textured");
        context.polygonMode = RC_LINE;
        CheckAgainstTheRoad(context, "cartoon wireframe");
        context.frontFace = RC_CW;
        context.polygonMode = RC_FILL;
        context.shadeModel = RC_GOURAUD;
        CheckAgainstTheRoad(context, "clockwise");
        // Translucent, and every face drawn whichever way it faces.
        context.depthTest = false;
        context.cullFace = false;
        context.material.diffuse.a = 0.5f;
        context.shadeModel = RC_PHONG;
        const PipelineCounts open = CheckAgainstTheRoad(context, "translucent phong");
        EXPECT_EQ(open.depthFailed, 0);
        EXPECT_EQ(open.culled, 0);
    }
}

TEST_F(ObservedDrawTest, SmallMeshesFollowTheRoad)
{
    for (const char* path : {"tests/meshes/cube.ply", "tests/meshes/quad.ply",
                             "tests/meshes/octahedron.ply", "tests/meshes/octahedron_inward.ply"}) {
        Model mesh(path);
        for (const int shade : {RC_FLAT, RC_PHONG}) {
            Frame(mesh, 20.0f);
            context.shadeModel = shade;
            const PipelineCounts counts = CheckAgainstTheRoad(context, path);
            EXPECT_GT(counts.depthPassed, 1000) << path;
        }
    }
}

// Triangles scattered far beyond the frame's edges, as quads, fans and
// faces that are not drawn: most fragments lie off the frame, in rows above
// and below it and in spans that cross it.
TEST(ObservedDraw, TrianglesReachingFarOffTheFrameFollowTheRoad)
{
    std::mt19937 random(2024);
    std::uniform_real_distribution<float> ndc(-4.0f, 4.0f), depth(0.5f, 30.0f);
    std::vector<TestMesh::Vertex> corners;
    for (int i = 0; i < 400; ++i)
        corners.push_back({ndc(random), ndc(random), depth(random), 0, 0, 1,
                           0xFF000000u | static_cast<uint32_t>(random() & 0xFFFFFF)});
    corners.push_back({900, 0, 5});  // beyond the window band
    // Thousands of pixels across: one up to the band's edge (8000 pixels).
    corners.push_back({-250, 0.5f, 5});
    corners.push_back({0.5f, 250, 6});
    corners.push_back({0, -250, 7});
    std::uniform_real_distribution<float> far(-40.0f, 40.0f);
    for (int i = 0; i < 24; ++i)
        corners.push_back({far(random), far(random), depth(random)});
    std::vector<std::vector<int32_t>> faces;
    for (int32_t i = 0; i + 4 < 400; i += 3)
        faces.push_back(i % 5 == 0 ? std::vector<int32_t>{i, i + 1, i + 2, i + 3, i + 4}
                                   : std::vector<int32_t>{i, i + 1, i + 2});
    for (int32_t i = 401; i + 2 < 428; i += 3)
        faces.push_back({i, i + 1, i + 2});
    faces.push_back({0, 400, 1});
    faces.push_back({3, 7});
    faces.push_back({1, 2, 428});
    TestMesh mesh(corners, faces);
    for (const bool depthTest : {true, false}) {
        RenderContext context;
        context.SetFrameBuffer(FrameBuffer(64, 64, Color(0, 0, 0, 1)));
        context.modelViewProjectionMatrix = Matrix4();  // positions are clip coordinates
        context.depthTest = depthTest;
        mesh.Bind(context);
        const PipelineCounts counts = CheckAgainstTheRoad(context, "scattered");
        EXPECT_GT(counts.offscreen, 10000000);  // the largest triangles, mostly off the frame
        EXPECT_GT(counts.culled, 0);
        EXPECT_GT(counts.rejected, 1);
        EXPECT_EQ(counts.faces, static_cast<int64_t>(faces.size()));
    }
}

}  // namespace
