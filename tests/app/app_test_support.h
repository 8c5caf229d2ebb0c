#pragma once

// Helpers for the tests of the scene set-up and the frame cycle. Those parts
// work on process-wide state (RenderContext::Instance(), gModel, gPresenter,
// gAngle), shared by every test in the test binary; SceneTest gives each test
// a known starting point and frees what the test allocated.

#include <gtest/gtest.h>

#include <array>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/frame_presenter.h"
#include "app/scene_setup.h"
#include "model/model.h"
#include "render/render_context.h"

namespace app_test {

// Standard output written while alive, through std::cout.
class CaptureStdout {
public:
    CaptureStdout() : previous(std::cout.rdbuf(captured.rdbuf())) {}
    ~CaptureStdout() { std::cout.rdbuf(previous); }
    CaptureStdout(const CaptureStdout&) = delete;
    CaptureStdout& operator=(const CaptureStdout&) = delete;

    std::string Text() const { return captured.str(); }

private:
    std::ostringstream captured;
    std::streambuf* previous;
};

using Point = std::array<float, 3>;
using Triangle = std::array<int, 3>;

// An ASCII PLY text with x, y, z per vertex and triangles.
std::string AsciiPly(const std::vector<Point>& vertices, const std::vector<Triangle>& faces);

// The 8 corners of the box lo..hi, corner i = (x bit 4, y bit 2, z bit 1),
// and its 12 triangles, counter-clockwise seen from outside.
std::vector<Point> BoxCorners(const Point& lo, const Point& hi);
std::vector<Triangle> BoxTriangles();

class SceneTest : public ::testing::Test {
protected:
    // A fresh temporary folder; the context's modes and switches are set away
    // from what the set-up writes (there is no switch-off, so the flags are
    // reset directly), and gModel / gPresenter are null.
    void SetUp() override;
    // Deletes gModel and gPresenter and the temporary folder.
    void TearDown() override;

    // Writes `text` as `name` in the temporary folder and returns its path.
    std::string WriteFile(const std::string& name, const std::string& text);

    // Runs SetupScene on a box mesh and returns what it printed.
    std::string SetUpBox(const Point& lo, const Point& hi);

    std::string folder;
};

}  // namespace app_test
