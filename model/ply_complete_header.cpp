#include "model/ply_complete_header.h"

#include <cstdint>

#include "model/fatal_error.h"
#include "model/ply_tokens.h"

namespace {

struct TypeName {
    const char* name;
    PlyType type;
};

// The first name of each type is the one shown in messages.
constexpr TypeName kTypeNames[] = {
    {"char", PlyType::Int8},       {"uchar", PlyType::UInt8},    {"short", PlyType::Int16},
    {"ushort", PlyType::UInt16},   {"int", PlyType::Int32},      {"uint", PlyType::UInt32},
    {"float", PlyType::Float32},   {"double", PlyType::Float64}, {"int8", PlyType::Int8},
    {"uint8", PlyType::UInt8},     {"int16", PlyType::Int16},    {"uint16", PlyType::UInt16},
    {"int32", PlyType::Int32},     {"uint32", PlyType::UInt32},  {"float32", PlyType::Float32},
    {"float64", PlyType::Float64},
};

PlyType ParseType(const std::string& word, const char* what)
{
    for (const TypeName& known : kTypeNames)
        if (word == known.name) return known.type;
    PlyFail(std::string("unknown ") + what + " type '" + word + "'");
}

// The header as lines: each keyword starts a line, and its words end where
// the next line starts. The tokenizer ends every header that ends early.
class HeaderLines {
public:
    explicit HeaderLines(PlyInput& input) : tokens(input) {}

    // The first word of the next line.
    const std::string& Keyword()
    {
        if (!pending) tokens.Next();
        pending = false;
        return tokens.Current();
    }
    // The next word of the current line.
    const std::string& Word(const char* what)
    {
        if (tokens.Next(), tokens.AtLineStart())
            PlyFail(std::string("header line ends before its ") + what);
        return tokens.Current();
    }
    // Passes over the rest of the line.
    void SkipLine()
    {
        while (tokens.Next(), !tokens.AtLineStart()) {
        }
        pending = true;
    }
    // A line with words left over was not understood.
    void EndLine(const std::string& line)
    {
        if (tokens.Next(), !tokens.AtLineStart())
            PlyFail("unexpected '" + tokens.Current() + "' after '" + line + "'");
        pending = true;
    }
    bool LoneCrLines() const { return tokens.LoneCrLines(); }

private:
    PlyTokenizer tokens;
    bool pending = false;  // the current token is the next line's keyword
};

void ReadFormat(HeaderLines& lines, PlyLayout& layout)
{
    if (lines.Keyword() != "ply") PlyFail("not a PLY file: the first line is not 'ply'");
    lines.EndLine("ply");
    if (lines.Keyword() != "format") PlyFail("no format line after 'ply'");
    const std::string& encoding = lines.Word("encoding");
    if (encoding == "ascii")
        layout.encoding = PlyEncoding::Ascii;
    else if (encoding == "binary_little_endian")
        layout.encoding = PlyEncoding::BinaryLittleEndian;
    else if (encoding == "binary_big_endian")
        layout.encoding = PlyEncoding::BinaryBigEndian;
    else
        PlyFail("unknown format '" + encoding + "'");
    lines.Word("version");  // only 1.0 exists; others are read alike
    lines.EndLine("format");
}

void ReadElement(HeaderLines& lines, PlyLayout& layout)
{
    PlyElement& element = layout.elements.emplace_back();
    element.name = lines.Word("element name");
    const std::string& count = lines.Word("element count");
    long long value = 0;
    if (!ParsePlyInteger(count, value) || value < 0 || value > INT32_MAX)
        PlyFail("element '" + element.name + "' count '" + count +
                "' is not a whole number from 0 to 2147483647");
    element.count = static_cast<int32_t>(value);
    lines.EndLine("element " + element.name);
}

void ReadProperty(HeaderLines& lines, PlyLayout& layout)
{
    if (layout.elements.empty()) PlyFail("property line before the first element");
    PlyProperty property;
    std::string type = lines.Word("property type");
    if (type == "list") {
        property.list = true;
        property.countType = ParseType(lines.Word("list count type"), "list count");
        if (!IsPlyIntegerType(property.countType))
            PlyFail(std::string("list count type '") + PlyTypeName(property.countType) +
                    "' is not an integer type");
        type = lines.Word("list item type");
    }
    property.type = ParseType(type, "property");
    property.name = lines.Word("property name");
    lines.EndLine("property " + property.name);
    layout.elements.back().properties.push_back(property);
}

}  // namespace

int PlyTypeBytes(PlyType type)
{
    constexpr int kBytes[] = {1, 1, 2, 2, 4, 4, 4, 8};
    return kBytes[static_cast<int>(type)];
}

bool IsPlyIntegerType(PlyType type)
{
    return type != PlyType::Float32 && type != PlyType::Float64;
}

const char* PlyTypeName(PlyType type)
{
    return kTypeNames[static_cast<int>(type)].name;
}

PlyLayout ParseCompletePlyHeader(PlyInput& input)
{
    HeaderLines lines(input);
    PlyLayout layout;
    ReadFormat(lines, layout);
    for (;;) {
        const std::string& keyword = lines.Keyword();
        if (keyword == "end_header") break;
        if (keyword == "element")
            ReadElement(lines, layout);
        else if (keyword == "property")
            ReadProperty(lines, layout);
        else if (keyword == "comment" || keyword == "obj_info" || layout.elements.empty())
            lines.SkipLine();
        else
            PlyFail("unknown header line '" + keyword + "'");
    }
    layout.loneCrLines = lines.LoneCrLines();
    return layout;
}
