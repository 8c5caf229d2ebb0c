#pragma once

#include "math/matrix4.h"
#include "math/vector4.h"

// A viewpoint and a perspective lens with the matrices derived from them.
// View space is left-handed: visible points have positive z.
class Camera {
public:
    Vector3 forward;  // unit viewing direction
    Vector4 eye;
    Matrix4 view;
    Matrix4 projection;
    Matrix4 viewProjection;  // Multiply(view, projection)
    float aspect = 0.0f;
    Vector3 target;
    Vector3 up;        // recomputed as forward x right, not the argument
    float fov = 0.0f;  // vertical, radians
    float zNear = 0.1f;
    float zFar = 1000.0f;

    Camera();
    Camera(Vector3 eye, Vector3 target, Vector3 up, float aspect, float fov);

    void LookAt(Vector3 eye, Vector3 target, Vector3 up);
    void SetPerspective(float aspect, float fov);
    void UpdateViewProjection() { viewProjection = Multiply(view, projection); }

    Vector4 GetEye() const { return eye; }
    Matrix4 GetView() const { return view; }
    Matrix4 GetViewProjection() const { return viewProjection; }
};
