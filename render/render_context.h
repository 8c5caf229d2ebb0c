#pragma once

#include <cstdint>

#include "lighting/light.h"
#include "lighting/material.h"
#include "math/camera.h"
#include "math/matrix4.h"
#include "render/frame_buffer.h"

class FaceList;
class TextureImage;
class VertexArray;

// Capability ids and mode values share one enumeration; 19 to 21 are unused.
enum : int32_t {
    RC_LIGHT0 = 0,
    RC_LIGHT8 = 8,
    RC_CULL_FACE = 9,
    RC_CW = 10,
    RC_CCW = 11,
    RC_DEPTH_TEST = 12,
    RC_LINE = 13,
    RC_FILL = 14,
    RC_PHONG = 15,
    RC_GOURAUD = 16,
    RC_FLAT = 17,
    RC_LIGHTING = 18,
    RC_NORMALIZE = 22,
    RC_CARTOON = 23,
    RC_REPLACE = 24,
    RC_TEXTURE_2D = 25,
    RC_SHADOW = 26,
};

constexpr int kLightSlots = 9;

struct LightSlot {
    bool enabled = false;
    Light light;
};

// The rendering state, in the manner of a fixed-function graphics context.
// The program reaches its one context through Instance(); other contexts
// (a light's depth pass, tests) draw through the same pipeline.
class RenderContext {
public:
    VertexArray* vertexArray = nullptr;  // not owned
    FaceList* faceList = nullptr;        // not owned
    Camera camera;
    LightSlot lights[kLightSlots];
    FrameBuffer frameBuffer;
    Matrix4 modelMatrix;
    Matrix4 modelViewProjectionMatrix;  // modelMatrix, then the camera's view-projection
    Matrix4 viewportMatrix;
    Material material;
    TextureImage* texture = nullptr;  // not owned
    int32_t attribMask = 0;
    float shadowBias = 0.05f;
    bool cullFace = true;
    bool depthTest = true;
    bool lighting = false;
    bool normalize = false;
    bool texture2D = false;
    bool shadow = false;
    // Lighting takes each vertex's colour in place of the material's diffuse
    // colour, and lights it with the material's ambient colour. Off by
    // default; set directly, not a capability: Enable and IsEnabled know
    // nothing of it.
    bool vertexColorLighting = false;
    // The threads DrawModel draws on: the frame is the same for any number.
    // Set directly, as vertexColorLighting is; 1 by default.
    int32_t drawThreads = 1;
    int32_t frontFace = RC_CCW;
    int32_t polygonMode = RC_FILL;
    int32_t shadeModel = RC_GOURAUD;

    RenderContext() = default;
    RenderContext(const RenderContext&) = delete;
    RenderContext& operator=(const RenderContext&) = delete;

    // Built on first use; destroyed by the exit handler registered then.
    static RenderContext& Instance();

    // There is no switch-off: a capability stays on once enabled. Ids outside
    // the capability table are ignored.
    void Enable(int32_t cap);
    bool IsEnabled(int32_t cap) const
    {
        const bool* flag = const_cast<RenderContext*>(this)->CapabilityFlag(cap);
        return flag != nullptr && *flag;
    }

    void SetModelMatrix(const Matrix4& m);
    void SetCamera(const Camera& c);
    void SetFrameBuffer(FrameBuffer fb);
    void SetLight(int32_t i, const Light& l) { lights[i].light = l; }
    void Viewport(float x, float y, float width, float height, float zNear, float zFar);

    // Draws the bound model. The pipeline defines it (pipeline/draw_model.cpp),
    // from a set-up it gathers of this context: the context knows nothing of it.
    void DrawModel();

private:
    bool* CapabilityFlag(int32_t cap)
    {
        if (cap >= RC_LIGHT0 && cap <= RC_LIGHT8) return &lights[cap].enabled;
        switch (cap) {
            case RC_CULL_FACE:
                return &cullFace;
            case RC_DEPTH_TEST:
                return &depthTest;
            case RC_LIGHTING:
                return &lighting;
            case RC_NORMALIZE:
                return &normalize;
            case RC_TEXTURE_2D:
                return &texture2D;
            case RC_SHADOW:
                return &shadow;
            default:
                return nullptr;
        }
    }
};
