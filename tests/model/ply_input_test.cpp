// The readers' input: what a program listening to a load is told.
#include "model/ply_input.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "model/mesh_import.h"
#include "model/model.h"

namespace {

std::vector<std::pair<int64_t, int64_t>> gReads;

void Record(int64_t bytesRead, int64_t size)
{
    gReads.emplace_back(bytesRead, size);
}

// The reads the hook was told of while `load` ran.
template <class Load>
std::vector<std::pair<int64_t, int64_t>> ReadsOf(Load load)
{
    gReads.clear();
    EXPECT_EQ(SetReadProgressHook(Record), nullptr);
    load();
    EXPECT_EQ(SetReadProgressHook(nullptr), Record);
    return gReads;
}

TEST(ReadProgressHook, IsToldOfEveryReadUpToTheWholeFileByBothReaders)
{
    const char* path = "data/teapot.ply";
    const auto size = static_cast<int64_t>(std::filesystem::file_size(path));
    for (const bool import : {true, false}) {
        const auto reads = ReadsOf([&] {
            if (import)
                ImportMesh(path, MeshFraming());
            else
                Model{path};
        });
        ASSERT_GE(reads.size(), 2u) << import;  // the teapot is more than one buffer
        for (std::size_t i = 0; i < reads.size(); ++i) {
            EXPECT_EQ(reads[i].second, size);
            EXPECT_GE(reads[i].first, i > 0 ? reads[i - 1].first : 1);
        }
        EXPECT_LT(reads.front().first, size);
        EXPECT_EQ(reads.back().first, size) << import;
    }
}

TEST(ReadProgressHook, NothingIsToldWithoutOne)
{
    gReads.clear();
    ImportMesh("data/teapot.ply", MeshFraming());
    EXPECT_TRUE(gReads.empty());
}

}  // namespace
