#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/vertex_array.h"

// Writes `bytes` to a file of its own under the test temporary folder and
// returns its path.
std::string WriteTestFile(const std::string& name, const std::string& bytes);

// Reads a whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// While alive, FatalError throws a FatalErrorException carrying
// "Error: <what> : <detail>" instead of ending the process.
class ThrowingFatalErrors {
public:
    ThrowingFatalErrors();
    ~ThrowingFatalErrors();
    ThrowingFatalErrors(const ThrowingFatalErrors&) = delete;
    ThrowingFatalErrors& operator=(const ThrowingFatalErrors&) = delete;
};

// The message ReadPly ends with on the file at `path`, or "" when it loads.
std::string ReadPlyError(const std::string& path);

// The property lines of a vertex element of x, y, z floats and of a face
// element of uchar-counted int lists.
extern const char* const kPlyPositions;
extern const char* const kPlyFaceList;

// A whole header with those two elements, counts and format as given.
std::string PlyFileHeader(const std::string& format, const std::string& vertexCount,
                          const std::string& faceCount);

// Vertex i's attributes as a vertex array of all four holds them.
struct VertexValues {
    float position[3];
    float normal[3];
    float texCoord[2];
    uint32_t color;  // packed 0xAARRGGBB
};
VertexValues VertexAt(const VertexArray& vertices, int32_t i);

// Little- or big-endian binary PLY body bytes.
class BinaryBody {
public:
    explicit BinaryBody(bool bigEndian) : bigEndian(bigEndian) {}
    BinaryBody& Float(float value);
    BinaryBody& Int(int32_t value);
    BinaryBody& Byte(uint8_t value);
    const std::string& Bytes() const { return bytes; }

private:
    void Word(uint32_t word);

    bool bigEndian;
    std::string bytes;
};
