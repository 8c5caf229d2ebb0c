#pragma once

#include <cstdint>

class CornerFetch;
class DrawObserver;
class FaceList;
struct DrawSetup;

// The draw of `faces` on setup.threads threads, to the same frame to the
// byte as on one. A pixel's colour and depth depend only on the fragments
// that reach it and their order, so the threads share the frame's rows
// (RowBands), each converting every triangle in drawing order but only on
// its own rows, with the parameter t that one thread's walks and spans give
// each pixel. The triangle stage before it is shared by ranges of faces,
// whose triangles wait in face order. With an `observer` the draw is
// observed: each triangle's fate is counted once, by the thread that set it
// up, and each fragment by the thread of its row.
void DrawInBands(const DrawSetup& setup, const FaceList& faces, const CornerFetch& fetch,
                 int32_t vertexCount, DrawObserver* observer);
