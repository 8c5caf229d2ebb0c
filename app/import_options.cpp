#include "app/import_options.h"

const char kImportUsage[] =
    "usage: zbuffer-import IN OUT.ply [--fit] [--up x|y|z|-x|-y|-z]\n"
    "Converts a mesh (PLY of any kind, OBJ or STL) into the PLY form the window\n"
    "program reads: binary little-endian with positions, normals, texture\n"
    "coordinates and colours, and faces of at most 255 corners.\n"
    "  --fit       centre the mesh on the origin and scale its largest half-extent to 1\n"
    "  --up AXIS   the file's axis that points up, turned to z (default z)\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "Exit status: 0 done, 1 the mesh cannot be read or OUT cannot be written,\n"
    "2 bad command line.\n";

namespace {

// Handles argv[i] and, for --up, its value; advances i past what it used.
// Empty when good.
std::string ApplyArgument(int argc, const char* const* argv, int& i, ImportOptions& o)
{
    const std::string arg = argv[i++];
    if (arg == "--fit") o.framing.fit = true;
    if (arg == "--help") o.help = true;
    if (arg == "--version") o.version = true;
    if (arg == "--fit" || arg == "--help" || arg == "--version") return "";
    if (arg == "--up" || arg.rfind("--up=", 0) == 0) {
        if (arg == "--up" && i >= argc) return "--up needs an axis";
        const std::string axis = arg == "--up" ? argv[i++] : arg.substr(5);
        if (ParseUpAxis(axis, o.framing.up)) return "";
        return "--up: '" + axis + "' is not x, y, z, -x, -y or -z";
    }
    if (arg.size() >= 2 && arg[0] == '-') return "unknown option '" + arg + "'";
    if (arg.empty()) return "a file name is empty";
    if (o.in.empty()) {
        o.in = arg;
    } else if (o.out.empty()) {
        o.out = arg;
    } else {
        return "only IN and OUT.ply may be given ('" + arg + "')";
    }
    return "";
}

}  // namespace

ParsedImportOptions ParseImportOptions(int argc, const char* const* argv)
{
    ParsedImportOptions parsed;
    ImportOptions& o = parsed.options;
    for (int i = 1; i < argc && parsed.error.empty();)
        parsed.error = ApplyArgument(argc, argv, i, o);
    if (!parsed.error.empty() || o.help || o.version) return parsed;
    if (o.out.empty())
        parsed.error = o.in.empty() ? "IN and OUT.ply are needed" : "OUT.ply is needed";
    else if (o.out.size() < 4 || o.out.compare(o.out.size() - 4, 4, ".ply") != 0)
        parsed.error = "'" + o.out + "' must end in .ply";
    return parsed;
}
