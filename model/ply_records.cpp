#include "model/ply_records.h"

#include <algorithm>

#include "model/page_prefault.h"
#include "model/ply_error.h"

namespace {

// Values per group, and bytes per group in a binary body.
constexpr int kGroupValues[PLY_SLOT_COUNT] = {3, 1, 3, 2, 3};
constexpr int kGroupBytes[PLY_SLOT_COUNT] = {12, 4, 3, 8, 12};

// A binary value has its fixed size; an ASCII number takes at least one
// character and one blank, except the last one in the file.
void CheckPlyBodySize(const PlyHeader& header, int64_t bytesLeft)
{
    if (bytesLeft < 0) return;
    const bool binary = header.encoding != PlyEncoding::Ascii;
    int64_t vertexBytes = 0;
    for (PlySlot slot : PlyReadOrder(header))
        vertexBytes += binary ? kGroupBytes[slot] : 2 * kGroupValues[slot];
    const int64_t available = binary ? bytesLeft : bytesLeft + 1;
    const int64_t forVertices = header.vertexCount * vertexBytes;
    if (forVertices > available)
        PlyFail("vertex count " + std::to_string(header.vertexCount) + " does not fit in the " +
                std::to_string(bytesLeft) + " bytes after the header");
    const int64_t faceBytes = binary ? 1 : 2;
    if (header.faceCount * faceBytes > available - forVertices)
        PlyFail("face count " + std::to_string(header.faceCount) + " does not fit in the " +
                std::to_string(bytesLeft - std::min(forVertices, bytesLeft)) +
                " bytes after the vertices");
}

}  // namespace

void FailTruncated(const PlyPlace& place)
{
    PlyFail(std::string("truncated ") + place.element + " data (" + place.element + " " +
            std::to_string(place.index) + " of " + std::to_string(place.count) + ")");
}

void FailValue(const PlyPlace& place, const std::string& problem)
{
    PlyFail(std::string(place.element) + " " + std::to_string(place.index) + ": " + problem);
}

void FailCornerIndex(const PlyPlace& place, int64_t index, int32_t vertexCount)
{
    FailValue(place, "vertex index " + std::to_string(index) + " out of range 0.." +
                         std::to_string(vertexCount - 1));
}

std::vector<PlySlot> PlyReadOrder(const PlyHeader& header)
{
    std::vector<PlySlot> order;
    for (int slot = 0; slot < PLY_SLOT_COUNT; ++slot)
        if (header.groupPosition[slot] >= 0) order.push_back(static_cast<PlySlot>(slot));
    std::sort(order.begin(), order.end(), [&header](PlySlot a, PlySlot b) {
        return header.groupPosition[a] < header.groupPosition[b];
    });
    return order;
}

int PlyGroupBytes(PlySlot slot)
{
    return kGroupBytes[slot];
}

void StartPlyBody(const PlyHeader& header, int64_t bytesLeft, PlyMesh& mesh)
{
    CheckPlyBodySize(header, bytesLeft);
    if (bytesLeft < 0) return;
    // The counts are known to fit the file.
    mesh.vertices.reserve(static_cast<std::size_t>(header.vertexCount));
    mesh.faces.reserve(static_cast<std::size_t>(header.faceCount));
    mesh.corners.reserve(3 * static_cast<std::size_t>(header.faceCount));
    PrefaultCapacity(mesh.vertices);
    PrefaultCapacity(mesh.faces);
    PrefaultCapacity(mesh.corners);
}
