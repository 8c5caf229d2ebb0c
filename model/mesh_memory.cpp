#include "model/mesh_memory.h"

#include <unistd.h>

#include "model/ply_reader.h"

namespace {

// What loading a mesh holds at least, at the moment the model is built from
// the reader's records: each vertex as a record and as 36 bytes of the
// model's vertex array, each face as a record and as a 40-byte face of the
// model.
constexpr int64_t kLoadBytesPerVertex = sizeof(PlyVertex) + 36;
constexpr int64_t kLoadBytesPerFace = sizeof(PlyFace) + 40;
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
