#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "model/model.h"

namespace {

// The whole load: reading, normals, orientation and the model's own arrays.
// Releasing the model afterwards is not part of loading it: it is timed
// apart and shown as release_ms.
void LoadModel(benchmark::State& state, const std::string& path)
{
    if (!std::ifstream(path)) {
        state.SkipWithError(("no " + path + " (make bench makes it)").c_str());
        return;
    }
    int32_t triangles = 0;
    double releaseMs = 0.0;
    for (auto _ : state) {
        auto model = std::make_unique<Model>(path);
        triangles = model->faces.count;
        state.PauseTiming();
        const auto start = std::chrono::steady_clock::now();
        model.reset();
        releaseMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        state.ResumeTiming();
    }
    state.counters["triangles"] = triangles;
    state.counters["release_ms"] = releaseMs / static_cast<double>(state.iterations());
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
