#include "model/mesh_import.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "model/fatal_error.h"
#include "model/mesh_builder.h"
#include "model/obj_reader.h"
#include "model/ply_complete_reader.h"
#include "model/ply_normals.h"
#include "model/ply_orientation.h"
#include "model/stl_reader.h"

namespace {

enum class MeshFormat { Ply, Obj, Stl };

[[noreturn]] void ImportFail(const std::string& detail)
{
    MeshFail("(ImportMesh)", detail);
}

bool StartsWith(PlyInput& input, const char* prefix)
{
    input.Peek();
    const std::size_t n = std::strlen(prefix);
    return input.Buffered() >= n && std::memcmp(input.Position(), prefix, n) == 0;
}

bool HasExtension(const std::string& path, const char* extension)
{
    const std::size_t n = std::strlen(extension);
    if (path.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(path[path.size() - n + i])) != extension[i])
            return false;
    return true;
}

// The content decides where it can: PLY and ASCII STL begin with their
// names. Binary STL and OBJ have no such mark, and are known by the name.
MeshFormat DetectFormat(PlyInput& input, const std::string& path)
{
    if (StartsWith(input, "ply\n") || StartsWith(input, "ply\r")) return MeshFormat::Ply;
    if (StartsWith(input, "solid")) return MeshFormat::Stl;
    if (HasExtension(path, ".ply")) return MeshFormat::Ply;
    if (HasExtension(path, ".stl")) return MeshFormat::Stl;
    if (HasExtension(path, ".obj")) return MeshFormat::Obj;
    ImportFail("cannot tell the format of " + path +
               ": it does not start with 'ply' or 'solid', and its name does not end in .ply, "
               ".obj or .stl");
}

PlyMesh ReadAnyFormat(PlyInput& input, const std::string& path, bool& fileNormals,
                      MeshSummary& summary)
{
    switch (DetectFormat(input, path)) {
        case MeshFormat::Ply:
            return ReadCompletePly(input, fileNormals, summary);
        case MeshFormat::Obj:
            return ReadObj(input, fileNormals, summary);
        case MeshFormat::Stl:
            break;
    }
    fileNormals = false;
    return ReadStl(input, summary);
}

PlyMesh ReadMesh(const std::string& path, bool& fileNormals, MeshSummary& summary)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) ImportFail("cannot open " + path + " (" + std::strerror(errno) + ")");
    PlyInput input(file);
    // Memory is reserved only for what the file can hold, so running out
    // means the mesh is larger than this machine can draw.
    try {
        return ReadAnyFormat(input, path, fileNormals, summary);
    } catch (const std::bad_alloc&) {
        ImportFail("not enough memory for the mesh in " + path);
    }
}

}  // namespace

Model ImportMesh(const std::string& path, const MeshFraming& framing, MeshSummary* summary)
{
    MeshSummary own;
    MeshSummary& s = summary != nullptr ? *summary : own;
    bool fileNormals = false;
    PlyMesh mesh = ReadMesh(path, fileNormals, s);
    if (mesh.faces.count == 0) AddPointFaces(mesh, s);
    // The model counts in 32 bits; strips and split polygons add faces.
    if (mesh.faces.records.size() > INT32_MAX || mesh.faces.CornerTotal() > INT32_MAX)
        ImportFail("more than 2147483647 faces or corners");
    FrameMesh(mesh, framing);
    ComputePlyNormals(mesh, !fileNormals);
    OrientImportedPly(mesh, fileNormals);
    return Model(path, std::move(mesh));
}

Model LoadFramedPly(const std::string& path, const MeshFraming& framing)
{
    bool fileNormals = false;
    PlyMesh mesh = ReadPlyRecords(path.c_str(), fileNormals);
    FrameMesh(mesh, framing);
    FinishPly(mesh, fileNormals);
    return Model(path, std::move(mesh));
}
