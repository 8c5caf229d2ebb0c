// Frame cycle: RenderFrame on a scene made by SetupScene.
#include "app/frame_cycle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/scene_setup.h"
#include "app_test_support.h"
#include "model/model.h"
#include "render/render_context.h"

namespace {

using app_test::CaptureStdout;
using app_test::SceneTest;

// The number of a render-time line, "Tps de rendu : NUMBER s\n", or nothing
// when the text is not exactly one such line.
std::optional<std::string> RenderTime(const std::string& text)
{
    const std::string head = "Tps de rendu : ", tail = " s\n";
    if (text.size() <= head.size() + tail.size() || text.compare(0, head.size(), head) != 0 ||
        text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
        return std::nullopt;
    const std::string number = text.substr(head.size(), text.size() - head.size() - tail.size());
    if (number.find_first_not_of("0123456789.e+-") != std::string::npos) return std::nullopt;
    return number;
}

// The box (-1, 0, -2)..(3, 1, 2): not symmetric under a quarter turn about z.
class FrameCycle : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        SetUpBox({-1, 0, -2}, {3, 1, 2});
        // What OnDisplay enables before every frame.
        RenderContext& c = RenderContext::Instance();
        c.Enable(RC_DEPTH_TEST);
        c.Enable(RC_LIGHTING);
        c.Enable(RC_LIGHT0);
    }

    // Renders one frame, checks its one output line and returns the picture.
    std::vector<uint8_t> Frame(float angle)
    {
        CaptureStdout out;
        RenderFrame(angle);
        const std::string text = out.Text();
        EXPECT_TRUE(RenderTime(text)) << text;
        return RenderContext::Instance().frameBuffer.ExportRGB();
    }

    static int LitPixels(const std::vector<uint8_t>& rgb)
    {
        int lit = 0;
        for (size_t i = 0; i < rgb.size(); i += 3)
            lit += (rgb[i] | rgb[i + 1] | rgb[i + 2]) != 0;
        return lit;
    }

    static int DifferingPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
    {
        int differing = 0;
        for (size_t i = 0; i < a.size(); i += 3)
            differing += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
        return differing;
    }
};

TEST_F(FrameCycle, PrintsOneRenderTimeLineInTheStreamsDefaultFloatFormat)
{
    CaptureStdout out;
    RenderFrame(0.0f);
    const std::string text = out.Text();
    const std::optional<std::string> number = RenderTime(text);
    ASSERT_TRUE(number) << text;
    // Whole milliseconds times 0.001, as a float, written with 6 significant digits.
    const float seconds = std::stof(*number);
    EXPECT_GE(seconds, 0.0f);
    const long milliseconds = std::lround(seconds * 1000.0);
    EXPECT_NEAR(seconds, milliseconds * 0.001, 1e-6);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%g",
                  static_cast<double>(static_cast<float>(milliseconds * 0.001)));
    EXPECT_EQ(*number, expected);
}

TEST_F(FrameCycle, TheTimedFrameReturnsItsRenderTimeAndPrintsNothing)
{
    CaptureStdout out;
    const float seconds = RenderFrameTimed(0.0f);
    EXPECT_EQ(out.Text(), "");
    EXPECT_GE(seconds, 0.0f);
    EXPECT_EQ(seconds, static_cast<float>(std::lround(seconds * 1000.0) * 0.001));
}

TEST_F(FrameCycle, LeavesTheAttributeMaskZero)
{
    RenderContext& c = RenderContext::Instance();
    c.attribMask = 7;
    Frame(0.0f);
    EXPECT_EQ(c.attribMask, 0);
}

TEST_F(FrameCycle, BindsTheModelTheDefaultMaterialAndTheRotation)
{
    RenderContext& c = RenderContext::Instance();
    c.material = Material();
    Frame(90.0f);
    EXPECT_EQ(c.faceList, &gModel->faces);
    EXPECT_EQ(c.vertexArray, &gModel->vertices);
    EXPECT_EQ(c.material.diffuse.ToARGB(), gDefaultMaterial.diffuse.ToARGB());
    EXPECT_EQ(c.material.ambient.ToARGB(), gDefaultMaterial.ambient.ToARGB());
    EXPECT_EQ(c.material.shininess, gDefaultMaterial.shininess);
    Matrix4 rotation;
    rotation.SetRotation(0.0f, 0.0f, 90.0f);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(c.modelMatrix.m[i], rotation.m[i]) << i;
    const Matrix4 mvp = Multiply(rotation, c.camera.GetViewProjection());
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(c.modelViewProjectionMatrix.m[i], mvp.m[i]) << i;
}

TEST_F(FrameCycle, DrawsTheMeshLitInTheMiddleOfABlackFrame)
{
    const std::vector<uint8_t> rgb = Frame(0.0f);
    const int lit = LitPixels(rgb);
    EXPECT_GT(lit, 480 * 480 / 10);
    EXPECT_LT(lit, 480 * 480);
    const auto at = [&](int x, int y) { return &rgb[3 * (y * 480 + x)]; };
    const uint8_t* centre = at(240, 240);
    EXPECT_GT(centre[0] | centre[1] | centre[2], 0);
}

TEST_F(FrameCycle, FullTurnGivesTheSameImage)
{
    // Frames 1 and 37 of the program: angles 0 and 360.
    const std::vector<uint8_t> first = Frame(0.0f);
    const std::vector<uint8_t> second = Frame(10.0f);
    const std::vector<uint8_t> turned = Frame(360.0f);
    EXPECT_EQ(DifferingPixels(first, turned), 0);
    EXPECT_GT(DifferingPixels(first, second), 1000);
}

TEST_F(FrameCycle, EveryFrameStartsFromAClearedFrameBuffer)
{
    RenderContext& c = RenderContext::Instance();
    const int filled = LitPixels(Frame(0.0f));
    c.polygonMode = RC_LINE;
    const std::vector<uint8_t> wire = Frame(0.0f);
    EXPECT_LT(LitPixels(wire), filled / 2);  // nothing of the filled frame shows through
    c.polygonMode = RC_FILL;
    EXPECT_EQ(LitPixels(Frame(0.0f)), filled);
}

TEST_F(FrameCycle, TheAngleTurnsTheMeshAboutZ)
{
    const std::vector<uint8_t> still = Frame(0.0f);
    EXPECT_GT(DifferingPixels(still, Frame(90.0f)), 1000);
    EXPECT_EQ(DifferingPixels(still, Frame(0.0f)), 0);
}

}  // namespace
