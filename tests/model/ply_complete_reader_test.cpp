// The complete PLY reader on files written for each feature: every scalar
// type under both names, elements in any order, unknown elements and
// properties, strips, list types, other attribute names, line ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "import_test_support.h"
#include "model/vertex_array.h"
#include "ply_test_files.h"

namespace {

Vector3 PositionOf(const Model& model, int32_t i)
{
    float p[3];
    model.vertices.GetAttribute(p, ATTRIB_POSITION, i);
    return {p[0], p[1], p[2]};
}

uint32_t ColorOf(const Model& model, int32_t i)
{
    uint32_t c = 0;
    model.vertices.GetAttribute(&c, ATTRIB_COLOR, i);
    return c;
}

std::vector<int32_t> CornersOf(const Model& model, int32_t f)
{
    const CornerIndices& c = model.faces.records[f].indices;
    return {c.begin(), c.end()};
}

Model Load(const std::string& name, const std::string& bytes)
{
    return Imported(WriteTestFile(name, bytes));
}

// A tetrahedron wound outward, so the orientation step leaves it as read.
const char* const kTetraFacesAscii = "3 0 2 1\n3 0 1 3\n3 0 3 2\n3 1 2 3\n";

std::string Header(const std::string& format, const std::string& elements)
{
    return "ply\nformat " + format + " 1.0\n" + elements + "end_header\n";
}

struct TypeCase {
    const char* name;
    const char* alias;
    std::string bytesOfTwo;  // the value 2 in that type, little-endian
};

std::vector<TypeCase> TypeCases()
{
    const float f2 = 2.0f;
    const double d2 = 2.0;
    std::string f(4, '\0'), d(8, '\0');
    std::memcpy(&f[0], &f2, 4);
    std::memcpy(&d[0], &d2, 8);
    return {{"char", "int8", std::string("\x02", 1)},
            {"uchar", "uint8", std::string("\x02", 1)},
            {"short", "int16", std::string("\x02\x00", 2)},
            {"ushort", "uint16", std::string("\x02\x00", 2)},
            {"int", "int32", std::string("\x02\x00\x00\x00", 4)},
            {"uint", "uint32", std::string("\x02\x00\x00\x00", 4)},
            {"float", "float32", f},
            {"double", "float64", d}};
}

TEST(PlyCompleteReader, ReadsPositionsOfEveryScalarTypeUnderBothNamesInEveryEncoding)
{
    for (const TypeCase& t : TypeCases())
        for (const char* type : {t.name, t.alias}) {
            SCOPED_TRACE(type);
            const std::string props = std::string("property ") + type + " x\nproperty " + type +
                                      " y\nproperty " + type + " z\n";
            const std::string elements = "element vertex 1\n" + props;
            std::string big = t.bytesOfTwo;
            std::reverse(big.begin(), big.end());
            const Model ascii = Load("t.ply", Header("ascii", elements) + "2 2 2\n");
            const Model little = Load("t.ply", Header("binary_little_endian", elements) +
                                                   t.bytesOfTwo + t.bytesOfTwo + t.bytesOfTwo);
            const Model bigEndian =
                Load("t.ply", Header("binary_big_endian", elements) + big + big + big);
            for (const Model* m : {&ascii, &little, &bigEndian}) {
                EXPECT_EQ(PositionOf(*m, 0).x, 2.0f);
                EXPECT_EQ(PositionOf(*m, 0).z, 2.0f);
            }
        }
}

TEST(PlyCompleteReader, SkipsUnknownElementsAndPropertiesInAnyOrderFaceFirst)
{
    const std::string elements =
        "element camera 1\nproperty float view_px\nproperty list uchar float extra\n"
        "comment between elements\n"
        "element face 4\nproperty uchar flags\nproperty list int uint vertex_index\n"
        "property list uchar float texcoord\n"
        "obj_info anywhere\n"
        "element vertex 4\nproperty double x\nproperty float quality\nproperty double y\n"
        "property list uchar int neighbours\nproperty double z\nproperty uchar alpha\n";
    const std::string body =
        "1.5 2 7 8\n"
        "9 3 0 2 1 0\n9 3 0 1 3 1 0.5\n9 3 0 3 2 0\n9 3 1 2 3 0\n"
        "0 0.5 0 0 0 255\n1 0.5 0 1 7 0 255\n0 0.5 1 0 0 255\n"
        "0 0.5 0 0 1 255\n";
    MeshSummary summary;
    const Model m = ImportMesh(WriteTestFile("order.ply", Header("ascii", elements) + body),
                               MeshFraming{}, &summary);
    ASSERT_EQ(m.vertices.count, 4);
    ASSERT_EQ(m.faces.count, 4);
    EXPECT_EQ(PositionOf(m, 1).x, 1.0f);
    EXPECT_EQ(PositionOf(m, 2).y, 1.0f);
    EXPECT_EQ(CornersOf(m, 1), (std::vector<int32_t>{0, 1, 3}));
    EXPECT_EQ(summary.skipped, (std::vector<std::string>{
                                   "element 'camera' (1 row)", "face property 'flags'",
                                   "face property 'texcoord'", "vertex property 'quality'",
                                   "vertex property 'neighbours'", "vertex property 'alpha'"}));
}

TEST(PlyCompleteReader, TurnsTristripsWithRestartsIntoTrianglesOfOneWinding)
{
    const std::string elements =
        "element vertex 6\nproperty float x\nproperty float y\n"
        "property float z\nelement tristrips 1\n"
        "property list int int vertex_indices\n";
    // Two runs: 0 1 2 3 (two triangles), then 3 4 5 with a stitch 5 5.
    const std::string body = "0 0 0\n1 0 0\n0 1 0\n1 1 0\n2 1 0\n2 2 1\n10 0 1 2 3 -1 3 4 5 5 5\n";
    MeshSummary summary;
    const Model m = ImportMesh(WriteTestFile("strip.ply", Header("ascii", elements) + body),
                               MeshFraming{}, &summary);
    ASSERT_EQ(m.faces.count, 3);
    EXPECT_EQ(summary.droppedFaces, 2);
    // Every triangle of the first run faces the same way as the first.
    EXPECT_EQ(m.faces.GetFaceNormal(0).z, m.faces.GetFaceNormal(1).z);
    EXPECT_EQ(CornersOf(m, 2).size(), 3u);
}

TEST(PlyCompleteReader, ReadsOtherNamesOfTextureCoordinatesColoursAndNormals)
{
    const std::string elements =
        "element vertex 4\nproperty float x\nproperty float y\nproperty float z\n"
        "property float normal_x\nproperty float normal_y\nproperty float normal_z\n"
        "property float texture_u\nproperty float texture_v\n"
        "property ushort diffuse_red\nproperty ushort diffuse_green\n"
        "property ushort diffuse_blue\n"
        "element face 4\nproperty list uchar int vertex_indices\n";
    const std::string body =
        "0 0 0 -1 -1 -1 0.25 0.75 65535 0 32768\n"
        "1 0 0 1 0 0 0 0 0 0 0\n0 1 0 0 1 0 0 0 0 0 0\n"
        "0 0 1 0 0 1 0 0 0 0 0\n" +
        std::string(kTetraFacesAscii);
    MeshSummary summary;
    const Model m = ImportMesh(WriteTestFile("names.ply", Header("ascii", elements) + body),
                               MeshFraming{}, &summary);
    float uv[2], n[3];
    m.vertices.GetAttribute(uv, ATTRIB_TEXCOORD, 0);
    m.vertices.GetAttribute(n, ATTRIB_NORMAL, 0);
    EXPECT_EQ(uv[0], 0.25f);
    EXPECT_EQ(uv[1], 0.75f);
    EXPECT_EQ(n[0], -1.0f);                 // the file's, unnormalised
    EXPECT_EQ(ColorOf(m, 0), 0xFFFF007Fu);  // 32768 / 65535, truncated to a byte
    EXPECT_EQ(summary.kept,
              (std::vector<std::string>{"positions", "normals", "texture coordinates", "colours"}));
}

TEST(PlyCompleteReader, ClampsFloatColoursAndScalesBytesAsTheCanonicalReader)
{
    const std::string elements =
        "element vertex 4\nproperty float x\nproperty float y\nproperty float z\n"
        "property float r\nproperty float g\nproperty float b\n";
    const Model m =
        Load("fc.ply", Header("ascii", elements) +
                           "0 0 0 1.5 -0.5 0.5\n1 0 0 0 0 0\n0 1 0 0 0 0\n0 0 1 0 0 0\n");
    EXPECT_EQ(ColorOf(m, 0) & 0xFFFF00u, 0xFF0000u);
    const Model bytes =
        Load("bc.ply", Header("ascii",
                              "element vertex 1\nproperty float x\nproperty float y\n"
                              "property float z\nproperty uchar red\n"
                              "property uchar green\nproperty uchar blue\n") +
                           "0 0 0 255 128 0\n");
    EXPECT_EQ(ColorOf(bytes, 0), 0xFFFF8000u);
}

TEST(PlyCompleteReader, PointCloudGetsOneFaceOfThreeCornersOnEachVertex)
{
    MeshSummary summary;
    const Model m =
        ImportMesh(WriteTestFile("cloud.ply", Header("ascii",
                                                     "element vertex 3\nproperty float x\n"
                                                     "property float y\nproperty float z\n"
                                                     "element face 0\n"
                                                     "property list uchar int vertex_indices\n") +
                                                  "0 0 0\n1 0 0\n0 2 0\n"),
                   MeshFraming{}, &summary);
    EXPECT_TRUE(summary.pointCloud);
    ASSERT_EQ(m.faces.count, 3);
    for (int32_t f = 0; f < 3; ++f)
        EXPECT_EQ(CornersOf(m, f), (std::vector<int32_t>{f, f, f}));
    EXPECT_EQ(m.halfExtent, 1.0f);
}

TEST(PlyCompleteReader, PointCloudLeavesOutPointsWithoutFiniteCoordinates)
{
    MeshSummary summary;
    const Model m =
        ImportMesh(WriteTestFile("nan.ply", Header("ascii",
                                                   "element vertex 4\nproperty float x\n"
                                                   "property float y\nproperty float z\n") +
                                                "0 0 0\nnan nan nan\n1 0 0\n0 inf 1\n"),
                   MeshFraming{}, &summary);
    EXPECT_EQ(summary.droppedPoints, 2);
    ASSERT_EQ(m.vertices.count, 2);
    EXPECT_EQ(PositionOf(m, 1).x, 1.0f);
    EXPECT_EQ(ImportError(WriteTestFile(
                  "allnan.ply", Header("ascii", "element vertex 1\n" + std::string(kPlyPositions)) +
                                    "nan 0 0\n")),
              "Error: (ReadPly) : no vertex has finite coordinates");
}

TEST(PlyCompleteReader, SplitsFacesOfMoreThan255CornersIntoFansCoveringTheSameTriangles)
{
    constexpr int kCorners = 300;
    std::string body, face = std::to_string(kCorners);
    for (int i = 0; i < kCorners; ++i) {
        const double a = 6.283185307179586 * i / kCorners;
        body += std::to_string(std::cos(a)) + " " + std::to_string(std::sin(a)) + " 0\n";
        face += " " + std::to_string(i);
    }
    MeshSummary summary;
    const Model m =
        ImportMesh(WriteTestFile("big.ply", Header("ascii",
                                                   "element vertex 300\nproperty float x\n"
                                                   "property float y\nproperty float z\n"
                                                   "element face 1\n"
                                                   "property list ushort int vertex_indices\n") +
                                                body + face + "\n"),
                   MeshFraming{}, &summary);
    EXPECT_EQ(summary.splitFaces, 1);
    ASSERT_EQ(m.faces.count, 2);
    EXPECT_EQ(m.faces.records[0].cornerCount, 255);
    EXPECT_EQ(m.faces.records[1].cornerCount, kCorners - 253 + 1 - 1);
    int triangles = 0;
    for (const Face& f : m.faces.records) {
        EXPECT_EQ(f.indices[0], 0);
        triangles += f.cornerCount - 2;
    }
    EXPECT_EQ(triangles, kCorners - 2);
    EXPECT_EQ(CornersOf(m, 1)[1], 254);  // the second fan starts where the first ends
}

// A binary body straight after header lines ending in CRLF or a lone CR.
TEST(PlyCompleteReader, ReadsBinaryBodiesAfterCrlfAndLoneCrHeaderLines)
{
    BinaryBody body(false);
    body.Float(0).Float(0).Float(0).Float(1).Float(0).Float(0).Float(0).Float(1).Float(0);
    body.Byte(3).Int(0).Int(1).Int(2);
    for (const char* end : {"\r\n", "\r"}) {
        SCOPED_TRACE(end == std::string("\r") ? "CR" : "CRLF");
        std::string header = "ply\nformat binary_little_endian 1.0\ncomment c\nelement vertex 3\n" +
                             std::string(kPlyPositions) + "element face 1\n" + kPlyFaceList +
                             "end_header\n";
        std::string converted;
        for (const char c : header)
            converted += c == '\n' ? std::string(end) : std::string(1, c);
        const Model m = Load("crlf.ply", converted + body.Bytes());
        ASSERT_EQ(m.faces.count, 1);
        EXPECT_EQ(PositionOf(m, 2).y, 1.0f);
    }
}

}  // namespace

namespace {

// Binary rows the import decodes in one go (float coordinates, byte colours,
// values it passes over; faces of a byte count and int indices) say what its
// value-by-value reading says, in both byte orders: a value that is not
// finite is named, or left out of a cloud; a skipped value is never looked
// at; a bad or missing index is named.
class WholeBinaryRows : public testing::TestWithParam<bool> {};

TEST_P(WholeBinaryRows, SayWhatTheValueByValueReadingSays)
{
    const bool big = GetParam();
    const std::string format = big ? "binary_big_endian" : "binary_little_endian";
    const std::string vertices =
        "element vertex 3\nproperty float x\nproperty float quality\nproperty float y\n"
        "property float z\nproperty uchar red\nproperty uchar green\nproperty uchar blue\n";
    const std::string faces = "element face 1\nproperty list uchar int vertex_indices\n";
    const float nan = std::nanf("");
    const auto body = [big, nan](float z2, int32_t last, bool wholeFace) {
        BinaryBody b(big);
        const float xyz[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, z2}};
        for (int v = 0; v < 3; ++v)
            b.Float(xyz[v][0]).Float(nan).Float(xyz[v][1]).Float(xyz[v][2]).Byte(10).Byte(20).Byte(
                static_cast<uint8_t>(30 + v));
        b.Byte(3).Int(0).Int(1);
        if (wholeFace) b.Int(last);
        return b.Bytes();
    };
    const Model m = Load("rows.ply", Header(format, vertices + faces) + body(0, 2, true));
    EXPECT_EQ(PositionOf(m, 1).x, 1.0f);
    EXPECT_EQ(PositionOf(m, 2).y, 1.0f);
    EXPECT_EQ(ColorOf(m, 2), 0xFF0A1420u);
    EXPECT_EQ(m.faces.count, 1);
    EXPECT_EQ(ImportError(
                  WriteTestFile("nan.ply", Header(format, vertices + faces) + body(nan, 2, true))),
              "Error: (ReadPly) : vertex 2 of 3, property 'z': value is not a finite float");
    EXPECT_EQ(ImportError(
                  WriteTestFile("index.ply", Header(format, vertices + faces) + body(0, 3, true))),
              "Error: (ReadPly) : face 0 of 1, property 'vertex_indices': vertex index 3 out of "
              "range 0..2");
    EXPECT_EQ(
        ImportError(WriteTestFile("cut.ply", Header(format, vertices + faces) + body(0, 2, false))),
        "Error: (ReadPly) : face 0 of 1, property 'vertex_indices': the file ends before "
        "this value");
    MeshSummary summary;
    const Model cloud =
        ImportMesh(WriteTestFile("cloud.ply",
                                 Header(format, vertices) + body(nan, 0, false).substr(0, 3 * 19)),
                   MeshFraming{}, &summary);
    EXPECT_EQ(summary.droppedPoints, 1);
    EXPECT_EQ(cloud.vertices.count, 2);
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, WholeBinaryRows, testing::Bool());

// The rows of a small binary mesh, each as its bytes: four vertices of float
// coordinates and byte colours, then faces of three, four, no and three
// corners, with one value replaced where asked.
struct Corruption {
    int vertex = -1;  // this vertex's y is NaN
    int face = -1;    // this face's corner `corner` is `index`
    int corner = 0;
    int32_t index = 0;
};

std::vector<std::string> MeshRows(bool big, const Corruption& bad)
{
    std::vector<std::string> rows;
    const float xyz[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int v = 0; v < 4; ++v) {
        BinaryBody b(big);
        b.Float(xyz[v][0]).Float(v == bad.vertex ? std::nanf("") : xyz[v][1]).Float(xyz[v][2]);
        rows.push_back(b.Byte(10).Byte(20).Byte(static_cast<uint8_t>(v)).Bytes());
    }
    const std::vector<std::vector<int32_t>> faces = {{0, 2, 1}, {0, 1, 3, 2}, {}, {1, 2, 3}};
    for (std::size_t f = 0; f < faces.size(); ++f) {
        BinaryBody b(big);
        b.Byte(static_cast<uint8_t>(faces[f].size()));
        for (std::size_t c = 0; c < faces[f].size(); ++c)
            b.Int(static_cast<int>(f) == bad.face && static_cast<int>(c) == bad.corner
                      ? bad.index
                      : faces[f][c]);
        rows.push_back(b.Bytes());
    }
    return rows;
}

// The mesh's file cut after `bytes` bytes of its rows. `valueByValue` ends
// every row with an empty list (not counted in `bytes`), which makes the
// import read each value as it comes rather than a row or face record at a
// time.
std::string MeshFile(bool big, const std::string& indexType, bool valueByValue,
                     const std::vector<std::string>& rows, std::size_t bytes)
{
    const std::string pad = valueByValue ? "property list uchar int pad\n" : "";
    std::string file = Header(big ? "binary_big_endian" : "binary_little_endian",
                              "element vertex 4\nproperty float x\nproperty float y\n"
                              "property float z\nproperty uchar red\nproperty uchar green\n"
                              "property uchar blue\n" +
                                  pad + "element face 4\nproperty list uchar " + indexType +
                                  " vertex_indices\n" + pad);
    for (const std::string& row : rows) {
        const std::size_t taken = std::min(bytes, row.size());
        file += row.substr(0, taken);
        if (taken < row.size()) break;
        bytes -= taken;
        if (valueByValue) file += '\0';  // the row's empty list
    }
    return file;
}

class WholeRecordsAndValueByValue : public testing::TestWithParam<std::tuple<bool, const char*>> {};

TEST_P(WholeRecordsAndValueByValue, NameTheSameFaultInFilesCutAtEveryByteOrCorrupted)
{
    const auto [big, indexType] = GetParam();
    const std::vector<Corruption> corruptions = {
        {}, {2}, {-1, 1, 1, 4}, {-1, 0, 1, -1}, {-1, 3, 2, INT32_MIN}};
    int compared = 0;
    for (const Corruption& bad : corruptions) {
        const std::vector<std::string> rows = MeshRows(big, bad);
        std::size_t body = 0, vertexBytes = 0;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            body += rows[r].size();
            if (r == 3) vertexBytes = body;
        }
        // A file cut among its vertex rows is too short for its counts.
        for (std::size_t bytes = vertexBytes; bytes <= body; ++bytes) {
            const std::string whole = ImportError(
                WriteTestFile("whole.ply", MeshFile(big, indexType, false, rows, bytes)));
            const std::string byValue = ImportError(
                WriteTestFile("values.ply", MeshFile(big, indexType, true, rows, bytes)));
            // Files too short for their counts are refused before any row
            // is read, each with its own size.
            if (whole.find("does not fit") != std::string::npos ||
                byValue.find("does not fit") != std::string::npos)
                continue;
            SCOPED_TRACE("corruption " + std::to_string(&bad - corruptions.data()) + ", " +
                         std::to_string(bytes) + " body bytes");
            EXPECT_EQ(whole, byValue);
            EXPECT_EQ(whole.empty(), bytes == body && &bad == corruptions.data());
            ++compared;
        }
    }
    EXPECT_GT(compared, 150);  // the face records cut at most of their bytes
    const std::vector<std::string> rows = MeshRows(big, {});
    const Model whole = Load("whole.ply", MeshFile(big, indexType, false, rows, SIZE_MAX));
    const Model byValue = Load("values.ply", MeshFile(big, indexType, true, rows, SIZE_MAX));
    ASSERT_EQ(whole.faces.count, 4);
    ASSERT_EQ(byValue.faces.count, 4);
    for (int32_t f = 0; f < 4; ++f)
        EXPECT_EQ(CornersOf(whole, f), CornersOf(byValue, f));
    EXPECT_EQ(ColorOf(whole, 3), ColorOf(byValue, 3));
}

INSTANTIATE_TEST_SUITE_P(ByteOrdersAndIndexTypes, WholeRecordsAndValueByValue,
                         testing::Combine(testing::Bool(), testing::Values("int", "uint")));

}  // namespace
