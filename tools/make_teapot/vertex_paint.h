#pragma once

#include <array>
#include <cstdint>

#include "make_teapot/teapot_mesh.h"

// The colour (red, green, blue bytes) of a painted teapot at a vertex, as a
// colour scan of one would carry it: the hues of the rainbow from its foot to
// its lid, in stripes around the vertical axis that alternate between full
// and pale colour.
std::array<uint8_t, 3> PaintedColor(const MeshVertex& vertex);
