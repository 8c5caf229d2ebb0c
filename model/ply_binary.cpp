#include <cmath>
#include <cstring>

#include "model/ply_body.h"
#include "model/ply_error.h"
#include "model/ply_records.h"

namespace {

// 4-byte values in the file's byte order; single bytes as they are.
class BinarySource {
public:
    BinarySource(PlyInput& input, bool bigEndian) : input(input), bigEndian(bigEndian) {}

    float Float(const PlyPlace& place)
    {
        const uint32_t bits = Word(place);
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) FailValue(place, "value is not a finite number");
        return value;
    }
    uint8_t Byte(const PlyPlace& place)
    {
        const int c = input.Get();
        if (c == PlyInput::kEnd) FailTruncated(place);
        return static_cast<uint8_t>(c);
    }
    uint8_t Count(const PlyPlace& place) { return Byte(place); }
    int64_t Index(const PlyPlace& place) { return static_cast<int32_t>(Word(place)); }

private:
    uint32_t Word(const PlyPlace& place)
    {
        uint8_t b[4];
        if (!input.Read(b, sizeof b)) FailTruncated(place);
        if (bigEndian)
            return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
        return uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
    }

    PlyInput& input;
    bool bigEndian;
};

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
    BinarySource source(input, header.encoding == PlyEncoding::BinaryBigEndian);
    ReadPlyRecords(source, header, input.BytesLeft(), mesh);
}
