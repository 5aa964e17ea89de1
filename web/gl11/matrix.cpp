#include "web/gl11/matrix.h"

#include <cmath>

namespace gl11 {

Matrix Identity() {
    return Matrix{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix p;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            p.m[column * 4 + row] =
                a.m[row] * b.m[column * 4] + a.m[4 + row] * b.m[column * 4 + 1] +
                a.m[8 + row] * b.m[column * 4 + 2] + a.m[12 + row] * b.m[column * 4 + 3];
        }
    }
    return p;
}

void Translate(Matrix* matrix, float x, float y, float z) {
    float* m = matrix->m;
    for (int row = 0; row < 4; ++row) {
        m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    }
}

void Scale(Matrix* matrix, float x, float y, float z) {
    float* m = matrix->m;
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

Matrix FromDoubles(const double* m) {
    Matrix f;
    for (int i = 0; i < 16; ++i) {
        f.m[i] = static_cast<float>(m[i]);
    }
    return f;
}

void TransformPoint(const Matrix& matrix, const float in[4], float out[4]) {
    const float* m = matrix.m;
    for (int row = 0; row < 4; ++row) {
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
    }
}

void TransformDirection(const Matrix& matrix, const float in[3], float out[3]) {
    const float* m = matrix.m;
    for (int row = 0; row < 3; ++row) {
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2];
    }
}

bool NormalMatrix(const Matrix& modelview, float out[9]) {
    // a[row][column] of the upper-left 3 x 3.
    const float* m = modelview.m;
    const float a00 = m[0], a01 = m[4], a02 = m[8];
    const float a10 = m[1], a11 = m[5], a12 = m[9];
    const float a20 = m[2], a21 = m[6], a22 = m[10];
    const float c00 = a11 * a22 - a12 * a21;
    const float c01 = a12 * a20 - a10 * a22;
    const float c02 = a10 * a21 - a11 * a20;
    const float det = a00 * c00 + a01 * c01 + a02 * c02;
    if (det == 0.0f || !std::isfinite(det)) {
        for (int i = 0; i < 9; ++i) {
            out[i] = 0.0f;
        }
        return false;
    }
    const float inv = 1.0f / det;
    // inverse[row][column], stored row after row.
    out[0] = c00 * inv;
    out[1] = (a02 * a21 - a01 * a22) * inv;
    out[2] = (a01 * a12 - a02 * a11) * inv;
    out[3] = c01 * inv;
    out[4] = (a00 * a22 - a02 * a20) * inv;
    out[5] = (a02 * a10 - a00 * a12) * inv;
    out[6] = c02 * inv;
    out[7] = (a01 * a20 - a00 * a21) * inv;
    out[8] = (a00 * a11 - a01 * a10) * inv;
    return true;
}

void TransformNormal(const float n[9], const float in[3], float out[3]) {
    // A row vector times the inverse: the inverse transpose applied to a column vector.
    for (int column = 0; column < 3; ++column) {
        out[column] = in[0] * n[column] + in[1] * n[3 + column] + in[2] * n[6 + column];
    }
}

} // namespace gl11
