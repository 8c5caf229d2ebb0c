// Saving the viewer's frames under the first free numbered name.
#include "app/numbered_picture.h"

#include <gtest/gtest.h>
#include <stdlib.h>  // mkdtemp
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "render/image_file.h"

namespace fs = std::filesystem;

namespace {

RgbImage Pattern()
{
    RgbImage image{3, 2, {}};
    for (int i = 0; i < 18; ++i)
        image.rgb.push_back(static_cast<uint8_t>(i * 14));
    return image;
}

class NumberedPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = ::testing::TempDir() + "zbuffer_numbered_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        stem = folder + "/shot";
    }
    void TearDown() override { fs::remove_all(folder); }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string folder, stem;
};

TEST_F(NumberedPicture, TakesTheFirstFreeNumberAndLeavesOtherFilesAlone)
{
    std::ofstream(stem + "-0002.png") << "not mine";
    std::string error;
    EXPECT_EQ(WriteNumberedPicture(stem, Pattern(), &error), stem + "-0001.png") << error;
    EXPECT_EQ(WriteNumberedPicture(stem, Pattern(), &error), stem + "-0003.png") << error;
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{"shot-0001.png", "shot-0002.png", "shot-0003.png"}));
    std::ifstream kept(stem + "-0002.png");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "not mine");
    RgbImage read;
    ASSERT_TRUE(ReadImage(stem + "-0003.png", &read, &error)) << error;
    EXPECT_EQ(read.rgb, Pattern().rgb);
    EXPECT_EQ(read.width, 3);
}

TEST_F(NumberedPicture, ALinkOrAFolderOfTheNameIsPassedOver)
{
    fs::create_directory(stem + "-0001.png");
    fs::create_symlink(folder + "/elsewhere.png", stem + "-0002.png");  // dangling
    std::string error;
    EXPECT_EQ(WriteNumberedPicture(stem, Pattern(), &error), stem + "-0003.png") << error;
    EXPECT_FALSE(fs::exists(folder + "/elsewhere.png"));
}

TEST_F(NumberedPicture, SaysWhyWhenNoNameCanBeCreatedOrAllAreTaken)
{
    std::string error;
    EXPECT_EQ(WriteNumberedPicture(folder + "/missing/shot", Pattern(), &error), "");
    EXPECT_EQ(error, folder + "/missing/shot-0001.png: No such file or directory");
    for (int n = 1; n <= 9999; ++n)
        std::ofstream(NumberedPictureName(stem, n));
    EXPECT_EQ(WriteNumberedPicture(stem, Pattern(), &error), "");
    EXPECT_EQ(error, "every name from " + stem + "-0001.png to " + stem + "-9999.png is taken");
}

// In a child that may write files of at most `bytes` bytes: exits 0 when
// the save fails.
void SaveWithFileSizeLimit(const std::string& stem, std::size_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    RgbImage large{200, 200, std::vector<uint8_t>(200 * 200 * 3)};
    uint32_t noise = 1;  // does not compress
    for (uint8_t& byte : large.rgb) {
        noise = noise * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(noise >> 24);
    }
    std::exit(WriteNumberedPicture(stem, large, &error).empty() ? 0 : 1);
}

TEST_F(NumberedPicture, AFailedWriteLeavesNoFileOfTheName)
{
    EXPECT_EXIT(SaveWithFileSizeLimit(stem, 4096), testing::ExitedWithCode(0), "");
    EXPECT_EQ(Entries(), std::vector<std::string>{});
}

}  // namespace
