#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "model/mesh_import.h"
#include "model/model.h"

namespace {

// A figure of /proc/self/status in bytes ("VmRSS", the resident size now;
// "VmHWM", its peak), or -1 where the system gives none.
int64_t StatusBytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, field.size() + 1, field + ":") == 0)
            return std::stoll(line.substr(field.size() + 1)) * 1024;
    return -1;
}

// Starts the peak resident size afresh from the size now (Linux 4.0 on).
void ResetPeakResidentSize()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The whole load: reading, normals, orientation and the model's own arrays.
// Releasing the model afterwards is not part of loading it: it is timed
// apart and shown as release_ms. peak_MB is the process's peak resident
// size during a load (10^6 bytes), and peak_bytes_per_triangle what the load
// added to it at most, per triangle.
template <class Load>
void LoadWith(benchmark::State& state, const std::string& path, Load load)
{
    if (!std::ifstream(path)) {
        state.SkipWithError(("no " + path + " (make bench makes it)").c_str());
        return;
    }
    int32_t triangles = 0;
    double releaseMs = 0.0;
    int64_t peak = -1, added = -1;
    for (auto _ : state) {
        state.PauseTiming();
        ResetPeakResidentSize();
        const int64_t before = StatusBytes("VmRSS");
        state.ResumeTiming();
        auto model = std::make_unique<Model>(load(path));
        triangles = model->faces.count;
        state.PauseTiming();
        const int64_t loadPeak = StatusBytes("VmHWM");
        peak = std::max(peak, loadPeak);
        added = std::max(added, loadPeak - before);
        const auto start = std::chrono::steady_clock::now();
        model.reset();
        releaseMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        state.ResumeTiming();
    }
    state.counters["triangles"] = triangles;
    state.counters["release_ms"] = releaseMs / static_cast<double>(state.iterations());
    if (peak > 0) {
        state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
        state.counters["peak_bytes_per_triangle"] =
            static_cast<double>(added) / std::max(triangles, 1);
    }
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
BENCHMARK_CAPTURE(LoadModel, teapot_10m_binary, kMeshes + "/teapot-400-binary_little_endian.ply")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportModel, teapot_6k_ascii, std::string(ZBUFFER_DATA_DIR "/teapot.ply"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportModel, teapot_1m_ascii, kMeshes + "/teapot-125-ascii.ply")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportModel, teapot_1m_binary, kMeshes + "/teapot-125-binary_little_endian.ply")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportModel, teapot_10m_binary, kMeshes + "/teapot-400-binary_little_endian.ply")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportModel, teapot_1m_obj, kMeshes + "/teapot-125-obj.obj")
    ->Unit(benchmark::kMillisecond);
