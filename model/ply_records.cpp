#include "model/ply_records.h"

#include <algorithm>

#include "model/fatal_error.h"
#include "model/mesh_memory.h"

namespace {

// The fewest bytes a record can take: a binary value has its fixed size; an
// ASCII number takes at least one character and one blank, except the last
// one in the file.
struct RecordBytes {
    int64_t vertex;
    int64_t face;    // a face without corners
    int64_t corner;  // each corner index
    int64_t available;
};

RecordBytes FewestRecordBytes(const PlyHeader& header, int64_t bytesLeft)
{
    const std::vector<PlyVertexValue> layout = PlyVertexLayout(header);
    if (header.encoding != PlyEncoding::Ascii)
        return {static_cast<int64_t>(PlyBinaryVertexBytes(layout)), 1, 4, bytesLeft};
    return {2 * static_cast<int64_t>(layout.size()), 2, 2, bytesLeft + 1};
}

void CheckPlyBodySize(const PlyHeader& header, const RecordBytes& fewest, int64_t bytesLeft)
{
    const int64_t forVertices = header.vertexCount * fewest.vertex;
    if (forVertices > fewest.available)
        PlyFail("vertex count " + std::to_string(header.vertexCount) + " does not fit in the " +
                std::to_string(bytesLeft) + " bytes after the header");
    if (header.faceCount * fewest.face > fewest.available - forVertices)
        PlyFail("face count " + std::to_string(header.faceCount) + " does not fit in the " +
                std::to_string(bytesLeft - std::min(forVertices, bytesLeft)) +
                " bytes after the vertices");
}

// Counts whose mesh cannot be held are refused before anything is allocated.
void CheckPlyMemory(const PlyHeader& header)
{
    const std::string shortfall = MeshMemoryShortfall(header.vertexCount, header.faceCount);
    if (!shortfall.empty()) PlyFail(shortfall);
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

std::vector<PlyVertexValue> PlyVertexLayout(const PlyHeader& header)
{
    std::vector<PlySlot> order;
    for (int slot = 0; slot < PLY_SLOT_COUNT; ++slot)
        if (header.groupPosition[slot] >= 0) order.push_back(static_cast<PlySlot>(slot));
    std::sort(order.begin(), order.end(), [&header](PlySlot a, PlySlot b) {
        return header.groupPosition[a] < header.groupPosition[b];
    });
    std::vector<PlyVertexValue> layout;
    for (PlySlot slot : order) {
        const PlySlotLayout& group = kPlySlotLayouts[slot];
        for (int v = 0; v < group.valueCount; ++v)
            layout.push_back(
                {group.fields[v], static_cast<uint8_t>(group.bytes ? 1 : 4), !group.bytes});
    }
    return layout;
}

std::size_t PlyBinaryVertexBytes(const std::vector<PlyVertexValue>& layout)
{
    std::size_t bytes = 0;
    for (const PlyVertexValue& value : layout)
        bytes += value.bytes;
    return bytes;
}

void StartPlyBody(const PlyHeader& header, int64_t bytesLeft, PlyMesh& mesh)
{
    const RecordBytes fewest = FewestRecordBytes(header, bytesLeft);
    if (bytesLeft >= 0) CheckPlyBodySize(header, fewest, bytesLeft);
    CheckPlyMemory(header);
    if (bytesLeft < 0) return;
    // The counts are known to fit the file; the corners are bounded by the
    // bytes the faces leave.
    const int64_t cornerBytes =
        fewest.available - header.vertexCount * fewest.vertex - header.faceCount * fewest.face;
    const int64_t corners =
        std::min<int64_t>(3 * int64_t{header.faceCount}, cornerBytes / fewest.corner);
    mesh.vertices.data.reserve(static_cast<std::size_t>(header.vertexCount) * MeshLayout::kStride);
    mesh.faces.Reserve(static_cast<std::size_t>(header.faceCount),
                       static_cast<std::size_t>(corners));
}

void PrefaultFaceBlock(PlyMesh& mesh)
{
    mesh.faces.PrefaultAhead(kPlyPrefaultRecords, 3 * std::size_t{kPlyPrefaultRecords});
}

void PrefaultVertexBlock(PlyMesh& mesh)
{
    PrefaultAhead(mesh.vertices.data, std::size_t{kPlyPrefaultRecords} * MeshLayout::kStride);
}
