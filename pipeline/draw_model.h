#pragma once

#include <cstdint>

class DrawObserver;
class FaceList;
class RenderContext;
class VertexArray;
struct DrawSetup;

// Draws `faces` in order, each corner fetched from `vertices` (the attributes
// in `attribMask`), as `setup` says: RenderContext::DrawModel with the set-up
// gathered from the context. A render pass that needs what no context switch
// gives (the shadow pass draws without culling) draws through it directly.
// With an `observer` (of the frame buffer's size) the draw is observed: the
// same frame, with what every triangle and fragment did counted in it.
void DrawMesh(const DrawSetup& setup, const FaceList& faces, const VertexArray& vertices,
              int32_t attribMask, DrawObserver* observer = nullptr);

// RenderContext::DrawModel, observed by `observer` when it is not null.
void DrawModel(RenderContext& context, DrawObserver* observer);
