#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "pipeline/texture_image.h"
#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"
#include "test_mesh.h"

namespace {

using PixelSet = std::set<std::pair<int, int>>;  // (column, row)

// Corners are placed straight in window pixels and handed to the three scan
// steps, as the triangle stage does after snapping.
class ScanConversionTest : public ::testing::Test {
protected:
    RenderContext context;
    TriangleRasterizer rasterizer{context};

    void SetUp() override { context.SetFrameBuffer(FrameBuffer(12, 12, Color(0, 0, 0, 1))); }

    void Place(int k, int x, int y, float depth = 5.0f, Color color = Color(1, 1, 1, 1))
    {
        rasterizer.vertices[k].windowPos =
            Vector4(static_cast<float>(x), static_cast<float>(y), depth, 1);
        rasterizer.vertices[k].color = color;
    }

    void Scan(bool fill)
    {
        rasterizer.PrepareEdges();
        rasterizer.WalkEdge(rasterizer.vertices[0], rasterizer.vertices[1], 1);
        rasterizer.WalkEdge(rasterizer.vertices[1], rasterizer.vertices[2], 1);
        rasterizer.WalkEdge(rasterizer.vertices[0], rasterizer.vertices[2], 2);
        if (fill) rasterizer.FillSpans();
    }

    PixelSet Lit() const
    {
        PixelSet lit;
        const FrameBuffer& fb = context.frameBuffer;
        for (int y = 0; y < fb.height; ++y)
            for (int x = 0; x < fb.width; ++x)
                if (fb.pixels[y * fb.width + x].color.r > 0) lit.insert({x, y});
        return lit;
    }

    float Red(int x, int y) const { return context.frameBuffer.pixels[y * 12 + x].color.r; }
};

TEST_F(ScanConversionTest, FilledRightTriangleCoversEdgesAndInterior)
{
    Place(0, 1, 1);
    Place(1, 5, 1);
    Place(2, 1, 5);
    Scan(true);
    const PixelSet expected = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {1, 2}, {2, 2}, {3, 2},
                               {4, 2}, {1, 3}, {2, 3}, {3, 3}, {1, 4}, {2, 4}, {1, 5}};
    EXPECT_EQ(Lit(), expected);
    EXPECT_EQ(rasterizer.edgeRows, 4);
    EXPECT_EQ(edgeCursor, 0);
}

TEST_F(ScanConversionTest, WireframeDrawsOnlyTheBresenhamEdges)
{
    Place(0, 1, 1);
    Place(1, 5, 1);
    Place(2, 1, 5);
    Scan(false);
    const PixelSet expected = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {4, 2},
                               {3, 3}, {2, 4}, {1, 5}, {1, 2}, {1, 3}, {1, 4}};
    EXPECT_EQ(Lit(), expected);
}

TEST_F(ScanConversionTest, EdgeListsRecordTheFirstPixelOfEveryRowBelowTheTop)
{
    // Sorted by row: (2, 1) top, (9, 3) middle, (4, 7) bottom.
    Place(0, 9, 3);
    Place(1, 2, 1);
    Place(2, 4, 7);
    Scan(true);
    EXPECT_EQ(rasterizer.vertices[0].windowPos.y, 1);
    EXPECT_EQ(rasterizer.vertices[1].windowPos.x, 9);
    ASSERT_EQ(rasterizer.edgeRows, 6);
    // Chain: the x-major edge (2,1)->(9,3) reaches row 2 at x = 4 and row 3 at
    // x = 8; then (9,3)->(4,7) records rows 4..7.
    const int chainX[] = {4, 8, 8, 7, 5, 4};
    const int longX[] = {2, 3, 3, 3, 4, 4};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(rasterizer.chainEdges[k].windowPos.y, 2 + k) << k;
        EXPECT_EQ(rasterizer.chainEdges[k].windowPos.x, chainX[k]) << k;
        EXPECT_EQ(rasterizer.longEdges[k].windowPos.y, 2 + k) << k;
        EXPECT_EQ(rasterizer.longEdges[k].windowPos.x, longX[k]) << k;
    }
    // Spans fill strictly between the two recorded pixels of each row.
    for (int x = 3; x < 8; ++x)
        EXPECT_GT(Red(x, 3), 0) << x;
    EXPECT_EQ(Red(2, 3), 0);
    EXPECT_EQ(Red(9, 4), 0);
}

TEST_F(ScanConversionTest, TriangleOnOneRowIsDrawnAsARunWithoutEdgeEntries)
{
    Place(0, 2, 4);
    Place(1, 8, 4);
    Place(2, 5, 4);
    Scan(true);
    EXPECT_EQ(rasterizer.edgeRows, 0);
    PixelSet expected;
    for (int x = 2; x <= 8; ++x)
        expected.insert({x, 4});
    EXPECT_EQ(Lit(), expected);
}

TEST_F(ScanConversionTest, EdgeWithBothEndsOnOnePixelShadesItOnceAtTheStartColour)
{
    context.Enable(RC_DEPTH_TEST);
    Place(0, 3, 3, 5.0f, Color(0.5f, 0, 0, 1));
    Place(1, 3, 3, 5.0f, Color(1, 0, 0, 1));
    Place(2, 3, 3, 5.0f, Color(1, 0, 0, 1));
    rasterizer.PrepareEdges();
    rasterizer.WalkEdge(rasterizer.vertices[0], rasterizer.vertices[1], 1);
    EXPECT_EQ(Red(3, 3), 0.5f);
    EXPECT_EQ(context.frameBuffer.GetDepth(3, 3), 5.0f - 0.05f);
}

TEST_F(ScanConversionTest, PixelsOfAnXMajorRunInsideTheSpanAreShadedTwice)
{
    // Half-transparent white over black, no depth test: one write gives 0.5,
    // a second 0.75.
    context.depthTest = false;
    const Color half(1, 1, 1, 0.5f);
    Place(0, 1, 1, 5, half);
    Place(1, 10, 1, 5, half);
    Place(2, 9, 3, 5, half);
    Scan(true);
    // The long edge (1,1)->(9,3) is x-major: on row 2 it is recorded at x = 3
    // and runs on to x = 6, into the span between x = 3 and the chain's x = 9.
    EXPECT_FLOAT_EQ(Red(3, 2), 0.5f);   // recorded edge pixel
    EXPECT_FLOAT_EQ(Red(5, 2), 0.75f);  // run pixel inside the span
    EXPECT_FLOAT_EQ(Red(7, 2), 0.5f);   // span only
    EXPECT_FLOAT_EQ(Red(9, 3), 0.75f);  // corner shared by two walks
}

TEST_F(ScanConversionTest, DepthTestKeepsTheNearerOfTwoTriangles)
{
    Place(0, 1, 1, 10.0f, Color(1, 0, 0, 1));
    Place(1, 8, 1, 10.0f, Color(1, 0, 0, 1));
    Place(2, 1, 8, 10.0f, Color(1, 0, 0, 1));
    Scan(true);
    Place(0, 1, 1, 20.0f, Color(0, 1, 0, 1));
    Place(1, 8, 1, 20.0f, Color(0, 1, 0, 1));
    Place(2, 1, 8, 20.0f, Color(0, 1, 0, 1));
    Scan(true);
    EXPECT_EQ(Red(2, 2), 1.0f);
    EXPECT_EQ(context.frameBuffer.pixels[2 * 12 + 2].color.g, 0.0f);
}

TEST_F(ScanConversionTest, ColoursAndDepthInterpolateLinearlyAlongAnEdge)
{
    Place(0, 0, 0, 0.0f, Color(0, 0, 0, 1));
    Place(1, 4, 0, 4.0f, Color(1, 0, 0, 1));
    rasterizer.PrepareEdges();
    context.depthTest = true;
    rasterizer.WalkEdge(rasterizer.vertices[0], rasterizer.vertices[1], 0);
    EXPECT_FLOAT_EQ(Red(1, 0), 0.25f);
    EXPECT_FLOAT_EQ(Red(2, 0), 0.5f);
    EXPECT_FLOAT_EQ(context.frameBuffer.GetDepth(3, 0), 3.0f - 0.05f);
}

}  // namespace

// Per-pixel lighting lights only the walk fragments it writes; a fragment
// recorded in the edge list but hidden still hands its entry the normal and
// position the span will interpolate, exactly as when it is written.
TEST_F(ScanConversionTest, HiddenRecordedFragmentsKeepTheirNormalAndPosition)
{
    context.Enable(RC_LIGHTING);
    context.Enable(RC_LIGHT0);
    context.shadeModel = RC_PHONG;
    Place(0, 2, 1);
    Place(1, 9, 3);
    Place(2, 4, 9);
    const Vector3 normals[3] = {{0, 0, 2}, {1, 0, 1}, {0, -3, 1}};
    for (int k = 0; k < 3; ++k) {
        rasterizer.vertices[k].normal = normals[k];
        rasterizer.vertices[k].position = Vector4(static_cast<float>(k), 0.5f * k, -1.0f * k, 1);
    }
    const auto entries = [this] {
        std::vector<std::array<float, 6>> recorded;
        for (const auto* list : {&rasterizer.chainEdges, &rasterizer.longEdges})
            for (int k = 0; k < rasterizer.edgeRows; ++k) {
                const PipelineVertex& e = (*list)[static_cast<std::size_t>(k)];
                recorded.push_back(
                    {e.normal.x, e.normal.y, e.normal.z, e.position.x, e.position.y, e.position.z});
            }
        return recorded;
    };
    Scan(false);  // every fragment written
    const auto written = entries();
    ASSERT_FALSE(Lit().empty());
    context.SetFrameBuffer(FrameBuffer(12, 12, Color(0, 0, 0, 1)));
    for (Pixel& p : context.frameBuffer.pixels)
        p.depth = -100.0f;  // nearer than every fragment
    rasterizer.chainEdges.assign(rasterizer.chainEdges.size(), PipelineVertex());
    rasterizer.longEdges.assign(rasterizer.longEdges.size(), PipelineVertex());
    Scan(false);  // none written, all recorded
    EXPECT_TRUE(Lit().empty());
    EXPECT_EQ(entries(), written);
}

namespace {

// Scan conversion as stepping through every pixel does it: every pixel of
// every walk and span goes through the fragment stage, which drops those
// outside the frame buffer. Corners come sorted and coloured, as the
// triangle stage leaves them.
class SteppedScan {
public:
    explicit SteppedScan(TriangleRasterizer& shade) : shade(shade) {}

    void Draw(const PipelineVertex v[3], bool fill)
    {
        const int rows = std::abs(Pixel(v[2].windowPos.y) - Pixel(v[0].windowPos.y));
        std::vector<PipelineVertex> chain(rows), longEdge(rows);
        const int cursor = Walk(v[0], v[1], chain, 0);
        Walk(v[1], v[2], chain, cursor);
        Walk(v[0], v[2], longEdge, 0);
        for (int k = 0; fill && k < rows; ++k)
            Span(chain[k], longEdge[k]);
    }

private:
    TriangleRasterizer& shade;

    static int Pixel(float v) { return static_cast<int>(v); }

    int Walk(const PipelineVertex& a, const PipelineVertex& b, std::vector<PipelineVertex>& list,
             int cursor)
    {
        int x = Pixel(a.windowPos.x), y = Pixel(a.windowPos.y), previous = y;
        int dx = Pixel(b.windowPos.x) - x, dy = Pixel(b.windowPos.y) - y, sx = 1, sy = 1;
        if (dx < 0) dx = -dx, sx = -1;
        if (dy < 0) dy = -dy, sy = -1;
        const bool xMajor = dy < dx;
        const int n = xMajor ? dx : dy, across = xMajor ? dy : dx;
        int e = 2 * across - n;
        for (int i = 0; i <= n; ++i) {
            const float t = n == 0 ? 0.0f : static_cast<float>(i) / static_cast<float>(n);
            PipelineVertex out;
            shade.ShadeFragment(a, b, x, y, t, &out.position, &out.normal, &out.color,
                                &out.texCoord);
            if (y != previous && cursor < static_cast<int>(list.size())) {
                out.windowPos = Vector4(static_cast<float>(x), static_cast<float>(y),
                                        (1 - t) * a.windowPos.z + t * b.windowPos.z,
                                        (1 - t) * a.windowPos.w + t * b.windowPos.w);
                list[cursor++] = out;
                previous = y;
            }
            const bool minor = e >= 0;
            e += minor ? 2 * (across - n) : 2 * across;
            x += xMajor ? sx : (minor ? sx : 0);
            y += xMajor ? (minor ? sy : 0) : sy;
        }
        return cursor;
    }

    void Span(const PipelineVertex& left, const PipelineVertex& right)
    {
        const int xl = Pixel(left.windowPos.x), row = Pixel(left.windowPos.y);
        const int n = std::abs(xl - Pixel(right.windowPos.x));
        const int step = left.windowPos.x > right.windowPos.x ? -1 : 1;
        for (int i = 1; i < n; ++i)
            shade.ShadeFragment(left, right, xl + i * step, row,
                                static_cast<float>(i) / static_cast<float>(n), nullptr, nullptr,
                                nullptr, nullptr);
    }
};

// Every byte of colour and depth.
std::vector<uint8_t> Bytes(const FrameBuffer& fb)
{
    const auto* first = reinterpret_cast<const uint8_t*>(fb.pixels.data());
    return std::vector<uint8_t>(first, first + fb.pixels.size() * sizeof(Pixel));
}

// Triangles over a small window, with corners up to hundreds of pixels off
// every side of it: long walks that enter and leave it, rows wholly above and
// below it, windows wholly inside a triangle, and corners of differing w.
std::vector<std::array<Vector4, 3>> FarTriangles()
{
    std::vector<std::array<Vector4, 3>> triangles = {
        {Vector4(0, 33, 5, 1), Vector4(-35, 0, 6, 1), Vector4(33, -33, 7, 1)},
        {Vector4(-0.5f, -40, 4, 1), Vector4(40, 0.3f, 4.5f, 1), Vector4(-40, 30, 3, 1)},
        {Vector4(0.2f, 2, 2, 1), Vector4(-30, -0.9f, 2, 1), Vector4(25, -1.5f, 3, 1)},
        {Vector4(-1, -1, 2.5f, 1), Vector4(0.9f, 1, 2.5f, 1), Vector4(38, 37, 2.5f, 1)},
        {Vector4(0.5f, 60, 1.5f, 2), Vector4(-30, 0.5f, 1.2f, 0.5f), Vector4(20, -20, 9, 1.5f)}};
    std::mt19937 random(11);
    std::uniform_real_distribution<float> far(-30, 30), in(-1, 1), depth(1, 9), w(0.6f, 1.8f);
    for (int k = 0; k < 12; ++k) {
        std::array<Vector4, 3> t;
        for (Vector4& c : t)
            c = Vector4(far(random), far(random), depth(random), 1);
        t[0].x = in(random);  // some corner inside in x, another in y
        t[1].y = in(random);
        for (Vector4& c : t) {
            c.w = w(random);
            c.x *= c.w;
            c.y *= c.w;
        }
        triangles.push_back(t);
    }
    return triangles;
}

struct FarMode {
    int32_t shadeModel;
    bool lighting, texture, depthTest, translucent, wireframe;
};

}  // namespace

// Pixels outside the frame buffer write nothing, so the walks and spans pass
// over them; what they write inside must be exactly what stepping through
// every pixel writes, in every kind of fragment, in order (translucent
// layers without the depth test show any change of order), with each edge
// entry a span reads recorded as stepping records it.
TEST(ScanConversionOffScreen, FarCornersWriteTheFrameThatSteppingThroughEveryPixelWrites)
{
    const TextureImage texture = [] {
        std::vector<Color> texels;
        for (int k = 0; k < 12; ++k)
            texels.emplace_back(0.1f * k, 1 - 0.07f * k, 0.5f, k % 3 ? 1.0f : 0.6f);
        return TextureImage(4, 3, texels);
    }();
    const FarMode modes[] = {{RC_GOURAUD, true, false, true, false, false},
                             {RC_GOURAUD, false, false, false, true, false},
                             {RC_FLAT, true, true, true, false, false},
                             {RC_PHONG, true, true, true, false, false},
                             {RC_CARTOON, true, false, false, true, false},
                             {RC_REPLACE, true, true, false, true, false},
                             {RC_PHONG, true, false, true, false, true}};
    for (const FarMode& mode : modes) {
        RenderContext drawn, stepped, probe;
        for (RenderContext* c : {&drawn, &stepped, &probe}) {
            c->SetFrameBuffer(FrameBuffer(23, 17, Color(0, 0, 0, 1)));
            c->modelViewProjectionMatrix = Matrix4();
            c->cullFace = false;
            c->shadeModel = mode.shadeModel;
            c->depthTest = mode.depthTest && c != &probe;  // the probe draws even what is hidden
            if (mode.wireframe) c->polygonMode = RC_LINE;
            if (mode.lighting) c->Enable(RC_LIGHTING);
            c->Enable(RC_LIGHT0);
            c->SetLight(0, Light(Vector4(2, 3, -4, 1)));
            if (mode.texture) c->Enable(RC_TEXTURE_2D);
            c->texture = const_cast<TextureImage*>(&texture);
        }
        Material material;
        if (mode.translucent) material.diffuse.a = 0.5f;
        TriangleRasterizer production(drawn), reference(stepped), corners(probe);
        reference.material = material;
        SteppedScan steps(reference);
        int index = 0;
        for (const auto& far : FarTriangles()) {
            PipelineVertex c[3];
            for (int k = 0; k < 3; ++k) {
                c[k].position = far[k];
                c[k].normal = Vector3(0.3f * k - 0.2f, 0.5f, -1);
                c[k].color = Color(0.2f * k, 1 - 0.3f * k, 0.7f, mode.translucent ? 0.5f : 1.0f);
                c[k].texCoord = Vector4(0.4f * k, 1.3f - k, 0, 1);
            }
            const Vector3 normal(0, 0, -1);
            production.LoadTriangle(c, normal, material);
            production.DrawTriangle();
            corners.edgeRows = -1;
            corners.LoadTriangle(c, normal, material);
            corners.DrawTriangle();
            ASSERT_NE(corners.edgeRows, -1) << index++;  // every one is drawn
            steps.Draw(corners.vertices, !mode.wireframe);
        }
        EXPECT_GT(CountDrawn(drawn.frameBuffer), mode.wireframe ? 30 : 23 * 17 / 2);
        EXPECT_EQ(Bytes(drawn.frameBuffer), Bytes(stepped.frameBuffer)) << mode.shadeModel;
    }
}
