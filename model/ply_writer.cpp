#include "model/ply_writer.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

void PutFloat(std::vector<uint8_t>& bytes, float value)
{
    uint8_t b[4];
    std::memcpy(b, &value, sizeof b);  // the host is little-endian, as the file
    bytes.insert(bytes.end(), b, b + 4);
}

std::string Header(const Model& model)
{
    return "ply\nformat binary_little_endian 1.0\ncomment written by zbuffer-import\n"
           "element vertex " +
           std::to_string(model.vertices.count) +
           "\nproperty float x\nproperty float y\nproperty float z\n"
           "property float nx\nproperty float ny\nproperty float nz\n"
           "property float u\nproperty float v\n"
           "property uchar red\nproperty uchar green\nproperty uchar blue\n"
           "element face " +
           std::to_string(model.faces.count) +
           "\nproperty list uchar int vertex_indices\nend_header\n";
}

void PutVertex(std::vector<uint8_t>& bytes, const VertexArray& vertices, int32_t i, bool turned)
{
    float position[3], normal[3], texCoord[2];
    uint32_t color = 0;
    vertices.GetAttribute(position, ATTRIB_POSITION, i);
    vertices.GetAttribute(normal, ATTRIB_NORMAL, i);
    vertices.GetAttribute(texCoord, ATTRIB_TEXCOORD, i);
    vertices.GetAttribute(&color, ATTRIB_COLOR, i);
    for (const float v : position)
        PutFloat(bytes, v);
    for (const float v : normal)
        PutFloat(bytes, turned ? -v : v);
    for (const float v : texCoord)
        PutFloat(bytes, v);
    for (const int shift : {16, 8, 0})
        bytes.push_back(static_cast<uint8_t>(color >> shift));
}

void PutFace(std::vector<uint8_t>& bytes, const Face& face, bool turned)
{
    const int32_t n = face.cornerCount;
    bytes.push_back(static_cast<uint8_t>(n));
    for (int32_t c = 0; c < n; ++c) {
        const int32_t index = face.indices[turned ? n - 1 - c : c];
        uint8_t b[4];
        std::memcpy(b, &index, sizeof b);
        bytes.insert(bytes.end(), b, b + 4);
    }
}

// Written a block at a time, so that a million faces take a few writes.
bool Flush(std::vector<uint8_t>& bytes, std::FILE* out)
{
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    bytes.clear();
    return written;
}

constexpr std::size_t kBlock = 1 << 20;

}  // namespace

bool WriteModelPly(const Model& model, bool turned, std::FILE* out)
{
    const std::string header = Header(model);
    std::vector<uint8_t> bytes(header.begin(), header.end());
    for (int32_t i = 0; i < model.vertices.count; ++i) {
        PutVertex(bytes, model.vertices, i, turned);
        if (bytes.size() >= kBlock && !Flush(bytes, out)) return false;
    }
    for (const Face& face : model.faces.records) {
        PutFace(bytes, face, turned);
        if (bytes.size() >= kBlock && !Flush(bytes, out)) return false;
    }
    return Flush(bytes, out);
}

bool SameModel(const Model& a, const Model& b)
{
    if (a.vertices.data != b.vertices.data || a.faces.count != b.faces.count ||
        std::memcmp(&a.halfExtent, &b.halfExtent, sizeof a.halfExtent) != 0)
        return false;
    const float ca[3] = {a.center.x, a.center.y, a.center.z};
    const float cb[3] = {b.center.x, b.center.y, b.center.z};
    if (std::memcmp(ca, cb, sizeof ca) != 0) return false;
    for (int32_t f = 0; f < a.faces.count; ++f) {
        const Face& fa = a.faces.records[f];
        const Face& fb = b.faces.records[f];
        const float na[3] = {fa.normal.x, fa.normal.y, fa.normal.z};
        const float nb[3] = {fb.normal.x, fb.normal.y, fb.normal.z};
        if (fa.cornerCount != fb.cornerCount || !(fa.indices == fb.indices) ||
            std::memcmp(na, nb, sizeof na) != 0)
            return false;
    }
    return true;
}
