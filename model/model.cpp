#include "model/model.h"

#include <algorithm>
#include <utility>

#include "model/ply_reader.h"

Model::Model(const std::string& name) : Model(name, ReadPly(name.c_str())) {}

// The readers fill the model's own arrays, face normals included: the model
// takes them over as they are.
Model::Model(const std::string& name, PlyMesh&& mesh)
    : fileName(name), faces(std::move(mesh.faces)), vertices(std::move(mesh.vertices))
{
    ComputeBounds();
}

void Model::ComputeBounds()
{
    center = Vector3(0.0f, 0.0f, 0.0f);
    halfExtent = 0.0f;
    if (vertices.count <= 0) return;
    float lo[3] = {};
    vertices.GetAttribute(lo, ATTRIB_POSITION, 0);
    float hi[3] = {lo[0], lo[1], lo[2]};
    for (int32_t i = 1; i < vertices.count; ++i) {
        float p[3] = {};
        vertices.GetAttribute(p, ATTRIB_POSITION, i);
        for (int axis = 0; axis < 3; ++axis) {
            if (p[axis] < lo[axis]) lo[axis] = p[axis];
            if (p[axis] > hi[axis]) hi[axis] = p[axis];
        }
    }
    center = Vector3(lo[0] + (hi[0] - lo[0]) * 0.5f, lo[1] + (hi[1] - lo[1]) * 0.5f,
                     lo[2] + (hi[2] - lo[2]) * 0.5f);
    halfExtent = std::max({hi[0] - center.x, hi[1] - center.y, hi[2] - center.z});
}
