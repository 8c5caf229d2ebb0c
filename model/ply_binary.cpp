#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "model/fatal_error.h"
#include "model/ply_binary_records.h"
#include "model/ply_body.h"
#include "model/ply_records.h"

namespace {

// The values whole within the first `size` bytes of a record: a record cut
// short by the end of the file is decoded up to its last whole value, so that
// a bad value before the cut is reported as the value-by-value reading finds it.
std::size_t WholeValues(const std::vector<PlyVertexValue>& layout, std::size_t size)
{
    std::size_t n = 0;
    for (std::size_t bytes = 0; n < layout.size(); ++n) {
        bytes += layout[n].bytes;
        if (bytes > size) break;
    }
    return n;
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
        if (!DecodePlyVertex<kBigEndian>(layout, n, record.bytes, vertex))
            FailValue(place, "value is not a finite number");
        if (!record.whole) FailTruncated(place);
    }
}

// A face is its corner count byte, then that many 4-byte indices.
template <bool kBigEndian>
void ReadFaces(PlyInput& input, const PlyHeader& header, PlyMesh& mesh)
{
    PlyPlace place{"face", 0, header.faceCount};
    const auto check = [vertexCount = header.vertexCount, &place](int32_t index) {
        return CheckedCornerIndex(index, vertexCount, place);
    };
    int n = 0;
    if (ReadPlyFaces<kBigEndian>(input, mesh, header.faceCount, place.index, check, n)) return;
    // A record cut short: a bad index before the cut is reported first.
    const uint8_t* at = input.Position();
    for (std::size_t i = 0; n > 0 && i < std::min<std::size_t>(n, input.Buffered() / 4); ++i)
        check(static_cast<int32_t>(LoadPly32<kBigEndian>(at + 4 * i)));
    FailTruncated(place);
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
