#pragma once

#include <cstddef>

#include "model/ply_reader.h"

// The property groups of the vertex element, in slot order. A group is a run
// of properties read as one unit and known by the name of its first property.
enum PlySlot { PLY_POSITION, PLY_CONFIDENCE, PLY_COLOR, PLY_TEXCOORD, PLY_NORMAL, PLY_SLOT_COUNT };

// Where a vertex value goes that the model does not carry (confidence).
constexpr std::size_t kPlyNoField = MeshLayout::kStride;

// How the body holds a group, whatever its header says: `valueCount` values,
// each a byte (an ASCII "%u" modulo 256, or one binary byte) when `bytes`,
// otherwise a float (an ASCII "%f", or 4 binary bytes). Value v goes to byte
// fields[v] of the vertex's bytes in the model's layout: a float whole, a
// byte as one channel of the packed colour (a channel's byte times the
// colour byte scale packs to that byte again).
struct PlySlotLayout {
    int valueCount;
    bool bytes;
    std::size_t fields[3];
};

inline constexpr PlySlotLayout kPlySlotLayouts[PLY_SLOT_COUNT] = {
    {3, false, {MeshLayout::kPosition, MeshLayout::kPosition + 4, MeshLayout::kPosition + 8}},
    {1, false, {kPlyNoField}},
    {3, true, {MeshLayout::kColor + 2, MeshLayout::kColor + 1, MeshLayout::kColor}},
    {2, false, {MeshLayout::kTexCoord, MeshLayout::kTexCoord + 4}},
    {3, false, {MeshLayout::kNormal, MeshLayout::kNormal + 4, MeshLayout::kNormal + 8}},
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
