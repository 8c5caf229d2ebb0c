#include "model/ply_reader.h"

#include <cstdio>

#include "model/fatal_error.h"
#include "model/ply_body.h"
#include "model/ply_header.h"
#include "model/ply_input.h"
#include "model/ply_normals.h"
#include "model/ply_orientation.h"
#include "model/printable_text.h"

PlyMesh ReadPly(const char* fileName)
{
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) FatalError("(ReadPly) Cannot open file", PrintableText(fileName).c_str());
    PlyInput input(file);
    const PlyHeader header = ParsePlyHeader(input);
    PlyMesh mesh;
    if (header.encoding == PlyEncoding::Ascii)
        ReadPlyAscii(input, header, mesh);
    else
        ReadPlyBinary(input, header, mesh);
    input.Close();
    const bool fileNormals = header.groupPresent[PLY_NORMAL];
    ComputePlyNormals(mesh, !fileNormals);
    OrientPly(mesh, fileNormals);
    return mesh;
}
