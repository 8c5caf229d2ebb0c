#include <benchmark/benchmark.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/frame_cycle.h"
#include "app/frame_presenter.h"
#include "app/scene_setup.h"
#include "model/model.h"
#include "render/render_context.h"

namespace {

// The window program's scene for `path`, set up once per mesh: the program
// has one process-wide context and one model, so switching meshes starts a
// new scene in place of the old.
bool UseScene(const std::string& path)
{
    static std::string loaded;
    if (loaded == path) return true;
    if (!std::ifstream(path)) return false;
    delete gModel;
    delete gPresenter;
    std::ostringstream setupLines;
    std::streambuf* out = std::cout.rdbuf(setupLines.rdbuf());
    SetupScene(path.c_str());
    std::cout.rdbuf(out);
    loaded = path;
    return true;
}

// Frames as the display callback makes them, turning 10 degrees a frame;
// the "Tps de rendu" lines go nowhere.
void DrawFrames(benchmark::State& state, const std::string& path, int32_t shadeModel,
                int32_t polygonMode)
{
    if (!UseScene(path)) {
        state.SkipWithError(("no " + path + " (make bench makes it)").c_str());
        return;
    }
    RenderContext& c = RenderContext::Instance();
    c.shadeModel = shadeModel;
    c.polygonMode = polygonMode;
    std::ostringstream frameLines;
    std::streambuf* out = std::cout.rdbuf(frameLines.rdbuf());
    float angle = 0.0f;
    for (auto _ : state) {
        c.Enable(RC_DEPTH_TEST);
        c.Enable(RC_LIGHTING);
        c.Enable(RC_LIGHT0);
        RenderFrame(angle);
        angle += 10.0f;
        frameLines.str("");
    }
    std::cout.rdbuf(out);
    state.counters["triangles"] = gModel->faces.count;
}

const std::string kTeapot = ZBUFFER_DATA_DIR "/teapot.ply";
const std::string kBigTeapot = ZBUFFER_BENCH_MESH_DIR "/teapot-125-binary_little_endian.ply";

}  // namespace

BENCHMARK_CAPTURE(DrawFrames, teapot_flat, kTeapot, RC_FLAT, RC_FILL)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawFrames, teapot_gouraud, kTeapot, RC_GOURAUD, RC_FILL)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawFrames, teapot_phong, kTeapot, RC_PHONG, RC_FILL)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawFrames, teapot_cartoon, kTeapot, RC_CARTOON, RC_FILL)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawFrames, teapot_flat_wireframe, kTeapot, RC_FLAT, RC_LINE)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawFrames, teapot_gouraud_wireframe, kTeapot, RC_GOURAUD, RC_LINE)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawFrames, teapot_phong_wireframe, kTeapot, RC_PHONG, RC_LINE)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawFrames, teapot_cartoon_wireframe, kTeapot, RC_CARTOON, RC_LINE)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawFrames, teapot_1m_gouraud, kBigTeapot, RC_GOURAUD, RC_FILL)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawFrames, teapot_1m_flat, kBigTeapot, RC_FLAT, RC_FILL)
    ->Unit(benchmark::kMillisecond);
