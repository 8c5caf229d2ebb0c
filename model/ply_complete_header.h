#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/ply_header.h"
#include "model/ply_input.h"

// The scalar types of PLY, each under both of its names.
enum class PlyType : uint8_t { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float32, Float64 };

int PlyTypeBytes(PlyType type);
bool IsPlyIntegerType(PlyType type);
const char* PlyTypeName(PlyType type);  // the short name: "uchar", "float", ...

struct PlyProperty {
    std::string name;
    PlyType type = PlyType::Float32;  // a list's item type
    bool list = false;
    PlyType countType = PlyType::UInt8;
};

struct PlyElement {
    std::string name;
    int32_t count = 0;
    std::vector<PlyProperty> properties;
};

// A whole PLY header: every element with every property, in file order.
struct PlyLayout {
    PlyEncoding encoding = PlyEncoding::Ascii;
    std::vector<PlyElement> elements;
    bool loneCrLines = false;  // header lines end in a lone "\r"
};

// Reads the header up to and including the "end_header" line's last token.
// Comments and obj_info lines may stand anywhere, and lines of unknown words
// before the first element are passed over as the comments some writers
// forgot to mark; everything else that is not PLY ends in FatalError.
PlyLayout ParseCompletePlyHeader(PlyInput& input);
