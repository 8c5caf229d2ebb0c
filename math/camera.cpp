#include "math/camera.h"

#include <cmath>

Camera::Camera()
    : Camera(Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f), Vector3(0.0f, 1.0f, 0.0f), 1.0f,
             0.7853982f)
{
}

Camera::Camera(Vector3 eyeArg, Vector3 targetArg, Vector3 upArg, float aspectArg, float fovArg)
{
    LookAt(eyeArg, targetArg, upArg);
    SetPerspective(aspectArg, fovArg);
    UpdateViewProjection();
}

void Camera::LookAt(Vector3 eyeArg, Vector3 targetArg, Vector3 upArg)
{
    eye = eyeArg;
    target = targetArg;
    forward = targetArg - eyeArg;
    forward.Normalize();
    upArg.Normalize();
    Vector3 right = upArg.Cross(forward);
    right.Normalize();
    up = forward.Cross(right);
    // Row 3 is left as it is: (0, 0, 0, 1).
    const Vector3* axes[3] = {&right, &up, &forward};
    for (int row = 0; row < 3; ++row) {
        const Vector3& a = *axes[row];
        view(row, 0) = a.x;
        view(row, 1) = a.y;
        view(row, 2) = a.z;
        view(row, 3) = -a.Dot(eyeArg);
    }
}

// Only five elements are written: (3, 3) stays 1, so clip w = view z + 1 and
// the third clip coordinate runs linearly from 0 at zNear to zFar at zFar.
void Camera::SetPerspective(float aspectArg, float fovArg)
{
    aspect = aspectArg;
    fov = fovArg;
    const float f = 1.0f / std::tan(fovArg * 0.5f);
    projection(0, 0) = f / aspectArg;
    projection(1, 1) = f;
    projection(2, 2) = zFar / (zFar - zNear);
    projection(2, 3) = -(zFar * zNear) / (zFar - zNear);
    projection(3, 2) = 1.0f;
}
