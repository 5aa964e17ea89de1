// The OpenGL 1.1 machine behind the entry points: its state, its matrix stacks, the client
// arrays, and the batch that collects what is drawn until WebGL must see it.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "web/gl11/batch.h"
#include "web/gl11/matrix.h"
#include "web/gl11/renderer.h"
#include "web/gl11/state.h"

namespace gl11 {

class Context {
  public:
    Context();

    Renderer& renderer() { return renderer_; }
    Faults& faults() { return faults_; }

    // Records an error the way glGetError would see it, and reports the first of each kind on the
    // console: the scene never asks, so a mistake would otherwise go unseen.
    void Error(GLenum error, const char* function);

    void SetCapability(GLenum cap, bool on, const char* function);
    void SetClientState(GLenum array, bool on, const char* function);
    AttribState& state() { return state_; }
    void LightsChanged() { ++state_.lightsVersion; }

    void Viewport(GLint x, GLint y, GLsizei width, GLsizei height);
    void Scissor(GLint x, GLint y, GLsizei width, GLsizei height);
    void Clear(GLbitfield mask);
    // Hands what has been gathered to WebGL.
    void Flush();

    // The matrix that glMatrixMode selects; Changed() after every edit of it.
    Matrix& Current() { return stack().back(); }
    void Changed();
    void MatrixMode(GLenum mode);
    void Push();
    void Pop();

    void PushAttrib();
    void PopAttrib();

    void Light(GLenum light, GLenum parameter, const GLfloat* values, int given);
    void MaterialValue(GLenum face, GLenum parameter, const GLfloat* values);

    void TexImage(GLenum target, GLint level, GLint components, GLsizei width, GLsizei height,
                  GLenum format, GLenum type, const void* pixels);
    void TexParameter(GLenum target, GLenum parameter, GLint value);

    void Begin(GLenum mode);
    void Vertex(float x, float y, float z);
    void End();

    ClientArray& vertexArray() { return vertexArray_; }
    ClientArray& normalArray() { return normalArray_; }
    ClientArray& texCoordArray() { return texCoordArray_; }
    ClientArray& colorArray() { return colorArray_; }
    void DrawArrays(GLenum mode, GLint first, GLsizei count);
    void DrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);

  private:
    struct ImmediateVertex {
        float position[3];
        float color[4];
    };
    // Where a draw's vertices come from: the client arrays, or the vertices of glBegin/glEnd.
    struct Source {
        const std::vector<ImmediateVertex>* immediate = nullptr;
    };

    std::vector<Matrix>& stack() {
        return state_.matrixMode == GL_PROJECTION ? projection_ : modelview_;
    }
    BatchKey CurrentKey() const;
    bool Drawable(GLenum mode, const char* function);
    void Submit(GLenum mode, const Source& source, const std::vector<uint32_t>& order);
    void Fill(const Source& source, uint32_t index, int slot, GpuVertex* out);

    AttribState state_;
    std::vector<AttribState> attribStack_;
    std::vector<Matrix> modelview_;
    std::vector<Matrix> projection_;
    uint32_t projectionVersion_ = 0;
    bool normalMatrixValid_ = false;
    float normalMatrix_[9] = {};

    ClientArray vertexArray_;
    ClientArray normalArray_;
    ClientArray texCoordArray_;
    ClientArray colorArray_;

    bool inBegin_ = false;
    GLenum beginMode_ = GL_TRIANGLES;
    std::vector<ImmediateVertex> immediate_;

    GLenum error_ = GL_NO_ERROR;
    std::vector<uint64_t> reported_;

    Batch batch_;
    Renderer renderer_;
    Faults faults_;
};

Context& Gl();

} // namespace gl11
