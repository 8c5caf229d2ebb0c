#pragma once

#include <cstdint>

class FaceList;
class VertexArray;
struct DrawSetup;

// Draws `faces` in order, each corner fetched from `vertices` (the attributes
// in `attribMask`), as `setup` says: RenderContext::DrawModel with the set-up
// gathered from the context. A render pass that needs what no context switch
// gives (the shadow pass draws without culling) draws through it directly.
void DrawMesh(const DrawSetup& setup, const FaceList& faces, const VertexArray& vertices,
              int32_t attribMask);
