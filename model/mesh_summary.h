#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What an import took from a file and what it left, for the user to see.
struct MeshSummary {
    std::string format;             // e.g. "PLY binary little-endian", "OBJ", "STL ASCII"
    std::vector<std::string> kept;  // vertex attributes read: "normals", "colours", ...
    std::vector<std::string>
        skipped;                // what the model cannot carry, e.g. "vertex property 'alpha'"
    int64_t fileFaces = 0;      // polygons, strips' triangles or facets read
    int64_t splitFaces = 0;     // faces of more than 255 corners, each split into a fan
    int64_t droppedFaces = 0;   // faces with no area left out, e.g. a strip's stitches
    int64_t droppedPoints = 0;  // points of a cloud without finite coordinates
    bool pointCloud = false;    // no faces: a face (i, i, i) per vertex i
};

// Adds `what` to `list` unless it is there already.
void NoteOnce(std::vector<std::string>& list, const std::string& what);
