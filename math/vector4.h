#pragma once

#include <cmath>

// Homogeneous point or direction of four floats. Vector4 carries positions
// through 4 x 4 transforms and the perspective divide; Vector3 treats the same
// four fields as a 3-D vector and every Vector3 it creates has w = 1.
class Vector4 {
public:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    Vector4() = default;
    Vector4(float x, float y, float z, float w) : x(x), y(y), z(z), w(w) {}
    Vector4(const Vector4&) = default;
    Vector4& operator=(const Vector4&) = default;
    virtual ~Vector4() = default;

    // Divides x and y only: z stays the undivided depth the pipeline stores.
    void DivideByW()
    {
        if (w != 0.0f) {
            const float r = 1.0f / w;
            x *= r;
            y *= r;
        }
    }

    Vector4 operator+(const Vector4& b) const { return {x + b.x, y + b.y, z + b.z, 1.0f}; }
    Vector4 operator*(float s) const { return {x * s, y * s, z * s, 1.0f}; }
    Vector4 operator/(float s) const
    {
        if (s == 0.0f) return {0.0f, 0.0f, 0.0f, 1.0f};
        const float r = 1.0f / s;
        return {x * r, y * r, z * r, 1.0f};
    }
};

class Vector3 : public Vector4 {
public:
    Vector3() = default;
    Vector3(float x, float y, float z, float w = 1.0f) : Vector4(x, y, z, w) {}
    Vector3(const Vector4& v) : Vector4(v) {}  // NOLINT: implicit by design, fields copied
    Vector3(const Vector3&) = default;
    Vector3& operator=(const Vector3&) = default;
    ~Vector3() override = default;

    float Length() const { return std::sqrt(x * x + y * y + z * z); }

    // A zero vector stays zero; w keeps its value. Returns the length it had.
    float Normalize()
    {
        const float len = Length();
        if (len == 0.0f) {
            x = y = z = 0.0f;
            return len;
        }
        const float r = 1.0f / len;
        x *= r;
        y *= r;
        z *= r;
        return len;
    }
    float Dot(const Vector3& v) const { return x * v.x + y * v.y + z * v.z; }
    Vector3 Cross(const Vector3& v) const
    {
        return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
    }

    Vector3 operator+(const Vector3& b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vector3 operator-(const Vector3& b) const { return {x - b.x, y - b.y, z - b.z}; }
    Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
};

// Vector3::Normalize on three loose floats: a zero vector stays zero, and the
// length it had is returned. Without a branch, so that a loop over many
// vectors works on several per instruction.
inline float NormalizeOrZero(float& x, float& y, float& z)
{
    const float len = std::sqrt(x * x + y * y + z * z);
    const float r = 1.0f / len;
    const float ux = x * r, uy = y * r, uz = z * r;  // before the choice
    x = len == 0.0f ? 0.0f : ux;
    y = len == 0.0f ? 0.0f : uy;
    z = len == 0.0f ? 0.0f : uz;
    return len;
}

// Mirror image of l about n, 2 (n . l) n - l; neither argument is normalised.
inline Vector3 Reflect(const Vector3& n, const Vector3& l)
{
    const float d = n.x * l.x + n.y * l.y + n.z * l.z;
    Vector3 t = n * d;
    t = t * 2.0f;
    return t - l;
}
