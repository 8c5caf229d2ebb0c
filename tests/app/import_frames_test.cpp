// zbuffer-render IN --import and zbuffer-render OUT.ply after zbuffer-import
// IN OUT.ply, both framed alike: the same set-up lines and the same picture,
// byte for byte, on meshes of every kind the import reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostile/run_program.h"
#include "model/import_test_support.h"
#include "model/ply_test_files.h"
#include "render/image_file.h"

namespace {

constexpr unsigned kSeconds = 120;

ProgramRun RunOn(const std::string& program, const std::string& mesh,
                 const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {program, mesh};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, kSeconds);
}

// The set-up lines: what follows them is the render time, which varies.
std::string SetupLines(const std::string& out)
{
    const std::size_t second = out.find('\n', out.find('\n') + 1);
    return out.substr(0, second == std::string::npos ? out.size() : second + 1);
}

// The import's seeds cover the PLY variants (doubles and face before vertex,
// strips and a camera element, a point cloud), OBJ and STL in both forms;
// the teapot, a mesh wound inward and a flat one; and the real files of
// assimp-testmodels when they are installed.
std::vector<std::string> Meshes()
{
    std::vector<std::string> files = FilesIn("fuzz/import_corpus", "");
    for (const char* file :
         {"data/teapot.ply", "tests/meshes/octahedron_inward.ply", "tests/meshes/quad.ply"})
        files.push_back(file);
    for (const std::string& file : AssimpMeshFiles())
        files.push_back(file);
    return files;
}

TEST(ImportFrames, ImportedAndConvertedMeshesGiveTheSameFrames)
{
    const std::string converted = WriteTestFile("converted.ply", "");
    const std::string direct = WriteTestFile("direct.png", "");
    const std::string viaFile = WriteTestFile("via_file.png", "");
    int compared = 0;
    for (const std::string& mesh : Meshes()) {
        if (!ImportError(mesh).empty()) continue;
        for (const std::vector<std::string>& framing :
             std::vector<std::vector<std::string>>{{"--fit"}, {"--fit", "--up", "y"}}) {
            SCOPED_TRACE(mesh + " " + framing.back());
            std::vector<std::string> args = framing;
            args.insert(args.begin(), converted);
            const ProgramRun import = RunOn(ZBUFFER_IMPORT, mesh, args);
            ASSERT_EQ(import.exitStatus, 0) << import.err;
            const ProgramRun read = RunOn(ZBUFFER_RENDER, converted, {"--out", viaFile});
            args = framing;
            args.insert(args.end(), {"--import", "--out", direct});
            const ProgramRun imported = RunOn(ZBUFFER_RENDER, mesh, args);
            ASSERT_EQ(read.exitStatus, 0) << read.err;
            ASSERT_EQ(imported.exitStatus, 0) << imported.err;
            EXPECT_EQ(SetupLines(read.out), SetupLines(imported.out));
            EXPECT_EQ(SetupLines(imported.out).rfind("distance : 1.44875\ncentre : (", 0), 0u)
                << imported.out;
            EXPECT_TRUE(ReadWholeFile(viaFile) == ReadWholeFile(direct)) << "the pictures differ";
            ++compared;
        }
    }
    EXPECT_GE(compared, 20);
    std::cout << "[ frames ] " << compared << " meshes and framings compared\n";
}

// Pixels of a picture that are not black.
int LitPixels(const std::string& path)
{
    RgbImage image;
    std::string error;
    EXPECT_TRUE(ReadImage(path, &image, &error)) << error;
    int lit = 0;
    for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3)
        lit += image.rgb[i] != 0 || image.rgb[i + 1] != 0 || image.rgb[i + 2] != 0;
    return lit;
}

// Fitted, every mesh is in view in its first frame: its points, or its faces
// that face the camera. A mesh whose faces all face away shows them with the
// clockwise ones in front.
TEST(ImportFrames, EveryFittedMeshShowsInTheFirstFrame)
{
    const std::string picture = WriteTestFile("fitted.png", "");
    for (const std::string& mesh : Meshes()) {
        if (!ImportError(mesh).empty()) continue;
        SCOPED_TRACE(mesh);
        ASSERT_EQ(RunOn(ZBUFFER_RENDER, mesh, {"--import", "--fit", "--out", picture}).exitStatus,
                  0);
        const int lit = LitPixels(picture);
        std::cout << "[ fitted ] " << lit << " pixels lit: " << mesh << "\n";
        if (lit > 0) continue;
        ASSERT_EQ(
            RunOn(ZBUFFER_RENDER, mesh, {"--import", "--fit", "--cw", "--out", picture}).exitStatus,
            0);
        EXPECT_GT(LitPixels(picture), 0) << "nothing in view";
    }
}

}  // namespace
