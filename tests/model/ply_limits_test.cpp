// Counts and inputs that would take more memory or time than the file holds:
// sparse files declare them in a few bytes of disk, so these tests use none.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "import_test_support.h"
#include "model/mesh_import.h"
#include "model/model.h"
#include "model/ply_reader.h"
#include "ply_test_files.h"

namespace {

// A file of `header` followed by a hole up to `size` bytes: zeros that take
// no disk.
std::string SparseFile(const std::string& name, const std::string& header, int64_t size)
{
    const std::string path = WriteTestFile(name, header);
    EXPECT_EQ(truncate(path.c_str(), static_cast<off_t>(size)), 0) << path;
    return path;
}

int64_t PhysicalMemory()
{
    return static_cast<int64_t>(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
}

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// 2^31 - 1 empty faces fit in a 2 GB hole; their records do not fit in memory.
TEST(PlyLimits, CountsWhoseMeshCannotFitInMemoryAreRefusedBeforeReading)
{
    if (PhysicalMemory() >= (int64_t{200} << 30)) GTEST_SKIP() << "this machine could hold them";
    const std::string faces = SparseFile(
        "faces.ply", PlyFileHeader("binary_little_endian", "3", "2147483647"), 2200000000);
    const std::string error = ReadPlyError(faces);
    EXPECT_TRUE(StartsWith(error,
                           "Error: (ReadPly) : a mesh of 3 vertices and 2147483647 faces "
                           "needs at least 131072 MiB, more than the "))
        << error;
    const std::string vertices =
        SparseFile("vertices.ply", PlyFileHeader("ascii", "2147483647", "1"), int64_t{13} << 30);
    EXPECT_TRUE(StartsWith(ReadPlyError(vertices),
                           "Error: (ReadPly) : a mesh of 2147483647 vertices and 1 faces"))
        << ReadPlyError(vertices);
    std::remove(faces.c_str());
    std::remove(vertices.c_str());
}

// The import refuses the same counts, and those of a binary STL, however it
// is asked: the complete PLY reader, a point cloud, the STL's facet count.
TEST(PlyLimits, TheImportRefusesCountsWhoseMeshCannotFitInMemory)
{
    if (PhysicalMemory() >= (int64_t{200} << 30)) GTEST_SKIP() << "this machine could hold them";
    const std::string faces = SparseFile(
        "faces.ply", PlyFileHeader("binary_little_endian", "3", "2147483647"), 2200000000);
    EXPECT_TRUE(StartsWith(ImportError(faces),
                           "Error: (ReadPly) : a mesh of 3 vertices and 2147483647 faces "
                           "needs at least 131072 MiB, more than the "))
        << ImportError(faces);
    // Points of twelve zero bytes each: a cloud at the origin, too large to hold.
    const std::string cloud =
        SparseFile("cloud.ply",
                   "ply\nformat binary_little_endian 1.0\nelement vertex 2000000000\n" +
                       std::string(kPlyPositions) + "end_header\n",
                   int64_t{24} << 30);
    EXPECT_TRUE(StartsWith(ImportError(cloud),
                           "Error: (ReadPly) : a mesh of 2000000000 vertices and 2000000000 faces"))
        << ImportError(cloud);
    std::string stl(80, 's');
    stl += std::string("\xff\xff\xff\x0d", 4);  // 234881023 facets, 11 GiB
    const std::string facets = SparseFile("facets.stl", stl, 84 + int64_t{50} * 0x0dffffff);
    EXPECT_TRUE(StartsWith(ImportError(facets),
                           "Error: (ReadStl) : a mesh of 704643069 vertices and 234881023 faces"))
        << ImportError(facets);
    for (const std::string& path : {faces, cloud, facets})
        std::remove(path.c_str());
}

TEST(PlyLimits, NulBytesWhereNumbersBelongAreRefusedAtTheFirst)
{
    const std::string path =
        SparseFile("nul.ply", PlyFileHeader("ascii", "50000000", "0"), 320000000);
    std::string shown;
    for (int i = 0; i < 40; ++i)
        shown += "\\x00";
    EXPECT_EQ(ReadPlyError(path), "Error: (ReadPly) : vertex 0: '" + shown +
                                      "...' is longer than the 511 characters a number may have");
    EXPECT_EQ(ImportError(path),
              "Error: (ReadPly) : vertex 0 of 50000000, property 'x': a word "
              "longer than 511 characters");
    std::remove(path.c_str());
    // An OBJ or an STL of NUL bytes: refused at the first too, in any length.
    for (const char* name : {"nul.obj", "nul.stl"}) {
        const std::string text = SparseFile(name, "", 320000000);
        EXPECT_EQ(ImportError(text).substr(0, 19),
                  name[4] == 'o' ? "Error: (ReadObj) : " : "Error: (ReadStl) : ")
            << ImportError(text);
        std::remove(text.c_str());
    }
}

void LoadWithAddressSpace(const std::string& path, int64_t bytes, bool import)
{
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_AS, &limit);
    const Model model = import ? ImportMesh(path, MeshFraming{}) : Model(path);
}

// Memory can run out even for counts that fit the machine (a limit on the
// process, other programs): the load then ends with the reader's message and
// status 1, not an abort. Forty million empty faces need some 480 MB.
TEST(PlyLimits, RunningOutOfMemoryEndsWithTheReadersMessage)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
    const std::string header = PlyFileHeader("binary_little_endian", "3", "40000000");
    const std::string path = SparseFile("empty_faces.ply", header, header.size() + 36 + 40000000);
    EXPECT_EXIT(LoadWithAddressSpace(path, int64_t{400} << 20, false), testing::ExitedWithCode(1),
                testing::Matcher<const std::string&>(
                    "Error: (ReadPly) : out of memory while loading the mesh\n"));
    // The import runs out in its reader or while it builds the model.
    EXPECT_EXIT(
        LoadWithAddressSpace(path, int64_t{400} << 20, true), testing::ExitedWithCode(1),
        testing::ContainsRegex("^Error: \\((ReadPly|ImportMesh)\\) : (out of|not enough) memory"));
    std::remove(path.c_str());
}

}  // namespace
