#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "lighting/color.h"
#include "model/ply_body.h"
#include "model/ply_error.h"
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

// Decodes the values of one record in file order. A record cut short by the
// end of the file is decoded up to its last whole value, so that a bad value
// before the cut is reported as the value-by-value reading finds it.
template <bool kBigEndian>
class RecordDecoder {
public:
    RecordDecoder(const uint8_t* record, std::size_t size) : at(record), end(record + size) {}

    void Floats(float* out, int n)
    {
        for (int i = 0; i < n && end - at >= 4; ++i, at += 4) {
            const uint32_t bits = Load32<kBigEndian>(at);
            std::memcpy(&out[i], &bits, sizeof bits);
            finite &= std::isfinite(out[i]);
        }
    }
    void Channels(float out[3])
    {
        for (int i = 0; i < 3 && at < end; ++i)
            out[i] = static_cast<float>(*at++) * Color::kByteScale;
    }
    // Corner indices, each checked against the vertices as it is read.
    void Indices(int n, int32_t vertexCount, const PlyPlace& place, std::vector<int32_t>& corners)
    {
        const auto whole = static_cast<int>(std::min<std::ptrdiff_t>(n, (end - at) / 4));
        for (int i = 0; i < whole; ++i, at += 4) {
            const auto index = static_cast<int32_t>(Load32<kBigEndian>(at));
            corners.push_back(CheckedCornerIndex(index, vertexCount, place));
        }
    }
    bool Finite() const { return finite; }

private:
    const uint8_t* at;
    const uint8_t* end;
    bool finite = true;
};

// False when a value is not finite.
template <bool kBigEndian>
bool DecodeVertex(const std::vector<PlySlot>& order, const uint8_t* record, std::size_t size,
                  PlyVertex& vertex)
{
    RecordDecoder<kBigEndian> decoder(record, size);
    for (PlySlot slot : order) {
        switch (slot) {
            case PLY_POSITION:
                decoder.Floats(vertex.position, 3);
                break;
            case PLY_CONFIDENCE:
                decoder.Floats(&vertex.confidence, 1);
                break;
            case PLY_COLOR:
                decoder.Channels(vertex.color);
                break;
            case PLY_TEXCOORD:
                decoder.Floats(vertex.texCoord, 2);
                break;
            case PLY_NORMAL:
                decoder.Floats(vertex.normal, 3);
                break;
            case PLY_SLOT_COUNT:
                break;
        }
    }
    return decoder.Finite();
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
// the mesh.
template <bool kBigEndian>
void ReadVertices(PlyInput& input, const PlyHeader& header, PlyMesh& mesh)
{
    const std::vector<PlySlot> order = PlyReadOrder(header);
    std::size_t recordBytes = 0;
    for (PlySlot slot : order)
        recordBytes += static_cast<std::size_t>(PlyGroupBytes(slot));
    PlyPlace place{"vertex", 0, header.vertexCount};
    for (; place.index < header.vertexCount; ++place.index) {
        const Record record = TakeRecord(input, recordBytes);
        PlyVertex& vertex = mesh.vertices.emplace_back();
        if (!DecodeVertex<kBigEndian>(order, record.bytes, record.size, vertex))
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
        const uint8_t* count = input.Take(1);
        if (count == nullptr) FailTruncated(place);
        PlyFace& face = mesh.faces.emplace_back();
        face.cornerCount = *count;
        face.firstCorner = mesh.corners.size();
        const Record record = TakeRecord(input, 4 * std::size_t{face.cornerCount});
        RecordDecoder<kBigEndian>(record.bytes, record.size)
            .Indices(face.cornerCount, header.vertexCount, place, mesh.corners);
        if (!record.whole) FailTruncated(place);
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
