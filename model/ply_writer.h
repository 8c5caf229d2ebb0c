#pragma once

#include <cstdio>

#include "model/model.h"

// Writes the model as the canonical reader reads it: binary little-endian,
// float x y z, nx ny nz, u v and uchar red green blue per vertex, and an
// 8-bit corner count with 32-bit indices per face; the model's corner counts
// are at most 255, as every reader leaves them. With `turned`, the normals
// are written negated and the corner orders reversed: a reader whose
// orientation test turns the mesh over then turns it back. False when a
// write fails (errno says why).
bool WriteModelPly(const Model& model, bool turned, std::FILE* out);

// The same model to the byte: vertices, faces with their corners and
// normals, centre and half-extent. What the renderer draws depends on
// nothing else.
bool SameModel(const Model& a, const Model& b);
