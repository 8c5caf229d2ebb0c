// Malformed files through the import: each ends with one line that says
// what is wrong and where, and nothing is drawn from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import_test_support.h"
#include "ply_test_files.h"

namespace {

struct BadFile {
    const char* name;
    std::string bytes;
    std::string message;
};

const std::string kAsciiXyz =
    "ply\nformat ascii 1.0\nelement vertex 3\n" + std::string(kPlyPositions);

std::vector<BadFile> BadFiles()
{
    const std::string face = "element face 1\nproperty list uchar int vertex_indices\nend_header\n";
    const std::string little = "ply\nformat binary_little_endian 1.0\nelement vertex 3\n" +
                               std::string(kPlyPositions) + face;
    return {
        {"a.ply", "", "Error: (ReadPly) : end of file in the header"},
        {"a.ply", "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nend_header\n0\n",
         "Error: (ReadPly) : vertex element without x, y, z"},
        {"a.ply", "ply\nformat ascii 1.0\nelement vertex 1\nproperty quad x\n",
         "Error: (ReadPly) : unknown property type 'quad'"},
        {"a.ply", "ply\nformat ascii 1.0\nelement vertex 1 2\n",
         "Error: (ReadPly) : unexpected '2' after 'element vertex'"},
        {"a.ply", "ply\nformat ascii 1.0\nelement vertex -3\n",
         "Error: (ReadPly) : element 'vertex' count '-3' is not a whole number from 0 to "
         "2147483647"},
        {"a.ply", "ply\nformat ascii 1.0\nelement vertex 1\nbogus line\n",
         "Error: (ReadPly) : unknown header line 'bogus'"},
        {"a.ply", kAsciiXyz + face + "0 0 0\n1 0 0\n0 x 0\n3 0 1 2\n",
         "Error: (ReadPly) : vertex 2 of 3, property 'y': 'x' is not a number"},
        {"a.ply", kAsciiXyz + face + "0 0 0\n1 0 0\n0 1 0\n3 0 1 7\n",
         "Error: (ReadPly) : face 0 of 1, property 'vertex_indices': vertex index 7 out of range "
         "0..2"},
        {"a.ply", kAsciiXyz + face + "0 0 0\n1 0 0\n0 1 0\n300 0 1 2\n",
         "Error: (ReadPly) : face 0 of 1, property 'vertex_indices': '300' is not a uchar"},
        {"a.ply", kAsciiXyz + face + "0 0 0\n1 0 0\n0 1 0\n3 0 1\n",
         "Error: (ReadPly) : face 0 of 1, property 'vertex_indices': the file ends before this "
         "value"},
        {"a.ply", kAsciiXyz + face + "0 0 0\n1 0 0\n0 1 nan\n3 0 1 2\n",
         "Error: (ReadPly) : vertex 2 of 3, property 'z': value is not a finite float"},
        {"a.ply", little + BinaryBody(false).Float(0).Float(0).Float(0).Bytes(),
         "Error: (ReadPly) : element 'vertex' count 3 does not fit in the 12 bytes after the "
         "header"},
        {"a.stl", "solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0\n",
         "Error: (ReadStl) : facet 0: the file ends inside this facet"},
        {"a.stl", "solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nendloop\n",
         "Error: (ReadStl) : facet 0: 'endloop' where 'vertex' belongs"},
        {"a.stl", std::string(80, 'x') + std::string("\x02\0\0\0", 4) + std::string(50, '\0'),
         "Error: (ReadStl) : binary file of 2 facets needs 184 bytes, not 134"},
        {"a.obj", "v 0 0 0\nv 1 0 0\nf 1 2 3\n",
         "Error: (ReadObj) : face 0: vertex index out of range (the file has 2)"},
        {"a.obj", "# nothing\n", "Error: (ReadObj) : no vertices"},
        {"a.mesh", "what is this", "Error: (ImportMesh) : cannot tell the format of "},
    };
}

// What a reader could take for a shorter or wrapped-around value.
std::vector<BadFile> CutOrWrappedNumbers()
{
    const std::string face = "element face 1\nproperty list uchar int vertex_indices\nend_header\n";
    const std::string stl = "solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1";
    return {
        {"a.ply", kAsciiXyz + face + "0 0 0\n1" + std::string(1, '\0') + "5 0 0\n0 1 0\n3 0 1 2\n",
         "Error: (ReadPly) : vertex 1 of 3, property 'x': '1\\x005' is not a number"},
        {"a.ply", kAsciiXyz + face + "0 0 0\n1 0 0\n0 1 0\n3 0 1 2" + std::string(1, '\0') + "\n",
         "Error: (ReadPly) : face 0 of 1, property 'vertex_indices': '2\\x00' is not a whole "
         "number"},
        {"a.stl", stl + std::string(1, '\0') + " 0 0\nvertex 0 1 0\nendloop\nendfacet\n",
         "Error: (ReadStl) : facet 0: '1\\x00' is not a number"},
        {"a.obj", "v 0 0 0\nv 1 0 0\nv 0 1" + std::string(1, '\0') + "5 0\nf 1 2 3\n",
         "Error: (ReadObj) : line 3: a NUL byte, which no OBJ text holds"},
        {"a.obj", std::string("\xFE\xFF\0v\0 \0001", 8),
         "Error: (ReadObj) : line 1: UTF-16 text, which tinyobjloader does not read: save it as "
         "UTF-8"},
        {"a.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n\nf 1 2 4294967299\n",
         "Error: (ReadObj) : line 6: an index beyond 2147483647, more than any file may name"},
        {"a.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 -" + std::string(10000, '9') + "\n",
         "Error: (ReadObj) : line 4: an index beyond 2147483647, more than any file may name"},
        {"a.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2147483648\n",
         "Error: (ReadObj) : line 4: an index beyond 2147483647, more than any file may name"},
        {"a.ply", kAsciiXyz + face + "0 0 0\n" + std::string(10000, '1') + " 0 0\n0 1 0\n3 0 1 2\n",
         "Error: (ReadPly) : vertex 1 of 3, property 'x': a word longer than 511 characters"},
        {"a.stl", stl + std::string(10000, '0') + " 0 0\nvertex 0 1 0\nendloop\nendfacet\n",
         "Error: (ReadStl) : a word longer than 511 characters"},
    };
}

TEST(ImportErrors, MalformedFilesEndWithOneLineSayingWhatAndWhere)
{
    std::vector<BadFile> all = BadFiles();
    for (BadFile& bad : CutOrWrappedNumbers())
        all.push_back(std::move(bad));
    for (const BadFile& bad : all) {
        SCOPED_TRACE(bad.message);
        const std::string path = WriteTestFile(bad.name, bad.bytes);
        std::string message = ImportError(path);
        if (bad.message.back() == ' ') message = message.substr(0, bad.message.size());
        EXPECT_EQ(message, bad.message);
    }
}

TEST(ImportErrors, MissingFileNamesItselfAndTheReasonPrintable)
{
    EXPECT_EQ(ImportError("no/such/mesh.ply"),
              "Error: (ImportMesh) : cannot open no/such/mesh.ply (No such file or directory)");
    EXPECT_EQ(ImportError("no/such/\x1b[31m\n.obj"),
              "Error: (ImportMesh) : cannot open no/such/\\x1B[31m\\x0A.obj (No such file or "
              "directory)");
}

TEST(ImportErrors, FileBytesInMessagesAreShownPrintable)
{
    const std::string path =
        WriteTestFile("ctl.ply", "ply\nformat ascii 1.0\nelement vertex 1\n" +
                                     std::string(kPlyPositions) + "end_header\n0 0 \x01\x1b\n");
    EXPECT_EQ(ImportError(path),
              "Error: (ReadPly) : vertex 0 of 1, property 'z': '\\x01\\x1B' is not a number");
}

}  // namespace
