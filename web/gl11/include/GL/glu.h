// The GLU functions that zorvik calls, for the browser build (web/gl11).
#pragma once

#include <GL/gl.h>

#ifdef __cplusplus
extern "C" {
#endif

#define GLU_INVALID_ENUM 100900
#define GLU_INVALID_VALUE 100901

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ);
GLint gluBuild2DMipmaps(GLenum target, GLint components, GLint width, GLint height, GLenum format,
                        GLenum type, const void* data);

#ifdef __cplusplus
}
#endif
