#pragma once

#include <string>
#include <vector>

#include "lighting/color.h"
#include "model/ply_body.h"
#include "model/ply_header.h"
#include "model/ply_reader.h"

// The record being read, for error messages.
struct PlyPlace {
    const char* element;  // "vertex" or "face"
    int32_t index;
    int32_t count;
};

[[noreturn]] void FailTruncated(const PlyPlace& place);
[[noreturn]] void FailValue(const PlyPlace& place, const std::string& problem);

// The slots present in the file, in the order their groups are read.
std::vector<PlySlot> PlyReadOrder(const PlyHeader& header);

// The record layout shared by both encodings. A Source supplies the numbers:
// Float(place), Byte(place) for a colour channel, Count(place) for a corner
// count and Index(place); it fails through FailTruncated or FailValue.
template <class Source>
void ReadPlyGroup(Source& source, PlySlot slot, PlyVertex& vertex, const PlyPlace& place)
{
    switch (slot) {
        case PLY_POSITION:
            for (float& value : vertex.position)
                value = source.Float(place);
            break;
        case PLY_CONFIDENCE:
            vertex.confidence = source.Float(place);
            break;
        case PLY_COLOR:
            for (float& value : vertex.color)
                value = static_cast<float>(source.Byte(place)) * Color::kByteScale;
            break;
        case PLY_TEXCOORD:
            for (float& value : vertex.texCoord)
                value = source.Float(place);
            break;
        case PLY_NORMAL:
            for (float& value : vertex.normal)
                value = source.Float(place);
            break;
        case PLY_SLOT_COUNT:
            break;
    }
}

template <class Source>
void ReadPlyFace(Source& source, int32_t vertexCount, const PlyPlace& place, PlyMesh& mesh)
{
    PlyFace face;
    face.cornerCount = source.Count(place);
    face.firstCorner = mesh.corners.size();
    for (int c = 0; c < face.cornerCount; ++c) {
        const int64_t index = source.Index(place);
        if (index < 0 || index >= vertexCount)
            FailValue(place, "vertex index " + std::to_string(index) + " out of range 0.." +
                                 std::to_string(vertexCount - 1));
        mesh.corners.push_back(static_cast<int32_t>(index));
    }
    mesh.faces.push_back(face);
}

// bytesLeft: the bytes after the header, or -1 when the file's size is unknown.
template <class Source>
void ReadPlyRecords(Source& source, const PlyHeader& header, int64_t bytesLeft, PlyMesh& mesh)
{
    CheckPlyBodySize(header, bytesLeft);
    if (bytesLeft >= 0) {  // the counts are known to fit the file
        mesh.vertices.reserve(static_cast<std::size_t>(header.vertexCount));
        mesh.faces.reserve(static_cast<std::size_t>(header.faceCount));
        mesh.corners.reserve(3 * static_cast<std::size_t>(header.faceCount));
    }
    const std::vector<PlySlot> order = PlyReadOrder(header);
    PlyPlace place{"vertex", 0, header.vertexCount};
    for (; place.index < header.vertexCount; ++place.index) {
        PlyVertex vertex;
        for (PlySlot slot : order)
            ReadPlyGroup(source, slot, vertex, place);
        mesh.vertices.push_back(vertex);
    }
    place = {"face", 0, header.faceCount};
    for (; place.index < header.faceCount; ++place.index)
        ReadPlyFace(source, header.vertexCount, place, mesh);
}
