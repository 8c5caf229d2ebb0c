#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "model/model.h"

namespace {

// The whole load: reading, normals, orientation and the model's own arrays.
void LoadModel(benchmark::State& state, const std::string& path)
{
    if (!std::ifstream(path)) {
        state.SkipWithError(("no " + path + " (make bench makes it)").c_str());
        return;
    }
    int32_t triangles = 0;
    for (auto _ : state) {
        const Model model(path);
        triangles = model.faces.count;
    }
    state.counters["triangles"] = triangles;
    state.SetItemsProcessed(state.iterations() * triangles);
}

const std::string kMeshes = ZBUFFER_BENCH_MESH_DIR;

}  // namespace

BENCHMARK_CAPTURE(LoadModel, teapot_6k_ascii, std::string(ZBUFFER_DATA_DIR "/teapot.ply"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadModel, teapot_6k_binary, kMeshes + "/teapot-10-binary_little_endian.ply")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadModel, teapot_1m_ascii, kMeshes + "/teapot-125-ascii.ply")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadModel, teapot_1m_binary, kMeshes + "/teapot-125-binary_little_endian.ply")
    ->Unit(benchmark::kMillisecond);
