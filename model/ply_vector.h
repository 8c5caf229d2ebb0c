#pragma once

#include <cstdint>
#include <cstring>

#include "math/vector4.h"

// A vertex's position or normal: three floats at `at`, in the model's layout.
// Read float by float, so that the compiler keeps them in registers: a copy
// of the 12 bytes through memory stalls the loads that read it back.
inline Vector3 LoadVector3(const uint8_t* at)
{
    float v[3];
    for (int i = 0; i < 3; ++i)
        std::memcpy(&v[i], at + 4 * i, sizeof v[i]);
    return {v[0], v[1], v[2]};
}

inline void StoreVector3(const Vector3& v, uint8_t* at)
{
    std::memcpy(at, &v.x, sizeof v.x);
    std::memcpy(at + 4, &v.y, sizeof v.y);
    std::memcpy(at + 8, &v.z, sizeof v.z);
}

// Scales v by 1 / length when its length is greater than 0; otherwise leaves it as it is.
inline Vector3 ScaledToUnit(const Vector3& v)
{
    const float length = v.Length();
    return length > 0.0f ? v * (1.0f / length) : v;
}
