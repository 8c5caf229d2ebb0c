#include "model/ply_reader.h"

#include <cstdio>
#include <new>

#include "model/fatal_error.h"
#include "model/ply_body.h"
#include "model/ply_header.h"
#include "model/ply_input.h"
#include "model/ply_normals.h"
#include "model/ply_orientation.h"
#include "model/printable_text.h"

PlyMesh ReadPlyRecords(const char* fileName, bool& fileNormals)
{
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) FatalError("(ReadPly) Cannot open file", PrintableText(fileName).c_str());
    PlyInput input(file);
    const PlyHeader header = ParsePlyHeader(input);
    PlyMesh mesh;
    // The header's counts are refused when they cannot fit in memory, but
    // memory can still run out (other programs, a limit on the process).
    try {
        if (header.encoding == PlyEncoding::Ascii)
            ReadPlyAscii(input, header, mesh);
        else
            ReadPlyBinary(input, header, mesh);
    } catch (const std::bad_alloc&) {
        PlyFail(kOutOfMemory);
    }
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
