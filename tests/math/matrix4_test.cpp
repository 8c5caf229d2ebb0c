#include "math/matrix4.h"

#include <gtest/gtest.h>

namespace {

void ExpectVector(const Vector4& v, float x, float y, float z, float w, float tol = 1e-6f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
    EXPECT_NEAR(v.w, w, tol);
}

Matrix4 Rotation(float ax, float ay, float az)
{
    Matrix4 m;
    m.SetRotation(ax, ay, az);
    return m;
}

TEST(Matrix4, RotationsTurnTheAxesTheRightWay)
{
    ExpectVector(Transform({0, 1, 0, 1}, Rotation(90, 0, 0)), 0, 0, 1, 1);
    ExpectVector(Transform({1, 0, 0, 1}, Rotation(0, 90, 0)), 0, 0, -1, 1);
    ExpectVector(Transform({1, 0, 0, 1}, Rotation(0, 0, 90)), 0, 1, 0, 1);
}

TEST(Matrix4, RotationAppliesXBeforeY)
{
    ExpectVector(Transform({0, 1, 0, 1}, Rotation(90, 90, 0)), 1, 0, 0, 1);
}

TEST(Matrix4, RotationRoundsTheRadianAngleToFloatBeforeCosAndSin)
{
    const Matrix4 m = Rotation(0, 0, 30);
    const float radians = static_cast<float>(30.0f * 0.017453292519943295);
    EXPECT_EQ(m(0, 0), static_cast<float>(std::cos(static_cast<double>(radians))));
    EXPECT_EQ(m(1, 0), static_cast<float>(std::sin(static_cast<double>(radians))));
    EXPECT_EQ(m(0, 1), -m(1, 0));
}

TEST(Matrix4, MultiplyAppliesFirstThenSecond)
{
    Matrix4 t, s;
    t.SetTranslation(1, 0, 0);
    s.SetScale(2, 2, 2);
    ExpectVector(Transform({0, 0, 0, 1}, Multiply(t, s)), 2, 0, 0, 1);
    ExpectVector(Transform({0, 0, 0, 1}, Multiply(s, t)), 1, 0, 0, 1);
}

TEST(Matrix4, MultiplyIntoAnOperandGivesTheSameResult)
{
    Matrix4 a = Rotation(10, 20, 30), b;
    b.SetTranslation(1, 2, 3);
    const Matrix4 fresh = Multiply(a, b);
    a = Multiply(a, b);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(a.m[i], fresh.m[i]);
}

TEST(Matrix4, TransformDirectionIgnoresTranslation)
{
    Matrix4 t;
    t.SetTranslation(5, 6, 7);
    ExpectVector(TransformDirection(Vector3(1, 0, 0, 9), t), 1, 0, 0, 1, 0);
}

TEST(Matrix4, TransformUsesAllFourRowsWithoutDividing)
{
    Matrix4 m;
    m(3, 2) = 1;
    m(3, 3) = 1;
    ExpectVector(Transform({1, 2, 3, 1}, m), 1, 2, 3, 4, 0);
}

TEST(Matrix4, SetOperationsStartFromTheIdentity)
{
    Matrix4 m;
    m.SetTranslation(1, 2, 3);
    m.SetScale(2, 3, 4);
    const Matrix4 identityScaled = [] {
        Matrix4 s;
        s.SetScale(2, 3, 4);
        return s;
    }();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m.m[i], identityScaled.m[i]);
    EXPECT_EQ(m.m[3], 0.0f);
}

}  // namespace
