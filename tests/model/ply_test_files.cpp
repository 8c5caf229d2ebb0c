#include "ply_test_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "model/fatal_error.h"
#include "model/ply_reader.h"

namespace {

struct FatalErrorException : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void Throw(const char* what, const char* detail)
{
    throw FatalErrorException(std::string("Error: ") + what + " : " + detail);
}

}  // namespace

const char* const kPlyPositions = "property float x\nproperty float y\nproperty float z\n";
const char* const kPlyFaceList = "property list uchar int vertex_indices\n";

std::string PlyFileHeader(const std::string& format, const std::string& vertexCount,
                          const std::string& faceCount)
{
    return "ply\nformat " + format + " 1.0\nelement vertex " + vertexCount + "\n" + kPlyPositions +
           "element face " + faceCount + "\n" + kPlyFaceList + "end_header\n";
}

std::string WriteTestFile(const std::string& name, const std::string& bytes)
{
    const std::string path =
        testing::TempDir() + "zbuffer_" + std::to_string(getpid()) + "_" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ThrowingFatalErrors::ThrowingFatalErrors()
{
    SetFatalErrorHandler(Throw);
}

ThrowingFatalErrors::~ThrowingFatalErrors()
{
    SetFatalErrorHandler(nullptr);
}

std::string ReadPlyError(const std::string& path)
{
    const ThrowingFatalErrors throwing;
    try {
        ReadPly(path.c_str());
    } catch (const FatalErrorException& e) {
        return e.what();
    }
    return "";
}

BinaryBody& BinaryBody::Float(float value)
{
    uint32_t word = 0;
    std::memcpy(&word, &value, sizeof word);
    Word(word);
    return *this;
}

BinaryBody& BinaryBody::Int(int32_t value)
{
    Word(static_cast<uint32_t>(value));
    return *this;
}

BinaryBody& BinaryBody::Byte(uint8_t value)
{
    bytes.push_back(static_cast<char>(value));
    return *this;
}

void BinaryBody::Word(uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((word >> (8 * (bigEndian ? 3 - i : i))) & 0xFFu));
}

VertexValues VertexAt(const VertexArray& vertices, int32_t i)
{
    VertexValues v{};
    vertices.GetAttribute(v.position, ATTRIB_POSITION, i);
    vertices.GetAttribute(v.normal, ATTRIB_NORMAL, i);
    vertices.GetAttribute(v.texCoord, ATTRIB_TEXCOORD, i);
    vertices.GetAttribute(&v.color, ATTRIB_COLOR, i);
    return v;
}
