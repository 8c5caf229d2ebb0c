// frame_hash: a fingerprint of every frame the renderer draws in a set of
// scenes, to show that a change leaves every frame as it was. For each scene
// it prints one line: the scene's name and a 64-bit FNV-1a hash of every byte
// of the frame buffer, colour and depth, after each of its frames. Run it
// from the repository root with two builds and compare the outputs.
//
//     build/frame_hash [BIG_MESH.ply [MESH.ply ...]]
//
// The scenes: data/teapot.ply in every shade model, filled and as wireframe,
// clockwise, textured, with shadows, translucent without the depth test,
// unlit, replace, a second light, normalised normals; data/shadow_scene.ply
// with shadows; tests/meshes/cube.ply lit by its vertex colours in every
// shade model; and each mesh named (BIG_MESH, such as the 999,000-triangle
// teapot, in three shade models; the others in every one). ZBUFFER_THREADS
// draws them on that many threads, as it does in the window programs: the
// hashes must not change.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/draw_threads.h"
#include "app/frame_cycle.h"
#include "app/scene_setup.h"
#include "app/shadow_pass.h"
#include "model/model.h"
#include "pipeline/texture_image.h"
#include "render/render_context.h"

namespace {

// What a scene sets beyond the window program's defaults.
struct Scene {
    std::string name;
    std::string mesh = "data/teapot.ply";
    std::vector<float> angles = {0.0f, 10.0f};
    int32_t shadeModel = RC_GOURAUD;
    bool wireframe = false, clockwise = false, unlit = false, textured = false;
    bool shadows = false, secondLight = false, normalize = false;
    bool translucent = false;  // diffuse alpha 0.5, no depth test, no culling
    bool vertexColors = false;
    int threads = 1;  // the draw's
};

// An 8 x 8 checker of two colours; translucent, one of them lets half through.
TextureImage Checker(bool translucent)
{
    std::vector<Color> texels;
    for (int i = 0; i < 64; ++i)
        texels.push_back((i / 8 + i) % 2 ? Color(0.9f, 0.8f, 0.2f, 1.0f)
                                         : Color(0.1f, 0.3f, 0.7f, translucent ? 0.5f : 1.0f));
    return TextureImage(8, 8, texels);
}

void Apply(const Scene& s, RenderContext& c, TextureImage& texture)
{
    c.shadeModel = s.shadeModel;
    if (s.wireframe) c.polygonMode = RC_LINE;
    if (s.clockwise) c.frontFace = RC_CW;
    if (s.textured) {
        texture = Checker(s.translucent);
        c.texture = &texture;
        c.Enable(RC_TEXTURE_2D);
    }
    if (s.secondLight) {
        c.SetLight(1, Light(Vector4(-6.0f, 1.0f, 1.0f, 1.0f)));
        c.Enable(RC_LIGHT0 + 1);
    }
    if (s.normalize) c.Enable(RC_NORMALIZE);
    if (s.shadows) c.Enable(RC_SHADOW);
    c.vertexColorLighting = s.vertexColors;
    c.drawThreads = s.threads;
    if (s.translucent) {
        gDefaultMaterial.diffuse.a = 0.5f;
        c.depthTest = false;
        c.cullFace = false;
    }
}

uint64_t Fnv1a(const void* data, std::size_t size, uint64_t hash)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

// The scene's frames as the display callback draws them, in this process.
uint64_t HashOfFrames(const Scene& s)
{
    std::ostringstream discarded;  // the set-up lines and render times
    std::cout.rdbuf(discarded.rdbuf());
    SetupScene(s.mesh.c_str());
    RenderContext& c = RenderContext::Instance();
    TextureImage texture;
    Apply(s, c, texture);
    uint64_t hash = 14695981039346656037ull;
    for (const float angle : s.angles) {
        if (!s.translucent) c.Enable(RC_DEPTH_TEST);
        if (!s.unlit) c.Enable(RC_LIGHTING);
        c.Enable(RC_LIGHT0);
        if (s.shadows) RenderShadowMap(c, 0, *gModel, FrameModelMatrix(angle));
        RenderFrame(angle);
        const std::vector<Pixel>& pixels = c.frameBuffer.pixels;
        hash = Fnv1a(pixels.data(), pixels.size() * sizeof(Pixel), hash);
    }
    return hash;
}

const std::pair<const char*, int32_t> kShadeModels[] = {
    {"flat", RC_FLAT}, {"gouraud", RC_GOURAUD}, {"phong", RC_PHONG}, {"cartoon", RC_CARTOON}};

std::vector<Scene> TeapotScenes()
{
    std::vector<Scene> scenes;
    for (const auto& [name, model] : kShadeModels) {
        const Scene s{name, "data/teapot.ply", {0.0f, 10.0f}, model};
        Scene wire = s, cw = s, textured = s, shadows = s, translucent = s;
        wire.name += " wireframe", wire.wireframe = true;
        cw.name += " clockwise", cw.clockwise = true, cw.angles = {40.0f};
        textured.name += " textured", textured.textured = true, textured.angles = {135.0f};
        shadows.name += " shadows", shadows.shadows = true, shadows.angles = {200.0f};
        translucent.name += " translucent", translucent.translucent = true;
        translucent.angles = {290.0f};
        scenes.insert(scenes.end(), {s, wire, cw, textured, shadows, translucent});
    }
    return scenes;
}

std::vector<Scene> OtherScenes()
{
    std::vector<Scene> scenes;
    const auto add = [&](const char* name, const std::function<void(Scene&)>& set) {
        Scene s;
        s.name = name;
        set(s);
        scenes.push_back(s);
    };
    add("unlit", [](Scene& s) { s.unlit = true; });
    add("unlit wireframe", [](Scene& s) { s.unlit = s.wireframe = true, s.angles = {45.0f}; });
    add("replace textured", [](Scene& s) { s.shadeModel = RC_REPLACE, s.textured = true; });
    add("phong translucent texture",
        [](Scene& s) { s.shadeModel = RC_PHONG, s.textured = s.translucent = true; });
    add("phong two lights", [](Scene& s) { s.shadeModel = RC_PHONG, s.secondLight = true; });
    add("gouraud normalize", [](Scene& s) { s.normalize = s.secondLight = true; });
    add("cartoon clockwise turning", [](Scene& s) {
        s.shadeModel = RC_CARTOON, s.clockwise = true, s.angles = {0, 90, 180, 270, 400};
    });
    add("shadow scene phong", [](Scene& s) {
        s.mesh = "data/shadow_scene.ply", s.shadeModel = RC_PHONG, s.shadows = true;
        s.angles = {0.0f, 60.0f};
    });
    for (const auto& [name, model] : kShadeModels) {
        Scene s{std::string("cube vertex colours ") + name,
                "tests/meshes/cube.ply",
                {20.0f, 30.0f},
                model};
        s.vertexColors = true;
        scenes.push_back(s);
    }
    return scenes;
}

// The meshes named on the command line: the first in three shade models, the
// others in every one and textured.
std::vector<Scene> MeshScenes(int argc, char** argv)
{
    std::vector<Scene> scenes;
    for (int i = 1; i < argc; ++i) {
        for (const auto& [name, model] : kShadeModels) {
            if (i == 1 && model == RC_CARTOON) continue;
            const float angle = i == 1 ? 0.0f : 20.0f;
            scenes.push_back({argv[i] + std::string(" ") + name, argv[i], {angle}, model});
        }
        if (i > 1) {
            Scene textured{argv[i] + std::string(" textured"), argv[i], {0.0f}, RC_PHONG};
            textured.textured = true;
            scenes.push_back(textured);
        }
    }
    return scenes;
}

// Each scene in a process of its own: the context and the model are the
// process's, and every scene starts from the program's start-up state.
std::string InChildProcess(const Scene& s)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        char line[17];
        std::snprintf(line, sizeof line, "%016llx",
                      static_cast<unsigned long long>(HashOfFrames(s)));
        _exit(write(pipeEnds[1], line, 16) == 16 ? 0 : 1);
    }
    close(pipeEnds[1]);
    char line[17] = {};
    const bool read16 = child > 0 && read(pipeEnds[0], line, 16) == 16;
    close(pipeEnds[0]);
    int status = 1;
    if (child > 0) waitpid(child, &status, 0);
    return read16 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? line : "failed";
}

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<int> threads = ThreadsFromEnvironment("frame_hash", 1, std::cerr);
    if (!threads) return 2;
    std::vector<Scene> scenes = TeapotScenes();
    for (const std::vector<Scene>& more : {OtherScenes(), MeshScenes(argc, argv)})
        scenes.insert(scenes.end(), more.begin(), more.end());
    bool failed = false;
    for (Scene& s : scenes) {
        s.threads = *threads;
        const std::string hash = InChildProcess(s);
        failed = failed || hash == "failed";
        std::printf("%s  %s\n", hash.c_str(), s.name.c_str());
        std::fflush(stdout);
    }
    return failed ? 1 : 0;
}
