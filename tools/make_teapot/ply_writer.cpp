#include "make_teapot/ply_writer.h"

#include <charconv>
#include <cstring>

#include "make_teapot/vertex_paint.h"

namespace {

void WriteHeader(const TriangleMesh& mesh, const std::string& encoding, const std::string& comment,
                 bool colors, std::FILE* out)
{
    std::fprintf(out, "ply\nformat %s 1.0\ncomment %s\n", encoding.c_str(), comment.c_str());
    std::fprintf(out, "element vertex %zu\n", mesh.vertices.size());
    for (const char* name : {"x", "y", "z", "u", "v"})
        std::fprintf(out, "property float %s\n", name);
    if (colors)
        std::fprintf(out, "property uchar red\nproperty uchar green\nproperty uchar blue\n");
    std::fprintf(out, "element face %zu\n", mesh.triangles.size());
    std::fprintf(out, "property list uchar int vertex_indices\nend_header\n");
}

void WriteAsciiNumber(float value, char separator, std::FILE* out)
{
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    *end.ptr = separator;
    std::fwrite(text, 1, static_cast<std::size_t>(end.ptr + 1 - text), out);
}

void WriteAsciiBody(const TriangleMesh& mesh, bool colors, std::FILE* out)
{
    for (const MeshVertex& v : mesh.vertices) {
        WriteAsciiNumber(v.x, ' ', out);
        WriteAsciiNumber(v.y, ' ', out);
        WriteAsciiNumber(v.z, ' ', out);
        WriteAsciiNumber(v.u, ' ', out);
        WriteAsciiNumber(v.v, colors ? ' ' : '\n', out);
        if (colors) {
            const std::array<uint8_t, 3> rgb = PaintedColor(v);
            std::fprintf(out, "%d %d %d\n", rgb[0], rgb[1], rgb[2]);
        }
    }
    for (const auto& t : mesh.triangles)
        std::fprintf(out, "3 %d %d %d\n", t[0], t[1], t[2]);
}

void WriteWord(uint32_t word, bool bigEndian, std::FILE* out)
{
    unsigned char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[bigEndian ? 3 - i : i] = (word >> (8 * i)) & 0xFFu;
    std::fwrite(bytes, 1, sizeof bytes, out);
}

void WriteFloat(float value, bool bigEndian, std::FILE* out)
{
    uint32_t word = 0;
    std::memcpy(&word, &value, sizeof word);
    WriteWord(word, bigEndian, out);
}

void WriteBinaryBody(const TriangleMesh& mesh, bool bigEndian, bool colors, std::FILE* out)
{
    for (const MeshVertex& v : mesh.vertices) {
        for (float value : {v.x, v.y, v.z, v.u, v.v})
            WriteFloat(value, bigEndian, out);
        if (colors) {
            const std::array<uint8_t, 3> rgb = PaintedColor(v);
            std::fwrite(rgb.data(), 1, rgb.size(), out);
        }
    }
    for (const auto& t : mesh.triangles) {
        std::fputc(3, out);
        for (int32_t index : t)
            WriteWord(static_cast<uint32_t>(index), bigEndian, out);
    }
}

// Each vertex's texture coordinate has the vertex's number, so every corner
// names both alike.
void WriteObj(const TriangleMesh& mesh, const std::string& comment, bool colors, std::FILE* out)
{
    std::fprintf(out, "# %s\n", comment.c_str());
    for (const MeshVertex& v : mesh.vertices) {
        std::fputs("v ", out);
        WriteAsciiNumber(v.x, ' ', out);
        WriteAsciiNumber(v.y, ' ', out);
        WriteAsciiNumber(v.z, colors ? ' ' : '\n', out);
        if (colors) {
            const std::array<uint8_t, 3> rgb = PaintedColor(v);
            for (std::size_t i = 0; i < rgb.size(); ++i)
                WriteAsciiNumber(rgb[i] / 255.0f, i + 1 < rgb.size() ? ' ' : '\n', out);
        }
        std::fputs("vt ", out);
        WriteAsciiNumber(v.u, ' ', out);
        WriteAsciiNumber(v.v, '\n', out);
    }
    for (const auto& t : mesh.triangles)
        std::fprintf(out, "f %d/%d %d/%d %d/%d\n", t[0] + 1, t[0] + 1, t[1] + 1, t[1] + 1, t[2] + 1,
                     t[2] + 1);
}

}  // namespace

bool IsPlyEncoding(const std::string& encoding)
{
    return encoding == "ascii" || encoding == "binary_little_endian" ||
           encoding == "binary_big_endian" || encoding == "obj";
}

void WritePly(const TriangleMesh& mesh, const std::string& encoding, const std::string& comment,
              bool colors, std::FILE* out)
{
    if (encoding == "obj") return WriteObj(mesh, comment, colors, out);
    WriteHeader(mesh, encoding, comment, colors, out);
    if (encoding == "ascii")
        WriteAsciiBody(mesh, colors, out);
    else
        WriteBinaryBody(mesh, encoding == "binary_big_endian", colors, out);
}
