// The WebGL side of the layer: the shader program, the buffers a batch is streamed through, and
// the texture objects. It keeps a copy of every texture image, so that after a lost context is
// restored it can build everything again without the scene noticing.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "web/gl11/batch.h"

namespace gl11 {

// Parts of the picture left out on purpose, to show that the tests that compare pictures notice.
struct Faults {
    int dropLight = -1;        // this light (0..7) gives no light
    bool dropTextured = false; // textured draws (the glow) are skipped
};

class Renderer {
  public:
    // Builds the program and buffers in the current WebGL context and uploads the kept textures
    // again. False with the reason when the context cannot run the program.
    bool Create(std::string* why);
    // The context is lost, and every object with it.
    void Forget();
    bool Ready() const { return vertexBuffer_ != 0; }

    // `scissor`: the box the clear is limited to, or null.
    void Clear(GLbitfield mask, const float color[4], const GLint* scissor);
    void Draw(const Batch& batch, const Faults& faults);

    void TexImage(GLuint name, int level, int width, int height, const uint8_t* rgba);
    void TexParameter(GLuint name, GLenum parameter, GLint value);

  private:
    struct Texture {
        std::vector<std::vector<uint8_t>> levels;
        std::vector<int> widths;
        std::vector<int> heights;
        GLint minFilter = GL_NEAREST_MIPMAP_LINEAR;
        GLint magFilter = GL_LINEAR;
        GLint wrapS = GL_REPEAT;
        GLint wrapT = GL_REPEAT;
        GLuint id = 0; // in the current context; 0 before the first upload or after a loss
        bool Complete() const;
    };

    void Upload(Texture* texture, int level);
    void ApplyParameters(const Texture& texture);
    GLuint Bind(Texture* texture);
    void SetLights(const Batch& batch, const Faults& faults);
    void Scissor(const GLint* box);

    // One program for each fragment shader variant, built when a batch first needs it.
    enum Variant { kTextured = 1, kSourceAlphaOne = 2, kVariants = 4 };
    struct Program {
        GLuint id = 0;
        bool failed = false; // reported once; its batches are not drawn
        std::map<std::string, int> uniforms;
    };
    // Makes the variant's program current, building it first if need be. False when it cannot be
    // built, with the reason.
    bool UseProgram(int variant, std::string* why);

    Program programs_[kVariants];
    Program* program_ = nullptr; // the one in use
    bool depth16_ = false;       // depth rounded to the native program's 16 bits
    GLuint vertexBuffer_ = 0;
    GLuint indexBuffer_ = 0;
    std::map<GLuint, Texture> textures_;

    int Uniform(const char* name);
};

} // namespace gl11
