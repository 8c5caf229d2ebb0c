// The viewer's camera: its start is the window program's, and a drag or the
// wheel turns it about the mesh or moves it, within its bounds.
#include "app/view_camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/frame_presenter.h"
#include "app/scene_setup.h"
#include "app_test_support.h"
#include "model/model.h"
#include "render/render_context.h"

namespace {

using app_test::SceneTest;

bool SameBits(const Matrix4& a, const Matrix4& b)
{
    return std::memcmp(a.m, b.m, sizeof a.m) == 0;
}

double Distance(const Vector4& a, const Vector4& b)
{
    const double x = a.x - b.x, y = a.y - b.y, z = a.z - b.z;
    return std::sqrt(x * x + y * y + z * z);
}

// The degrees above the ground plane at which the eye sees the target.
double Elevation(const Camera& c)
{
    const double x = c.eye.x - c.target.x, y = c.eye.y - c.target.y, z = c.eye.z - c.target.z;
    return std::atan2(z, std::sqrt(x * x + y * y)) * 180.0 / M_PI;
}

// A box of half-extent 1 about the origin, as the fit leaves every mesh,
// set up by the window program's scene set-up for comparison.
class ViewCamera : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        SetUpBox({-1, -1, -1}, {1, 1, 1});
        frame = Frame();
    }

    // The frame of the scene the window program's set-up made.
    static ViewFrame Frame()
    {
        const RenderContext& c = RenderContext::Instance();
        return FrameView(*gModel, c.camera, c.lights[0].light);
    }

    ViewFrame frame;
};

TEST_F(ViewCamera, StartsAsTheWindowProgramsCameraAndLight)
{
    for (const bool offCentre : {false, true}) {
        if (offCentre) {
            delete gModel;  // the set-up makes both again
            delete gPresenter;
            SetUpBox({-1, 0, -2}, {3, 1, 2});
            frame = Frame();
        }
        const RenderContext& c = RenderContext::Instance();
        const Camera camera = ::ViewCamera(frame, OrbitView(), 480, 480);
        EXPECT_TRUE(SameBits(camera.view, c.camera.view)) << offCentre;
        EXPECT_TRUE(SameBits(camera.viewProjection, c.camera.viewProjection)) << offCentre;
        const Light light = ViewLight(frame, OrbitView());
        EXPECT_EQ(std::memcmp(&light.position, &c.lights[0].light.position, sizeof(float) * 4), 0)
            << offCentre;
    }
}

TEST_F(ViewCamera, ADragTurnsAboutTheCentreAtTheSameDistance)
{
    const Camera start = ::ViewCamera(frame, OrbitView(), 480, 480);
    const double distance = Distance(start.eye, start.target);
    const OrbitView turned = Dragged(OrbitView(), 100, -40, frame);
    const Camera moved = ::ViewCamera(frame, turned, 480, 480);
    EXPECT_NEAR(Distance(moved.eye, moved.target), distance, 1e-5);
    EXPECT_GT(Distance(moved.eye, start.eye), 0.5);
    // Right turns the mesh to the right: the eye goes the other way about z.
    const double startAzimuth = std::atan2(start.eye.y, start.eye.x);
    EXPECT_LT(std::atan2(moved.eye.y, moved.eye.x), startAzimuth);
    EXPECT_LT(Elevation(moved), Elevation(start));  // up shows more of the bottom
    // The light goes round with the eye.
    const Light light = ViewLight(frame, turned);
    EXPECT_NEAR(Distance(light.position, moved.eye),
                Distance(ViewLight(frame, {}).position, start.eye), 1e-5);
}

TEST_F(ViewCamera, ThePitchStopsShortOfThePoles)
{
    for (const int dy : {100000, -100000}) {
        const OrbitView view = Dragged(OrbitView(), 0, dy, frame);
        const double elevation = Elevation(::ViewCamera(frame, view, 480, 480));
        EXPECT_NEAR(std::fabs(elevation), 85.0, 1e-3) << dy;
        EXPECT_EQ(Dragged(view, 0, dy / 1000, frame).pitch, view.pitch);
    }
}

TEST_F(ViewCamera, ZoomMovesTheEyeAlongItsLineWithinBounds)
{
    const Camera start = ::ViewCamera(frame, OrbitView(), 480, 480);
    const double distance = Distance(start.eye, start.target);
    const Camera nearer = ::ViewCamera(frame, Zoomed(OrbitView(), 0.9, frame), 480, 480);
    EXPECT_NEAR(Distance(nearer.eye, nearer.target), 0.9 * distance, 1e-5);
    EXPECT_TRUE(SameBits(nearer.view, start.view) == false);
    // No nearer than every vertex (the box's corners, sqrt 3 away) plus the
    // near distance twice over, and no farther than ten times the start.
    const Camera nearest = ::ViewCamera(frame, Zoomed(OrbitView(), 1e-6, frame), 480, 480);
    EXPECT_NEAR(Distance(nearest.eye, nearest.target), std::sqrt(3.0) + 0.2, 1e-5);
    const Camera farthest = ::ViewCamera(frame, Zoomed(OrbitView(), 1e6, frame), 480, 480);
    EXPECT_NEAR(Distance(farthest.eye, farthest.target), 10 * distance, 1e-4);
}

TEST_F(ViewCamera, TheLensTakesTheWindowsShapeAndSees45DegreesAcrossItsNarrowerSide)
{
    const Camera wide = ::ViewCamera(frame, OrbitView(), 800, 400);
    EXPECT_EQ(wide.aspect, 2.0f);
    EXPECT_EQ(wide.fov, 0.7853982f);
    const Camera tall = ::ViewCamera(frame, OrbitView(), 400, 800);
    EXPECT_EQ(tall.aspect, 0.5f);
    // Horizontally: tan(fov / 2) x aspect = tan(22.5 degrees).
    EXPECT_NEAR(std::tan(tall.fov * 0.5) * 0.5, std::tan(M_PI / 8), 1e-6);
}

TEST_F(ViewCamera, AMeshWithoutExtentIsSeenFromOneOneOneAway)
{
    const Vector3 point(0.5f, 0.5f, 0.5f);
    const Camera onThePoint(point, point, Vector3(0.0f, 0.0f, 1.0f), 1.0f, 0.7853982f);
    const ViewFrame still = FrameView(*gModel, onThePoint, Light(point));
    const Camera camera = ::ViewCamera(still, OrbitView(), 480, 480);
    EXPECT_FLOAT_EQ(camera.eye.x, 1.5f);
    EXPECT_FLOAT_EQ(camera.eye.y, 1.5f);
    EXPECT_FLOAT_EQ(camera.eye.z, 1.5f);
    for (const float m : camera.viewProjection.m)
        EXPECT_TRUE(std::isfinite(m));
}

}  // namespace
