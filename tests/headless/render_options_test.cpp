#include "app/render_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ParsedOptions Parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "zbuffer-render");
    return ParseRenderOptions(static_cast<int>(args.size()), args.data());
}

TEST(RenderOptions, DefaultsAreTheWindowProgramsStart)
{
    const ParsedOptions p = Parse({});
    ASSERT_EQ(p.error, "");
    const RenderOptions& o = p.options;
    EXPECT_FALSE(o.meshPath);
    EXPECT_EQ(o.frames, 1);
    EXPECT_FALSE(o.angle);
    EXPECT_EQ(o.shadeModel, RC_GOURAUD);
    EXPECT_FALSE(o.wireframe || o.clockwise || o.unlit || o.bench || o.help);
    EXPECT_FALSE(o.out);
}

TEST(RenderOptions, ReadsEveryOptionInAnyOrder)
{
    const ParsedOptions p = Parse({"--cw", "--frames", "36", "m.ply", "--angle", "-22.5", "--shade",
                                   "cartoon", "--wireframe", "--unlit", "--out", "t_%02d.ppm"});
    ASSERT_EQ(p.error, "");
    const RenderOptions& o = p.options;
    EXPECT_EQ(o.meshPath, "m.ply");
    EXPECT_EQ(o.frames, 36);
    EXPECT_EQ(o.angle, -22.5f);
    EXPECT_EQ(o.shadeModel, RC_CARTOON);
    EXPECT_TRUE(o.wireframe && o.clockwise && o.unlit);
    ASSERT_TRUE(o.out);
    EXPECT_EQ(o.out->ForFrame(7), "t_07.ppm");
}

TEST(RenderOptions, TakesValuesAfterAnEqualsSignAndEachShadeModel)
{
    const ParsedOptions p = Parse({"--frames=3", "--angle=90", "--shade=flat", "--bench"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.frames, 3);
    EXPECT_EQ(p.options.angle, 90.0f);
    EXPECT_EQ(p.options.shadeModel, RC_FLAT);
    EXPECT_TRUE(p.options.bench);
    EXPECT_EQ(Parse({"--shade", "phong"}).options.shadeModel, RC_PHONG);
    EXPECT_EQ(Parse({"--shade", "gouraud"}).options.shadeModel, RC_GOURAUD);
    EXPECT_TRUE(Parse({"--help"}).options.help);
    EXPECT_TRUE(Parse({"--version"}).options.version);
}

TEST(RenderOptions, RefusesBadCommandLinesWithOneLineReasons)
{
    const std::vector<std::vector<const char*>> bad = {{"--frames", "0"},
                                                       {"--frames", "-3"},
                                                       {"--frames", "1.5"},
                                                       {"--frames", "x"},
                                                       {"--frames", ""},
                                                       {"--frames", "99999999999"},
                                                       {"--frames"},
                                                       {"--angle", "nan"},
                                                       {"--angle", "inf"},
                                                       {"--angle", "1e99"},
                                                       {"--angle", "10deg"},
                                                       {"--shade", "smooth"},
                                                       {"--shade", "FLAT"},
                                                       {"--out", "frame.jpg"},
                                                       {"--out", "frame"},
                                                       {"--out", "a%s.png"},
                                                       {"--out", "%d_%d.png"},
                                                       {"--out", "100%.png"},
                                                       {"--fast"},
                                                       {"-w"},
                                                       {"--wireframe=1"},
                                                       {"a.ply", "b.ply"},
                                                       {"--bench", "--out", "x.png"},
                                                       {"--threads", "0"},
                                                       {"--threads", "257"},
                                                       {"--threads", "-1"},
                                                       {"--threads", "2x"},
                                                       {"--threads", ""},
                                                       {"--threads"}};
    for (const auto& args : bad) {
        const ParsedOptions p = Parse(args);
        std::string shown;
        for (const char* a : args)
            shown += std::string(a) + " ";
        EXPECT_NE(p.error, "") << shown;
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << shown;
    }
    EXPECT_EQ(Parse({"--fast"}).error, "unknown option '--fast'");
    EXPECT_EQ(Parse({"--shade", "smooth"}).error,
              "--shade: 'smooth' is not flat, gouraud, phong or cartoon");
}

TEST(RenderOptions, DrawsOnEveryCoreUnlessTheThreadsAreGiven)
{
    EXPECT_EQ(Parse({}).options.threads, AllCores());
    EXPECT_GE(AllCores(), 1);
    EXPECT_EQ(Parse({"--threads", "1"}).options.threads, 1);
    EXPECT_EQ(Parse({"--threads=256"}).options.threads, 256);
    EXPECT_EQ(Parse({"--threads", "300"}).error,
              "--threads: '300' is not a whole number from 1 to 256");
}

TEST(RenderOptions, TextureShadowAndLightSwitchesAreOffUnlessGiven)
{
    const RenderOptions none = Parse({}).options;
    EXPECT_FALSE(none.texture || none.light2);
    EXPECT_FALSE(none.replace || none.shadows || none.normalize);

    const ParsedOptions p = Parse(
        {"--texture", "c.png", "--replace", "--shadows", "--light2=-1.5,2,3e1", "--normalize"});
    ASSERT_EQ(p.error, "");
    const RenderOptions& o = p.options;
    EXPECT_EQ(o.texture, "c.png");
    EXPECT_TRUE(o.replace && o.shadows && o.normalize);
    ASSERT_TRUE(o.light2);
    EXPECT_EQ(o.light2->x, -1.5f);
    EXPECT_EQ(o.light2->y, 2.0f);
    EXPECT_EQ(o.light2->z, 30.0f);
}

TEST(RenderOptions, VertexColourLightingIsOffUnlessGivenAndNeedsSomethingLit)
{
    EXPECT_FALSE(Parse({}).options.vertexColors);
    const ParsedOptions p = Parse({"--shade", "cartoon", "--vertex-colors", "scan.ply"});
    ASSERT_EQ(p.error, "");
    EXPECT_TRUE(p.options.vertexColors);
    EXPECT_EQ(p.options.shadeModel, RC_CARTOON);
    EXPECT_EQ(Parse({"--vertex-colors=1"}).error, "unknown option '--vertex-colors=1'");
    EXPECT_EQ(Parse({"--unlit", "--vertex-colors"}).error,
              "--unlit lights nothing, so --vertex-colors has nothing to light");
    EXPECT_EQ(Parse({"--vertex-colors", "--replace"}).error,
              "--replace lights nothing, so --vertex-colors has nothing to light");
}

TEST(RenderOptions, RefusesBadLightPositionsAndTwoShadeModels)
{
    for (const char* point : {"1,2", "1,2,3,4", "1,,2", ",1,2,3", "1,2,3,", "a,b,c", "1,2,nan",
                              "1,2,1e99", "1 2 3", ""})
        EXPECT_EQ(Parse({"--light2", point}).error,
                  std::string("--light2: '") + point + "' is not three finite numbers X,Y,Z")
            << point;
    EXPECT_EQ(Parse({"--texture="}).error, "--texture needs a file name");
    EXPECT_EQ(Parse({"--texture"}).error, "--texture needs a value");
    for (const auto& args : std::vector<std::vector<const char*>>{{"--replace", "--shade", "phong"},
                                                                  {"--shade=gouraud", "--replace"}})
        EXPECT_EQ(Parse(args).error, "--replace and --shade both choose the shade model; give one");
}

TEST(RenderOptions, SaysWhatIsWrongWithATooLargeFrameCountOrABareExtension)
{
    EXPECT_EQ(Parse({"--frames", "2147483647"}).options.frames, 2147483647);
    EXPECT_EQ(Parse({"--frames", "2147483648"}).error,
              "--frames: '2147483648' is too large (the largest is 2147483647)");
    EXPECT_EQ(Parse({"--frames=99999999999999999999"}).error,
              "--frames: '99999999999999999999' is too large (the largest is 2147483647)");
    EXPECT_EQ(Parse({"--frames", "-2147483649"}).error,
              "--frames: '-2147483649' is not a whole number of at least 1");
    EXPECT_EQ(Parse({"--out", ".png"}).error,
              "--out: '.png' is only an extension; put a file name before it");
    EXPECT_EQ(Parse({"--out", ".PPM"}).error,
              "--out: '.PPM' is only an extension; put a file name before it");
    EXPECT_EQ(Parse({"--out", "frame.gif"}).error, "--out: 'frame.gif' must end in .png or .ppm");
}

TEST(RenderOptions, ImportFitAndUpAreOffUnlessGivenAndFrameTheMesh)
{
    const RenderOptions none = Parse({}).options;
    EXPECT_FALSE(none.import || none.fit);
    EXPECT_EQ(none.up, UpAxis::Z);

    const ParsedOptions p = Parse({"m.obj", "--import", "--fit", "--up", "-y"});
    ASSERT_EQ(p.error, "");
    EXPECT_TRUE(p.options.import && p.options.fit);
    EXPECT_EQ(Framing(p.options).up, UpAxis::MinusY);
    EXPECT_TRUE(Framing(p.options).fit);
    EXPECT_EQ(Parse({"--up=x"}).options.up, UpAxis::X);
    EXPECT_EQ(Parse({"--up", "w"}).error, "--up: 'w' is not x, y, z, -x, -y or -z");
    EXPECT_EQ(Parse({"--up", "Y"}).error, "--up: 'Y' is not x, y, z, -x, -y or -z");
    EXPECT_EQ(Parse({"--import=1"}).error, "unknown option '--import=1'");
}

TEST(RenderOptions, InspectionOptionsAreOffUnlessGivenAndPixelsRepeat)
{
    const RenderOptions none = Parse({}).options;
    EXPECT_FALSE(none.stats || !none.pixels.empty() || none.show || Inspects(none));

    const ParsedOptions p = Parse(
        {"--pixel", "0,479", "--stats", "--pixel=479,0", "--show", "stages", "--pixel", "0,479"});
    ASSERT_EQ(p.error, "");
    const RenderOptions& o = p.options;
    EXPECT_TRUE(o.stats && Inspects(o));
    ASSERT_EQ(o.pixels.size(), 3u);
    EXPECT_EQ(o.pixels[0].x, 0);
    EXPECT_EQ(o.pixels[0].y, 479);
    EXPECT_EQ(o.pixels[1].x, 479);
    EXPECT_EQ(o.show, PipelineView::kStages);
    EXPECT_TRUE(Inspects(Parse({"--show", "depth"}).options));
    EXPECT_TRUE(Inspects(Parse({"--pixel", "1,2"}).options));
}

TEST(RenderOptions, RefusesPixelsOffTheFrameBufferUnknownViewsAndInspectingABenchmark)
{
    for (const char* pixel : {"480,0", "0,480", "-1,3", "3,-1", "2147483648,1"})
        EXPECT_EQ(Parse({"--pixel", pixel}).error,
                  std::string("--pixel: '") + pixel + "' lies outside the 480 x 480 frame buffer")
            << pixel;
    for (const char* pixel : {"1", "1,", ",1", "1,2,3", "a,b", "1.5,2", "1 2", "+1,2", ""})
        EXPECT_EQ(Parse({"--pixel", pixel}).error,
                  std::string("--pixel: '") + pixel + "' is not two whole numbers X,Y")
            << pixel;
    EXPECT_EQ(Parse({"--show", "color"}).error,
              "--show: 'color' is not depth, overdraw, faces or stages");
    EXPECT_EQ(Parse({"--bench", "--show", "depth"}).error,
              "--bench writes no image, so --show has nothing to do");
    for (const auto& args : std::vector<std::vector<const char*>>{{"--bench", "--stats"},
                                                                  {"--pixel", "1,1", "--bench"}})
        EXPECT_EQ(Parse(args).error,
                  "--bench times frames drawn without --stats or --pixel; give one or the other");
}

// Every option the usage shows is one the parser takes, with a value exactly
// when the usage shows one.
TEST(RenderOptions, UsageShowsEachOptionAsTheParserTakesIt)
{
    const std::string usage = RenderUsage();
    int shown = 0;
    for (std::size_t at = usage.find("[--"); at != std::string::npos; at = usage.find("[--", at)) {
        const std::string item = usage.substr(at + 1, usage.find(']', at) - at - 1);
        const std::size_t space = item.find(' ');
        const std::string name = item.substr(0, space);
        EXPECT_EQ(Parse({name.c_str()}).error,
                  space == std::string::npos ? "" : name + " needs a value")
            << item;
        EXPECT_NE(usage.find("\n  " + item + " "), std::string::npos)
            << item << " has no help line";
        ++shown;
        ++at;
    }
    EXPECT_EQ(shown, 23);
}

}  // namespace
