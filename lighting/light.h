#pragma once

#include "lighting/material.h"
#include "math/camera.h"
#include "math/vector4.h"
#include "render/frame_buffer.h"  // a light owns its shadow map by value

// A point light: a material's colours plus a position, distance attenuation,
// and the camera and depth map of its shadow test. Only position, diffuse,
// specular, the coefficients, shadowMap and camera enter the lighting.
class Light : public Material {
public:
    Vector4 position{10.0f, 10.0f, 10.0f, 1.0f};
    Vector3 direction{0.0f, 0.0f, 0.0f};
    float constantAttenuation = 0.0f;
    float linearAttenuation = 0.0f;
    float quadraticAttenuation = 0.0f;
    FrameBuffer shadowMap;  // empty: every depth read answers CLEAR_DEPTH
    Camera camera;

    Light() : Material(White(), White(), White(), 30.0f) {}
    explicit Light(Vector4 position) : Light() { this->position = position; }
    Light(const Light&) = default;
    Light& operator=(const Light&) = default;
    ~Light() override = default;

    Vector4 GetPosition() const { return position; }
    Vector3 GetDirection() const { return direction; }

private:
    static Color White() { return {1.0f, 1.0f, 1.0f, 1.0f}; }
};
