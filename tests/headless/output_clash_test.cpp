#include "app/output_clash.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

class OutputClashTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("output_clash_test_" + std::to_string(getpid()));
    void SetUp() override
    {
        fs::create_directories(dir);
        std::ofstream(Path("mesh.ply")) << "ply\n";
        std::ofstream(Path("tex.png")) << "png\n";
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    // The clash for these arguments after the mesh and texture.
    std::string Clash(const std::vector<std::string>& args) const
    {
        std::vector<std::string> all = {"zbuffer-render", Path("mesh.ply"), "--texture",
                                        Path("tex.png")};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<const char*> argv;
        for (const std::string& a : all)
            argv.push_back(a.c_str());
        const ParsedOptions parsed = ParseRenderOptions(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(parsed.error, "");
        return OutputClash(parsed.options);
    }
};

TEST_F(OutputClashTest, OutputNamingAnInputByNameLinkOrHardLinkIsRefused)
{
    fs::create_symlink(Path("mesh.ply"), Path("link.png"));
    fs::create_hard_link(Path("tex.png"), Path("hard.ppm"));
    fs::copy_file(Path("mesh.ply"), Path("copy.png"));
    std::ofstream(Path("mesh.png")) << "a picture";
    EXPECT_EQ(Clash({"--out", Path("link.png")}), "--out: '" + Path("link.png") +
                                                      "' is the mesh file '" + Path("mesh.ply") +
                                                      "'; the picture would be written over it");
    EXPECT_EQ(Clash({"--out", Path("hard.ppm")}), "--out: '" + Path("hard.ppm") +
                                                      "' is the texture file '" + Path("tex.png") +
                                                      "'; the picture would be written over it");
    EXPECT_EQ(Clash({"--out", Path("copy.png")}), "");
    EXPECT_EQ(Clash({"--out", Path("absent.png")}), "");
    EXPECT_EQ(Clash({"--bench"}), "");
}

TEST_F(OutputClashTest, NumberedOutputClashesOnlyWithinTheFrames)
{
    fs::create_hard_link(Path("mesh.ply"), Path("turn_007.png"));
    const std::string pattern = Path("turn_%03d.png");
    EXPECT_NE(Clash({"--out", pattern, "--frames", "8"}), "");
    EXPECT_EQ(Clash({"--out", pattern, "--frames", "7"}), "");
    // So many frames that their names could not be looked at one by one.
    EXPECT_NE(Clash({"--out", pattern, "--frames", "2147483647"}), "");
    fs::create_directory(Path("run12"));
    fs::create_symlink(Path("tex.png"), Path("run12/x.png"));
    EXPECT_NE(Clash({"--out", Path("run%d/x.png"), "--frames", "13"}), "");
    EXPECT_EQ(Clash({"--out", Path("run%d/x.png"), "--frames", "12"}), "");
}

}  // namespace
