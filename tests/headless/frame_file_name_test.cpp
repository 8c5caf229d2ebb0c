#include "app/frame_file_name.h"

#include <gtest/gtest.h>

namespace {

std::string Name(const std::string& text, int frame)
{
    std::string error;
    const std::optional<FrameFileName> name = FrameFileName::Parse(text, &error);
    EXPECT_TRUE(name) << error;
    return name ? name->ForFrame(frame) : "";
}

TEST(FrameFileName, PlainNameServesEveryFrame)
{
    std::string error;
    const std::optional<FrameFileName> name = FrameFileName::Parse("out/frame.png", &error);
    ASSERT_TRUE(name);
    EXPECT_FALSE(name->IsNumbered());
    EXPECT_EQ(name->ForFrame(0), "out/frame.png");
    EXPECT_EQ(name->ForFrame(35), "out/frame.png");
}

TEST(FrameFileName, NumbersFramesLikePrintfWithoutCallingIt)
{
    EXPECT_EQ(Name("turn_%03d.png", 7), "turn_007.png");
    EXPECT_EQ(Name("turn_%03d.png", 1234), "turn_1234.png");
    EXPECT_EQ(Name("turn_%02d.png", 0), "turn_00.png");
    EXPECT_EQ(Name("f%d.ppm", 12), "f12.ppm");
    EXPECT_EQ(Name("%3d.png", 7), "  7.png");
    EXPECT_EQ(Name("dir_%d/x.png", 4), "dir_4/x.png");
}

TEST(FrameFileName, RefusesEveryOtherUseOfPercent)
{
    for (const char* text : {"%s.png", "%.png", "%-3d.png", "%ld.png", "%d_%d.png", "100%.png",
                             "%%d.png", "%05.png", "%100d.png", "%n.png", "%x.png", "a%"}) {
        std::string error = "";
        EXPECT_FALSE(FrameFileName::Parse(text, &error)) << text;
        EXPECT_NE(error.find(text), std::string::npos) << error;
    }
}

}  // namespace
