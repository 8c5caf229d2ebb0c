#pragma once

#include <cstdint>
#include <string>

// Empty when a mesh of these counts can be held in this machine's memory;
// otherwise why not, in one line. Counts whose mesh cannot be held are
// refused before anything is allocated for them, rather than when memory
// runs out half-way through the file (or the system ends the process):
// sparse files and pipes declare such counts in next to no disk space.
std::string MeshMemoryShortfall(int64_t vertexCount, int64_t faceCount);
