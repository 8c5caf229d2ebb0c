#include "app/view_options.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "app/mode_keys.h"
#include "app/view_turn.h"

const char kViewUsage[] =
    "usage: zbuffer-view [MESH] [--up AXIS] [--shade MODEL] [--vertex-colors] [--size WxH]\n"
    "                    [--turn DEG]\n"
    "Shows a mesh (PLY of any kind, OBJ or STL) in a window, drawn by zbuffer's\n"
    "software pipeline, to turn, zoom and save as pictures. Press h in the window\n"
    "for the keys.\n"
    "  MESH             the mesh (default ./data/teapot.ply, else the installed one)\n"
    "  --up AXIS        the file's axis that points up: x, y, z (default), -x, -y or -z\n"
    "  --shade MODEL    flat, gouraud (default), phong or cartoon\n"
    "  --vertex-colors  light the vertex colours in place of the material's colour\n"
    "  --size WxH       the window's size in pixels (default 512x512, at most 4096x4096)\n"
    "  --turn DEG       degrees a second the mesh turns about the up axis (default 30)\n"
    "  --help           show this text\n"
    "  --version        show the program's version\n"
    "Values may also follow an equals sign (--size=800x600).\n"
    "Exit status: 0 closed, 1 the mesh cannot be read or no window opens,\n"
    "2 bad command line.\n";

namespace {

constexpr int kLargestSide = 4096;

bool ParseUp(const std::string& text, ViewOptions& o)
{
    return ParseUpAxis(text, o.up);
}

bool ParseShade(const std::string& text, ViewOptions& o)
{
    return ParseShadeModel(text, o.shadeModel);
}

// A whole number from 1 to kLargestSide at `p`, which moves past it.
bool ParseSide(const char*& p, const char* end, int& side)
{
    const auto [next, ec] = std::from_chars(p, end, side);
    p = next;
    return ec == std::errc() && side >= 1 && side <= kLargestSide;
}

bool ParseSize(const std::string& text, ViewOptions& o)
{
    const char* p = text.data();
    const char* end = p + text.size();
    int width = 0, height = 0;
    if (!ParseSide(p, end, width) || p == end || *p++ != 'x' || !ParseSide(p, end, height) ||
        p != end)
        return false;
    o.width = width;
    o.height = height;
    return true;
}

bool ParseTurn(const std::string& text, ViewOptions& o)
{
    double speed = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, speed);
    if (ec != std::errc() || ptr != end || !(std::fabs(speed) <= ViewTurn::kFastest)) return false;
    o.turnSpeed = speed;
    return true;
}

// An option with a value: its parser stores a good value and says whether
// it was one; `expected` says what is.
struct ValueOption {
    const char* name;
    bool (*parse)(const std::string& value, ViewOptions& o);
    const char* expected;
};

constexpr ValueOption kValueOptions[] = {
    {"--up", ParseUp, "x, y, z, -x, -y or -z"},
    {"--shade", ParseShade, "flat, gouraud, phong or cartoon"},
    {"--size", ParseSize, "WIDTHxHEIGHT, each from 1 to 4096 pixels"},
    {"--turn", ParseTurn, "a number of degrees from -720 to 720"},
};

std::string Apply(const ValueOption& option, const std::string& value, ViewOptions& o)
{
    if (option.parse(value, o)) return "";
    return std::string(option.name) + ": '" + value + "' is not " + option.expected;
}

// Handles argv[i] and, for an option with a separate value, argv[i + 1];
// advances i past what it used. Empty when good.
std::string ApplyArgument(int argc, const char* const* argv, int& i, ViewOptions& o)
{
    const std::string arg = argv[i++];
    for (const auto& [flag, field] : {std::pair{"--help", &ViewOptions::help},
                                      {"--version", &ViewOptions::version},
                                      {"--vertex-colors", &ViewOptions::vertexColors}})
        if (arg == flag) {
            o.*field = true;
            return "";
        }
    if (arg.size() < 2 || arg[0] != '-') {
        if (arg.empty()) return "the mesh's name is empty";
        if (o.meshPath) return "only one mesh may be given ('" + arg + "')";
        o.meshPath = arg;
        return "";
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    for (const ValueOption& option : kValueOptions) {
        if (name != option.name) continue;
        if (equals != std::string::npos) return Apply(option, arg.substr(equals + 1), o);
        if (i >= argc) return name + " needs a value";
        return Apply(option, argv[i++], o);
    }
    return "unknown option '" + arg + "'";
}

}  // namespace

ParsedViewOptions ParseViewOptions(int argc, const char* const* argv)
{
    ParsedViewOptions parsed;
    for (int i = 1; i < argc && parsed.error.empty();)
        parsed.error = ApplyArgument(argc, argv, i, parsed.options);
    return parsed;
}
