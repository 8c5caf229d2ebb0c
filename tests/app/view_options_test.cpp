// zbuffer-view's command line.
#include "app/view_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ParsedViewOptions Parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "zbuffer-view");
    return ParseViewOptions(static_cast<int>(args.size()), args.data());
}

TEST(ViewOptions, NoArgumentsAreTheDefaults)
{
    const ParsedViewOptions p = Parse({});
    EXPECT_EQ(p.error, "");
    EXPECT_FALSE(p.options.meshPath);
    EXPECT_EQ(p.options.up, UpAxis::Z);
    EXPECT_EQ(p.options.shadeModel, RC_GOURAUD);
    EXPECT_EQ(p.options.width, 512);
    EXPECT_EQ(p.options.height, 512);
    EXPECT_EQ(p.options.turnSpeed, 30.0);
}

TEST(ViewOptions, EveryOptionTakesItsValueSeparateOrAfterAnEqualsSign)
{
    const ParsedViewOptions p =
        Parse({"--up", "-y", "scan.obj", "--shade=cartoon", "--size", "800x600", "--turn=-12.5"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(*p.options.meshPath, "scan.obj");
    EXPECT_EQ(p.options.up, UpAxis::MinusY);
    EXPECT_EQ(p.options.shadeModel, RC_CARTOON);
    EXPECT_EQ(p.options.width, 800);
    EXPECT_EQ(p.options.height, 600);
    EXPECT_EQ(p.options.turnSpeed, -12.5);
    EXPECT_FALSE(p.options.vertexColors);
    EXPECT_TRUE(Parse({"--vertex-colors"}).options.vertexColors);
    EXPECT_TRUE(Parse({"--help"}).options.help);
    EXPECT_TRUE(Parse({"--version"}).options.version);
}

TEST(ViewOptions, BadValuesSayWhatIsWrong)
{
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"--up", "w"}, "--up: 'w' is not x, y, z, -x, -y or -z"},
        {{"--shade", "smooth"}, "--shade: 'smooth' is not flat, gouraud, phong or cartoon"},
        {{"--size", "0x10"}, "--size: '0x10' is not WIDTHxHEIGHT, each from 1 to 4096 pixels"},
        {{"--size", "4097x10"},
         "--size: '4097x10' is not WIDTHxHEIGHT, each from 1 to 4096 pixels"},
        {{"--size=640"}, "--size: '640' is not WIDTHxHEIGHT, each from 1 to 4096 pixels"},
        {{"--size", "640x480x2"},
         "--size: '640x480x2' is not WIDTHxHEIGHT, each from 1 to 4096 pixels"},
        {{"--turn", "nan"}, "--turn: 'nan' is not a number of degrees from -720 to 720"},
        {{"--turn", "721"}, "--turn: '721' is not a number of degrees from -720 to 720"},
        {{"--turn"}, "--turn needs a value"},
        {{"--wireframe"}, "unknown option '--wireframe'"},
        {{"--help=yes"}, "unknown option '--help=yes'"},
        {{"--vertex-colors=1"}, "unknown option '--vertex-colors=1'"},
        {{"a.ply", "b.ply"}, "only one mesh may be given ('b.ply')"},
        {{""}, "the mesh's name is empty"},
    };
    for (const auto& [args, error] : cases)
        EXPECT_EQ(Parse(args).error, error) << args[0];
}

}  // namespace
