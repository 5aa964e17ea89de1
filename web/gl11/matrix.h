// 4 x 4 matrices as OpenGL keeps them: 16 floats, column after column, the arithmetic done in
// single precision as a fixed-function pipeline does it.
#pragma once

namespace gl11 {

struct Matrix {
    float m[16];
};

Matrix Identity();
// a x b: b applied first.
Matrix Multiply(const Matrix& a, const Matrix& b);
// The same as Multiply(*matrix, translation / scale), done the cheap way.
void Translate(Matrix* matrix, float x, float y, float z);
void Scale(Matrix* matrix, float x, float y, float z);
// A matrix given in double precision, as glMultMatrixd takes it, rounded to floats.
Matrix FromDoubles(const double* m);

// out = matrix x (x, y, z, w).
void TransformPoint(const Matrix& matrix, const float in[4], float out[4]);
// out = upper-left 3 x 3 of matrix x (x, y, z): a direction, without the translation.
void TransformDirection(const Matrix& matrix, const float in[3], float out[3]);

// Normals go through the inverse transpose of the model-view's upper-left 3 x 3, unnormalised:
// rows of the inverse, so that out = in x inverse. False (and zeros) for a singular matrix.
bool NormalMatrix(const Matrix& modelview, float out[9]);
void TransformNormal(const float normalMatrix[9], const float in[3], float out[3]);

} // namespace gl11
