// zbuffer-render: the window program's frames without a window, written as
// PNG or PPM pictures, or timed.
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <optional>

#include "app/data_files.h"
#include "app/frame_cycle.h"
#include "app/frame_inspection.h"
#include "app/frame_presenter.h"
#include "app/frame_stats.h"
#include "app/import_hint.h"
#include "app/output_clash.h"
#include "app/pipeline_views.h"
#include "app/program_version.h"
#include "app/progress_bar.h"
#include "app/render_options.h"
#include "app/scene_setup.h"
#include "app/shadow_pass.h"
#include "app/texture_file.h"
#include "model/mesh_import.h"
#include "model/model.h"
#include "model/printable_text.h"
#include "render/image_file.h"
#include "render/render_context.h"

namespace {

using Clock = std::chrono::steady_clock;

// One line on standard error. Messages quote file names and arguments, which
// may hold any byte: they are shown as the mesh reader shows file bytes.
void PrintError(const std::string& message)
{
    std::cerr << "zbuffer-render: " << PrintableText(message) << std::endl;
}

// A bad command line: the reason, then the usage; status 2.
int CommandLineError(const std::string& reason)
{
    std::cerr << "zbuffer-render: " << PrintableText(reason) << "\n" << RenderUsage();
    return 2;
}

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// What the window's keys would have set before the first frame.
void ApplyModes(const RenderOptions& o)
{
    RenderContext& c = RenderContext::Instance();
    c.shadeModel = o.replace ? RC_REPLACE : o.shadeModel;
    if (o.wireframe) c.polygonMode = RC_LINE;
    if (o.clockwise) c.frontFace = RC_CW;
}

// What only zbuffer-render's switches add to the window program's scene.
void ApplyFeatures(const RenderOptions& o, TextureImage* texture)
{
    RenderContext& c = RenderContext::Instance();
    if (o.texture) {
        c.texture = texture;
        c.Enable(RC_TEXTURE_2D);
    }
    if (o.light2) {
        c.SetLight(1, Light(Vector4(o.light2->x, o.light2->y, o.light2->z, 1.0f)));
        c.Enable(RC_LIGHT0 + 1);
    }
    if (o.normalize) c.Enable(RC_NORMALIZE);
    if (o.shadows) c.Enable(RC_SHADOW);
    c.vertexColorLighting = o.vertexColors;
    c.drawThreads = o.threads;
}

// False, with the reason on standard error, when --texture names a file that
// cannot be read as a PNG picture.
bool LoadTexture(const RenderOptions& o, TextureImage* texture)
{
    std::string error;
    if (!o.texture || ReadTexture(*o.texture, texture, &error)) return true;
    PrintError("cannot read texture " + error);
    return false;
}

// Light 0's depth pass at the frame's angle. Says once when the map cannot
// take in the whole mesh.
void RenderShadows(float angle)
{
    static bool warned = false;
    if (RenderShadowMap(RenderContext::Instance(), 0, *gModel, FrameModelMatrix(angle)) || warned)
        return;
    warned = true;
    std::cerr << "zbuffer-render: light 0 stands too near the mesh for its shadow map to hold "
                 "all of it; what the map misses is never shadowed"
              << std::endl;
}

// One frame as the window's display callback makes it, after the shadow pass
// when asked for (which is not observed); returns its render time. A
// benchmark prints only its summary, so its frames print no render-time line.
double RenderNextFrame(const RenderOptions& o, DrawObserver* observer)
{
    RenderContext& c = RenderContext::Instance();
    c.Enable(RC_DEPTH_TEST);
    if (!o.unlit) c.Enable(RC_LIGHTING);
    c.Enable(RC_LIGHT0);
    const Clock::time_point start = Clock::now();
    const float angle = o.angle.value_or(gAngle);
    if (o.shadows) RenderShadows(angle);
    if (o.bench)
        RenderFrameTimed(angle);
    else
        RenderFrame(angle, observer);
    const double milliseconds = MillisecondsSince(start);
    gAngle = gAngle + 10.0f;
    return milliseconds;
}

// The frame, or the view --show asks for.
bool WriteFrame(const std::string& path, const RenderOptions& o, const DrawObserver* observer,
                std::string* error)
{
    const FrameBuffer& fb = RenderContext::Instance().frameBuffer;
    if (o.show) return WriteImage(path, ViewPicture(*o.show, *observer, fb), error);
    return WriteImage(path, RgbImage{fb.width, fb.height, fb.ExportRGB()}, error);
}

// The mesh as the options ask it to be read: through the window program's
// reader, turned and fitted when asked, or through the import. A file that
// reader refuses and the import opens gets a hint to use --import.
Model* LoadModel(const RenderOptions& o)
{
    const std::string& path = *o.meshPath;
    if (o.import) return new Model(ImportMesh(path, Framing(o)));
    const ImportHint hint(path, "Hint: the import reads this file: add --import");
    if (o.fit || o.up != UpAxis::Z) return new Model(LoadFramedPly(path, Framing(o)));
    return new Model(path);
}

// `o` names its mesh (the default one when none was given).
int RenderFrames(const RenderOptions& o)
{
    TextureImage texture;  // bound to the context for every frame
    if (!LoadTexture(o, &texture)) return 1;
    SetupScene(LoadModel(o), o.bench ? nullptr : &std::cout);
    ApplyModes(o);
    ApplyFeatures(o, &texture);
    const FrameFileName out = o.out.value_or(FrameFileName("frame.png"));
    FrameStats stats;
    ProgressBar bar(std::cerr, o.frames, isatty(STDERR_FILENO) != 0);
    const Clock::time_point start = Clock::now();
    const FrameBuffer& fb = RenderContext::Instance().frameBuffer;
    for (int frame = 0; frame < o.frames; ++frame) {
        std::optional<DrawObserver> observer;
        if (Inspects(o)) observer.emplace(fb.width, fb.height, o.pixels);
        stats.Add(RenderNextFrame(o, observer ? &*observer : nullptr));
        if (observer) PrintInspection(std::cout, frame, *observer, o.stats);
        const bool write = !o.bench && (out.IsNumbered() || frame == o.frames - 1);
        std::string error;
        if (write && !WriteFrame(out.ForFrame(frame), o, observer ? &*observer : nullptr, &error)) {
            bar.Hide();
            PrintError("cannot write " + error);
            return 1;
        }
        bar.Show(frame + 1, MillisecondsSince(start) / 1000.0);
    }
    bar.Hide();
    if (o.bench) PrintBenchSummary(std::cout, stats.Summarize());
    return 0;
}

// The only output of --bench and --help, and the set-up and render-time
// lines, go to standard output: losing them (a full disk, a closed pipe's
// end) is a failure, not a success.
int CheckStandardOutput(int status)
{
    std::cout.flush();
    if (std::cout) return status;
    PrintError("cannot write standard output");
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const ParsedOptions parsed = ParseRenderOptions(argc, argv);
    if (!parsed.error.empty()) return CommandLineError(parsed.error);
    if (parsed.options.help) {
        std::cout << RenderUsage();
        return CheckStandardOutput(0);
    }
    if (parsed.options.version) {
        std::cout << "zbuffer-render " << kProgramVersion << "\n";
        return CheckStandardOutput(0);
    }
    RenderOptions options = parsed.options;
    if (!options.meshPath) options.meshPath = DefaultMeshPath();
    const std::string clash = OutputClash(options);
    if (!clash.empty()) return CommandLineError(clash);
    const int status = RenderFrames(options);
    delete gModel;
    delete gPresenter;
    return CheckStandardOutput(status);
}
