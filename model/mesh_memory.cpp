#include "model/mesh_memory.h"

#include <unistd.h>

namespace {

// Generous bounds of what loading holds per vertex and per face: a vertex
// takes 36 bytes of the model's vertex array and a triangle 24 of corners and
// normal, and arrays that grow by doubling (an input without a size) up to
// twice that. The refusal is for counts far beyond the machine, so the bounds
// need not be tight; they are the ones the readers have always refused by.
constexpr int64_t kLoadBytesPerVertex = 84;
constexpr int64_t kLoadBytesPerFace = 64;
constexpr int64_t kMiB = 1 << 20;

int64_t PhysicalMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<int64_t>(pages) * pageSize : -1;
}

}  // namespace

std::string MeshMemoryShortfall(int64_t vertexCount, int64_t faceCount)
{
    const int64_t need = vertexCount * kLoadBytesPerVertex + faceCount * kLoadBytesPerFace;
    const int64_t have = PhysicalMemory();
    if (have < 0 || need <= have) return "";
    return "a mesh of " + std::to_string(vertexCount) + " vertices and " +
           std::to_string(faceCount) + " faces needs at least " + std::to_string(need / kMiB) +
           " MiB, more than the " + std::to_string(have / kMiB) + " MiB of memory here";
}
