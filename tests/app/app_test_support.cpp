#include "app_test_support.h"

#include <stdlib.h>  // mkdtemp

#include <filesystem>
#include <fstream>

#include "app/frame_cycle.h"

namespace app_test {

std::string AsciiPly(const std::vector<Point>& vertices, const std::vector<Triangle>& faces)
{
    std::ostringstream ply;
    ply << "ply\nformat ascii 1.0\nelement vertex " << vertices.size()
        << "\nproperty float x\nproperty float y\nproperty float z\nelement face " << faces.size()
        << "\nproperty list uchar int vertex_indices\nend_header\n";
    for (const Point& v : vertices)
        ply << v[0] << ' ' << v[1] << ' ' << v[2] << '\n';
    for (const Triangle& f : faces)
        ply << "3 " << f[0] << ' ' << f[1] << ' ' << f[2] << '\n';
    return ply.str();
}

std::vector<Point> BoxCorners(const Point& lo, const Point& hi)
{
    std::vector<Point> corners;
    for (int i = 0; i < 8; ++i)
        corners.push_back(
            {(i & 4) ? hi[0] : lo[0], (i & 2) ? hi[1] : lo[1], (i & 1) ? hi[2] : lo[2]});
    return corners;
}

std::vector<Triangle> BoxTriangles()
{
    return {{0, 1, 3}, {0, 3, 2}, {4, 6, 7}, {4, 7, 5}, {0, 4, 5}, {0, 5, 1},
            {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
}

void SceneTest::SetUp()
{
    std::string pattern = ::testing::TempDir() + "zbuffer_app_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr) << pattern;
    folder = pattern;
    ASSERT_EQ(gModel, nullptr);
    ASSERT_EQ(gPresenter, nullptr);
    RenderContext& c = RenderContext::Instance();
    c.lighting = false;
    for (LightSlot& slot : c.lights)
        slot.enabled = false;
    c.frontFace = RC_CW;
    c.polygonMode = RC_LINE;
    c.shadeModel = RC_FLAT;
    c.attribMask = 0;
    gAngle = 0.0f;
}

void SceneTest::TearDown()
{
    delete gModel;
    gModel = nullptr;
    delete gPresenter;
    gPresenter = nullptr;
    RenderContext& c = RenderContext::Instance();
    c.faceList = nullptr;  // they pointed into the model just freed
    c.vertexArray = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string SceneTest::WriteFile(const std::string& name, const std::string& text)
{
    const std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string SceneTest::SetUpBox(const Point& lo, const Point& hi)
{
    const std::string path = WriteFile("box.ply", AsciiPly(BoxCorners(lo, hi), BoxTriangles()));
    CaptureStdout out;
    SetupScene(path.c_str());
    return out.Text();
}

}  // namespace app_test
