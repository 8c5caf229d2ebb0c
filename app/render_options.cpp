#include "app/render_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "app/mode_keys.h"
#include "app/scene_setup.h"
#include "pipeline/draw_setup.h"
#include "render/rgb_image.h"

namespace {

std::string NotA(const std::string& name, const std::string& value, const char* expected)
{
    return name + ": '" + value + "' is not " + expected;
}

std::string ParseFrames(const std::string& name, const std::string& text, RenderOptions& o)
{
    int frames = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, frames);
    if (ec == std::errc::result_out_of_range && ptr == end && text[0] != '-')
        return name + ": '" + text + "' is too large (the largest is " +
               std::to_string(std::numeric_limits<int>::max()) + ")";
    if (ec != std::errc() || ptr != end || frames < 1)
        return NotA(name, text, "a whole number of at least 1");
    o.frames = frames;
    return "";
}

std::string ParseAngle(const std::string& name, const std::string& text, RenderOptions& o)
{
    float angle = 0.0f;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, angle);
    if (ec != std::errc() || ptr != end || !std::isfinite(angle))
        return NotA(name, text, "a finite number of degrees");
    o.angle = angle;
    return "";
}

std::string ParseShade(const std::string& name, const std::string& text, RenderOptions& o)
{
    if (ParseShadeModel(text, o.shadeModel)) return "";
    return NotA(name, text, "flat, gouraud, phong or cartoon");
}

// Three finite numbers separated by commas.
std::string ParsePoint(const std::string& name, const std::string& text, RenderOptions& o)
{
    float xyz[3];
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && (p == end || *p++ != ','))
            return NotA(name, text, "three finite numbers X,Y,Z");
        const auto [next, ec] = std::from_chars(p, end, xyz[i]);
        if (ec != std::errc() || !std::isfinite(xyz[i]))
            return NotA(name, text, "three finite numbers X,Y,Z");
        p = next;
    }
    if (p != end) return NotA(name, text, "three finite numbers X,Y,Z");
    o.light2 = Vector3(xyz[0], xyz[1], xyz[2]);
    return "";
}

std::string ParseUp(const std::string& name, const std::string& text, RenderOptions& o)
{
    return ParseUpAxis(text, o.up) ? "" : NotA(name, text, "x, y, z, -x, -y or -z");
}

std::string ParseTexture(const std::string& name, const std::string& text, RenderOptions& o)
{
    if (text.empty()) return name + " needs a file name";
    o.texture = text;
    return "";
}

std::string ParseOut(const std::string& name, const std::string& text, RenderOptions& o)
{
    if (!ImageFormatFor(text)) {
        if (ImageFormatFor("x" + text) && text.find('/') == std::string::npos)
            return name + ": '" + text + "' is only an extension; put a file name before it";
        return name + ": '" + text + "' must end in .png or .ppm";
    }
    std::string error;
    const std::optional<FrameFileName> frameName = FrameFileName::Parse(text, &error);
    if (!frameName) return name + ": " + error;
    o.out = frameName;
    return "";
}

std::string ParseThreads(const std::string& name, const std::string& text, RenderOptions& o)
{
    const std::optional<int> threads = ParseThreadCount(text);
    if (!threads)
        return NotA(name, text,
                    ("a whole number from 1 to " + std::to_string(kMaxDrawThreads)).c_str());
    o.threads = *threads;
    return "";
}

// A pixel of the frame buffer: two whole numbers X,Y; given again, it adds
// another. A number too large for an int lies outside too.
std::string ParsePixel(const std::string& name, const std::string& text, RenderOptions& o)
{
    int xy[2] = {0, 0};
    bool inside = true;
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 2; ++i) {
        if (i > 0 && (p == end || *p++ != ',')) return NotA(name, text, "two whole numbers X,Y");
        const auto [next, ec] = std::from_chars(p, end, xy[i]);
        if (ec != std::errc() && ec != std::errc::result_out_of_range)
            return NotA(name, text, "two whole numbers X,Y");
        inside = inside && ec == std::errc() && xy[i] >= 0 && xy[i] < kFrameSize;
        p = next;
    }
    if (p != end) return NotA(name, text, "two whole numbers X,Y");
    if (!inside)
        return name + ": '" + text + "' lies outside the " + std::to_string(kFrameSize) + " x " +
               std::to_string(kFrameSize) + " frame buffer";
    o.pixels.push_back({xy[0], xy[1]});
    return "";
}

std::string ParseShow(const std::string& name, const std::string& text, RenderOptions& o)
{
    o.show = PipelineViewNamed(text);
    return o.show ? "" : NotA(name, text, "depth, overdraw, faces or stages");
}

// One option of the command line. An option with a value has its parser,
// which stores a good value or says what is wrong with it; a flag sets its
// field. The usage text is made from the same table.
struct OptionRule {
    const char* name;
    const char* value;  // the value as the usage names it; null for a flag
    std::string (*parse)(const std::string& name, const std::string& value, RenderOptions& o);
    bool RenderOptions::*flag;
    const char* help;  // a second line, if any, after '\n'
};

constexpr OptionRule kOptions[] = {
    {"--import", nullptr, nullptr, &RenderOptions::import,
     "read MESH through the import: any PLY, OBJ or STL"},
    {"--fit", nullptr, nullptr, &RenderOptions::fit,
     "centre the mesh on the origin, its largest half-extent 1"},
    {"--up", "AXIS", ParseUp, nullptr,
     "the mesh's axis that points up, turned to z:\nx, y, z (default), -x, -y or -z"},
    {"--frames", "N", ParseFrames, nullptr,
     "render frames 0 .. N-1 in sequence and write the last (default 1)"},
    {"--angle", "DEG", ParseAngle, nullptr,
     "render every frame at DEG degrees instead of 0, 10, 20, ..."},
    {"--shade", "MODEL", ParseShade, nullptr, "flat, gouraud (default), phong or cartoon"},
    {"--wireframe", nullptr, nullptr, &RenderOptions::wireframe, "draw the triangles' edges only"},
    {"--cw", nullptr, nullptr, &RenderOptions::clockwise, "front faces are the clockwise ones"},
    {"--unlit", nullptr, nullptr, &RenderOptions::unlit,
     "leave lighting off: vertex colours as they are"},
    {"--vertex-colors", nullptr, nullptr, &RenderOptions::vertexColors,
     "light the vertex colours in place of the material's colour"},
    {"--texture", "FILE.png", ParseTexture, nullptr,
     "texture the mesh with a PNG picture (not in gouraud)"},
    {"--replace", nullptr, nullptr, &RenderOptions::replace,
     "shade model replace: the texel replaces the unlit colour"},
    {"--shadows", nullptr, nullptr, &RenderOptions::shadows, "light 0 casts shadows"},
    {"--light2", "X,Y,Z", ParsePoint, nullptr, "a second white point light at (X, Y, Z)"},
    {"--normalize", nullptr, nullptr, &RenderOptions::normalize,
     "normalise the normals after the model matrix"},
    {"--threads", "N", ParseThreads, nullptr,
     "draw on N threads, 1 to 256 (default: every core);\n"
     "the frames are the same on any number"},
    {"--out", "FILE", ParseOut, nullptr,
     "PNG or PPM by extension (default frame.png); a %d in FILE,\n"
     "e.g. turn_%03d.png, writes every frame, numbered from 0"},
    {"--bench", nullptr, nullptr, &RenderOptions::bench,
     "write no image; print only a summary of the render times"},
    {"--stats", nullptr, nullptr, &RenderOptions::stats,
     "after each render-time line, a line of what the pipeline did:\n"
     "triangles culled, rejected, drawn; fragments, depth tests, writes"},
    {"--pixel", "X,Y", ParsePixel, nullptr,
     "print every fragment of pixel (X, Y) in shading order (repeatable)"},
    {"--show", "VIEW", ParseShow, nullptr,
     "write a picture of depth, overdraw, faces or stages in place\n"
     "of the shaded frame"},
    {"--help", nullptr, nullptr, &RenderOptions::help, "show this text"},
    {"--version", nullptr, nullptr, &RenderOptions::version, "show the program's version"},
};

const OptionRule* FindOption(const std::string& name)
{
    for (const OptionRule& rule : kOptions)
        if (name == rule.name) return &rule;
    return nullptr;
}

std::string Synopsis(const OptionRule& rule)
{
    return rule.value != nullptr ? std::string(rule.name) + " " + rule.value : rule.name;
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
    const OptionRule* rule = FindOption(name);
    if (rule == nullptr || (rule->value == nullptr && equals != std::string::npos))
        return "unknown option '" + arg + "'";
    if (rule->value == nullptr) {
        o.*rule->flag = true;
        return "";
    }
    if (equals != std::string::npos) return rule->parse(name, arg.substr(equals + 1), o);
    if (i >= argc) return name + " needs a value";
    return rule->parse(name, argv[i++], o);
}

}  // namespace

ParsedOptions ParseRenderOptions(int argc, const char* const* argv)
{
    ParsedOptions parsed;
    Given given;
    for (int i = 1; i < argc && parsed.error.empty();)
        parsed.error = ApplyArgument(argc, argv, i, parsed.options, given);
    if (!parsed.error.empty()) return parsed;
    const RenderOptions& o = parsed.options;
    if (o.bench && o.out)
        parsed.error = "--bench writes no image, so --out has nothing to do";
    else if (o.bench && o.show)
        parsed.error = "--bench writes no image, so --show has nothing to do";
    else if (o.bench && Inspects(o))
        parsed.error =
            "--bench times frames drawn without --stats or --pixel; give one or the other";
    else if (o.replace && given.shade)
        parsed.error = "--replace and --shade both choose the shade model; give one";
    else if (parsed.options.vertexColors && (parsed.options.unlit || parsed.options.replace))
        parsed.error = std::string(parsed.options.unlit ? "--unlit" : "--replace") +
                       " lights nothing, so --vertex-colors has nothing to light";
    return parsed;
}

bool Inspects(const RenderOptions& o)
{
    return o.stats || !o.pixels.empty() || o.show;
}

// The synopsis wrapped to the terminal's width, then one line per option
// (two for a long one) with its help text in a column.
std::string RenderUsage()
{
    constexpr std::size_t kLineWidth = 79;
    // Continuation lines start under the first "[", each item with its blank.
    const std::string indent(std::string("usage: zbuffer-render").size(), ' ');
    std::string usage = "usage: zbuffer-render [MESH.ply]";
    std::size_t lineStart = 0;
    for (const OptionRule& rule : kOptions) {
        const std::string item = " [" + Synopsis(rule) + "]";
        if (usage.size() - lineStart + item.size() > kLineWidth) {
            usage += "\n";
            lineStart = usage.size();
            usage += indent;
        }
        usage += item;
    }
    usage += "\nRenders the window program's frames without a window.\n";
    std::size_t column = std::string("MESH.ply").size();
    for (const OptionRule& rule : kOptions)
        column = std::max(column, Synopsis(rule).size());
    const auto entry = [column](const std::string& left, const std::string& help) {
        std::string text = "  " + left + std::string(column + 2 - left.size(), ' ');
        for (const char c : help)
            text += c == '\n' ? "\n" + std::string(column + 4, ' ') : std::string(1, c);
        return text + "\n";
    };
    usage +=
        entry("MESH.ply", "the mesh to draw (default ./data/teapot.ply, else the installed one)");
    for (const OptionRule& rule : kOptions)
        usage += entry(Synopsis(rule), rule.help);
    return usage +
           "Values may also follow an equals sign (--frames=36).\n"
           "Exit status: 0 done, 1 mesh, texture or output file error, 2 bad command line.\n";
}
