// gl_peer: zbuffer's scene drawn by the platform's OpenGL instead of zbuffer's
// own pipeline, and timed frame by frame, so that the two can be compared.
#include <GL/freeglut.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

#include "app/data_files.h"
#include "app/frame_presenter.h"
#include "app/frame_stats.h"
#include "app/scene_setup.h"
#include "bench/gl_peer/gl_scene.h"
#include "bench/gl_peer/peer_options.h"
#include "model/model.h"
#include "render/render_context.h"

namespace {

using Clock = std::chrono::steady_clock;

// llvmpipe compiles its shaders for the state of the first frames; those
// frames time the compiler, not the drawing.
constexpr int kWarmUpFrames = 5;

// What the display callback needs; GLUT callbacks take no arguments.
struct PeerRun {
    int frames = 0;
    std::unique_ptr<GlScene> scene;
    FrameStats stats;
    bool done = false;
};
PeerRun gRun;

double TimedFrame(float angle)
{
    const Clock::time_point start = Clock::now();
    gRun.scene->DrawFrame(angle);
    const double milliseconds =
        std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    glutSwapBuffers();  // shows the frame, outside the measured time
    return milliseconds;
}

// Every frame back to back on the first display, then out of the main loop.
// The timed frames turn from 0 degrees, as zbuffer-render's do.
void OnDisplay()
{
    if (gRun.done) return;
    gRun.done = true;
    for (int frame = 0; frame < kWarmUpFrames; ++frame)
        TimedFrame(10.0f * static_cast<float>(frame));
    for (int frame = 0; frame < gRun.frames; ++frame)
        gRun.stats.Add(TimedFrame(10.0f * static_cast<float>(frame)));
    glutLeaveMainLoop();
}

// A comparison with anything but llvmpipe would be silently wrong.
bool RendersOnLlvmpipe()
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer == nullptr || std::strstr(renderer, "llvmpipe") == nullptr) {
        std::cerr << "gl_peer: OpenGL renders on '" << (renderer ? renderer : "nothing")
                  << "', not llvmpipe; run with LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe\n";
        return false;
    }
    const char* threads = std::getenv("LP_NUM_THREADS");
    std::cout << "renderer: " << renderer << ", LP_NUM_THREADS=" << (threads ? threads : "unset")
              << std::endl;
    return true;
}

void OpenWindow(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    const FrameBuffer& frame = RenderContext::Instance().frameBuffer;
    glutInitWindowSize(frame.width, frame.height);
    glutCreateWindow("zbuffer peer - OpenGL");
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutDisplayFunc(OnDisplay);
}

int RunPeer(const RenderOptions& o, int argc, char** argv)
{
    SetupScene(o.meshPath.value_or(DefaultMeshPath()).c_str());
    RenderContext& c = RenderContext::Instance();
    c.shadeModel = o.shadeModel;
    OpenWindow(argc, argv);
    if (!RendersOnLlvmpipe()) return 1;
    gRun.frames = o.frames;
    gRun.scene = std::make_unique<GlScene>(c, gDefaultMaterial, *gModel);
    glutMainLoop();
    const FrameStats::Summary summary = gRun.stats.Summarize();
    if (summary.frames < o.frames) {
        std::cerr << "gl_peer: the window closed after " << summary.frames << " of " << o.frames
                  << " frames\n";
        return 1;
    }
    PrintBenchSummary(std::cout, summary);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const ParsedOptions parsed = ParseRenderOptions(argc, argv);
    std::string error = parsed.error;
    if (error.empty()) error = UnsupportedByPeer(parsed.options);
    if (!error.empty()) {
        std::cerr << "gl_peer: " << error << "\n" << kPeerUsage;
        return 2;
    }
    if (parsed.options.help) {
        std::cout << kPeerUsage;
        return 0;
    }
    const int status = RunPeer(parsed.options, argc, argv);
    gRun.scene.reset();
    delete gModel;
    delete gPresenter;
    return status;
}
