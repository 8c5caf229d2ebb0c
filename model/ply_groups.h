#pragma once

#include <cstddef>

#include "model/ply_reader.h"

// The property groups of the vertex element, in slot order. A group is a run
// of properties read as one unit and known by the name of its first property.
enum PlySlot { PLY_POSITION, PLY_CONFIDENCE, PLY_COLOR, PLY_TEXCOORD, PLY_NORMAL, PLY_SLOT_COUNT };

// How the body holds a group, whatever its header says: `valueCount` values,
// each a byte (an ASCII "%u" modulo 256, or one binary byte) times the colour
// byte scale when `bytes`, otherwise a float (an ASCII "%f", or 4 binary
// bytes). They go to the floats at byte `field` of a PlyVertex.
struct PlySlotLayout {
    int valueCount;
    bool bytes;
    std::size_t field;
};

inline constexpr PlySlotLayout kPlySlotLayouts[PLY_SLOT_COUNT] = {
    {3, false, offsetof(PlyVertex, position)}, {1, false, offsetof(PlyVertex, confidence)},
    {3, true, offsetof(PlyVertex, color)},     {2, false, offsetof(PlyVertex, texCoord)},
    {3, false, offsetof(PlyVertex, normal)},
};

// The names a group's properties must have, in order: the first names the
// group, the slot's layout says how many follow. Colour has two spellings.
struct PlyGroupNames {
    PlySlot slot;
    const char* names[3];
};

inline constexpr PlyGroupNames kPlyGroupNames[] = {
    {PLY_POSITION, {"x", "y", "z"}},
    {PLY_CONFIDENCE, {"confidence"}},
    {PLY_COLOR, {"red", "green", "blue"}},
    {PLY_COLOR, {"r", "g", "b"}},
    {PLY_TEXCOORD, {"u", "v"}},
    {PLY_NORMAL, {"nx", "ny", "nz"}},
};
