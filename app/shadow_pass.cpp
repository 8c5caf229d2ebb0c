#include "app/shadow_pass.h"

#include <cmath>
#include <utility>

#include "model/model.h"
#include "pipeline/draw_model.h"
#include "pipeline/draw_setup.h"
#include "render/render_context.h"

namespace {

constexpr float kMaxHalfAngle = 1.0471976f;  // 60 degrees: wider lenses waste the map
// Room around the mesh, so that its outline keeps a few pixels off the map's edge.
constexpr float kMargin = 1.02f;

struct Sphere {
    Vector3 centre;
    float radius = 0.0f;
};

// About the centre of the mesh's bounding box, in world space: the sphere
// turns with the mesh and is the same from every side.
Sphere BoundingSphere(const Model& model, const Matrix4& modelMatrix)
{
    Sphere s;
    s.centre = Transform(model.center, modelMatrix);
    for (int32_t i = 0; i < model.vertices.count; ++i) {
        float p[3] = {};
        model.vertices.GetAttribute(p, ATTRIB_POSITION, i);
        const Vector3 d =
            Vector3(Transform(Vector4(p[0], p[1], p[2], 1.0f), modelMatrix)) - s.centre;
        s.radius = std::fmax(s.radius, d.Length());
    }
    return s;
}

// Sine of the half-angle under which the sphere is seen from the lens's centre
// of projection, which lies one unit behind the eye (clip w = view z + 1).
float SineOfHalfAngle(const Vector3& light, const Vector3& centre, float radius)
{
    return radius * kMargin / ((centre - light).Length() + 1.0f);
}

// The depth-tested write keeps z - kDepthWriteOffset (0.05), and the shadow
// test adds its bias of 0.05 back: left so, the two cancel and a lit surface
// compared with depths rasterized a fraction of a pixel away shadows half of
// itself. The map holds the surface's own depth, so that the bias keeps
// surfaces out of their own shadow.
void KeepSurfaceDepths(FrameBuffer& map)
{
    for (Pixel& p : map.pixels)
        if (p.depth != CLEAR_DEPTH) p.depth += kDepthWriteOffset;
}

// The depths of the nearest surfaces of `model` as `camera` sees them, in a
// square map of `size` pixels, drawn on `threads` threads.
FrameBuffer DrawDepths(Model& model, const Matrix4& modelMatrix, const Camera& camera, int size,
                       int threads)
{
    // A fresh context draws depths only: lighting, texturing and shadows off,
    // depth test on, filled, whatever modes the scene has.
    RenderContext pass;
    pass.drawThreads = threads;
    pass.SetCamera(camera);
    pass.SetFrameBuffer(FrameBuffer(size, size, Color()));
    // The window mapping snaps a point one pixel right of and below where the
    // shadow test looks it up; the viewport, one pixel up and left, undoes that.
    const float side = static_cast<float>(size);
    pass.Viewport(-1.0f, -1.0f, side, side, 0.0f, 1.0f);
    pass.SetModelMatrix(modelMatrix);
    DrawSetup setup(pass, pass.material);
    // The nearest surface whichever way it faces, so that an open mesh (a
    // ground plane, a sheet) shadows from both sides; a closed mesh's nearest
    // surface faces the light anyway. No context switch turns culling off:
    // the pass draws with a set-up of its own.
    setup.cullFace = false;
    DrawMesh(setup, model.faces, model.vertices,
             ATTRIB_POSITION | ATTRIB_NORMAL | ATTRIB_COLOR | ATTRIB_TEXCOORD);
    KeepSurfaceDepths(pass.frameBuffer);
    return std::move(pass.frameBuffer);
}

}  // namespace

Camera ShadowCamera(const Vector3& light, const Vector3& centre, float radius)
{
    const float sine = SineOfHalfAngle(light, centre, radius);
    // A mesh of a single point still gets a finite lens.
    const float halfAngle =
        sine < std::sin(kMaxHalfAngle) ? std::asin(std::fmax(sine, 1e-6f)) : kMaxHalfAngle;
    Vector3 forward = centre - light;
    forward.Normalize();
    const Vector3 vertical(0.0f, 0.0f, 1.0f);
    const bool alongVertical = forward.Cross(vertical).Length() < 1e-3f;
    return Camera(light, centre, alongVertical ? Vector3(0.0f, 1.0f, 0.0f) : vertical, 1.0f,
                  2.0f * halfAngle);
}

bool RenderShadowMap(RenderContext& scene, int slot, Model& model, const Matrix4& modelMatrix,
                     int mapSize)
{
    const Sphere bounds = BoundingSphere(model, modelMatrix);
    Light& light = scene.lights[slot].light;
    light.camera = ShadowCamera(light.GetPosition(), bounds.centre, bounds.radius);
    light.shadowMap = DrawDepths(model, modelMatrix, light.camera, mapSize, scene.drawThreads);
    return SineOfHalfAngle(light.GetPosition(), bounds.centre, bounds.radius) <
           std::sin(kMaxHalfAngle);
}
