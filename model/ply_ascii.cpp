#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/ply_body.h"
#include "model/ply_records.h"
#include "model/ply_tokens.h"

namespace {

// Numbers as "%f" and "%u" read them, but a number must be the whole
// whitespace-separated word, a NUL byte in it included, so text that is not a
// number is refused rather than left for the next read.
class AsciiSource {
public:
    explicit AsciiSource(PlyInput& input) : input(input) {}

    float Float(const PlyPlace& place)
    {
        const char* text = Word(place);
        char* stop = nullptr;
        const float value = std::strtof(text, &stop);
        if (!WholeWord(text, stop)) NotANumber(place);
        if (!std::isfinite(value)) FailValue(place, Quoted() + " is not a finite number");
        return value;
    }
    // Reduced modulo 256, as "%u" and a byte make of it: 300 is 44.
    uint8_t Byte(const PlyPlace& place)
    {
        const char* text = Word(place);
        char* stop = nullptr;
        const unsigned long value = std::strtoul(text, &stop, 10);
        if (!WholeWord(text, stop)) NotANumber(place);
        return static_cast<uint8_t>(static_cast<uint32_t>(value) % 256);
    }
    // A count beyond one byte cannot be stored; wrapped, it would read the
    // wrong numbers as corners.
    uint8_t Count(const PlyPlace& place)
    {
        const long long count = Integer(place);
        if (count < 0 || count > 255) FailValue(place, "corner count " + word + " is not 0 to 255");
        return static_cast<uint8_t>(count);
    }
    // Range-checked by the caller, so no value may wrap into the range.
    int64_t Index(const PlyPlace& place) { return Integer(place); }

private:
    static constexpr std::size_t kMaxWordLength = 511;

    const char* Word(const PlyPlace& place)
    {
        while (IsPlyBlank(input.Peek()))
            input.Get();
        if (!input.ReadWord(word, kMaxWordLength))
            FailValue(place, Quoted() + " is longer than the " + std::to_string(kMaxWordLength) +
                                 " characters a number may have");
        if (word.empty()) FailTruncated(place);
        return word.c_str();
    }
    bool WholeWord(const char* text, const char* stop) const
    {
        return stop != text && stop == text + word.size();
    }

    long long Integer(const PlyPlace& place)
    {
        long long value = 0;
        Word(place);
        if (!ParsePlyInteger(word, value)) NotANumber(place);
        return value;
    }

    std::string Quoted() const
    {
        constexpr std::size_t kShown = 40;
        return "'" + word.substr(0, kShown) + (word.size() > kShown ? "...'" : "'");
    }
    [[noreturn]] void NotANumber(const PlyPlace& place) const
    {
        FailValue(place, Quoted() + " is not a number");
    }

    PlyInput& input;
    std::string word;
};

void ReadFace(AsciiSource& source, int32_t vertexCount, const PlyPlace& place, PlyMesh& mesh)
{
    const int n = source.Count(place);
    for (int c = 0; c < n; ++c)
        mesh.faces.AddCorner(CheckedCornerIndex(source.Index(place), vertexCount, place));
    mesh.faces.EndFace(n);
}

// A colour channel is stored as its byte, a float as its four bytes.
void ReadVertexValue(AsciiSource& source, const PlyVertexValue& value, const PlyPlace& place,
                     uint8_t* vertex)
{
    if (value.isFloat)
        StoreVertexFloat(vertex, value, source.Float(place));
    else
        StoreVertexByte(vertex, value, source.Byte(place));
}

}  // namespace

void ReadPlyAscii(PlyInput& input, const PlyHeader& header, PlyMesh& mesh)
{
    StartPlyBody(header, input.BytesLeft(), mesh);
    AsciiSource source(input);
    const std::vector<PlyVertexValue> layout = PlyVertexLayout(header);
    PlyPlace place{"vertex", 0, header.vertexCount};
    for (; place.index < header.vertexCount; ++place.index) {
        if (StartsPrefaultBlock(place.index)) PrefaultVertexBlock(mesh);
        uint8_t* vertex = mesh.AddVertex();
        for (const PlyVertexValue& value : layout)
            ReadVertexValue(source, value, place, vertex);
    }
    place = {"face", 0, header.faceCount};
    for (; place.index < header.faceCount; ++place.index) {
        if (StartsPrefaultBlock(place.index)) PrefaultFaceBlock(mesh);
        ReadFace(source, header.vertexCount, place, mesh);
    }
}
