#include "app/import_hint.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "model/mesh_import.h"
#include "model/printable_text.h"

namespace {

// A FatalErrorHandler is a plain function: what it needs stands here.
std::string gPath;
std::string gHint;

struct Refused {};

[[noreturn]] void ThrowRefused(const char* /*what*/, const char* /*detail*/)
{
    throw Refused{};
}

[[noreturn]] void RefuseWithHint(const char* what, const char* detail)
{
    WriteFatalError(what, detail);
    if (ImportOpens(gPath)) std::fprintf(stderr, "%s\n", gHint.c_str());
    std::exit(1);
}

}  // namespace

ImportHint::ImportHint(const std::string& path, const std::string& hint)
{
    gPath = path;
    gHint = hint;
    previous = SetFatalErrorHandler(RefuseWithHint);
}

ImportHint::~ImportHint()
{
    SetFatalErrorHandler(previous);
}

bool ImportOpens(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    const FatalErrorHandler previous = SetFatalErrorHandler(ThrowRefused);
    bool opens = true;
    try {
        ImportMesh(path, MeshFraming{});
    } catch (const Refused&) {
        opens = false;
    } catch (const std::bad_alloc&) {
        opens = false;
    }
    SetFatalErrorHandler(previous);
    return opens;
}

std::string ShellWord(const std::string& path)
{
    const std::string shown = PrintableText(path);
    if (!shown.empty() &&
        shown.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                "0123456789_./+-,:=@%") == std::string::npos)
        return shown;
    std::string quoted = "'";
    for (const char c : shown)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
