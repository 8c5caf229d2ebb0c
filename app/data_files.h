#pragma once

#include <string>

// The mesh drawn when none is named: ./data/teapot.ply, as from the
// repository's root, or else the teapot installed with the program
// (PREFIX/share/zbuffer/teapot.ply beside PREFIX/bin). When neither exists,
// ./data/teapot.ply, so that the loader's message names the usual place.
std::string DefaultMeshPath();
