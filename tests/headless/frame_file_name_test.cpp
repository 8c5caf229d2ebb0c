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

TEST(FrameFileName, TellsWhichFrameANameBelongsTo)
{
    std::string error;
    const FrameFileName padded = *FrameFileName::Parse("out/turn_%03d.png", &error);
    EXPECT_EQ(padded.FrameNamed("out/turn_007.png"), 7);
    EXPECT_EQ(padded.FrameNamed("out/turn_1234.png"), 1234);
    for (const char* other :
         {"out/turn_7.png", "out/turn_0007.png", "out/turn_-07.png", "out/turn_.png",
          "turn_007.png", "out/turn_007.ppm", "out/turn_99999999999.png"})
        EXPECT_FALSE(padded.FrameNamed(other)) << other;
    const FrameFileName spaced = *FrameFileName::Parse("f%3d.ppm", &error);
    EXPECT_EQ(spaced.FrameNamed("f  5.ppm"), 5);
    EXPECT_FALSE(spaced.FrameNamed("f005.ppm"));
    EXPECT_EQ(FrameFileName("frame.png").FrameNamed("frame.png"), 0);
    EXPECT_FALSE(FrameFileName("frame.png").FrameNamed("./frame.png"));
}

TEST(FrameFileName, NamesTheFolderItsNamesAreIn)
{
    std::string error;
    EXPECT_EQ(FrameFileName::Parse("out/turn_%d.png", &error)->Folder(), "out/");
    EXPECT_EQ(FrameFileName::Parse("turn_%d.png", &error)->Folder(), "");
    EXPECT_EQ(FrameFileName::Parse("turn_%d.png", &error)->BelowFirstFolder(), "");
    const FrameFileName folders = *FrameFileName::Parse("a/run%d/b/x.png", &error);
    EXPECT_EQ(folders.Folder(), "a/");
    EXPECT_EQ(folders.BelowFirstFolder(), "/b/x.png");
    EXPECT_EQ(folders.FrameNamed("a/run12" + folders.BelowFirstFolder()), 12);
}

}  // namespace
