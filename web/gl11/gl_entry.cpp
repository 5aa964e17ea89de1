// The OpenGL 1.1 entry points that the scene and the rate overlay call, over the layer's context.
#include <GL/gl.h>

#include <algorithm>

#include "web/gl11/context.h"

using gl11::Gl;

extern "C" {

void glGetIntegerv(GLenum pname, GLint* params) {
    if (pname != GL_VIEWPORT) {
        Gl().Error(GL_INVALID_ENUM, "glGetIntegerv");
        return;
    }
    std::copy_n(Gl().state().viewport, 4, params);
}

void glEnable(GLenum cap) {
    Gl().SetCapability(cap, true, "glEnable");
}

void glDisable(GLenum cap) {
    Gl().SetCapability(cap, false, "glDisable");
}

void glEnableClientState(GLenum array) {
    Gl().SetClientState(array, true, "glEnableClientState");
}

void glDisableClientState(GLenum array) {
    Gl().SetClientState(array, false, "glDisableClientState");
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    Gl().Viewport(x, y, width, height);
}

void glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    Gl().Scissor(x, y, width, height);
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    float* c = Gl().state().clearColor;
    const float given[4] = {red, green, blue, alpha};
    for (int k = 0; k < 4; ++k) {
        c[k] = std::min(std::max(given[k], 0.0f), 1.0f);
    }
}

void glClear(GLbitfield mask) {
    Gl().Clear(mask);
}

void glFlush(void) {
    Gl().Flush();
}

void glMatrixMode(GLenum mode) {
    Gl().MatrixMode(mode);
}

void glLoadIdentity(void) {
    Gl().Current() = gl11::Identity();
    Gl().Changed();
}

void glPushMatrix(void) {
    Gl().Push();
}

void glPopMatrix(void) {
    Gl().Pop();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    gl11::Translate(&Gl().Current(), x, y, z);
    Gl().Changed();
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    gl11::Scale(&Gl().Current(), x, y, z);
    Gl().Changed();
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
             GLdouble zFar) {
    if (left == right || bottom == top || zNear == zFar) {
        Gl().Error(GL_INVALID_VALUE, "glOrtho");
        return;
    }
    const double m[16] = {2 / (right - left),
                          0,
                          0,
                          0,
                          0,
                          2 / (top - bottom),
                          0,
                          0,
                          0,
                          0,
                          -2 / (zFar - zNear),
                          0,
                          -(right + left) / (right - left),
                          -(top + bottom) / (top - bottom),
                          -(zFar + zNear) / (zFar - zNear),
                          1};
    Gl().Current() = gl11::Multiply(Gl().Current(), gl11::FromDoubles(m));
    Gl().Changed();
}

void glPushAttrib(GLbitfield mask) {
    // Everything the layer keeps belongs to one of the groups that GL_ALL_ATTRIB_BITS names.
    if (mask != GL_ALL_ATTRIB_BITS) {
        Gl().Error(GL_INVALID_VALUE, "glPushAttrib");
    }
    Gl().PushAttrib();
}

void glPopAttrib(void) {
    Gl().PopAttrib();
}

void glLightf(GLenum light, GLenum pname, GLfloat param) {
    Gl().Light(light, pname, &param, 1);
}

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    Gl().Light(light, pname, params, 4);
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params) {
    Gl().MaterialValue(face, pname, params);
}

void glShadeModel(GLenum mode) {
    if (mode != GL_FLAT && mode != GL_SMOOTH) {
        Gl().Error(GL_INVALID_ENUM, "glShadeModel");
        return;
    }
    Gl().state().shadeModel = mode;
}

void glPolygonMode(GLenum face, GLenum mode) {
    if ((face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) ||
        (mode != GL_POINT && mode != GL_LINE && mode != GL_FILL)) {
        Gl().Error(GL_INVALID_ENUM, "glPolygonMode");
        return;
    }
    if (face != GL_BACK) {
        Gl().state().polygonModeFront = mode;
    }
    if (face != GL_FRONT) {
        Gl().state().polygonModeBack = mode;
    }
}

void glPolygonOffset(GLfloat factor, GLfloat units) {
    Gl().state().offsetFactor = factor;
    Gl().state().offsetUnits = units;
}

void glBlendFunc(GLenum sfactor, GLenum dfactor) {
    Gl().state().blendSource = sfactor;
    Gl().state().blendDestination = dfactor;
}

void glBindTexture(GLenum target, GLuint texture) {
    if (target != GL_TEXTURE_2D) {
        Gl().Error(GL_INVALID_ENUM, "glBindTexture");
        return;
    }
    Gl().state().texture = texture;
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
    Gl().TexParameter(target, pname, param);
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    float* c = Gl().state().color;
    c[0] = red;
    c[1] = green;
    c[2] = blue;
    c[3] = 1.0f;
}

void glColor4ub(GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha) {
    float* c = Gl().state().color;
    c[0] = red / 255.0f;
    c[1] = green / 255.0f;
    c[2] = blue / 255.0f;
    c[3] = alpha / 255.0f;
}

void glBegin(GLenum mode) {
    Gl().Begin(mode);
}

void glEnd(void) {
    Gl().End();
}

void glVertex2i(GLint x, GLint y) {
    Gl().Vertex(static_cast<float>(x), static_cast<float>(y), 0.0f);
}

void glRecti(GLint x1, GLint y1, GLint x2, GLint y2) {
    glBegin(GL_POLYGON);
    glVertex2i(x1, y1);
    glVertex2i(x2, y1);
    glVertex2i(x2, y2);
    glVertex2i(x1, y2);
    glEnd();
}

void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    if (size < 2 || size > 4 || type != GL_FLOAT || stride < 0) {
        Gl().Error(type != GL_FLOAT ? GL_INVALID_ENUM : GL_INVALID_VALUE, "glVertexPointer");
        return;
    }
    Gl().vertexArray() = {Gl().vertexArray().enabled, size, stride, pointer};
}

void glNormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer) {
    if (type != GL_FLOAT || stride < 0) {
        Gl().Error(type != GL_FLOAT ? GL_INVALID_ENUM : GL_INVALID_VALUE, "glNormalPointer");
        return;
    }
    Gl().normalArray() = {Gl().normalArray().enabled, 3, stride, pointer};
}

void glInterleavedArrays(GLenum format, GLsizei stride, const GLvoid* pointer) {
    if (format != GL_T2F_N3F_V3F) {
        Gl().Error(GL_INVALID_ENUM, "glInterleavedArrays");
        return;
    }
    const GLsizei step = stride != 0 ? stride : 8 * sizeof(float);
    const float* base = static_cast<const float*>(pointer);
    Gl().texCoordArray() = {true, 2, step, base};
    Gl().normalArray() = {true, 3, step, base + 2};
    Gl().vertexArray() = {true, 3, step, base + 5};
    Gl().colorArray().enabled = false;
}

void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    Gl().DrawArrays(mode, first, count);
}

void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
    Gl().DrawElements(mode, count, type, indices);
}

} // extern "C"
