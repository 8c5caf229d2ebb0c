#pragma once

#include "math/vector4.h"

// 4 x 4 float matrix, row-major (element 4r + c), acting on column vectors:
// a translation sits in column 3 (elements 3, 7, 11).
class Matrix4 {
public:
    float m[16];

    Matrix4() { SetIdentity(); }

    float& operator()(int row, int col) { return m[4 * row + col]; }
    float operator()(int row, int col) const { return m[4 * row + col]; }

    void SetIdentity();
    // Each Set... first resets to the identity, so nothing earlier survives.
    void SetScale(float sx, float sy, float sz);
    void SetTranslation(float tx, float ty, float tz);
    void SetRotation(float ax, float ay, float az);  // degrees; turns about x, then y, then z
};

// The matrix that applies `first`, then `second`: the product second x first.
Matrix4 Multiply(const Matrix4& first, const Matrix4& second);

inline Vector4 Transform(const Vector4& v, const Matrix4& m)
{
    const float* a = m.m;
    return {a[0] * v.x + a[1] * v.y + a[2] * v.z + a[3] * v.w,
            a[4] * v.x + a[5] * v.y + a[6] * v.z + a[7] * v.w,
            a[8] * v.x + a[9] * v.y + a[10] * v.z + a[11] * v.w,
            a[12] * v.x + a[13] * v.y + a[14] * v.z + a[15] * v.w};
}

// Upper-left 3 x 3 block only: directions ignore translation. Not renormalised.
inline Vector3 TransformDirection(const Vector3& v, const Matrix4& m)
{
    const float* a = m.m;
    return {a[0] * v.x + a[1] * v.y + a[2] * v.z, a[4] * v.x + a[5] * v.y + a[6] * v.z,
            a[8] * v.x + a[9] * v.y + a[10] * v.z};
}
