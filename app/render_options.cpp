#include "app/render_options.h"

#include <charconv>
#include <cmath>

#include "render/rgb_image.h"

const char kRenderUsage[] =
    "usage: zbuffer-render [MESH.ply] [--frames N] [--angle DEG] "
    "[--shade flat|gouraud|phong|cartoon]\n"
    "                      [--wireframe] [--cw] [--unlit] [--texture FILE.png] [--replace]\n"
    "                      [--shadows] [--light2 X,Y,Z] [--normalize]\n"
    "                      [--out FILE.png|FILE.ppm] [--bench] [--help] [--version]\n"
    "Renders the window program's frames without a window.\n"
    "  MESH.ply       the mesh to draw (default ./data/teapot.ply, else the installed teapot)\n"
    "  --frames N     render frames 0 .. N-1 in sequence and write the last (default 1)\n"
    "  --angle DEG    render every frame at DEG degrees instead of 0, 10, 20, ...\n"
    "  --shade MODEL  flat, gouraud (default), phong or cartoon\n"
    "  --wireframe    draw the triangles' edges only\n"
    "  --cw           front faces are the clockwise ones\n"
    "  --unlit        leave lighting off: vertex colours as they are\n"
    "  --texture FILE texture the mesh with a PNG picture (not in gouraud)\n"
    "  --replace      shade model replace: the texel replaces the unlit colour\n"
    "  --shadows      light 0 casts shadows\n"
    "  --light2 X,Y,Z a second white point light at (X, Y, Z)\n"
    "  --normalize    normalise the normals after the model matrix\n"
    "  --out FILE     PNG or PPM by extension (default frame.png); a %d in FILE,\n"
    "                 e.g. turn_%03d.png, writes every frame, numbered from 0\n"
    "  --bench        write no image; print only a summary of the render times\n"
    "  --help         show this text\n"
    "  --version      show the program's version\n"
    "Exit status: 0 done, 1 mesh, texture or output file error, 2 bad command line.\n";

namespace {

bool ParseFrames(const std::string& text, RenderOptions& o)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, o.frames);
    return ec == std::errc() && ptr == end && o.frames >= 1;
}

bool ParseAngle(const std::string& text, RenderOptions& o)
{
    float angle = 0.0f;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, angle);
    if (ec != std::errc() || ptr != end || !std::isfinite(angle)) return false;
    o.angle = angle;
    return true;
}

bool ParseShade(const std::string& text, RenderOptions& o)
{
    const struct {
        const char* name;
        int32_t model;
    } kModels[] = {
        {"flat", RC_FLAT}, {"gouraud", RC_GOURAUD}, {"phong", RC_PHONG}, {"cartoon", RC_CARTOON}};
    for (const auto& m : kModels)
        if (text == m.name) {
            o.shadeModel = m.model;
            return true;
        }
    return false;
}

// Three finite numbers separated by commas.
bool ParsePoint(const std::string& text, RenderOptions& o)
{
    float xyz[3];
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && (p == end || *p++ != ',')) return false;
        const auto [next, ec] = std::from_chars(p, end, xyz[i]);
        if (ec != std::errc() || !std::isfinite(xyz[i])) return false;
        p = next;
    }
    if (p != end) return false;
    o.light2 = Vector3(xyz[0], xyz[1], xyz[2]);
    return true;
}

// Empty when `text` is a good --out value.
std::string ParseOut(const std::string& text, RenderOptions& o)
{
    if (!ImageFormatFor(text)) return "--out: '" + text + "' must end in .png or .ppm";
    std::string error;
    const std::optional<FrameFileName> name = FrameFileName::Parse(text, &error);
    if (!name) return "--out: " + error;
    o.out = name;
    return "";
}

// Empty when `name` takes a value and `value` is good for it.
std::string ApplyValueOption(const std::string& name, const std::string& value, RenderOptions& o)
{
    if (name == "--out") return ParseOut(value, o);
    if (name == "--texture") {
        if (value.empty()) return "--texture needs a file name";
        o.texture = value;
        return "";
    }
    const bool good = name == "--frames"  ? ParseFrames(value, o)
                      : name == "--angle" ? ParseAngle(value, o)
                      : name == "--shade" ? ParseShade(value, o)
                                          : ParsePoint(value, o);
    if (good) return "";
    const char* expected = name == "--frames"  ? "a whole number of at least 1"
                           : name == "--angle" ? "a finite number of degrees"
                           : name == "--shade" ? "flat, gouraud, phong or cartoon"
                                               : "three finite numbers X,Y,Z";
    return name + ": '" + value + "' is not " + expected;
}

bool ApplyFlag(const std::string& name, RenderOptions& o)
{
    bool* const flag = name == "--wireframe"   ? &o.wireframe
                       : name == "--cw"        ? &o.clockwise
                       : name == "--unlit"     ? &o.unlit
                       : name == "--replace"   ? &o.replace
                       : name == "--shadows"   ? &o.shadows
                       : name == "--normalize" ? &o.normalize
                       : name == "--bench"     ? &o.bench
                       : name == "--help"      ? &o.help
                       : name == "--version"   ? &o.version
                                               : nullptr;
    if (flag != nullptr) *flag = true;
    return flag != nullptr;
}

bool TakesValue(const std::string& name)
{
    return name == "--frames" || name == "--angle" || name == "--shade" || name == "--out" ||
           name == "--texture" || name == "--light2";
}

// What the arguments before the current one gave.
struct Given {
    bool shade = false;
};

// Handles argv[i] and, for an option with a separate value, argv[i + 1];
// advances i past what it used. Empty when good.
std::string ApplyArgument(int argc, const char* const* argv, int& i, RenderOptions& o, Given& given)
{
    std::string arg = argv[i++];
    if (arg.size() < 2 || arg[0] != '-') {
        if (o.meshPath) return "only one mesh may be given ('" + arg + "')";
        o.meshPath = arg;
        return "";
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    given.shade = given.shade || name == "--shade";
    if (TakesValue(name)) {
        if (equals != std::string::npos) return ApplyValueOption(name, arg.substr(equals + 1), o);
        if (i >= argc) return name + " needs a value";
        return ApplyValueOption(name, argv[i++], o);
    }
    if (equals == std::string::npos && ApplyFlag(name, o)) return "";
    return "unknown option '" + arg + "'";
}

}  // namespace

ParsedOptions ParseRenderOptions(int argc, const char* const* argv)
{
    ParsedOptions parsed;
    Given given;
    for (int i = 1; i < argc && parsed.error.empty();)
        parsed.error = ApplyArgument(argc, argv, i, parsed.options, given);
    if (!parsed.error.empty()) return parsed;
    if (parsed.options.bench && parsed.options.out)
        parsed.error = "--bench writes no image, so --out has nothing to do";
    else if (parsed.options.replace && given.shade)
        parsed.error = "--replace and --shade both choose the shade model; give one";
    return parsed;
}
