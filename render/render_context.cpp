#include "render/render_context.h"

#include <utility>

RenderContext& RenderContext::Instance()
{
    // A function-local static is built on the first call and registers its
    // destruction at normal process exit right then.
    static RenderContext context;
    return context;
}

void RenderContext::Enable(int32_t cap)
{
    if (bool* flag = CapabilityFlag(cap)) *flag = true;
}

void RenderContext::SetModelMatrix(const Matrix4& m)
{
    modelMatrix = m;
    modelViewProjectionMatrix = Multiply(modelMatrix, camera.GetViewProjection());
}

void RenderContext::SetCamera(const Camera& c)
{
    camera = c;
    modelViewProjectionMatrix = Multiply(modelMatrix, camera.GetViewProjection());
}

void RenderContext::SetFrameBuffer(FrameBuffer fb)
{
    frameBuffer = std::move(fb);
    Viewport(0.0f, 0.0f, static_cast<float>(frameBuffer.width),
             static_cast<float>(frameBuffer.height), 0.0f, 1.0f);
}

// Normalised (u, v, d) lands at column x + width (1 + u) / 2, row
// y + height (1 - v) / 2: v = +1 is the top row. The other ten elements stay.
void RenderContext::Viewport(float x, float y, float width, float height, float zNear, float zFar)
{
    viewportMatrix(0, 0) = width * 0.5f;
    viewportMatrix(0, 3) = x + width * 0.5f;
    viewportMatrix(1, 1) = height * -0.5f;
    viewportMatrix(1, 3) = y + height * 0.5f;
    viewportMatrix(2, 2) = zFar - zNear;
    viewportMatrix(2, 3) = zNear;
}
