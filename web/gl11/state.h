// The state of the OpenGL 1.1 machine that the layer keeps on the CPU: what the scene sets, in
// OpenGL's own terms and with OpenGL's defaults. WebGL sees only what a batch needs of it.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <cstring>

namespace gl11 {

constexpr int kMaxLights = 8;

struct Light {
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};  // light 0: white
    float specular[4] = {0, 0, 0, 1}; // light 0: white
    // Eye coordinates: transformed by the model-view current when they were set.
    float position[4] = {0, 0, 1, 0};
    float spotDirection[3] = {0, 0, -1};
    float spotExponent = 0;
    float spotCutoff = 180;
    float attenuation[3] = {1, 0, 0}; // constant, linear, quadratic
    bool enabled = false;
};

struct Material {
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    float specular[4] = {0, 0, 0, 1};
    float emission[4] = {0, 0, 0, 1};
    float shininess = 0;

    bool operator==(const Material& other) const {
        return std::memcmp(this, &other, sizeof *this) == 0;
    }
};

// Everything glPushAttrib(GL_ALL_ATTRIB_BITS) saves and glPopAttrib puts back.
struct AttribState {
    bool lighting = false;
    bool depthTest = false;
    bool blend = false;
    bool texture2D = false;
    bool polygonOffsetFill = false;
    bool scissorTest = false;
    GLint scissor[4] = {0, 0, 0, 0}; // set before the test is enabled wherever it is used
    Light lights[kMaxLights];
    Material front;
    Material back;
    float modelAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
    GLenum shadeModel = GL_SMOOTH;
    GLenum polygonModeFront = GL_FILL;
    GLenum polygonModeBack = GL_FILL;
    float offsetFactor = 0;
    float offsetUnits = 0;
    GLenum blendSource = GL_ONE;
    GLenum blendDestination = GL_ZERO;
    float clearColor[4] = {0, 0, 0, 0};
    GLint viewport[4] = {0, 0, 0, 0};
    GLuint texture = 0; // bound to GL_TEXTURE_2D
    float color[4] = {1, 1, 1, 1};
    GLenum matrixMode = GL_MODELVIEW;
    // Bumped whenever a light or the light model changes, so that batches know when to end.
    uint32_t lightsVersion = 0;

    AttribState() {
        for (float* c : {lights[0].diffuse, lights[0].specular}) {
            c[0] = c[1] = c[2] = 1;
        }
    }
};

// One client-side array: where its elements are and whether it is read.
struct ClientArray {
    bool enabled = false;
    int size = 3;
    GLsizei stride = 0; // bytes between elements; 0: tightly packed
    const void* pointer = nullptr;

    const float* Element(int index) const {
        const int step = stride != 0 ? stride : size * static_cast<int>(sizeof(float));
        return reinterpret_cast<const float*>(static_cast<const char*>(pointer) +
                                              static_cast<long>(index) * step);
    }
};

} // namespace gl11
