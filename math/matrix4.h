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

// A matrix laid out by columns, for transforming many vectors by one matrix:
// each row's products are summed left to right, as written out by rows, but
// the four rows are worked on together from whole columns.
class MatrixColumns {
public:
    explicit MatrixColumns(const Matrix4& m)
    {
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 4; ++col)
                column[col][row] = m(row, col);
    }

    Vector4 Transform(const Vector4& v) const
    {
        float r[4];
        for (int row = 0; row < 4; ++row)
            r[row] = column[0][row] * v.x + column[1][row] * v.y + column[2][row] * v.z +
                     column[3][row] * v.w;
        return {r[0], r[1], r[2], r[3]};
    }
    // Transform for several vectors at once, a vector a lane (math/lanes.h):
    // each lane's rows summed as Transform sums them.
    template <class F>
    void TransformLanes(F x, F y, F z, F w, F r[4]) const
    {
        for (int row = 0; row < 4; ++row)
            r[row] =
                column[0][row] * x + column[1][row] * y + column[2][row] * z + column[3][row] * w;
    }
    // TransformDirection for several directions at once, a direction a lane.
    template <class F>
    void TransformDirectionLanes(F x, F y, F z, F r[3]) const
    {
        for (int row = 0; row < 3; ++row)
            r[row] = column[0][row] * x + column[1][row] * y + column[2][row] * z;
    }
    // Upper-left 3 x 3 block only: directions ignore translation. Not renormalised.
    Vector3 TransformDirection(const Vector3& v) const
    {
        float r[4];
        for (int row = 0; row < 4; ++row)
            r[row] = column[0][row] * v.x + column[1][row] * v.y + column[2][row] * v.z;
        return {r[0], r[1], r[2]};
    }

private:
    float column[4][4];
};

inline Vector4 Transform(const Vector4& v, const Matrix4& m)
{
    return MatrixColumns(m).Transform(v);
}

inline Vector3 TransformDirection(const Vector3& v, const Matrix4& m)
{
    return MatrixColumns(m).TransformDirection(v);
}
