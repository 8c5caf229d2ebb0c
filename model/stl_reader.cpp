#include "model/stl_reader.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/fatal_error.h"
#include "model/mesh_builder.h"
#include "model/mesh_memory.h"

namespace {

constexpr std::size_t kHeaderBytes = 84;
constexpr std::size_t kFacetBytes = 50;

[[noreturn]] void StlFail(const std::string& detail)
{
    MeshFail("(ReadStl)", detail);
}

[[noreturn]] void FailFacet(int64_t facet, const std::string& problem)
{
    StlFail("facet " + std::to_string(facet) + ": " + problem);
}

void AddVertex(PlyMesh& mesh, const float p[3], int64_t facet)
{
    for (int a = 0; a < 3; ++a)
        if (!std::isfinite(p[a])) FailFacet(facet, "vertex position is not a finite number");
    std::memcpy(mesh.AddVertex() + MeshLayout::kPosition, p, 3 * sizeof(float));
}

uint32_t LittleEndian32(const uint8_t* b)
{
    return uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
}

void AddFacet(PlyMesh& mesh, int32_t first, MeshSummary& summary)
{
    const int32_t corners[3] = {first, first + 1, first + 2};
    AddPolygon(mesh, corners, 3, summary);
}

void ReadBinary(PlyInput& input, MeshSummary& summary, PlyMesh& mesh)
{
    summary.format = "STL binary";
    const uint8_t* header = input.Take(kHeaderBytes);
    if (header == nullptr) StlFail("binary file shorter than its 84-byte header");
    const uint32_t count = LittleEndian32(header + 80);
    if (count > INT32_MAX / 3) StlFail("facet count " + std::to_string(count) + " is too large");
    const int64_t left = input.BytesLeft();
    if (left >= 0 && static_cast<int64_t>(count) * 50 != left)
        StlFail("binary file of " + std::to_string(count) + " facets needs " +
                std::to_string(kHeaderBytes + kFacetBytes * count) + " bytes, not " +
                std::to_string(kHeaderBytes + left));
    const std::string shortfall = MeshMemoryShortfall(3 * int64_t{count}, count);
    if (!shortfall.empty()) StlFail(shortfall);
    if (left >= 0) mesh.vertices.data.reserve(3 * std::size_t{count} * MeshLayout::kStride);
    for (uint32_t f = 0; f < count; ++f) {
        const uint8_t* facet = input.Take(kFacetBytes);
        if (facet == nullptr) FailFacet(f, "the file ends inside this facet");
        for (int corner = 1; corner <= 3; ++corner) {
            float p[3];
            for (int a = 0; a < 3; ++a) {
                const uint32_t bits = LittleEndian32(facet + 12 * corner + 4 * a);
                std::memcpy(&p[a], &bits, sizeof bits);
            }
            AddVertex(mesh, p, f);
        }
        AddFacet(mesh, static_cast<int32_t>(3 * f), summary);
    }
    NoteOnce(summary.skipped, "facet normals");
}

// The words of an ASCII file.
class StlWords {
public:
    explicit StlWords(PlyInput& input) : input(input) {}

    // The next word, or "" at the end of the file.
    const std::string& Next()
    {
        while (IsPlyBlank(input.Peek()))
            input.Get();
        if (!input.ReadWord(word, kMaxWord)) StlFail("a word longer than 511 characters");
        return word;
    }
    // A solid's name runs to the end of its line.
    void SkipLine()
    {
        for (int c = input.Peek(); c != PlyInput::kEnd && c != '\n' && c != '\r'; c = input.Peek())
            input.Get();
    }
    void Expect(const char* expected, int64_t facet)
    {
        if (Next().empty()) FailFacet(facet, "the file ends inside this facet");
        if (word != expected)
            FailFacet(facet, "'" + word.substr(0, 40) + "' where '" + expected + "' belongs");
    }
    float Number(int64_t facet)
    {
        const char* text = Next().c_str();
        if (word.empty()) FailFacet(facet, "the file ends inside this facet");
        char* stop = nullptr;
        const float value = std::strtof(text, &stop);
        if (stop == text || stop != text + word.size())  // a NUL byte stops strtof early
            FailFacet(facet, "'" + word.substr(0, 40) + "' is not a number");
        return value;
    }

private:
    static constexpr std::size_t kMaxWord = 511;
    PlyInput& input;
    std::string word;
};

// "facet normal n n n outer loop (vertex x y z)... endloop endfacet"
void ReadAsciiFacet(StlWords& words, PlyMesh& mesh, MeshSummary& summary)
{
    const auto facet = static_cast<int64_t>(summary.fileFaces);
    words.Expect("normal", facet);
    for (int a = 0; a < 3; ++a)
        words.Number(facet);
    words.Expect("outer", facet);
    words.Expect("loop", facet);
    const auto first = static_cast<int32_t>(mesh.VertexCount());
    for (int corner = 0; corner < 3; ++corner) {
        words.Expect("vertex", facet);
        float p[3];
        for (float& value : p)
            value = words.Number(facet);
        AddVertex(mesh, p, facet);
    }
    words.Expect("endloop", facet);
    words.Expect("endfacet", facet);
    if (mesh.VertexCount() > INT32_MAX / 2) StlFail("too many facets");
    AddFacet(mesh, first, summary);
}

void ReadAscii(PlyInput& input, MeshSummary& summary, PlyMesh& mesh)
{
    summary.format = "STL ASCII";
    StlWords words(input);
    for (std::string word = words.Next(); !word.empty(); word = words.Next()) {
        if (word == "solid" || word == "endsolid")
            words.SkipLine();
        else if (word == "facet")
            ReadAsciiFacet(words, mesh, summary);
        else
            StlFail("'" + word.substr(0, 40) + "' where 'facet' or 'endsolid' belongs");
    }
    NoteOnce(summary.skipped, "facet normals");
}

bool StartsWith(const uint8_t* bytes, std::size_t size, const char* prefix)
{
    const std::size_t n = std::strlen(prefix);
    return size >= n && std::memcmp(bytes, prefix, n) == 0;
}

// A stream of unknown size: ASCII when the line after "solid ..." starts
// with a word of an ASCII file.
bool LooksAscii(PlyInput& input)
{
    input.Peek();
    const uint8_t* bytes = input.Position();
    const std::size_t size = input.Buffered();
    std::size_t i = 0;
    while (i < size && bytes[i] != '\n' && bytes[i] != '\r')
        ++i;
    while (i < size && IsPlyBlank(bytes[i]))
        ++i;
    return StartsWith(bytes + i, size - i, "facet") || StartsWith(bytes + i, size - i, "endsolid");
}

bool IsAscii(PlyInput& input)
{
    input.Peek();
    if (!StartsWith(input.Position(), input.Buffered(), "solid")) return false;
    const int64_t size = input.BytesLeft();
    if (size < 0) return LooksAscii(input);
    if (size < static_cast<int64_t>(kHeaderBytes) || input.Buffered() < kHeaderBytes) return true;
    const uint32_t count = LittleEndian32(input.Position() + 80);
    return size != static_cast<int64_t>(kHeaderBytes + kFacetBytes * uint64_t{count});
}

}  // namespace

PlyMesh ReadStl(PlyInput& input, MeshSummary& summary)
{
    PlyMesh mesh;
    if (IsAscii(input))
        ReadAscii(input, summary, mesh);
    else
        ReadBinary(input, summary, mesh);
    if (mesh.VertexCount() == 0) StlFail("no facets");
    NoteOnce(summary.kept, "positions");
    return mesh;
}
