#include "model/ply_reader.h"

#include <cstdio>

#include "model/ply_body.h"
#include "model/ply_header.h"
#include "model/ply_input.h"
#include "model/ply_normals.h"

PlyMesh ReadPlyRecords(const char* fileName, bool& fileNormals)
{
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) FatalError("(ReadPly) Cannot open file", fileName);
    PlyInput input(file);
    const PlyHeader header = ParsePlyHeader(input);
    PlyMesh mesh;
    if (header.encoding == PlyEncoding::Ascii)
        ReadPlyAscii(input, header, mesh);
    else
        ReadPlyBinary(input, header, mesh);
    input.Close();
    fileNormals = header.groupPresent[PLY_NORMAL];
    return mesh;
}

void FinishPly(PlyMesh& mesh, bool fileNormals)
{
    ComputePlyNormals(mesh, !fileNormals);
    OrientPly(mesh, fileNormals);
}

PlyMesh ReadPly(const char* fileName)
{
    bool fileNormals = false;
    PlyMesh mesh = ReadPlyRecords(fileName, fileNormals);
    FinishPly(mesh, fileNormals);
    return mesh;
}
