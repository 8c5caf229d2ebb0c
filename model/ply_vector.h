#pragma once

#include "math/vector4.h"

// The reader keeps plain float triples; its arithmetic is the Vector3 arithmetic.
inline Vector3 ToVector3(const float v[3])
{
    return {v[0], v[1], v[2]};
}

inline void StoreVector3(const Vector3& v, float out[3])
{
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}

// Scales v by 1 / length when its length is greater than 0; otherwise leaves it as it is.
inline Vector3 ScaledToUnit(const Vector3& v)
{
    const float length = v.Length();
    return length > 0.0f ? v * (1.0f / length) : v;
}
