#include "app/frame_cycle.h"

#include <chrono>
#include <cstdint>
#include <iostream>

#include "app/scene_setup.h"
#include "model/model.h"
#include "pipeline/band_draw.h"
#include "pipeline/draw_model.h"
#include "render/render_context.h"

float gAngle = 0.0f;

namespace {

// Wall-clock time, not processor time: a steady clock read as whole
// milliseconds since the process started (static initialisation).
const std::chrono::steady_clock::time_point kProcessStart = std::chrono::steady_clock::now();

int64_t MillisecondsSinceStart()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 kProcessStart)
        .count();
}

}  // namespace

Matrix4 FrameModelMatrix(float angle)
{
    Matrix4 t, s, r;
    t.SetTranslation(0.0f, 0.0f, 0.0f);
    s.SetScale(1.0f, 1.0f, 1.0f);
    r.SetRotation(0.0f, 0.0f, angle);
    return Multiply(Multiply(r, s), t);  // rotation, then scale, then translation
}

float RenderFrameTimed(float angle, DrawObserver* observer)
{
    const int64_t t0 = MillisecondsSinceStart();
    RenderContext& c = RenderContext::Instance();
    ClearInBands(c.frameBuffer, c.drawThreads);
    c.SetModelMatrix(FrameModelMatrix(angle));
    c.material = gDefaultMaterial;
    c.faceList = &gModel->faces;
    c.vertexArray = &gModel->vertices;
    c.attribMask = ATTRIB_POSITION | ATTRIB_NORMAL | ATTRIB_COLOR | ATTRIB_TEXCOORD;
    if (observer == nullptr)
        c.DrawModel();
    else
        DrawModel(c, observer);
    c.attribMask = 0;
    const int64_t t1 = MillisecondsSinceStart();
    return static_cast<float>(static_cast<double>(t1 - t0) * 0.001);
}

void RenderFrame(float angle, DrawObserver* observer)
{
    const float seconds = RenderFrameTimed(angle, observer);
    std::cout << "Tps de rendu : " << seconds << " s" << std::endl;
}
