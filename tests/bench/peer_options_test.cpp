#include "bench/gl_peer/peer_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::string Refusal(std::vector<const char*> args)
{
    args.insert(args.begin(), "gl_peer");
    const ParsedOptions parsed = ParseRenderOptions(static_cast<int>(args.size()), args.data());
    EXPECT_EQ(parsed.error, "");
    return UnsupportedByPeer(parsed.options);
}

TEST(PeerOptions, AcceptsWhatZbufferRenderBenchmarksAlike)
{
    EXPECT_EQ(Refusal({}), "");
    EXPECT_EQ(Refusal({"m.ply", "--frames", "20", "--shade", "flat", "--bench"}), "");
    EXPECT_EQ(Refusal({"--shade=gouraud"}), "");
}

TEST(PeerOptions, RefusesTheShadeModelsFixedFunctionOpenGLLacks)
{
    for (const char* model : {"phong", "cartoon"})
        EXPECT_EQ(Refusal({"--shade", model}),
                  "--shade: fixed-function OpenGL shades only flat or gouraud");
}

TEST(PeerOptions, RefusesEveryOtherOptionByName)
{
    const std::vector<std::vector<const char*>> cases = {
        {"--angle", "30"}, {"--wireframe"}, {"--cw"}, {"--unlit"}, {"--out", "f.png"}};
    for (const auto& args : cases) {
        const std::string refusal = Refusal(args);
        EXPECT_EQ(refusal.rfind(std::string(args[0]) + " is not supported", 0), 0u) << refusal;
    }
}

}  // namespace
