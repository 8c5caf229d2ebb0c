#pragma once

#include <cstdint>

#include "model/ply_groups.h"
#include "model/ply_input.h"

enum class PlyEncoding { BinaryBigEndian, BinaryLittleEndian, Ascii };

struct PlyHeader {
    PlyEncoding encoding = PlyEncoding::Ascii;
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    int32_t groupCount = 0;
    // Per slot: position among the vertex element's groups, or -1 when absent.
    int32_t groupPosition[PLY_SLOT_COUNT] = {-1, -1, -1, -1, -1};
    // Per slot: the type word of the group's first property is one the reader
    // knows. Only the normal slot's mark matters: unmarked normals are recomputed.
    bool groupPresent[PLY_SLOT_COUNT] = {};
    // The first line ends in a lone "\r": then so does the "end_header" line.
    bool loneCrLines = false;
};

// Scans the header up to and including the "end_header" token. Every header
// the body readers would misread ends in FatalError.
PlyHeader ParsePlyHeader(PlyInput& input);
