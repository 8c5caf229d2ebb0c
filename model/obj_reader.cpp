#include "model/obj_reader.h"

#include <tiny_obj_loader.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <istream>
#include <numeric>
#include <streambuf>
#include <unordered_map>

#include "lighting/color.h"
#include "model/fatal_error.h"
#include "model/mesh_builder.h"
#include "model/obj_text_check.h"

namespace {

[[noreturn]] void ObjFail(const std::string& detail)
{
    MeshFail("(ReadObj)", detail);
}

// The reader's buffered bytes as a stream, so that tinyobjloader reads what
// the import opened, pipes included; each chunk is checked before it is
// handed on. A stream cannot pass a failure on (the library would take it for
// the end of the file), so the stream ends there and keeps the failure, which
// Rethrow raises once the library has returned.
class InputStreamBuffer : public std::streambuf {
public:
    explicit InputStreamBuffer(PlyInput& input) : input(input) {}

    void Rethrow() const
    {
        if (failure) std::rethrow_exception(failure);
    }

private:
    int_type underflow() override
    {
        try {
            if (failure || input.Peek() == PlyInput::kEnd) return traits_type::eof();
            const std::size_t n = input.Buffered();
            auto* bytes = reinterpret_cast<char*>(const_cast<uint8_t*>(input.Take(n)));
            if (!check.Scan(bytes, n)) ObjFail(check.Problem());
            setg(bytes, bytes, bytes + n);
            return traits_type::to_int_type(*gptr());
        } catch (...) {
            failure = std::current_exception();
            return traits_type::eof();
        }
    }

    PlyInput& input;
    ObjTextCheck check;
    std::exception_ptr failure;
};

struct Corner {
    int position, texCoord, normal;
    bool operator==(const Corner& c) const
    {
        return position == c.position && texCoord == c.texCoord && normal == c.normal;
    }
};

struct CornerHash {
    std::size_t operator()(const Corner& c) const
    {
        return std::hash<int64_t>()(int64_t{c.position} * 1000003 + int64_t{c.texCoord} * 7919 +
                                    c.normal);
    }
};

int32_t CheckedIndex(int index, std::size_t count, bool optional, const char* what, int64_t face)
{
    if ((optional && index == -1) || (index >= 0 && static_cast<std::size_t>(index) < count))
        return index;
    ObjFail("face " + std::to_string(face) + ": " + what + " index out of range (the file has " +
            std::to_string(count) + ")");
}

// Builds the mesh's vertices from the distinct corners the faces name.
class ObjVertices {
public:
    ObjVertices(const tinyobj::attrib_t& attrib, PlyMesh& mesh) : attrib(attrib), mesh(mesh)
    {
        firstUse.assign(attrib.vertices.size() / 3, -1);
    }

    int32_t VertexOf(const tinyobj::index_t& index, int64_t face)
    {
        const Corner c{
            CheckedIndex(index.vertex_index, firstUse.size(), false, "vertex", face),
            CheckedIndex(index.texcoord_index, attrib.texcoords.size() / 2, true,
                         "texture coordinate", face),
            CheckedIndex(index.normal_index, attrib.normals.size() / 3, true, "normal", face)};
        everyNormal &= c.normal >= 0;
        int32_t& first = firstUse[c.position];
        if (first < 0) return first = Add(c);
        if (Same(first, c)) return first;
        const auto found = others.find(c);
        if (found != others.end()) return found->second;
        return others[c] = Add(c);
    }
    // Every position as a vertex of its own, for a point cloud.
    void AddEveryPosition()
    {
        for (std::size_t i = 0; i < firstUse.size(); ++i)
            Add({static_cast<int>(i), -1, -1});
    }
    bool EveryCornerHasANormal() const { return everyNormal; }

private:
    bool Same(int32_t vertex, const Corner& c) const { return corners[vertex] == c; }

    int32_t Add(const Corner& c)
    {
        if (mesh.VertexCount() >= INT32_MAX) ObjFail("too many vertices");
        uint8_t* v = mesh.AddVertex();
        Copy(attrib.vertices, c.position, 3, v + MeshLayout::kPosition);
        Copy(attrib.texcoords, c.texCoord, 2, v + MeshLayout::kTexCoord);
        Copy(attrib.normals, c.normal, 3, v + MeshLayout::kNormal);
        if (!attrib.colors.empty()) {
            // Red, green, blue into the packed colour's bytes, blue first.
            for (int i = 0; i < 3; ++i)
                v[MeshLayout::kColor + 2 - i] = static_cast<uint8_t>(
                    ChannelToByte(std::clamp(attrib.colors[3 * c.position + i], 0.0f, 1.0f)));
        }
        corners.push_back(c);
        return static_cast<int32_t>(mesh.VertexCount() - 1);
    }
    static void Copy(const std::vector<float>& from, int index, int n, uint8_t* to)
    {
        if (index < 0) return;
        for (int i = 0; i < n; ++i) {
            const float value = from[static_cast<std::size_t>(n) * index + i];
            if (!std::isfinite(value)) ObjFail("a value is not a finite number");
            std::memcpy(to + 4 * i, &value, sizeof value);
        }
    }

    const tinyobj::attrib_t& attrib;
    PlyMesh& mesh;
    std::vector<int32_t> firstUse;  // per position, the vertex of its first corner
    std::vector<Corner> corners;    // per vertex
    std::unordered_map<Corner, int32_t, CornerHash> others;
    bool everyNormal = true;
};

void AddFaces(const tinyobj::mesh_t& shapeMesh, ObjVertices& vertices, PlyMesh& mesh,
              MeshSummary& summary)
{
    const std::size_t corners = std::accumulate(shapeMesh.num_face_vertices.begin(),
                                                shapeMesh.num_face_vertices.end(), std::size_t{0});
    // The library stores a face's corner count in one byte.
    if (corners != shapeMesh.indices.size())
        ObjFail("a face has more than 255 corners, more than tinyobjloader reads");
    std::vector<int32_t> polygon;
    std::size_t next = 0;
    for (const unsigned char n : shapeMesh.num_face_vertices) {
        polygon.clear();
        for (unsigned c = 0; c < n; ++c)
            polygon.push_back(vertices.VertexOf(shapeMesh.indices[next++], summary.fileFaces));
        AddPolygon(mesh, polygon.data(), polygon.size(), summary);
    }
}

void NoteKept(const tinyobj::attrib_t& attrib, bool fileNormals, MeshSummary& summary)
{
    NoteOnce(summary.kept, "positions");
    if (fileNormals) NoteOnce(summary.kept, "normals");
    if (!attrib.texcoords.empty()) NoteOnce(summary.kept, "texture coordinates");
    if (!attrib.colors.empty()) NoteOnce(summary.kept, "colours");
    if (!fileNormals && !attrib.normals.empty())
        NoteOnce(summary.skipped, "normals (not named by every corner)");
}

}  // namespace

PlyMesh ReadObj(PlyInput& input, bool& fileNormals, MeshSummary& summary)
{
    summary.format = "OBJ";
    InputStreamBuffer buffer(input);
    std::istream stream(&buffer);
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;  // never read: no material reader
    std::string warning, error;
    const bool loaded = tinyobj::LoadObj(&attrib, &shapes, &materials, &warning, &error, &stream,
                                         nullptr, false, false);
    buffer.Rethrow();
    if (!loaded) ObjFail(error.substr(0, error.find('\n')));
    if (attrib.vertices.empty()) ObjFail("no vertices");
    PlyMesh mesh;
    ObjVertices vertices(attrib, mesh);
    for (const tinyobj::shape_t& shape : shapes) {
        AddFaces(shape.mesh, vertices, mesh, summary);
        if (!shape.lines.indices.empty()) NoteOnce(summary.skipped, "lines (l)");
    }
    if (mesh.faces.count == 0) vertices.AddEveryPosition();
    fileNormals = mesh.faces.count > 0 && vertices.EveryCornerHasANormal();
    NoteKept(attrib, fileNormals, summary);
    return mesh;
}
