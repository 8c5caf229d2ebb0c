#pragma once

// Floats for tests that set lanes against one value at a time: values of
// every kind the arithmetic treats apart, and a comparison of float bits.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "math/matrix4.h"

// Ordinary values, ones near 1 (an alpha either side of the blend's limit),
// zeros of both signs, denormals, infinities, and NaNs with the default and
// other payloads.
class AwkwardFloats {
public:
    explicit AwkwardFloats(uint32_t seed) : random(seed) {}

    float operator()()
    {
        switch (random() % 12) {
            case 0:
                return std::numeric_limits<float>::quiet_NaN();
            case 1:
                return FromBits(0x7FC00000u | (random() & 0x3FFFFFu) | 1u);  // another payload
            case 2:
                return random() % 2 ? INFINITY : -INFINITY;
            case 3:
                return random() % 2 ? 0.0f : -0.0f;
            case 4:
                return FromBits(random() & 0x807FFFFFu);  // denormal
            case 5:
                return 1.0f + (Uniform() - 0.5f) * 1e-6f;
            case 6:
                return Uniform() * 4.0f - 2.0f;
            default:
                return Uniform();
        }
    }
    // Mostly an ordinary value, one time in `odds` an awkward one: for
    // arithmetic that combines many inputs, most of whose results should
    // stay finite.
    float Mostly(uint32_t odds) { return Below(odds) == 0 ? (*this)() : Uniform() * 4.0f - 2.0f; }
    float Uniform() { return std::uniform_real_distribution<float>(0.0f, 1.0f)(random); }
    uint32_t Below(uint32_t n) { return random() % n; }

private:
    std::mt19937 random;

    static float FromBits(uint32_t bits)
    {
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
};

// Whether `count` floats at x and y have the same bits, but for the NaN that
// two NaNs give: which of them an operation hands on is the processor's
// choice of operand order, which the compiler makes afresh for every
// instruction (IEEE 754 leaves it open), and every NaN packs to the same
// byte. `nanChoices` counts the floats that differ so.
inline bool SameBitsButNaNs(const void* x, const void* y, std::size_t count, int& nanChoices)
{
    const auto isNaN = [](uint32_t bits) { return (bits & 0x7FFFFFFFu) > 0x7F800000u; };
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t a, b;
        std::memcpy(&a, static_cast<const char*>(x) + 4 * i, 4);
        std::memcpy(&b, static_cast<const char*>(y) + 4 * i, 4);
        if (a == b) continue;
        if (!isNaN(a) || !isNaN(b)) return false;
        ++nanChoices;
    }
    return true;
}

// A matrix of awkward and ordinary entries (times `scale`), a quarter of
// them zero.
inline Matrix4 AwkwardMatrix(AwkwardFloats& value, float scale)
{
    Matrix4 m;
    for (float& e : m.m)
        e = value.Below(4) == 0 ? 0.0f : value.Mostly(30) * scale;
    return m;
}
