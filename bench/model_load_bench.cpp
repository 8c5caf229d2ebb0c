#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "model/mesh_import.h"
#include "model/model.h"

namespace {

// The whole load: reading, normals, orientation and the model's own arrays.
// Releasing the model afterwards is not part of loading it: it is timed
// apart and shown as release_ms.
template <class Load>
void LoadWith(benchmark::State& state, const std::string& path, Load load)
{
    if (!std::ifstream(path)) {
        state.SkipWithError(("no " + path + " (make bench makes it)").c_str());
        return;
    }
    int32_t triangles = 0;
    double releaseMs = 0.0;
    for (auto _ : state) {
        auto model = std::make_unique<Model>(load(path));
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

void LoadModel(benchmark::State& state, const std::string& path)
{
    LoadWith(state, path, [](const std::string& p) { return Model(p); });
}

// The same meshes through the import's complete readers, which must stay
// within 1.3 times the canonical reader's time; and a million-triangle OBJ.
void ImportModel(benchmark::State& state, const std::string& path)
{
    LoadWith(state, path, [](const std::string& p) { return ImportMesh(p, MeshFraming{}); });
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
BENCHMARK_CAPTURE(ImportModel, teapot_6k_ascii, std::string(ZBUFFER_DATA_DIR "/teapot.ply"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportModel, teapot_1m_ascii, kMeshes + "/teapot-125-ascii.ply")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportModel, teapot_1m_binary, kMeshes + "/teapot-125-binary_little_endian.ply")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportModel, teapot_1m_obj, kMeshes + "/teapot-125-obj.obj")
    ->Unit(benchmark::kMillisecond);
