#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "model/fatal_error.h"
#include "model/model.h"
#include "model/ply_reader.h"
#include "ply_test_files.h"

namespace {

const std::string kTriangleBody = "0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n";

std::string BinaryTriangle()
{
    BinaryBody body(false);
    body.Float(0).Float(0).Float(0).Float(1).Float(0).Float(0).Float(0).Float(1).Float(0);
    return body.Bytes();
}

std::string BinaryFile(const std::string& vertexProperties, const std::string& faceProperties,
                       const std::string& body)
{
    return "ply\nformat binary_little_endian 1.0\nelement vertex 3\n" + vertexProperties +
           "element face 1\n" + faceProperties + "end_header\n" + body;
}

// The whole of standard error, exactly.
testing::Matcher<const std::string&> Says(const std::string& message)
{
    return testing::Matcher<const std::string&>(message + "\n");
}

TEST(PlyErrors, MissingFileEndsWithTheOpenFailureAndStatus1)
{
    EXPECT_EXIT(ReadPly("no/such/mesh.ply"), testing::ExitedWithCode(1),
                Says("Error: (ReadPly) Cannot open file : no/such/mesh.ply"));
    EXPECT_EXIT(Model("no/such/model.ply"), testing::ExitedWithCode(1),
                Says("Error: (ReadPly) Cannot open file : no/such/model.ply"));
}

TEST(PlyErrors, BadHeaderEndsWithInvalidHeaderAndStatus1)
{
    const std::string path = WriteTestFile("capital.ply", "PLY\nformat ascii 1.0\n");
    EXPECT_EXIT(ReadPly(path.c_str()), testing::ExitedWithCode(1),
                Says("Error: (ReadPly) : invalid PLY header"));
}

TEST(PlyErrors, DirectoryIsRefusedAsUnreadable)
{
    EXPECT_EQ(ReadPlyError(testing::TempDir()),
              "Error: (ReadPly) : cannot read the file (Is a directory)");
}

TEST(PlyErrors, HandlerThatReturnsStillEndsTheProcess)
{
    SetFatalErrorHandler([](const char*, const char*) {});
    EXPECT_EXIT(FatalError("what", "detail"), testing::ExitedWithCode(1),
                Says("Error: what : detail"));
    SetFatalErrorHandler(nullptr);
}

struct MalformedFile {
    const char* name;
    std::string bytes;
    std::string detail;
};

std::vector<MalformedFile> MalformedFiles()
{
    const std::string ascii = "ply\nformat ascii 1.0\n";
    const std::string vertex3 = ascii + "element vertex 3\n";
    const std::string longToken(600, 'w');
    const std::string triangleBytes = BinaryTriangle();
    const std::string face = BinaryBody(false).Byte(3).Int(0).Int(1).Int(2).Bytes();
    return {
        {"empty file", "", "end of file in the header"},
        {"capitalised magic", "PLY\nformat ascii 1.0\n", "invalid PLY header"},
        {"no format keyword", "ply\nascii 1.0\n", "invalid PLY header"},
        {"unknown encoding", "ply\nformat binary 1.0\n", "invalid PLY header"},
        {"first property y", vertex3 + "property float y\n",
         "invalid PLY header: vertex property 'y' is not one this reader reads (x, confidence, red "
         "or r, u, nx)"},
        {"texture group twice",
         vertex3 + "property float u\nproperty float v\n" + kPlyPositions +
             "property float u\nproperty float v\n",
         "vertex property group 'u' declared twice"},
        {"colour group twice under both names",
         vertex3 + kPlyPositions + "property uchar red\nproperty uchar green\n" +
             "property uchar blue\nproperty uchar r\nproperty uchar g\nproperty uchar b\n",
         "vertex property group 'r' declared twice"},
        {"control bytes in a quoted word",
         vertex3 + "property float x\nproperty float y\n" + "property float \x01z\x7f\n",
         "vertex property '\\x01z\\x7F' where 'z' belongs"},
        {"property this reader does not know",
         vertex3 + kPlyPositions + "property float intensity\n",
         "invalid PLY header: vertex property 'intensity' is not one this reader reads (x, "
         "confidence, red or r, u, nx)"},
        {"alpha after colour",
         vertex3 + kPlyPositions +
             "property uchar red\nproperty uchar green\nproperty uchar blue\n"
             "property uchar alpha\n",
         "invalid PLY header: vertex property 'alpha' is not one this reader reads (x, confidence, "
         "red or r, u, nx)"},
        {"header ends in the vertex properties", vertex3 + kPlyPositions,
         "end of file in the header"},
        {"no face element", vertex3 + kPlyPositions + "end_header\n" + kTriangleBody,
         "no face element"},
        {"no vertex element", ascii + "element face 1\n" + kPlyFaceList + "end_header\n",
         "element 'face' before the vertex element"},
        {"token over 511 characters", ascii + "comment " + longToken + "\n",
         "header token longer than 511 characters"},
        {"vertex count not a number", ascii + "element vertex three\n",
         "vertex count 'three' is not a number"},
        {"vertex count beyond 32 bits", ascii + "element vertex 4294967299\n",
         "vertex count 4294967299 is too large (the largest is 2147483647)"},
        {"negative vertex count", PlyFileHeader("ascii", "-3", "1"), "negative vertex count -3"},
        {"face count beyond 32 bits", PlyFileHeader("ascii", "3", "2147483648") + kTriangleBody,
         "face count 2147483648 is too large (the largest is 2147483647)"},
        {"vertex count below 64 bits", ascii + "element vertex -99999999999999999999\n",
         "negative vertex count -99999999999999999999"},
        // A NUL byte ends a C string: it must not end a number early.
        {"NUL byte inside the vertex count", ascii + std::string("element vertex 3\0junk\n", 22),
         "vertex count '3\\x00junk' is not a number"},
        {"NUL byte inside a coordinate",
         PlyFileHeader("ascii", "3", "1") + "0 0 0\n" + std::string("-1\0abc", 6) +
             " 0 0\n0 1 0\n3 0 1 2\n",
         "vertex 1: '-1\\x00abc' is not a number"},
        {"NUL byte after a corner index",
         PlyFileHeader("ascii", "3", "1") + "0 0 0\n1 0 0\n0 1 0\n3 0 1 " + std::string("2\0", 2),
         "face 0: '2\\x00' is not a number"},
        {"comment holding the word vertex",
         ascii + "comment vertex parms follow\nelement vertex 3\n" + kPlyPositions,
         "vertex count 'parms' is not a number: the word 'vertex' on a 'comment' line is taken "
         "as the vertex element"},
        {"negative face count", PlyFileHeader("ascii", "3", "-1") + kTriangleBody,
         "negative face count -1"},
        {"no vertices", PlyFileHeader("ascii", "0", "0"), "no vertices"},
        {"vertex count beyond the file", PlyFileHeader("ascii", "2000000000", "1") + kTriangleBody,
         "vertex count 2000000000 does not fit in the 27 bytes after the header"},
        {"face count beyond the file",
         PlyFileHeader("binary_little_endian", "3", "100") + triangleBytes,
         "face count 100 does not fit in the 0 bytes after the vertices"},
        {"truncated vertex data", PlyFileHeader("ascii", "4", "0") + "0.000 0.000 0.000\n1.5 2.5",
         "truncated vertex data (vertex 1 of 4)"},
        {"truncated face data",
         PlyFileHeader("binary_little_endian", "3", "2") + triangleBytes + face + "\x03",
         "truncated face data (face 1 of 2)"},
        // The face is cut short after its bad index: the index is the problem
        // reported, as when reading value by value.
        {"index past the vertices in a cut face",
         PlyFileHeader("binary_little_endian", "3", "2") + triangleBytes + face +
             BinaryBody(false).Byte(3).Int(0).Int(7).Bytes() + "\x02",
         "face 1: vertex index 7 out of range 0..2"},
        {"word in the vertex data",
         PlyFileHeader("ascii", "3", "1") + "0 0 0\n1 zero 0\n0 1 0\n3 0 1 2\n",
         "vertex 1: 'zero' is not a number"},
        {"number with trailing text",
         PlyFileHeader("ascii", "3", "1") + "0 0 0\n1 0 0\n0 1 0\n3 0 1 2x\n",
         "face 0: '2x' is not a number"},
        {"nan coordinate", PlyFileHeader("ascii", "3", "1") + "0 0 0\nnan 0 0\n0 1 0\n3 0 1 2\n",
         "vertex 1: 'nan' is not a finite number"},
        {"infinite binary coordinate",
         PlyFileHeader("binary_little_endian", "3", "1") +
             BinaryBody(false)
                 .Float(0)
                 .Float(0)
                 .Float(0)
                 .Float(1)
                 .Float(0)
                 .Float(0)
                 .Float(0)
                 .Bytes() +
             std::string("\0\0\x80\x7F\0\0\0\0", 8) + face,
         "vertex 2: value is not a finite number"},
        {"index past the vertices",
         PlyFileHeader("ascii", "3", "1") + "0 0 0\n1 0 0\n0 1 0\n3 0 1 999\n",
         "face 0: vertex index 999 out of range 0..2"},
        {"index beyond 32 bits",
         PlyFileHeader("ascii", "3", "1") + "0 0 0\n1 0 0\n0 1 0\n3 0 1 4294967296\n",
         "face 0: vertex index 4294967296 out of range 0..2"},
        {"corner count over 255",
         PlyFileHeader("ascii", "3", "1") + "0 0 0\n1 0 0\n0 1 0\n259 0 1 2\n",
         "face 0: corner count 259 is not 0 to 255"},
        {"negative index", PlyFileHeader("ascii", "3", "1") + "0 0 0\n1 0 0\n0 1 0\n3 0 -1 2\n",
         "face 0: vertex index -1 out of range 0..2"},
        {"negative binary index",
         PlyFileHeader("binary_big_endian", "3", "1") + std::string(36, '\0') + "\x03" +
             std::string("\0\0\0\0\0\0\0\x01\xFF\xFF\xFF\xFF", 12),
         "face 0: vertex index -1 out of range 0..2"},
        {"binary double coordinates",
         BinaryFile("property double x\nproperty double y\nproperty double z\n", kPlyFaceList, ""),
         "binary vertex property 'x' is double, not a 4-byte float"},
        {"binary float64 z",
         BinaryFile("property float x\nproperty float y\nproperty float64 z\n", kPlyFaceList, ""),
         "binary vertex property 'z' is float64, not a 4-byte float"},
        {"binary uint16 colour",
         BinaryFile(std::string(kPlyPositions) +
                        "property uint16 red\nproperty uint16 green\nproperty uint16 blue\n",
                    kPlyFaceList, ""),
         "binary vertex property 'red' is uint16, not an unsigned byte"},
        {"binary uint colour",
         BinaryFile(std::string(kPlyPositions) +
                        "property uchar red\nproperty uchar green\nproperty uint blue\n",
                    kPlyFaceList, ""),
         "binary vertex property 'blue' is uint, not an unsigned byte"},
        {"binary int corner count",
         BinaryFile(kPlyPositions, "property list int int vertex_indices\n", ""),
         "binary face list count is int, not one byte"},
        {"binary short indices",
         BinaryFile(kPlyPositions, "property list uchar short vertex_indices\n", ""),
         "binary face list index is short, not a 4-byte integer"},
        {"face element with a second property",
         PlyFileHeader("ascii", "3", "1")
                 .insert(PlyFileHeader("ascii", "3", "1").find("end_header"),
                         "property uchar flags\n") +
             kTriangleBody,
         "face element with properties besides its index list"},
        {"face property that is not a list",
         vertex3 + kPlyPositions + "element face 1\nproperty int flags\nend_header\n",
         "face property 'int' is not a list"},
        {"face element without a list",
         vertex3 + kPlyPositions + "element face 1\nend_header\n" + kTriangleBody,
         "face element without an index list"},
        {"element between vertex and face",
         vertex3 + kPlyPositions + "element edge 1\nproperty int vertex1\nelement face 1\n" +
             kPlyFaceList + "end_header\n",
         "element 'edge' between the vertex and the face element"},
        {"element before the vertex element",
         ascii + "element material 1\nproperty float shine\n" + "element vertex 3\n" +
             kPlyPositions,
         "element 'material' before the vertex element"},
        {"vertex property after a comment",
         vertex3 + kPlyPositions + "comment normals follow\nproperty float nx\n",
         "vertex properties interrupted by another line"},
        {"position properties out of order",
         vertex3 + "property float x\nproperty float z\nproperty float y\n",
         "vertex property 'z' where 'y' belongs"},
        {"no position", vertex3 + "property float u\nproperty float v\nelement face 0\n",
         "vertex element without x, y, z"},
        {"vertex element without properties", vertex3 + "element face 1\n",
         "vertex element without properties"},
        {"binary header without a line end",
         BinaryFile(kPlyPositions, kPlyFaceList, "")
                 .replace(BinaryFile(kPlyPositions, kPlyFaceList, "").size() - 1, 1, " ") +
             triangleBytes + face,
         "no line end after end_header"},
    };
}

// Test names and failure reports show the case's name, not its bytes.
void PrintTo(const MalformedFile& file, std::ostream* out)
{
    *out << file.name;
}

class MalformedPly : public testing::TestWithParam<MalformedFile> {};

// Every refusal ends the process with status 1 and one line naming the
// problem. In-process, with a throwing handler, the sanitizer builds also
// check that nothing leaks when the reader unwinds.
TEST_P(MalformedPly, EndsWithAClearMessageAndStatus1)
{
    const std::string path = WriteTestFile(GetParam().name + std::string(".ply"), GetParam().bytes);
    const std::string message = "Error: (ReadPly) : " + GetParam().detail;
    EXPECT_EQ(ReadPlyError(path), message);
    EXPECT_EXIT(ReadPly(path.c_str()), testing::ExitedWithCode(1), Says(message));
}

std::string TestName(const testing::TestParamInfo<MalformedFile>& info)
{
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(PlyErrors, MalformedPly, testing::ValuesIn(MalformedFiles()), TestName);

}  // namespace
