#pragma once

#include "math/camera.h"
#include "math/matrix4.h"
#include "math/vector4.h"

class Model;
class RenderContext;

constexpr int kShadowMapSize = 512;

// The camera of a light's depth pass: at the light, looking at `centre`, with
// a square lens just wide enough for the sphere of `radius` about it, and up
// the scene's vertical (0, 0, 1) unless the light looks along it. A light
// inside the sphere (or too near it) gets the widest lens, 120 degrees.
Camera ShadowCamera(const Vector3& light, const Vector3& centre, float radius);

// Draws `model`, placed by `modelMatrix`, as light `slot` of `scene` sees it
// (on the scene's draw threads), and gives that light the depths of the
// nearest surfaces as its shadow map (`mapSize` pixels square; the surfaces'
// own depths, without the 0.05 the depth-tested write takes off) and the
// camera they were seen through.
// Returns false when the widest lens cannot take in the whole mesh: points
// outside the map are then never shadowed.
bool RenderShadowMap(RenderContext& scene, int slot, Model& model, const Matrix4& modelMatrix,
                     int mapSize = kShadowMapSize);
