// libFuzzer target: the input is a PLY file. It is loaded as the programs
// load their mesh and, when it loads, one frame of it is drawn through the
// whole pipeline, in the scene the programs set up for it, on one thread and
// again on three, which must give the same frame to the bit, then drawn again
// observed (zbuffer-render --stats) on three threads, which must give the
// same frame and counts that add up. A refused file is a normal outcome;
// crashes, hangs, leaks, undefined behaviour and a frame that threads or
// observing change are findings.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_cycle.h"
#include "app/scene_setup.h"
#include "model/fatal_error.h"
#include "model/model.h"
#include "pipeline/draw_model.h"
#include "pipeline/draw_observer.h"
#include "render/render_context.h"

namespace {

struct Refused {};

// The reader's failures return to the fuzzer instead of ending the process;
// the reader unwinds without leaking, which LeakSanitizer checks here.
[[noreturn]] void ThrowRefused(const char* /*what*/, const char* /*detail*/)
{
    throw Refused();
}

// The reader takes a path: each input is written into one file in memory,
// opened by the reader through /proc.
class MemoryFile {
public:
    MemoryFile() : fd(memfd_create("ply_fuzzer", 0)), path("/proc/self/fd/" + std::to_string(fd)) {}
    ~MemoryFile() { close(fd); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // An input that cannot be stored stops the run: the harness is broken.
    void Store(const uint8_t* data, std::size_t size)
    {
        std::size_t done = 0;
        if (fd < 0 || ftruncate(fd, 0) != 0) Broken();
        while (done < size) {
            const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0) Broken();
            done += static_cast<std::size_t>(n);
        }
    }
    const char* Path() const { return path.c_str(); }

private:
    [[noreturn]] static void Broken()
    {
        std::perror("ply_fuzzer: cannot store the input");
        std::abort();
    }

    int fd;
    std::string path;
};

// The camera and light stand where SetupScene puts them for this mesh: on the
// diagonal, far enough back that the bounding box's largest half-extent
// subtends about 34.6 degrees.
constexpr double kDistanceAngle = 0.6041524723549063;
constexpr float kFieldOfView = 0.7853982f;
constexpr int32_t kShadeModels[] = {RC_FLAT, RC_GOURAUD, RC_PHONG, RC_CARTOON};

// The fuzzer's own context, set up once (LLVMFuzzerInitialize): building a
// 480 x 480 frame buffer for every input would take most of the fuzzer's
// time. Every setting a frame reads is written again for each input, so an
// input draws the same frame whatever came before it.
RenderContext gContext;

void PlaceCameraAndLight(RenderContext& c, const Model& model)
{
    const float d = static_cast<float>(model.halfExtent / std::tan(kDistanceAngle));
    c.SetCamera(
        Camera(Vector3(d, d, d), model.center, Vector3(0.0f, 0.0f, 1.0f), 1.0f, kFieldOfView));
    c.SetLight(0, Light(Vector4(d, d * 0.5f, d, 1.0f)));
}

// The last byte of the input chooses what the keys would: bits 0-1 the shade
// model, bit 2 wireframe, bit 3 clockwise front faces; bits 4-7 the angle, in
// steps of 22.5 degrees. The reader never looks at bytes after the faces, so
// a seed picks its modes with a trailing byte.
float ApplyModes(RenderContext& c, uint8_t modes)
{
    c.shadeModel = kShadeModels[modes & 3];
    c.polygonMode = (modes & 4) != 0 ? RC_LINE : RC_FILL;
    c.frontFace = (modes & 8) != 0 ? RC_CW : RC_CCW;
    return static_cast<float>(modes >> 4) * 22.5f;
}

// Stops the run when the frame buffer's pixels are not `expected`, bit for
// bit (a colour that is not a number is the same one).
void ExpectPixels(const RenderContext& c, const std::vector<Pixel>& expected, const char* change)
{
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Pixel& p = c.frameBuffer.pixels[i];
        if (std::memcmp(&p, &expected[i], sizeof p) != 0) {
            std::fprintf(stderr, "ply_fuzzer: %s changed pixel %zu\n", change, i);
            std::abort();
        }
    }
}

// The frame of `plain`, drawn again observed: the same colours and depths,
// and counts that add up.
void DrawObserved(RenderContext& c, const std::vector<Pixel>& plain)
{
    c.frameBuffer.Clear();
    DrawObserver observer(c.frameBuffer.width, c.frameBuffer.height, {{240, 240}});
    DrawModel(c, &observer);
    const PipelineCounts& n = observer.counts;
    if (n.fragments != n.depthPassed + n.depthFailed + n.offscreen ||
        n.triangles != n.culled + n.rejected + n.drawn || n.written != n.depthPassed) {
        std::fprintf(stderr, "ply_fuzzer: the observed draw's counts do not add up\n");
        std::abort();
    }
    ExpectPixels(c, plain, "observing the draw");
}

// One frame as RenderFrame draws it.
void DrawOneFrame(Model& model, uint8_t modes)
{
    RenderContext& c = gContext;
    PlaceCameraAndLight(c, model);
    const float angle = ApplyModes(c, modes);
    c.frameBuffer.Clear();
    c.SetModelMatrix(FrameModelMatrix(angle));
    c.material = gDefaultMaterial;
    c.faceList = &model.faces;
    c.vertexArray = &model.vertices;
    c.attribMask = ATTRIB_POSITION | ATTRIB_NORMAL | ATTRIB_COLOR | ATTRIB_TEXCOORD;
    c.drawThreads = 1;
    c.DrawModel();
    const std::vector<Pixel> plain = c.frameBuffer.pixels;
    c.drawThreads = 3;
    c.frameBuffer.Clear();
    c.DrawModel();
    ExpectPixels(c, plain, "drawing on three threads");
    DrawObserved(c, plain);
    c.faceList = nullptr;
    c.vertexArray = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    SetFatalErrorHandler(ThrowRefused);
    gContext.SetFrameBuffer(FrameBuffer(kFrameSize, kFrameSize, Color(0xFF000000u)));
    gContext.Enable(RC_LIGHT0);
    gContext.Enable(RC_LIGHTING);
    gContext.Enable(RC_DEPTH_TEST);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static MemoryFile file;
    file.Store(data, size);
    std::unique_ptr<Model> model;
    try {
        model = std::make_unique<Model>(file.Path());
    } catch (const Refused&) {
        return 0;
    }
    DrawOneFrame(*model, size > 0 ? data[size - 1] : 0);
    return 0;
}
