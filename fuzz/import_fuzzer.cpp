// libFuzzer target for the import: the input is a mesh file of any format
// the import reads (PLY in full, OBJ, STL; the first byte after a leading
// '#' picks the name the file is given, so that OBJ and binary STL, which
// are known by their names, are reached too; otherwise the content decides). It is imported with
// and without fitting, and the model's bounds are checked. A refused file is a normal outcome;
// crashes, hangs, leaks and undefined behaviour are findings.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/fatal_error.h"
#include "model/mesh_import.h"
#include "model/ply_reader.h"

namespace {

struct Refused {};

[[noreturn]] void ThrowRefused(const char* /*what*/, const char* /*detail*/)
{
    throw Refused();
}

// Each input is one file in memory, named with the extension it picks.
std::string Store(const uint8_t* data, std::size_t size, const char* extension)
{
    static const int fd = memfd_create("import_fuzzer", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0) std::abort();
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    // /proc/self/fd/N is a link whose own name ends as the extension asks.
    static std::string link;
    if (!link.empty()) unlink(link.c_str());
    link = "/tmp/import_fuzzer_" + std::to_string(getpid()) + extension;
    if (symlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), link.c_str()) != 0) std::abort();
    return link;
}

void Import(const std::string& path, bool fit)
{
    MeshFraming framing;
    framing.fit = fit;
    framing.up = fit ? UpAxis::Y : UpAxis::Z;
    try {
        const Model model = ImportMesh(path, framing);
        if (model.vertices.count <= 0 || model.faces.count <= 0) std::abort();
        // Fitted, the largest half-extent is 1 (0 for a single point), up to rounding.
        if (fit && !(model.halfExtent <= 1.0001f)) std::abort();
    } catch (const Refused&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    SetFatalErrorHandler(ThrowRefused);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static const char* const kExtensions[] = {".mesh", ".obj", ".stl", ".ply"};
    const char* extension = size >= 2 && data[0] == '#' ? kExtensions[data[1] % 4] : ".mesh";
    const std::string path = Store(data, size, extension);
    Import(path, false);
    Import(path, true);
    return 0;
}
