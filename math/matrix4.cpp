#include "math/matrix4.h"

#include <cmath>

void Matrix4::SetIdentity()
{
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void Matrix4::SetScale(float sx, float sy, float sz)
{
    SetIdentity();
    m[0] = sx;
    m[5] = sy;
    m[10] = sz;
}

void Matrix4::SetTranslation(float tx, float ty, float tz)
{
    SetIdentity();
    m[3] = tx;
    m[7] = ty;
    m[11] = tz;
}

namespace {

struct CosSin {
    float c;
    float s;
};

// The radian angle is rounded to float before cos and sin are taken (in
// double) and rounded again: independent renderers agree on this to the bit.
CosSin DegreesToCosSin(float degrees)
{
    const float radians = static_cast<float>(degrees * 0.017453292519943295);
    return {static_cast<float>(std::cos(static_cast<double>(radians))),
            static_cast<float>(std::sin(static_cast<double>(radians)))};
}

}  // namespace

void Matrix4::SetRotation(float ax, float ay, float az)
{
    const CosSin a = DegreesToCosSin(ax);
    const CosSin b = DegreesToCosSin(ay);
    const CosSin g = DegreesToCosSin(az);
    Matrix4 rx, ry, rz;
    rx.m[5] = a.c;
    rx.m[6] = -a.s;
    rx.m[9] = a.s;
    rx.m[10] = a.c;
    ry.m[0] = b.c;
    ry.m[2] = b.s;
    ry.m[8] = -b.s;
    ry.m[10] = b.c;
    rz.m[0] = g.c;
    rz.m[1] = -g.s;
    rz.m[4] = g.s;
    rz.m[5] = g.c;
    *this = Multiply(Multiply(rx, ry), rz);
}

Matrix4 Multiply(const Matrix4& first, const Matrix4& second)
{
    Matrix4 result;  // accumulated apart, so the result may alias an operand
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            result(r, c) = second(r, 0) * first(0, c) + second(r, 1) * first(1, c) +
                           second(r, 2) * first(2, c) + second(r, 3) * first(3, c);
    return result;
}
