#pragma once

#include <cstdio>
#include <string>

#include "make_teapot/teapot_mesh.h"

// Writes x, y, z, u, v per vertex (with `colors`, then the painted colour as
// uchar red, green, blue: PaintedColor) and triangles as uchar-counted int
// lists. `encoding` is "ascii", "binary_little_endian" or
// "binary_big_endian", or "obj" for the same mesh as a Wavefront OBJ file (v,
// with colours as three more numbers 0 .. 1, vt and f lines). ASCII numbers
// are the shortest text that reads back as the same float.
void WritePly(const TriangleMesh& mesh, const std::string& encoding, const std::string& comment,
              bool colors, std::FILE* out);

bool IsPlyEncoding(const std::string& encoding);
