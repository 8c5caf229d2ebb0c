// Hostile mesh files against the whole program: zbuffer-render either loads
// the file and writes a frame in every shade model and in wireframe, in
// bounded time, or ends with the reader's one-line message and status 1 (and
// the hint to use --import when the import reads the file). The same again
// through --import. Under the sanitizer build the program run here is the
// sanitized one.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "model/ply_test_files.h"
#include "run_program.h"

namespace {

// A hang, not a slow run: a small mesh takes well under a second, even sanitized.
constexpr unsigned kSecondsPerRun = 60;
constexpr int kFrameSize = 480;

enum class Outcome {
    Refused,  // the reader's message and status 1
    Draws,    // status 0, and some pixel of the frame is not black
    Loads,    // status 0; the frame may be black (nothing in view, or no area)
};

struct HostileFile {
    const char* name;
    std::string bytes;
    Outcome outcome;
    std::string refusal = "";  // the message's detail, for Outcome::Refused
    // What --import does with the file, where it differs from `outcome`.
    std::optional<Outcome> import = std::nullopt;
};

const char kImportHint[] = "Hint: the import reads this file: add --import\n";

// A tetrahedron wound outward: four vertices, four triangles.
const char* const kTetraVertices = "0 0 0\n1 0 0\n0 1 0\n0 0 1\n";
const char* const kTetraFaces = "3 0 2 1\n3 0 1 3\n3 0 3 2\n3 1 2 3\n";

std::string AsciiFile(const std::string& vertexCount, const std::string& faceCount,
                      const std::string& body)
{
    return PlyFileHeader("ascii", vertexCount, faceCount) + body;
}

std::string AsciiTetra()
{
    return AsciiFile("4", "4", std::string(kTetraVertices) + kTetraFaces);
}

// The tetrahedron with every coordinate multiplied by `scale`, as text.
std::string ScaledTetra(const std::string& scale)
{
    return AsciiFile(
        "4", "4", "0 0 0\n" + scale + " 0 0\n0 " + scale + " 0\n0 0 " + scale + "\n" + kTetraFaces);
}

std::string WithNormals(const std::string& normalsText)
{
    std::string header = PlyFileHeader("ascii", "4", "4");
    header.insert(header.find("element face"),
                  "property float nx\nproperty float ny\nproperty float nz\n");
    return header + "0 0 0 " + normalsText + "\n1 0 0 " + normalsText + "\n0 1 0 " + normalsText +
           "\n0 0 1 " + normalsText + "\n" + kTetraFaces;
}

void AddTetraFaces(BinaryBody& body)
{
    for (const auto& face : {std::vector<int32_t>{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}}) {
        body.Byte(3);
        for (int32_t index : face)
            body.Int(index);
    }
}

std::string BinaryTetraBody(bool bigEndian)
{
    BinaryBody body(bigEndian);
    for (int v = 0; v < 4; ++v)
        for (int axis = 0; axis < 3; ++axis)
            body.Float(v == axis + 1 ? 1.0f : 0.0f);
    AddTetraFaces(body);
    return body.Bytes();
}

// The text of `file` up to and including the first `marker`.
std::string UpTo(const std::string& file, const std::string& marker)
{
    return file.substr(0, file.find(marker) + marker.size());
}

std::vector<HostileFile> TruncatedFiles()
{
    const std::string tetra = AsciiTetra();
    const std::string little = PlyFileHeader("binary_little_endian", "4", "4");
    const std::string binary = little + BinaryTetraBody(false);
    return {
        {"truncated in the magic word", UpTo(tetra, "pl"), Outcome::Refused, "invalid PLY header"},
        {"truncated after the format keyword", UpTo(tetra, "format"), Outcome::Refused,
         "end of file in the header"},
        {"truncated before the vertex count", UpTo(tetra, "element vertex"), Outcome::Refused,
         "end of file in the header"},
        {"truncated in the vertex properties", UpTo(tetra, "property float y"), Outcome::Refused,
         "end of file in the header"},
        {"truncated before the face count", UpTo(tetra, "element face"), Outcome::Refused,
         "end of file in the header"},
        {"truncated in the face list property", UpTo(tetra, "list uchar"), Outcome::Refused,
         "end of file in the header"},
        {"truncated in end_header", UpTo(tetra, "end_hea"), Outcome::Refused,
         "end of file in the header"},
        {"truncated right after the header", UpTo(tetra, "end_header\n"), Outcome::Refused,
         "vertex count 4 does not fit in the 1 bytes after the header"},
        {"truncated in the vertex data", UpTo(tetra, "0 1 0\n0 0"), Outcome::Refused,
         "vertex count 4 does not fit in the 22 bytes after the header"},
        {"truncated in the last vertex", AsciiFile("4", "0", "0 0 0\n1.5 2.5 3.5\n0 1 0\n0 0"),
         Outcome::Refused, "truncated vertex data (vertex 3 of 4)"},
        {"truncated before a corner count", UpTo(tetra, "3 0 3 2\n"), Outcome::Refused,
         "truncated face data (face 3 of 4)"},
        {"truncated in a face's indices", UpTo(tetra, "3 0 3 2\n3 1"), Outcome::Refused,
         "truncated face data (face 3 of 4)"},
        {"binary truncated in a coordinate", binary.substr(0, little.size() + 30), Outcome::Refused,
         "vertex count 4 does not fit in the 30 bytes after the header"},
        {"binary truncated in a face's indices", binary.substr(0, binary.size() - 2),
         Outcome::Refused, "truncated face data (face 3 of 4)"},
    };
}

std::vector<HostileFile> CountAndIndexFiles()
{
    const std::string body = std::string(kTetraVertices) + kTetraFaces;
    BinaryBody lowest(false), highest(false);
    for (BinaryBody* b : {&lowest, &highest})
        for (int i = 0; i < 12; ++i)
            b->Float(static_cast<float>(i % 4 == 0));
    lowest.Byte(3).Int(0).Int(INT32_MIN).Int(1);
    highest.Byte(3).Int(0).Int(1).Int(INT32_MAX);
    const std::string little = PlyFileHeader("binary_little_endian", "4", "1");
    return {
        {"vertex count 0", AsciiFile("0", "0", ""), Outcome::Refused, "no vertices"},
        {"vertex count -1", AsciiFile("-1", "4", body), Outcome::Refused,
         "negative vertex count -1"},
        {"vertex count 2^31-1", AsciiFile("2147483647", "4", body), Outcome::Refused,
         "vertex count 2147483647 does not fit in the 57 bytes after the header"},
        {"face count -1", AsciiFile("4", "-1", body), Outcome::Refused, "negative face count -1"},
        {"face count 2^31-1", AsciiFile("4", "2147483647", body), Outcome::Refused,
         "face count 2147483647 does not fit in the 33 bytes after the vertices"},
        {"corner count -1", AsciiFile("4", "1", std::string(kTetraVertices) + "-1 0 1 2\n"),
         Outcome::Refused, "face 0: corner count -1 is not 0 to 255"},
        {"corner count 2^31-1",
         AsciiFile("4", "1", std::string(kTetraVertices) + "2147483647 0 1 2\n"), Outcome::Refused,
         "face 0: corner count 2147483647 is not 0 to 255"},
        {"index equal to the vertex count",
         AsciiFile("4", "1", std::string(kTetraVertices) + "3 0 1 4\n"), Outcome::Refused,
         "face 0: vertex index 4 out of range 0..3"},
        {"negative index", AsciiFile("4", "1", std::string(kTetraVertices) + "3 0 -2 1\n"),
         Outcome::Refused, "face 0: vertex index -2 out of range 0..3"},
        {"binary index -2^31", little + lowest.Bytes(), Outcome::Refused,
         "face 0: vertex index -2147483648 out of range 0..3"},
        {"binary index 2^31-1", little + highest.Bytes(), Outcome::Refused,
         "face 0: vertex index 2147483647 out of range 0..3"},
    };
}

std::vector<HostileFile> NonFiniteFiles()
{
    const auto vertex2 = [](const std::string& text) {
        return AsciiFile("4", "4", "0 0 0\n1 0 0\n" + text + "\n0 0 1\n" + kTetraFaces);
    };
    std::string uv = PlyFileHeader("ascii", "4", "4");
    uv.insert(uv.find("element face"), "property float u\nproperty float v\n");
    BinaryBody nan(false);
    for (int i = 0; i < 12; ++i)
        nan.Float(i == 4 ? 0.0f / 0.0f : 0.0f);
    AddTetraFaces(nan);
    return {
        {"nan coordinate", vertex2("nan 1 0"), Outcome::Refused,
         "vertex 2: 'nan' is not a finite number"},
        {"infinite coordinate", vertex2("0 inf 0"), Outcome::Refused,
         "vertex 2: 'inf' is not a finite number"},
        {"minus infinite coordinate", vertex2("0 1 -infinity"), Outcome::Refused,
         "vertex 2: '-infinity' is not a finite number"},
        {"coordinate 1e39 beyond float", vertex2("0 1e39 0"), Outcome::Refused,
         "vertex 2: '1e39' is not a finite number"},
        {"nan texture coordinate",
         uv + "0 0 0 0 0\n1 0 0 1 0\n0 1 0 nan 1\n0 0 1 0 1\n" + kTetraFaces, Outcome::Refused,
         "vertex 2: 'nan' is not a finite number"},
        {"infinite file normal", WithNormals("0 0 inf"), Outcome::Refused,
         "vertex 0: 'inf' is not a finite number"},
        {"binary nan coordinate", PlyFileHeader("binary_little_endian", "4", "4") + nan.Bytes(),
         Outcome::Refused, "vertex 1: value is not a finite number"},
    };
}

std::vector<HostileFile> LongTokenAndGarbageFiles()
{
    const std::string longWord(100000, 'w'), longNumber(100000, '7');
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.push_back(static_cast<char>((i * 151 + 7) % 256));
    std::string longName = PlyFileHeader("ascii", "4", "4");
    longName.replace(longName.find("float x"), 7, "float " + longWord);
    const std::string noEnd = AsciiTetra().replace(AsciiTetra().find("end_header"), 10, "end");
    return {
        {"100000 character comment",
         AsciiTetra().insert(AsciiTetra().find("element"), "comment " + longWord + "\n"),
         Outcome::Refused, "header token longer than 511 characters"},
        {"100000 character property name", longName + kTetraVertices + kTetraFaces,
         Outcome::Refused, "header token longer than 511 characters"},
        {"100000 digit coordinate",
         AsciiFile("4", "4", "0 0 0\n" + longNumber + " 0 0\n0 1 0\n0 0 1\n" + kTetraFaces),
         Outcome::Refused,
         "vertex 1: '" + longNumber.substr(0, 40) +
             "...' is longer than the 511 characters a number may have"},
        {"100000 blanks between two numbers",
         AsciiFile("4", "4",
                   "0" + std::string(100000, ' ') + "0 0\n1 0 0\n0 1 0\n0 0 1\n" + kTetraFaces),
         Outcome::Draws},
        {"binary garbage after an ascii header", PlyFileHeader("ascii", "4", "4") + garbage,
         Outcome::Refused,
         "vertex 0: "
         "'\\x07\\x9E5\\xCCc\\xFA\\x91(\\xBFV\\xED\\x84\\x1B\\xB2I\\xE0w\\x0E\\xA5<"
         "\\xD3j\\x01\\x98/\\xC6]\\xF4\\x8B\"\\xB9P\\xE7~\\x15\\xACC\\xDAq\\x08...' is not a "
         "number"},
        {"0xFF bytes after a binary header",
         PlyFileHeader("binary_little_endian", "4", "4") + std::string(100, '\xFF'),
         Outcome::Refused, "vertex 0: value is not a finite number"},
        {"header without end_header", noEnd, Outcome::Refused, "end of file in the header"},
        {"header of comments to the end of the file",
         "ply\nformat ascii 1.0\n" + std::string(20000, '\n') + "comment c\ncomment d\n",
         Outcome::Refused, "end of file in the header"},
    };
}

std::vector<HostileFile> EndiannessAndGroupFiles()
{
    std::string twoPositions = PlyFileHeader("ascii", "4", "4");
    twoPositions.insert(twoPositions.find("element face"), kPlyPositions);
    std::string twoColours = PlyFileHeader("ascii", "4", "4");
    const std::string colour = "property uchar red\nproperty uchar green\nproperty uchar blue\n";
    twoColours.insert(twoColours.find("element face"), colour + colour);
    return {
        {"big-endian data declared little-endian",
         PlyFileHeader("binary_little_endian", "4", "4") + BinaryTetraBody(true), Outcome::Refused,
         "face 0: vertex index 33554432 out of range 0..3"},
        {"little-endian data declared big-endian",
         PlyFileHeader("binary_big_endian", "4", "4") + BinaryTetraBody(false), Outcome::Refused,
         "face 0: vertex index 33554432 out of range 0..3"},
        {"position group twice, six numbers a vertex",
         twoPositions + "0 0 0 0 0 0\n1 0 0 1 0 0\n0 1 0 0 1 0\n0 0 1 0 0 1\n" + kTetraFaces,
         Outcome::Refused, "vertex property group 'x' declared twice", Outcome::Draws},
        {"colour group twice, six bytes a vertex",
         twoColours +
             "0 0 0 1 2 3 4 5 6\n1 0 0 1 2 3 4 5 6\n0 1 0 1 2 3 4 5 6\n"
             "0 0 1 1 2 3 4 5 6\n" +
             kTetraFaces,
         Outcome::Refused, "vertex property group 'red' declared twice", Outcome::Draws},
    };
}

std::vector<HostileFile> NastyValidFiles()
{
    // Centred on the origin: the programs put the eye on the diagonal at a
    // distance that only clears meshes around the origin.
    const std::string cubeVertices =
        "-1 -1 -1\n-1 -1 1\n-1 1 -1\n-1 1 1\n1 -1 -1\n1 -1 1\n1 1 -1\n1 1 1\n";
    const std::string cubeQuads =
        "4 0 1 3 2\n4 4 6 7 5\n4 0 4 5 1\n4 2 3 7 6\n4 0 2 6 4\n4 1 5 7 3\n";
    std::string disc, gon = "255", oneVertex = "255";
    for (int i = 0; i < 255; ++i) {
        const double a = 6.283185307179586 * i / 255;
        disc +=
            std::to_string(100 * std::cos(a)) + " " + std::to_string(100 * std::sin(a)) + " 0\n";
        gon += " " + std::to_string(i);
        oneVertex += " 1";
    }
    const std::string tetra = kTetraVertices;
    return {
        {"cube of quads", AsciiFile("8", "6", cubeVertices + cubeQuads), Outcome::Draws},
        // A flat mesh leaves the outward test undecided; the unused vertex
        // below the disc decides it for the disc's upper side.
        {"one 255-corner face", AsciiFile("256", "1", disc + "0 0 -50\n" + gon + "\n"),
         Outcome::Draws},
        {"empty faces among triangles",
         AsciiFile("4", "6", tetra + "0\n3 0 2 1\n0\n3 0 1 3\n3 0 3 2\n3 1 2 3\n"), Outcome::Draws},
        {"only empty faces", AsciiFile("4", "3", tetra + "0\n0\n0\n"), Outcome::Loads},
        {"faces of one and two corners", AsciiFile("4", "2", tetra + "1 0\n2 1 2\n"),
         Outcome::Loads},
        {"no faces", AsciiFile("4", "0", tetra), Outcome::Loads},
        {"one vertex 255 times in a face", AsciiFile("4", "1", tetra + oneVertex + "\n"),
         Outcome::Loads},
        {"triangle of one corner thrice", AsciiFile("4", "1", tetra + "3 2 2 2\n"), Outcome::Loads},
        {"all vertices equal",
         AsciiFile("4", "4", "5 5 5\n5 5 5\n5 5 5\n5 5 5\n" + std::string(kTetraFaces)),
         Outcome::Loads},
        {"vertices on one line",
         AsciiFile("4", "4", "0 0 0\n1 1 1\n2 2 2\n3 3 3\n" + std::string(kTetraFaces)),
         Outcome::Loads},
        {"coordinates of 1e30", ScaledTetra("1e30"), Outcome::Loads},
        {"coordinates near the float limit", ScaledTetra("3.4e38"), Outcome::Loads},
        {"coordinates of -3.4e38", ScaledTetra("-3.4e38"), Outcome::Loads},
        {"coordinates of 1e-30", ScaledTetra("1e-30"), Outcome::Loads},
        {"zero file normals", WithNormals("0 0 0"), Outcome::Draws},
        {"file normals of 1e30", WithNormals("1e30 1e30 1e30"), Outcome::Draws},
        {"colour values beyond a byte",
         [] {
             std::string h = PlyFileHeader("ascii", "4", "4");
             h.insert(h.find("element face"),
                      "property uchar red\nproperty uchar green\nproperty uchar blue\n");
             return h + "0 0 0 300 -1 99999999999\n1 0 0 256 0 0\n0 1 0 1 2 3\n0 0 1 4 5 6\n" +
                    kTetraFaces;
         }(),
         Outcome::Draws, "", Outcome::Refused},
    };
}

std::vector<HostileFile> HostileFiles()
{
    std::vector<HostileFile> all;
    for (auto group : {TruncatedFiles, CountAndIndexFiles, NonFiniteFiles, LongTokenAndGarbageFiles,
                       EndiannessAndGroupFiles, NastyValidFiles})
        for (HostileFile& file : group())
            all.push_back(std::move(file));
    return all;
}

void PrintTo(const HostileFile& file, std::ostream* out)
{
    *out << file.name;
}

std::string TestName(const testing::TestParamInfo<HostileFile>& info)
{
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// Pixels of a binary PPM frame that are not black; -1 when it is not a
// 480 x 480 frame.
int LitPixels(const std::string& ppm)
{
    const std::string header = "P6\n480 480\n255\n";
    const std::size_t bytes = 3u * kFrameSize * kFrameSize;
    if (ppm.compare(0, header.size(), header) != 0 || ppm.size() != header.size() + bytes)
        return -1;
    int lit = 0;
    for (std::size_t i = header.size(); i < ppm.size(); i += 3)
        lit += ppm[i] != 0 || ppm[i + 1] != 0 || ppm[i + 2] != 0;
    return lit;
}

ProgramRun Render(const std::string& mesh, const std::vector<std::string>& modes,
                  const std::string& picture)
{
    std::vector<std::string> argv = {ZBUFFER_RENDER, mesh, "--out", picture};
    argv.insert(argv.end(), modes.begin(), modes.end());
    return RunProgram(argv, kSecondsPerRun);
}

// A file that loads is drawn in every shade model and in wireframe; with
// Outcome::Draws something shows.
void ExpectFrames(const std::string& mesh, Outcome outcome, const std::vector<std::string>& reader,
                  const std::string& picture)
{
    const std::vector<std::vector<std::string>> modes = {{"--shade", "flat"},
                                                         {"--shade", "gouraud"},
                                                         {"--shade", "phong"},
                                                         {"--shade", "cartoon"},
                                                         {"--wireframe"}};
    for (std::vector<std::string> mode : modes) {
        SCOPED_TRACE(mode.back());
        const bool cartoon = mode.back() == "cartoon";
        mode.insert(mode.end(), reader.begin(), reader.end());
        const ProgramRun run = Render(mesh, mode, picture);
        EXPECT_FALSE(run.timedOut);
        ASSERT_EQ(run.exitStatus, 0) << "signal " << run.signal << "\n" << run.err;
        EXPECT_EQ(run.err, "");
        const int lit = LitPixels(ReadWholeFile(picture));
        EXPECT_GE(lit, 0) << "no 480 x 480 frame written";
        // The cartoon model may leave a small mesh all outline, which is black.
        if (outcome == Outcome::Draws && !cartoon) {
            EXPECT_GT(lit, 0) << "nothing drawn";
        }
    }
}

class HostileMesh : public testing::TestWithParam<HostileFile> {};

TEST_P(HostileMesh, LoadsAndDrawsOrEndsWithTheReadersMessage)
{
    const HostileFile& file = GetParam();
    const std::string mesh = WriteTestFile("hostile.ply", file.bytes);
    const std::string picture = WriteTestFile("hostile.ppm", "");
    if (file.outcome != Outcome::Refused) return ExpectFrames(mesh, file.outcome, {}, picture);
    const ProgramRun run = Render(mesh, {}, picture);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitStatus, 1) << "signal " << run.signal << "\n" << run.err;
    const bool imports = file.import.value_or(file.outcome) != Outcome::Refused;
    EXPECT_EQ(run.err, "Error: (ReadPly) : " + file.refusal + "\n" + (imports ? kImportHint : ""));
    EXPECT_EQ(run.out, "");
}

// The import's own messages are tested with its readers; here, that each
// refusal is one line and status 1, and never a crash or a hang.
TEST_P(HostileMesh, ImportLoadsAndDrawsOrEndsWithOneLine)
{
    const HostileFile& file = GetParam();
    const std::string mesh = WriteTestFile("hostile.ply", file.bytes);
    const std::string picture = WriteTestFile("hostile.ppm", "");
    const Outcome outcome = file.import.value_or(file.outcome);
    if (outcome != Outcome::Refused) return ExpectFrames(mesh, outcome, {"--import"}, picture);
    const ProgramRun run = Render(mesh, {"--import"}, picture);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitStatus, 1) << "signal " << run.signal << "\n" << run.err;
    EXPECT_EQ(run.err.rfind("Error: (", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(HostileMesh, HostileMesh, testing::ValuesIn(HostileFiles()), TestName);

}  // namespace
