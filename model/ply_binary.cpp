#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "model/fatal_error.h"
#include "model/ply_body.h"
#include "model/ply_records.h"

namespace {

// A 4-byte value in the file's byte order. The order is a template argument,
// so that it is settled once per file rather than once per value.
template <bool kBigEndian>
uint32_t Load32(const uint8_t* b)
{
    if (kBigEndian) return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
    return uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
}

// A float in the file's byte order.
template <bool kBigEndian>
float LoadFloat(const uint8_t* b)
{
    const uint32_t bits = Load32<kBigEndian>(b);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Decodes the first n values of a vertex record, in file order; false when
// one is not finite.
template <bool kBigEndian>
bool DecodeVertex(const std::vector<PlyVertexValue>& layout, std::size_t n, const uint8_t* at,
                  uint8_t* vertex)
{
    bool finite = true;
    const PlyVertexValue* const last = layout.data() + n;
    for (const PlyVertexValue* value = layout.data(); value != last; ++value) {
        if (value->byte) {
            StoreVertexValue(vertex, *value, at++);
            continue;
        }
        const float number = LoadFloat<kBigEndian>(at);
        finite &= std::isfinite(number);
        StoreVertexValue(vertex, *value, &number);
        at += 4;
    }
    return finite;
}

// The values whole within the first `size` bytes of a record: a record cut
// short by the end of the file is decoded up to its last whole value, so that
// a bad value before the cut is reported as the value-by-value reading finds it.
std::size_t WholeValues(const std::vector<PlyVertexValue>& layout, std::size_t size)
{
    std::size_t n = 0;
    for (std::size_t bytes = 0; n < layout.size(); ++n) {
        bytes += layout[n].byte ? 1 : 4;
        if (bytes > size) break;
    }
    return n;
}

// A face's corner indices, each checked against the vertices as it is read;
// of a face cut short, the whole ones.
template <bool kBigEndian>
void DecodeCorners(const uint8_t* at, std::size_t size, int n, int32_t vertexCount,
                   const PlyPlace& place, FaceList& faces)
{
    const auto whole = static_cast<int>(std::min<std::size_t>(n, size / 4));
    for (int i = 0; i < whole; ++i, at += 4) {
        const auto index = static_cast<int32_t>(Load32<kBigEndian>(at));
        faces.AddCorner(CheckedCornerIndex(index, vertexCount, place));
    }
}

// A record's bytes: all n of them, or what is left when the file ends first.
struct Record {
    const uint8_t* bytes;
    std::size_t size;
    bool whole;
};

Record TakeRecord(PlyInput& input, std::size_t n)
{
    if (const uint8_t* bytes = input.Take(n)) return {bytes, n, true};
    return {input.Position(), input.Buffered(), false};
}

// Each vertex is one record of the groups' fixed sizes, decoded straight into
// the mesh, whose vertices are added a block at a time.
template <bool kBigEndian>
void ReadVertices(PlyInput& input, const PlyHeader& header, PlyMesh& mesh)
{
    const std::vector<PlyVertexValue> layout = PlyVertexLayout(header);
    const std::size_t recordBytes = PlyBinaryVertexBytes(layout);
    PlyPlace place{"vertex", 0, header.vertexCount};
    uint8_t* vertex = nullptr;
    for (; place.index < header.vertexCount; ++place.index, vertex += MeshLayout::kStride) {
        if (StartsPrefaultBlock(place.index)) {
            PrefaultVertexBlock(mesh);
            vertex = mesh.AddVertices(static_cast<std::size_t>(
                std::min(kPlyPrefaultRecords, header.vertexCount - place.index)));
        }
        const Record record = TakeRecord(input, recordBytes);
        const std::size_t n = record.whole ? layout.size() : WholeValues(layout, record.size);
        if (!DecodeVertex<kBigEndian>(layout, n, record.bytes, vertex))
            FailValue(place, "value is not a finite number");
        if (!record.whole) FailTruncated(place);
    }
}

// A face is its corner count byte, then that many 4-byte indices.
template <bool kBigEndian>
void ReadFaces(PlyInput& input, const PlyHeader& header, PlyMesh& mesh)
{
    PlyPlace place{"face", 0, header.faceCount};
    for (; place.index < header.faceCount; ++place.index) {
        if (StartsPrefaultBlock(place.index)) PrefaultFaceBlock(mesh);
        const uint8_t* count = input.Take(1);
        if (count == nullptr) FailTruncated(place);
        const int n = *count;
        const Record record = TakeRecord(input, 4 * static_cast<std::size_t>(n));
        DecodeCorners<kBigEndian>(record.bytes, record.size, n, header.vertexCount, place,
                                  mesh.faces);
        if (!record.whole) FailTruncated(place);
        mesh.faces.EndFace(n);
    }
}

template <bool kBigEndian>
void ReadRecords(PlyInput& input, const PlyHeader& header, PlyMesh& mesh)
{
    ReadVertices<kBigEndian>(input, header, mesh);
    ReadFaces<kBigEndian>(input, header, mesh);
}

// The header scan stops right after "end_header"; its whole line end goes
// before the body, or every binary value would be shifted.
void SkipHeaderLineEnd(PlyInput& input, const PlyHeader& header)
{
    const int c = input.Get();
    if (c == '\n') return;
    if (c != '\r') PlyFail("no line end after end_header");
    if (!header.loneCrLines && input.Peek() == '\n') input.Get();
}

}  // namespace

void ReadPlyBinary(PlyInput& input, const PlyHeader& header, PlyMesh& mesh)
{
    SkipHeaderLineEnd(input, header);
    StartPlyBody(header, input.BytesLeft(), mesh);
    if (header.encoding == PlyEncoding::BinaryBigEndian)
        ReadRecords<true>(input, header, mesh);
    else
        ReadRecords<false>(input, header, mesh);
}
