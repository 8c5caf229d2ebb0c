// zbuffer-import as a user runs it: its command line, its messages and exit
// statuses, and an output written whole or not at all.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/program_version.h"
#include "hostile/run_program.h"
#include "model/mesh_import.h"
#include "model/ply_test_files.h"
#include "model/ply_writer.h"

namespace {

constexpr unsigned kSeconds = 60;

ProgramRun Import(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {ZBUFFER_IMPORT};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, kSeconds);
}

TEST(ImportProgram, ConvertsAndSaysWhatItKeptAndSkipped)
{
    const std::string in = WriteTestFile(
        "in.ply", "ply\nformat ascii 1.0\nelement vertex 3\n" + std::string(kPlyPositions) +
                      "property uchar alpha\nelement face 1\n" + kPlyFaceList +
                      "end_header\n0 0 0 1\n1 0 0 1\n0 1 0 1\n3 0 1 2\n");
    const std::string out = WriteTestFile("out.ply", "old");
    const ProgramRun run = Import({in, out, "--fit"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("kept: 3 vertices (positions), 1 faces\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("skipped: vertex property 'alpha'\n"), std::string::npos);
    MeshFraming fit;
    fit.fit = true;
    EXPECT_TRUE(SameModel(Model(out), ImportMesh(in, fit)));
}

TEST(ImportProgram, BadCommandLinesExitWith2AndTouchNothing)
{
    const std::string in = WriteTestFile("cube.ply", ReadWholeFile("tests/meshes/cube.ply"));
    const std::string link = in + ".link.ply";
    unlink(link.c_str());
    ASSERT_EQ(symlink(in.c_str(), link.c_str()), 0);
    const std::vector<std::vector<std::string>> bad = {{},
                                                       {in},
                                                       {in, "out.png"},
                                                       {in, "o.ply", "--up", "q"},
                                                       {in, "o.ply", "--up"},
                                                       {in, "o.ply", "--frobnicate"},
                                                       {in, "o.ply", "third"},
                                                       {in, in},
                                                       {in, link}};
    for (const auto& args : bad) {
        const ProgramRun run = Import(args);
        EXPECT_EQ(run.exitStatus, 2) << run.err;
        EXPECT_EQ(run.err.rfind("zbuffer-import: ", 0), 0u) << run.err;
    }
    EXPECT_EQ(ReadWholeFile(in), ReadWholeFile("tests/meshes/cube.ply"));
    unlink(link.c_str());
}

TEST(ImportProgram, UnreadableMeshExitsWith1LeavingTheOutputAsItWas)
{
    const std::string in = WriteTestFile("bad.ply", PlyFileHeader("ascii", "3", "1") + "0 0 0\n");
    const std::string out = WriteTestFile("kept.ply", "keep me");
    const ProgramRun run = Import({in, out});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "zbuffer-import: " + in +
                           ": element 'vertex' count 3 does not fit in the 7 bytes after the "
                           "header\n");
    EXPECT_EQ(ReadWholeFile(out), "keep me");
    const std::string missing = testing::TempDir() + "/x/y.ply";
    const ProgramRun folder = Import({"tests/meshes/cube.ply", missing});
    EXPECT_EQ(folder.exitStatus, 1);
    EXPECT_EQ(folder.err,
              "zbuffer-import: cannot write " + missing + ": No such file or directory\n");
}

TEST(ImportProgram, ReplacesOnlyARegularFileAndKeepsItsPermissions)
{
    const std::string pipe = testing::TempDir() + "zbuffer_import_pipe.ply";
    unlink(pipe.c_str());
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    const ProgramRun refused = Import({"tests/meshes/cube.ply", pipe});
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_EQ(refused.err,
              "zbuffer-import: cannot write " + pipe + ": not a regular file, so not replaced\n");
    struct stat info {};
    EXPECT_TRUE(stat(pipe.c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    unlink(pipe.c_str());

    const std::string out = WriteTestFile("kept_mode.ply", "old");
    ASSERT_EQ(chmod(out.c_str(), 0604), 0);
    EXPECT_EQ(Import({"tests/meshes/cube.ply", out}).exitStatus, 0);
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0604u);
    EXPECT_NE(ReadWholeFile(out), "old");
}

// A cloud is written as faces of three corners on one vertex, which the
// window program's reader reads back to the same model.
TEST(ImportProgram, WritesAPointCloudAsFacesTheWindowProgramDraws)
{
    const std::string in = WriteTestFile("points.ply", "ply\nformat ascii 1.0\nelement vertex 3\n" +
                                                           std::string(kPlyPositions) +
                                                           "end_header\n0 0 0\n1 0 0\n0 2 0\n");
    const std::string out = WriteTestFile("points_out.ply", "");
    const ProgramRun run = Import({in, out});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("kept: 3 vertices (positions), no faces: a point cloud, written as 3 "
                           "faces of three corners on one vertex, which zbuffer draws as points\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("note:"), std::string::npos) << run.out;
    const Model model(out);
    ASSERT_EQ(model.faces.count, 3);
    EXPECT_EQ(model.faces.records[2].indices,
              CornerIndices(std::vector<int32_t>{2, 2, 2}.data(), 3));
    EXPECT_TRUE(SameModel(model, ImportMesh(in, MeshFraming{})));
}

TEST(ImportProgram, AnswersHelpAndVersion)
{
    const ProgramRun help = Import({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out.rfind("usage: zbuffer-import IN OUT.ply", 0), 0u);
    const ProgramRun version = Import({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, std::string("zbuffer-import ") + kProgramVersion + "\n");
}

}  // namespace
