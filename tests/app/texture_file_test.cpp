// Texture pictures read from PNG files. The files are put together here byte
// by byte (zlib for the compressed rows), not by the library that reads them,
// so that both sides of each check are known independently.
#include "app/texture_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

enum ColourType : uint8_t { kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgba = 6 };

void Append(Bytes& out, const Bytes& more)
{
    out.insert(out.end(), more.begin(), more.end());
}

Bytes BigEndian(uint32_t v, int bytes)
{
    Bytes out(static_cast<std::size_t>(bytes));
    for (int i = 0; i < bytes; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<uint8_t>(v >> (8 * (bytes - 1 - i)));
    return out;
}

Bytes Chunk(const char* type, const Bytes& data)
{
    Bytes body(type, type + 4);  // the check sum covers type and data
    Append(body, data);
    Bytes chunk = BigEndian(static_cast<uint32_t>(data.size()), 4);
    Append(chunk, body);
    Append(chunk, BigEndian(crc32(0, body.data(), static_cast<uInt>(body.size())), 4));
    return chunk;
}

// A whole PNG file: `rows` hold each row's samples, big-endian for 16 bits,
// without the filter byte; `extra` chunks (PLTE, tRNS) go before the data.
Bytes Png(uint32_t width, uint32_t height, uint8_t depth, ColourType type,
          const std::vector<Bytes>& rows, const Bytes& extra = {})
{
    Bytes raw;
    for (const Bytes& row : rows) {
        raw.push_back(0);  // filter: none
        raw.insert(raw.end(), row.begin(), row.end());
    }
    Bytes packed(compressBound(static_cast<uLong>(raw.size())));
    uLongf size = static_cast<uLongf>(packed.size());
    compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(size);

    Bytes header = BigEndian(width, 4);
    Append(header, BigEndian(height, 4));
    Append(header, {depth, type, 0, 0, 0});
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Bytes& chunk :
         {Chunk("IHDR", header), extra, Chunk("IDAT", packed), Chunk("IEND", {})})
        Append(png, chunk);
    return png;
}

Bytes Words(std::initializer_list<uint16_t> samples)
{
    Bytes out;
    for (uint16_t s : samples)
        Append(out, BigEndian(s, 2));
    return out;
}

Color FromBytes(int r, int g, int b, int a)
{
    Color c;
    c.SetBytes(r, g, b, a);
    return c;
}

class TextureFileTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("texture_file_test_" + std::to_string(getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const std::string& name, const Bytes& bytes)
    {
        const std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // The texels read from `png`, bottom row first; fails the test when unread.
    std::vector<Color> Texels(const Bytes& png, int width, int height)
    {
        TextureImage texture;
        std::string error;
        EXPECT_TRUE(ReadTexture(Write("t.png", png), &texture, &error)) << error;
        EXPECT_EQ(texture.width, width);
        EXPECT_EQ(texture.height, height);
        return texture.texels;
    }

    // Reading fails, names the file, and leaves the texture as it was.
    void ExpectRefused(const std::string& name, const Bytes& bytes)
    {
        const std::string path = Write(name, bytes);
        TextureImage texture(1, 1, {Color(0.5f, 0.5f, 0.5f, 1.0f)});
        std::string error;
        EXPECT_FALSE(ReadTexture(path, &texture, &error)) << name;
        EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
        EXPECT_GT(error.size(), path.size() + 2) << "no reason given for " << name;
        EXPECT_EQ(texture.width, 1) << name;
    }
};

void ExpectTexels(const std::vector<Color>& got, const std::vector<Color>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].r, want[i].r) << "texel " << i;
        EXPECT_EQ(got[i].g, want[i].g) << "texel " << i;
        EXPECT_EQ(got[i].b, want[i].b) << "texel " << i;
        EXPECT_EQ(got[i].a, want[i].a) << "texel " << i;
    }
}

// Every 2 x 2 picture below has the top row (A, B) and the bottom row (C, D),
// so the texels come as C, D, A, B: row 0 is the bottom of the picture.

TEST_F(TextureFileTest, RgbAndRgbaSamplesAreScaledBy1Over255WithAlphaKeptUnpremultiplied)
{
    ExpectTexels(
        Texels(Png(2, 2, 8, kRgb, {{10, 20, 30, 40, 50, 60}, {255, 0, 128, 1, 2, 3}}), 2, 2),
        {FromBytes(255, 0, 128, 255), FromBytes(1, 2, 3, 255), FromBytes(10, 20, 30, 255),
         FromBytes(40, 50, 60, 255)});
    ExpectTexels(Texels(Png(2, 2, 8, kRgba,
                            {{10, 20, 30, 0, 40, 50, 60, 128}, {200, 100, 50, 255, 1, 2, 3, 4}}),
                        2, 2),
                 {FromBytes(200, 100, 50, 255), FromBytes(1, 2, 3, 4), FromBytes(10, 20, 30, 0),
                  FromBytes(40, 50, 60, 128)});
}

TEST_F(TextureFileTest, GreySamplesFillRedGreenAndBlue)
{
    ExpectTexels(Texels(Png(2, 2, 8, kGrey, {{0, 64}, {128, 255}}), 2, 2),
                 {FromBytes(128, 128, 128, 255), FromBytes(255, 255, 255, 255),
                  FromBytes(0, 0, 0, 255), FromBytes(64, 64, 64, 255)});
    ExpectTexels(Texels(Png(2, 2, 8, kGreyAlpha, {{7, 0, 64, 32}, {128, 200, 255, 255}}), 2, 2),
                 {FromBytes(128, 128, 128, 200), FromBytes(255, 255, 255, 255),
                  FromBytes(7, 7, 7, 0), FromBytes(64, 64, 64, 32)});
}

TEST_F(TextureFileTest, PaletteEntriesTakeTheirAlphaFromTheTransparencyChunk)
{
    const Bytes palette = Chunk("PLTE", {1, 2, 3, 10, 20, 30, 200, 100, 50});
    const Bytes alpha = Chunk("tRNS", {0, 128});  // entry 2 has none: opaque
    Bytes extra = palette;
    Append(extra, alpha);
    ExpectTexels(Texels(Png(2, 2, 8, kPalette, {{0, 1}, {2, 1}}, extra), 2, 2),
                 {FromBytes(200, 100, 50, 255), FromBytes(10, 20, 30, 128), FromBytes(1, 2, 3, 0),
                  FromBytes(10, 20, 30, 128)});
    // Indices of 2 bits each, the first pixel in the high bits: rows (0, 1) and (0, 2).
    ExpectTexels(Texels(Png(2, 2, 2, kPalette, {{0x10}, {0x20}}, extra), 2, 2),
                 {FromBytes(1, 2, 3, 0), FromBytes(200, 100, 50, 255), FromBytes(1, 2, 3, 0),
                  FromBytes(10, 20, 30, 128)});
}

TEST_F(TextureFileTest, ColourKeyedRgbMakesOnlyTheKeyTransparent)
{
    ExpectTexels(
        Texels(Png(2, 1, 8, kRgb, {{9, 8, 7, 9, 8, 6}}, Chunk("tRNS", Words({9, 8, 7}))), 2, 1),
        {FromBytes(9, 8, 7, 0), FromBytes(9, 8, 6, 255)});
}

TEST_F(TextureFileTest, SixteenBitSamplesAreRoundedToEightBitsNotTreatedAsLinearLight)
{
    // 0x8000 is 128 (as linear light it would become 188); 0x1234 is 18.13;
    // 0x00FF rounds up to 1 where dropping the low byte would give 0.
    const Color half = FromBytes(128, 128, 128, 255);
    ExpectTexels(Texels(Png(2, 2, 16, kRgb,
                            {Words({0x8000, 0x1234, 0xFFFF, 0x00FF, 0x0000, 0x0101}),
                             Words({0x8000, 0x8000, 0x8000, 0xFFFF, 0xFFFF, 0xFFFF})}),
                        2, 2),
                 {half, FromBytes(255, 255, 255, 255), FromBytes(128, 18, 255, 255),
                  FromBytes(1, 0, 1, 255)});
    ExpectTexels(
        Texels(Png(2, 1, 16, kRgba, {Words({0x8000, 0x4000, 0xFFFF, 0x8000, 0x1234, 0, 0, 0})}), 2,
               1),
        {FromBytes(128, 64, 255, 128), FromBytes(18, 0, 0, 0)});
    ExpectTexels(Texels(Png(2, 1, 16, kGrey, {Words({0x8000, 0x1234})}), 2, 1),
                 {half, FromBytes(18, 18, 18, 255)});
}

TEST_F(TextureFileTest, UnreadableFilesAreRefusedWithTheFileAndTheReason)
{
    TextureImage texture;
    std::string error;
    const std::string missing = (dir / "missing.png").string();
    EXPECT_FALSE(ReadTexture(missing, &texture, &error));
    EXPECT_EQ(error, missing + ": No such file or directory");
    EXPECT_FALSE(ReadTexture(dir.string(), &texture, &error));
    EXPECT_EQ(error, dir.string() + ": Is a directory");

    const Bytes good = Png(2, 1, 8, kRgb, {{1, 2, 3, 4, 5, 6}});
    ExpectRefused("empty.png", {});
    ExpectRefused("text.png", Bytes{'P', '6', '\n', '1', ' ', '1', '\n'});
    ExpectRefused("truncated.png", Bytes(good.begin(), good.end() - 20));
    Bytes badCrc = good;
    badCrc[30] ^= 0xFF;  // inside the header chunk
    ExpectRefused("bad_crc.png", badCrc);
    ExpectRefused("short_rows.png", Png(4, 2, 8, kRgb, {{1, 2, 3}}));
    ExpectRefused("no_palette.png", Png(1, 1, 8, kPalette, {{0}}));
}

TEST_F(TextureFileTest, HugePicturesAreRefusedBeforeTheirTexelsAreAllocated)
{
    // A few bytes that claim a million by a million pixels.
    ExpectRefused("huge.png", Png(1000000, 1000000, 8, kRgb, {}));
    ExpectRefused("wide.png", Png(4097 * 4096, 1, 8, kGrey, {}));
}

// Sparse files: the sizes cost no disk. A file is refused by its size before
// any of it is read, and one that is no PNG at its first bytes.
TEST_F(TextureFileTest, OversizedFilesAndFilesThatAreNoPngAreRefusedWithoutReadingThem)
{
    const std::string huge = Write("huge.png", {});
    ASSERT_EQ(truncate(huge.c_str(), kMaxTextureFileBytes + 1), 0);
    TextureImage texture;
    std::string error;
    EXPECT_FALSE(ReadTexture(huge, &texture, &error));
    EXPECT_EQ(error, huge + ": is 268435457 bytes, more than the 256 MiB a texture file may hold");
    const std::string zeros = Write("zeros.png", {});
    ASSERT_EQ(truncate(zeros.c_str(), kMaxTextureFileBytes), 0);
    EXPECT_FALSE(ReadTexture(zeros, &texture, &error));
    EXPECT_EQ(error, zeros + ": Not a PNG file");
    EXPECT_FALSE(ReadTexture("/dev/zero", &texture, &error));
    EXPECT_EQ(error, "/dev/zero: Not a PNG file");
}

TEST_F(TextureFileTest, AFileCutShortSaysSo)
{
    const Bytes good = Png(2, 1, 8, kRgb, {{1, 2, 3, 4, 5, 6}});
    const std::string cut = Write("cut.png", Bytes(good.begin(), good.end() - 20));
    TextureImage texture;
    std::string error;
    EXPECT_FALSE(ReadTexture(cut, &texture, &error));
    EXPECT_EQ(error, cut + ": the file ends before the picture does");
}

// In a child whose address space ends `spare` bytes above what it uses.
void ReadWithSpareAddressSpace(const std::string& path, std::size_t spare)
{
    std::size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max =
        static_cast<rlim_t>(pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + spare);
    setrlimit(RLIMIT_AS, &limit);
    TextureImage texture;
    std::string error;
    const bool read = ReadTexture(path, &texture, &error);
    std::fprintf(stderr, "%s\n", error.c_str());
    std::exit(read ? 0 : 1);
}

// The largest picture decodes in 64 MB, but its texels take 256 MB more.
TEST_F(TextureFileTest, RunningOutOfMemoryIsTheFilesFailureNotTheProgramsEnd)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
    const std::string path =
        Write("largest.png", Png(4096, 4096, 8, kGrey, std::vector<Bytes>(4096, Bytes(4096))));
    EXPECT_EXIT(
        ReadWithSpareAddressSpace(path, std::size_t{160} << 20), testing::ExitedWithCode(1),
        testing::Matcher<const std::string&>(path + ": not enough memory for the picture\n"));
}

}  // namespace
