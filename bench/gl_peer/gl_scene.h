#pragma once

#include <cstdint>
#include <vector>

class Material;
class Model;
class RenderContext;

// The renderer's scene in the current OpenGL context's fixed-function state:
// the context's viewport, camera, light 0 and modes, the material, and the
// model's own interleaved vertices as client-side arrays.
class GlScene {
public:
    // Needs a current OpenGL context; `model` must outlive the scene, whose
    // arrays point into its vertices.
    GlScene(const RenderContext& context, const Material& material, const Model& model);

    // Clears, draws the mesh turned by `angle` degrees about z, and waits
    // with glFinish until the picture is done.
    void DrawFrame(float angle) const;

private:
    std::vector<uint32_t> indices_;
    uint32_t lastVertex_ = 0;
};
