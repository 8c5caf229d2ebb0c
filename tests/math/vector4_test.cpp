#include "math/vector4.h"

#include <gtest/gtest.h>

namespace {

void ExpectVector(const Vector4& v, float x, float y, float z, float w, float tol = 0.0f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
    EXPECT_NEAR(v.w, w, tol);
}

TEST(Vector4, DivideByWDividesOnlyXAndY)
{
    Vector4 v(2, 4, 6, 2);
    v.DivideByW();
    ExpectVector(v, 1, 2, 6, 2);
}

TEST(Vector4, DivideByZeroWChangesNothing)
{
    Vector4 v(2, 4, 6, 0);
    v.DivideByW();
    ExpectVector(v, 2, 4, 6, 0);
}

TEST(Vector4, DivisionByScalarUsesOneReciprocalAndZeroGivesOrigin)
{
    ExpectVector(Vector4(1, 2, 3, 0) / 0.0f, 0, 0, 0, 1);
    ExpectVector(Vector4(1, 2, 3, 9) / 2.0f, 0.5f, 1, 1.5f, 1);
    // x * (1/3) differs from x / 3 in the last bit for some x: the reciprocal is meant.
    const float r = 1.0f / 3.0f;
    ExpectVector(Vector4(7, 11, 13, 1) / 3.0f, 7 * r, 11 * r, 13 * r, 1);
}

TEST(Vector4, ResultsOfArithmeticHaveUnitW)
{
    const Vector4 a(1, 2, 3, 5), b(4, 5, 6, 7);
    ExpectVector(a + b, 5, 7, 9, 1);
    ExpectVector(a * 2.0f, 2, 4, 6, 1);
    const Vector3 c(1, 2, 3, 5), d(4, 5, 6, 7);
    ExpectVector(c - d, -3, -3, -3, 1);
    ExpectVector(c + d, 5, 7, 9, 1);
    ExpectVector(c * 3.0f, 3, 6, 9, 1);
    ExpectVector(c.Cross(d), -3, 6, -3, 1);
}

TEST(Vector3, NormalizeKeepsWAndLeavesZeroVectorZero)
{
    Vector3 zero(0, 0, 0, 5);
    zero.Normalize();
    ExpectVector(zero, 0, 0, 0, 5);
    Vector3 v(3, 0, 4, 7);
    v.Normalize();
    ExpectVector(v, 0.6f, 0, 0.8f, 7, 1e-7f);
}

TEST(Vector3, DotAndLengthIgnoreW)
{
    const Vector3 v(1, 2, 2, 100);
    EXPECT_FLOAT_EQ(v.Length(), 3.0f);
    EXPECT_FLOAT_EQ(v.Dot(Vector3(1, 1, 1, -50)), 5.0f);
}

TEST(Vector3, CrossFollowsTheRightHandRule)
{
    ExpectVector(Vector3(1, 0, 0).Cross(Vector3(0, 1, 0)), 0, 0, 1, 1);
    ExpectVector(Vector3(0, 1, 0).Cross(Vector3(0, 0, 1)), 1, 0, 0, 1);
}

TEST(Vector3, ReflectMirrorsAboutTheNormal)
{
    Vector3 l(1, 1, 0);
    l.Normalize();
    ExpectVector(Reflect(Vector3(0, 1, 0), l), -0.70710678f, 0.70710678f, 0, 1, 1e-6f);
}

TEST(Vector3, ConvertsToAndFromVector4WithAllFourFields)
{
    const Vector4 p(1, 2, 3, 4);
    Vector3 v;
    v = p;
    ExpectVector(v, 1, 2, 3, 4);
    Vector4 q;
    q = Vector3(5, 6, 7, 8);
    ExpectVector(q, 5, 6, 7, 8);
}

}  // namespace
