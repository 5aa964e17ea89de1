// GLU's perspective, viewing transform and mipmap builder over the layer, each computed the way
// the classic GLU computes it so that the matrices and images match the native build's.
#include <GL/glu.h>

#include <cmath>

#include "web/gl11/context.h"
#include "web/gl11/mipmaps.h"

using gl11::Gl;

namespace {

void MultiplyCurrent(const double* m) {
    Gl().Current() = gl11::Multiply(Gl().Current(), gl11::FromDoubles(m));
    Gl().Changed();
}

void Normalize(float v[3]) {
    const float r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0.0f) {
        return;
    }
    for (int k = 0; k < 3; ++k) {
        v[k] /= r;
    }
}

void Cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

} // namespace

extern "C" {

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double radians = fovy / 2 * M_PI / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) {
        return;
    }
    const double cotangent = std::cos(radians) / sine;
    const double m[16] = {cotangent / aspect,
                          0,
                          0,
                          0,
                          0,
                          cotangent,
                          0,
                          0,
                          0,
                          0,
                          -(zFar + zNear) / deltaZ,
                          -1,
                          0,
                          0,
                          -2 * zNear * zFar / deltaZ,
                          0};
    MultiplyCurrent(m);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    // Single precision, as GLU has always done it.
    float forward[3] = {static_cast<float>(centerX - eyeX), static_cast<float>(centerY - eyeY),
                        static_cast<float>(centerZ - eyeZ)};
    float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    float side[3];
    Normalize(forward);
    Cross(forward, up, side);
    Normalize(side);
    Cross(side, forward, up);
    const double m[16] = {side[0], up[0], -forward[0], 0, side[1], up[1], -forward[1], 0,
                          side[2], up[2], -forward[2], 0, 0,       0,     0,           1};
    MultiplyCurrent(m);
    // glTranslated: the offsets rounded to floats, as the matrix keeps them.
    gl11::Translate(&Gl().Current(), static_cast<float>(-eyeX), static_cast<float>(-eyeY),
                    static_cast<float>(-eyeZ));
    Gl().Changed();
}

GLint gluBuild2DMipmaps(GLenum target, GLint components, GLint width, GLint height, GLenum format,
                        GLenum type, const void* data) {
    if (width < 1 || height < 1) {
        return GLU_INVALID_VALUE;
    }
    if (target != GL_TEXTURE_2D || format != GL_RGBA || type != GL_UNSIGNED_BYTE) {
        return GLU_INVALID_ENUM;
    }
    // GLU would first scale other sizes to powers of two; the scene's image is 128 x 128.
    const std::vector<gl11::MipLevel> levels =
        gl11::BuildMipmaps(static_cast<const uint8_t*>(data), width, height);
    if (levels.empty()) {
        return GLU_INVALID_VALUE;
    }
    for (size_t level = 0; level < levels.size(); ++level) {
        Gl().TexImage(target, static_cast<GLint>(level), components, levels[level].width,
                      levels[level].height, format, type, levels[level].rgba.data());
    }
    return 0;
}

} // extern "C"
