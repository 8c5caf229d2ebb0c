#include "render/image_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "render/png_codec.h"
#include "render/ppm_codec.h"

namespace {

namespace fs = std::filesystem;

// 5 x 3 pixels in which every byte differs from its neighbours.
RgbImage Pattern()
{
    RgbImage image{5, 3, {}};
    for (int i = 0; i < 5 * 3 * 3; ++i)
        image.rgb.push_back(static_cast<uint8_t>(i * 37 + 11));
    return image;
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

class ImageFileTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("image_file_test_" + std::to_string(getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return (dir / name).string(); }
    // The names in the folder, sorted: what a write left behind.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string FirstBytes(const std::string& name, std::size_t n) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        std::string head(n, '\0');
        in.read(head.data(), static_cast<std::streamsize>(n));
        return head;
    }
};

TEST(ImageFormat, ChosenByTheExtensionInAnyCase)
{
    EXPECT_EQ(ImageFormatFor("frame.png"), ImageFormat::kPng);
    EXPECT_EQ(ImageFormatFor("out/TURN_01.PNG"), ImageFormat::kPng);
    EXPECT_EQ(ImageFormatFor("frame.ppm"), ImageFormat::kPpm);
    EXPECT_EQ(ImageFormatFor("frame.Ppm"), ImageFormat::kPpm);
    EXPECT_FALSE(ImageFormatFor("frame.jpg"));
    EXPECT_FALSE(ImageFormatFor("framepng"));
    EXPECT_FALSE(ImageFormatFor("frame.png.bak"));
    EXPECT_FALSE(ImageFormatFor(".png"));
}

TEST(PngCodec, RoundTripKeepsEveryByte)
{
    RgbImage decoded;
    std::string error;
    ASSERT_TRUE(DecodePng(EncodePng(Pattern()), &decoded, &error)) << error;
    EXPECT_EQ(decoded.width, 5);
    EXPECT_EQ(decoded.height, 3);
    EXPECT_EQ(decoded.rgb, Pattern().rgb);
}

TEST(PngCodec, RejectsBytesThatAreNoPng)
{
    RgbImage decoded;
    std::string error;
    EXPECT_FALSE(DecodePng(Bytes("P6\n1 1\n255\nabc"), &decoded, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(DecodePng({}, &decoded, &error));
}

TEST(PpmCodec, WritesABinaryHeaderThenTheRowsTopFirst)
{
    const RgbImage image{2, 1, {1, 2, 3, 4, 5, 6}};
    EXPECT_EQ(EncodePpm(image), Bytes(std::string("P6\n2 1\n255\n") + "\1\2\3\4\5\6"));
}

TEST(PpmCodec, RoundTripKeepsEveryByteAndReadsHeaderComments)
{
    RgbImage decoded;
    std::string error;
    ASSERT_TRUE(DecodePpm(EncodePpm(Pattern()), &decoded, &error)) << error;
    EXPECT_EQ(decoded.rgb, Pattern().rgb);
    ASSERT_TRUE(DecodePpm(Bytes("P6 # made by hand\n1\n1 255 xyz"), &decoded, &error)) << error;
    EXPECT_EQ(decoded.rgb, Bytes("xyz"));
}

TEST(PpmCodec, RejectsOtherVariantsAndWrongSizes)
{
    RgbImage decoded;
    std::string error;
    for (const char* text : {"P3\n1 1\n255\n1 2 3", "P6\n1 1\n65535\nxxxxxx", "P6\n2 1\n255\nxyz",
                             "P6\n1 1\n255\nxyzw", "P6\n0 1\n255\n", "P6\n99999999 99999999\n255\n",
                             "P6\n1 1\n255", ""}) {
        EXPECT_FALSE(DecodePpm(Bytes(text), &decoded, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST_F(ImageFileTest, WritesTheFormatTheExtensionNames)
{
    std::string error;
    ASSERT_TRUE(WriteImage(Path("a.PNG"), Pattern(), &error)) << error;
    ASSERT_TRUE(WriteImage(Path("a.ppm"), Pattern(), &error)) << error;
    EXPECT_EQ(FirstBytes("a.PNG", 4), "\x89PNG");
    EXPECT_EQ(FirstBytes("a.ppm", 3), "P6\n");
    RgbImage read;
    ASSERT_TRUE(ReadImage(Path("a.PNG"), &read, &error)) << error;
    EXPECT_EQ(read.rgb, Pattern().rgb);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"a.PNG", "a.ppm"}));
}

TEST_F(ImageFileTest, FailedWriteNamesTheFileAndTheReasonAndLeavesNothing)
{
    std::string error;
    const std::string missingDir = Path("no/such/dir/a.png");
    EXPECT_FALSE(WriteImage(missingDir, Pattern(), &error));
    EXPECT_EQ(error, missingDir + ": No such file or directory");

    fs::create_directory(Path("taken.ppm"));
    EXPECT_FALSE(WriteImage(Path("taken.ppm"), Pattern(), &error));
    EXPECT_EQ(error, Path("taken.ppm") + ": Is a directory");
    EXPECT_EQ(Entries(), std::vector<std::string>{"taken.ppm"}) << "a temporary file was left";

    EXPECT_FALSE(WriteImage(Path("a.gif"), Pattern(), &error));
    EXPECT_NE(error.find("a.gif"), std::string::npos);
}

TEST_F(ImageFileTest, ReadNamesTheFileWhenItIsMissingOrBroken)
{
    RgbImage read;
    std::string error;
    EXPECT_FALSE(ReadImage(Path("none.png"), &read, &error));
    EXPECT_EQ(error, Path("none.png") + ": No such file or directory");
    std::ofstream(Path("broken.png")) << "not a png";
    EXPECT_FALSE(ReadImage(Path("broken.png"), &read, &error));
    EXPECT_EQ(error.rfind(Path("broken.png") + ": ", 0), 0u);
}

// The temporary file is made new under a name no file has: a file or a link
// that happens to have some other name beside the target is never opened.
TEST_F(ImageFileTest, TheTemporaryFileTouchesNoOtherFileAndIsGoneAfterwards)
{
    std::ofstream(Path("a.png.part")) << "the user's own file";
    fs::create_symlink(Path("elsewhere.txt"), Path("b.png.part"));
    std::string error;
    ASSERT_TRUE(WriteImage(Path("a.png"), Pattern(), &error)) << error;
    ASSERT_TRUE(WriteImage(Path("b.png"), Pattern(), &error)) << error;
    EXPECT_EQ(FirstBytes("a.png.part", 19), "the user's own file");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"a.png", "a.png.part", "b.png", "b.png.part"}));
}

TEST_F(ImageFileTest, NamesAsLongAsTheFileSystemAllowsAreWritten)
{
    std::string error;
    const std::string ascii = std::string(251, 'n') + ".png";
    std::string accented;  // two bytes a letter, cut nowhere in a letter
    for (int i = 0; i < 125; ++i)
        accented += "\xC3\xA9";
    accented += ".ppm";
    for (const std::string& name : {ascii, accented}) {
        ASSERT_TRUE(WriteImage(Path(name), Pattern(), &error)) << error;
        EXPECT_EQ(FirstBytes(name, 1), name.back() == 'g' ? "\x89" : "P");
    }
    EXPECT_EQ(Entries(), (std::vector<std::string>{ascii, accented}));
}

TEST_F(ImageFileTest, NewPicturesGetTheUsualPermissionsAndOldOnesKeepTheirs)
{
    const mode_t previous = umask(027);
    std::string error;
    EXPECT_TRUE(WriteImage(Path("new.png"), Pattern(), &error)) << error;
    EXPECT_EQ(fs::status(Path("new.png")).permissions(), fs::perms(0640));
    fs::permissions(Path("new.png"), fs::perms(0604));
    EXPECT_TRUE(WriteImage(Path("new.png"), Pattern(), &error)) << error;
    EXPECT_EQ(fs::status(Path("new.png")).permissions(), fs::perms(0604));
    umask(previous);
}

TEST_F(ImageFileTest, OnlyARegularFileIsReplaced)
{
    ASSERT_EQ(mkfifo(Path("pipe.png").c_str(), 0644), 0);
    std::string error;
    EXPECT_FALSE(WriteImage(Path("pipe.png"), Pattern(), &error));
    EXPECT_EQ(error, Path("pipe.png") + ": not a regular file, so not replaced");
    EXPECT_TRUE(fs::is_fifo(Path("pipe.png")));
    EXPECT_EQ(Entries(), std::vector<std::string>{"pipe.png"});
}

// In a child that may write files of at most `bytes` bytes: exits 0 when
// the write fails, with the error on standard error.
void WriteWithFileSizeLimit(const std::string& path, const RgbImage& image, std::size_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails instead of ending us
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    const bool written = WriteImage(path, image, &error);
    std::fprintf(stderr, "%s\n", error.c_str());
    std::exit(written ? 1 : 0);
}

TEST_F(ImageFileTest, AWriteCutShortKeepsTheOldPictureAndRemovesItsTemporary)
{
    std::string error;
    ASSERT_TRUE(WriteImage(Path("old.ppm"), Pattern(), &error)) << error;
    RgbImage large{100, 100, std::vector<uint8_t>(100 * 100 * 3, 7)};
    EXPECT_EXIT(WriteWithFileSizeLimit(Path("old.ppm"), large, 4096), testing::ExitedWithCode(0),
                testing::Matcher<const std::string&>(Path("old.ppm") + ": File too large\n"));
    EXPECT_EQ(Entries(), std::vector<std::string>{"old.ppm"});
    RgbImage read;
    ASSERT_TRUE(ReadImage(Path("old.ppm"), &read, &error)) << error;
    EXPECT_EQ(read.rgb, Pattern().rgb);
}

}  // namespace
