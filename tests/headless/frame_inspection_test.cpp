#include "app/frame_inspection.h"

#include <gtest/gtest.h>

#include <sstream>

#include "pipeline/draw_model.h"
#include "pipeline/test_mesh.h"
#include "render/render_context.h"

namespace {

// Two triangles in a 16 x 16 frame, unlit. The red one, corners (1, 1),
// (10, 1), (9, 3) at depth 5, shades pixel (6, 2) twice: its x-major long
// walk at step 5 of 8, then the span of row 2 (from x = 9 to 3) at step 3 of
// 6, which fails the depth test. The green one, corners (6, 1), (10, 2),
// (6, 3) at depth 3, shades it by its long walk at step 1 of 2, nearer.
TEST(FrameInspection, PrintsAPixelsHistoryOneFragmentALine)
{
    RenderContext context;
    context.SetFrameBuffer(FrameBuffer(16, 16, Color(0, 0, 0, 1)));
    context.modelViewProjectionMatrix = Matrix4();
    context.cullFace = false;
    const uint32_t red = 0xFFFF0000u, green = 0xFF00FF00u;
    TestMesh mesh({OnPixel(1, 1, 5, red), OnPixel(10, 1, 5, red), OnPixel(9, 3, 5, red),
                   OnPixel(6, 1, 3, green), OnPixel(10, 2, 3, green), OnPixel(6, 3, 3, green)},
                  {{0, 1, 2}, {3, 4, 5}});
    mesh.Bind(context);
    DrawObserver observer(16, 16, {{6, 2}});
    DrawModel(context, &observer);
    std::ostringstream out;
    PrintInspection(out, 7, observer, true);
    EXPECT_EQ(out.str(),
              "stats frame=7 faces=2 triangles=2 culled=0 rejected=0 drawn=2 fragments=43 "
              "offscreen=0 depth_passed=30 depth_failed=13 written=30\n"
              "pixel x=6 y=2 frame=7 face=0 triangle=0 source=long t=0.625 depth=5 "
              "stored=100000 passed=1 color=1,0,0,1 result=1,0,0,1\n"
              "pixel x=6 y=2 frame=7 face=0 triangle=0 source=span t=0.5 depth=5 "
              "stored=4.94999981 passed=0 color=1,0,0,1 result=1,0,0,1\n"
              "pixel x=6 y=2 frame=7 face=1 triangle=0 source=long t=0.5 depth=3 "
              "stored=4.94999981 passed=1 color=0,1,0,1 result=0,1,0,1\n");
}

TEST(FrameInspection, PrintsFloatsWithNineSignificantDigitsAndEachSourceByName)
{
    PixelEvent event;
    event.triangle = {12, 3};
    event.t = 1.0f / 3.0f;
    event.depth = 123456.789f;
    event.stored = 1e-7f;
    event.color = Color(0.1f, 2.5f, -0.25f, 1);
    event.result = Color(0.1f, 1, 0, 0.5f);
    const char* names[] = {"edge1", "edge2", "long", "span"};
    const FragmentSource sources[] = {FragmentSource::kEdge1, FragmentSource::kEdge2,
                                      FragmentSource::kLong, FragmentSource::kSpan};
    for (int k = 0; k < 4; ++k) {
        event.source = sources[k];
        EXPECT_EQ(PixelLine(2, {479, 0}, event),
                  std::string("pixel x=479 y=0 frame=2 face=12 triangle=3 source=") + names[k] +
                      " t=0.333333343 depth=123456.789 stored=1.00000001e-07 passed=0 "
                      "color=0.100000001,2.5,-0.25,1 result=0.100000001,1,0,0.5");
    }
}

}  // namespace
