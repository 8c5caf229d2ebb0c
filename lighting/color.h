#pragma once

#include <cstdint>

// RGBA colour of four floats, nominally 0..1. Arithmetic never clamps; only
// the conversions to bytes (ToARGB, ChannelToByte) and ClampedAlpha do.
// An alpha limited to at most 1 (not a number becomes 1), with no lower
// limit: the weight the blend gives a colour.
inline float LimitAlpha(float a)
{
    return a < 1.0f ? a : 1.0f;
}

class Color {
public:
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;

    // 1/255 as the nearest float: 255 maps to 1.0 exactly.
    static constexpr float kByteScale = 0.003921568859368563f;

    Color() = default;
    Color(float r, float g, float b, float a) : r(r), g(g), b(b), a(a) {}
    explicit Color(uint32_t argb) { SetARGB(argb); }

    void Set(float red, float green, float blue, float alpha)
    {
        r = red;
        g = green;
        b = blue;
        a = alpha;
    }
    void SetBytes(int32_t red, int32_t green, int32_t blue, int32_t alpha);
    void SetARGB(uint32_t argb);
    uint32_t ToARGB() const;  // packed 0xAARRGGBB, each channel as ChannelToByte

    float ClampedAlpha() const { return LimitAlpha(a); }

    Color operator+(const Color& c) const { return {r + c.r, g + c.g, b + c.b, a + c.a}; }
    Color operator*(const Color& c) const { return {r * c.r, g * c.g, b * c.b, a * c.a}; }
    Color operator*(float s) const { return {r * s, g * s, b * s, a * s}; }
    // Colours are compared at 8-bit precision (ColorsDiffer).
    bool operator!=(const Color& c) const;
};

// c1 (1 - t) + c2 t on all four channels, evaluated as (c2 t) + (c1 s), s = 1 - t.
inline Color Mix(const Color& c1, const Color& c2, float t)
{
    const float s = 1.0f - t;
    return (c2 * t) + (c1 * s);
}

// One channel as a byte: limited to at most 1 (NaN becomes 1) and at least 0,
// times 255, truncated toward zero.
inline uint32_t ChannelToByte(float c)
{
    if (!(c < 1.0f)) c = 1.0f;
    if (c < 0.0f) c = 0.0f;
    return static_cast<uint32_t>(static_cast<int>(c * 255.0f)) & 0xFFu;
}

inline uint32_t Color::ToARGB() const
{
    return (ChannelToByte(a) << 24) | (ChannelToByte(r) << 16) | (ChannelToByte(g) << 8) |
           ChannelToByte(b);
}

// Whether two colours differ at 8-bit precision, the precision colours are
// compared at: whether their packed forms differ. Colours already packed (the
// corners of a triangle) are compared as they are.
inline bool ColorsDiffer(uint32_t packedA, uint32_t packedB)
{
    return packedA != packedB;
}
// Equal floats pack alike (flat shading gives a row's two ends one colour),
// so they are not packed.
inline bool ColorsDiffer(const Color& a, const Color& b)
{
    if (a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a) return false;
    return ColorsDiffer(a.ToARGB(), b.ToARGB());
}

inline bool Color::operator!=(const Color& c) const
{
    return ColorsDiffer(*this, c);
}
