#include "model/ply_header.h"

#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>

#include "model/fatal_error.h"
#include "model/ply_tokens.h"

namespace {

[[noreturn]] void InvalidHeader()
{
    PlyFail("invalid PLY header");
}

bool IsOneOf(const std::string& word, std::initializer_list<const char*> words)
{
    for (const char* w : words)
        if (word == w) return true;
    return false;
}

const PlyGroupNames* FindGroup(const std::string& name)
{
    for (const PlyGroupNames& group : kPlyGroupNames)
        if (name == group.names[0]) return &group;
    return nullptr;
}

// The header is valid PLY, but the body would be misread without the
// property's values: say which property, and which the reader knows.
[[noreturn]] void UnknownProperty(const std::string& name)
{
    std::string known;
    for (std::size_t g = 0; g < std::size(kPlyGroupNames); ++g) {
        const bool sameSlot = g > 0 && kPlyGroupNames[g].slot == kPlyGroupNames[g - 1].slot;
        known += (g == 0 ? "" : sameSlot ? " or " : ", ") + std::string(kPlyGroupNames[g].names[0]);
    }
    PlyFail("invalid PLY header: vertex property '" + name + "' is not one this reader reads (" +
            known + ")");
}

bool IsBinary(const PlyHeader& header)
{
    return header.encoding != PlyEncoding::Ascii;
}

// A binary body is read as 4-byte floats and single colour bytes; any other
// stored type would shift or garble every value after it.
void CheckBinaryType(const PlyHeader& header, PlySlot slot, const std::string& type,
                     const char* name)
{
    if (!IsBinary(header)) return;
    const bool bytes = kPlySlotLayouts[slot].bytes;
    if (bytes && !IsOneOf(type, {"uchar", "uint8"}))
        PlyFail(std::string("binary vertex property '") + name + "' is " + type +
                ", not an unsigned byte");
    if (!bytes && !IsOneOf(type, {"float", "float32"}))
        PlyFail(std::string("binary vertex property '") + name + "' is " + type +
                ", not a 4-byte float");
}

void ReadFormat(PlyTokenizer& tokens, PlyHeader& header)
{
    if (tokens.Next() != "ply" || tokens.Next() != "format") InvalidHeader();
    const std::string& encoding = tokens.Next();
    if (encoding == "binary_big_endian")
        header.encoding = PlyEncoding::BinaryBigEndian;
    else if (encoding == "binary_little_endian")
        header.encoding = PlyEncoding::BinaryLittleEndian;
    else if (encoding == "ascii")
        header.encoding = PlyEncoding::Ascii;
    else
        InvalidHeader();
}

// `misread`, when not empty, says why the token may not be the count at all.
int32_t ReadCount(PlyTokenizer& tokens, const char* element, const std::string& misread = "")
{
    const std::string& token = tokens.Next();
    long long count = 0;
    if (!ParsePlyInteger(token, count))
        PlyFail(std::string(element) + " count '" + token + "' is not a number" + misread);
    if (count < 0) PlyFail(std::string("negative ") + element + " count " + token);
    if (count > INT32_MAX)
        PlyFail(std::string(element) + " count " + token + " is too large (the largest is " +
                std::to_string(INT32_MAX) + ")");
    return static_cast<int32_t>(count);
}

// Any token "vertex" ends the skip, as in a comment; an element line naming
// another element first is refused, since its data would be read as vertices.
// Returns, when the "vertex" found is not an element line's, a note for a
// count that then fails.
std::string SkipToVertexElement(PlyTokenizer& tokens)
{
    std::string lineKeyword = "format";
    while (tokens.Next() != "vertex") {
        if (!tokens.AtLineStart()) continue;
        lineKeyword = tokens.Current();
        if (tokens.Current() == "end_header") PlyFail("no vertex element");
        if (tokens.Current() != "element") continue;
        if (tokens.Next() == "vertex") return "";
        PlyFail("element '" + tokens.Current() + "' before the vertex element");
    }
    const std::string where =
        tokens.AtLineStart() ? "at the start of a line" : "on a '" + lineKeyword + "' line";
    return ": the word 'vertex' " + where + " is taken as the vertex element";
}

void SkipToFirstProperty(PlyTokenizer& tokens)
{
    while (tokens.Next() != "property")
        if (tokens.AtLineStart() && IsOneOf(tokens.Current(), {"element", "end_header"}))
            PlyFail("vertex element without properties");
}

void ReadGroupMembers(PlyTokenizer& tokens, const PlyHeader& header, const PlyGroupNames& group)
{
    for (int m = 1; m < kPlySlotLayouts[group.slot].valueCount; ++m) {
        if (tokens.Next() != "property" || tokens.Next() == "list")
            PlyFail(std::string("vertex property group '") + group.names[0] + "' without '" +
                    group.names[m] + "'");
        const std::string type = tokens.Current();
        if (tokens.Next() != group.names[m])
            PlyFail("vertex property '" + tokens.Current() + "' where '" + group.names[m] +
                    "' belongs");
        CheckBinaryType(header, group.slot, type, group.names[m]);
    }
}

// The current token is "property". Leaves the token after the group current.
void ReadGroup(PlyTokenizer& tokens, PlyHeader& header)
{
    const std::string type = tokens.Next();
    const PlyGroupNames* group = FindGroup(tokens.Next());
    if (group == nullptr) UnknownProperty(tokens.Current());
    // The body is read with one record per slot: a second group of a slot
    // would shift every value after it.
    if (header.groupPosition[group->slot] >= 0)
        PlyFail(std::string("vertex property group '") + group->names[0] + "' declared twice");
    header.groupPosition[group->slot] = header.groupCount++;
    header.groupPresent[group->slot] =
        IsOneOf(type, {"uchar", "uint8", "uint16", "int", "int32", "float", "float64"});
    CheckBinaryType(header, group->slot, type, group->names[0]);
    ReadGroupMembers(tokens, header, *group);
    tokens.Next();
}

// Lines between the groups and the next element are passed over, but a
// property among them would be left out of the vertex layout.
void SkipToFaceElement(PlyTokenizer& tokens)
{
    for (; tokens.Current() != "element"; tokens.Next()) {
        if (!tokens.AtLineStart()) continue;
        if (tokens.Current() == "property")
            PlyFail("vertex properties interrupted by another line");
        if (tokens.Current() == "end_header") PlyFail("no face element");
    }
    if (tokens.Next() != "face")
        PlyFail("element '" + tokens.Current() + "' between the vertex and the face element");
}

// Faces are read as a 1-byte corner count and 4-byte indices.
void ReadFaceList(PlyTokenizer& tokens, const PlyHeader& header)
{
    if (tokens.Next() != "list") PlyFail("face property '" + tokens.Current() + "' is not a list");
    const std::string countType = tokens.Next();
    const std::string& indexType = tokens.Next();
    if (!IsBinary(header)) return;
    if (!IsOneOf(countType, {"uchar", "uint8", "char", "int8"}))
        PlyFail("binary face list count is " + countType + ", not one byte");
    if (!IsOneOf(indexType, {"int", "int32", "uint", "uint32"}))
        PlyFail("binary face list index is " + indexType + ", not a 4-byte integer");
}

// Later elements are never read, so only the face element's own properties matter.
void ReadFaceProperties(PlyTokenizer& tokens, const PlyHeader& header)
{
    int lists = 0;
    bool inFaceElement = true;
    while (tokens.Next() != "end_header") {
        if (!tokens.AtLineStart()) continue;
        if (tokens.Current() == "element") inFaceElement = false;
        if (!inFaceElement || tokens.Current() != "property") continue;
        if (++lists > 1) PlyFail("face element with properties besides its index list");
        ReadFaceList(tokens, header);
    }
    if (lists == 0 && header.faceCount > 0) PlyFail("face element without an index list");
}

}  // namespace

PlyHeader ParsePlyHeader(PlyInput& input)
{
    PlyTokenizer tokens(input);
    PlyHeader header;
    ReadFormat(tokens, header);
    const std::string misread = SkipToVertexElement(tokens);
    header.vertexCount = ReadCount(tokens, "vertex", misread);
    SkipToFirstProperty(tokens);
    do
        ReadGroup(tokens, header);
    while (tokens.Current() == "property");
    if (header.groupPosition[PLY_POSITION] < 0) PlyFail("vertex element without x, y, z");
    SkipToFaceElement(tokens);
    header.faceCount = ReadCount(tokens, "face");
    ReadFaceProperties(tokens, header);
    if (header.vertexCount == 0) PlyFail("no vertices");
    header.loneCrLines = tokens.LoneCrLines();
    return header;
}
