#pragma once

#include <cstdint>

class CornerFetch;
class DrawObserver;
class FaceList;
class FrameBuffer;
struct DrawSetup;

// The draw of `faces` on setup.threads threads, to the same frame to the
// byte as on one. A pixel's colour and depth depend only on the fragments
// that reach it and their order, so the threads share the frame's rows
// (RowBands). First the threads project every vertex, in even shares; then
// they cull the faces and reject triangles, block by block, listing each
// triangle that passes for every thread whose rows it reaches; then each
// thread takes the triangles listed for it, in face order, passes over those
// the depth buffer hides in its rows, sets the others up again (lighting
// them) and converts them on those rows alone, with the parameter t that one
// thread's walks and spans give each pixel. With an `observer` the draw is
// observed: each triangle's fate is counted once, by the thread that listed
// it, and each fragment by the thread of its row.
void DrawInBands(const DrawSetup& setup, const FaceList& faces, const CornerFetch& fetch,
                 int32_t vertexCount, DrawObserver* observer);

// FrameBuffer::Clear on `threads` threads, each clearing the rows it draws.
void ClearInBands(FrameBuffer& frame, int threads);
