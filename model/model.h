#pragma once

#include <string>

#include "math/vector4.h"
#include "model/face_list.h"
#include "model/vertex_array.h"

struct PlyMesh;

// The mesh as the renderer draws it: interleaved vertices with all four
// attributes, the faces with their normals, and the bounding box.
class Model {
public:
    std::string fileName;
    FaceList faces;
    VertexArray vertices;
    Vector3 center{0.0f, 0.0f, 0.0f};  // centre of the positions' bounding box
    float halfExtent = 0.0f;           // largest half-extent of that box

    // Loads a PLY file; a file that cannot be loaded ends the process (FatalError).
    explicit Model(const std::string& fileName);
    // From a mesh read and finished (normals, orientation) by any reader.
    Model(const std::string& fileName, PlyMesh&& mesh);

    // From the positions in `vertices`; a model without vertices gets centre
    // (0, 0, 0) and half-extent 0.
    void ComputeBounds();
};
