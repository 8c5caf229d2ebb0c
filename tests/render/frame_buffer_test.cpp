#include "render/frame_buffer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(FrameBuffer, ClearedBlackBufferExportsAllZeroBytes)
{
    const FrameBuffer fb(480, 480, Color(0xFF000000u));
    const std::vector<uint8_t> rgb = fb.ExportRGB();
    ASSERT_EQ(rgb.size(), 691200u);
    for (uint8_t v : rgb)
        ASSERT_EQ(v, 0);
}

TEST(FrameBuffer, ExportConvertsChannelsInPixelOrder)
{
    FrameBuffer fb(2, 2, Color(0, 0, 0, 1));
    fb.WritePixel(1, 0, Color(1.5f, 0.5f, 0.999f, 1));
    fb.WritePixel(0, 1, Color(-0.5f, 1.0f, 0.0f, 1));
    const std::vector<uint8_t> rgb = fb.ExportRGB();
    const std::vector<uint8_t> expected = {0, 0, 0, 255, 127, 254, 0, 255, 0, 0, 0, 0};
    EXPECT_EQ(rgb, expected);
}

TEST(FrameBuffer, DepthOutsideTheBufferIsTheClearDepth)
{
    const FrameBuffer fb(3, 2, Color());
    EXPECT_EQ(fb.GetDepth(-1, 0), CLEAR_DEPTH);
    EXPECT_EQ(fb.GetDepth(3, 0), CLEAR_DEPTH);
    EXPECT_EQ(fb.GetDepth(0, 2), CLEAR_DEPTH);
    EXPECT_EQ(fb.GetDepth(2, 1), CLEAR_DEPTH);
}

TEST(FrameBuffer, DefaultConstructedBufferIsEmpty)
{
    FrameBuffer fb;
    fb.Clear();
    fb.WritePixel(0, 0, Color());
    EXPECT_TRUE(fb.ExportRGB().empty());
    EXPECT_EQ(fb.GetDepth(0, 0), CLEAR_DEPTH);
}

TEST(FrameBuffer, CopiesAreDeep)
{
    FrameBuffer a(2, 2, Color(0, 0, 0, 1));
    FrameBuffer b(a);
    FrameBuffer c;
    c = a;
    b.WritePixelDepthTested(0, 0, Color(1, 1, 1, 1), 5);
    c.WritePixel(1, 1, Color(1, 0, 0, 1));
    EXPECT_EQ(a.GetDepth(0, 0), CLEAR_DEPTH);
    EXPECT_EQ(a.ExportRGB(), std::vector<uint8_t>(12, 0));
    EXPECT_EQ(b.GetDepth(0, 0), 5.0f - 0.05f);
    EXPECT_EQ(c.ExportRGB()[9], 255);
}

TEST(FrameBuffer, DepthTestIsStrictAndStoresTheOffsetDepth)
{
    FrameBuffer fb(1, 1, Color(0, 0, 0, 1));
    fb.WritePixelDepthTested(0, 0, Color(1, 0, 0, 1), 10.0f);
    EXPECT_EQ(fb.GetDepth(0, 0), 10.0f - 0.05f);
    fb.WritePixelDepthTested(0, 0, Color(0, 1, 0, 1), 10.0f - 0.05f);  // equal: fails
    fb.WritePixelDepthTested(0, 0, Color(0, 1, 0, 1), NAN);
    EXPECT_EQ(fb.ExportRGB(), (std::vector<uint8_t>{255, 0, 0}));
    fb.WritePixelDepthTested(0, 0, Color(0, 0, 1, 1), 9.9f);
    EXPECT_EQ(fb.ExportRGB(), (std::vector<uint8_t>{0, 0, 255}));
}

TEST(FrameBuffer, WritesBlendByClampedAlpha)
{
    FrameBuffer fb(1, 1, Color(0, 0, 0, 1));
    fb.WritePixel(0, 0, Color(1, 1, 1, 0.25f));
    const Color c = fb.pixels[0].color;
    EXPECT_FLOAT_EQ(c.r, 0.25f);
    EXPECT_FLOAT_EQ(c.a, 0.25f * 0.25f + 0.75f);   // the stored alpha blends too
    fb.WritePixel(0, 0, Color(0, 0.5f, 0, 2.0f));  // alpha above 1 replaces
    EXPECT_EQ(fb.pixels[0].color.g, 0.5f);
    EXPECT_EQ(fb.pixels[0].color.r, 0.0f);
    EXPECT_EQ(fb.GetDepth(0, 0), CLEAR_DEPTH);  // the plain write keeps depth
}

}  // namespace
