// Triangles gathered for one WebGL draw call. Vertices arrive already in eye coordinates, so
// draws with different model-view matrices share a batch; a batch ends only when something that
// WebGL must see as state changes (the projection, the viewport, depth testing, the lights, the
// texture, a blend function other than the scene's own), or when it is full.
#pragma once

#include <cstdint>
#include <vector>

#include "web/gl11/matrix.h"
#include "web/gl11/state.h"

namespace gl11 {

// The vertex as the shader reads it: 40 bytes.
struct GpuVertex {
    float eye[3];
    float normal[3]; // eye coordinates, unnormalised as OpenGL leaves it
    float texCoord[2];
    uint8_t color[4]; // the current colour, for unlit drawing
    // material slot x 2, plus 1 for a blended draw (see BlendMode::kSourceAlphaOne)
    float style;
};

enum class BlendMode {
    kOff,
    // Blending (GL_SRC_ALPHA, GL_ONE) on or off per draw, in one call: the shader writes
    // (colour x alpha, 0) for a blended draw and (colour, 1) for an opaque one, and WebGL blends
    // with (GL_ONE, GL_ONE_MINUS_SRC_ALPHA), which gives each exactly what OpenGL would.
    kSourceAlphaOne,
    kFunction, // any other function, as given
};

struct BatchKey {
    GLint viewport[4] = {0, 0, 0, 0};
    uint32_t projectionVersion = 0;
    bool scissorTest = false;
    GLint scissor[4] = {0, 0, 0, 0};
    bool depthTest = false;
    bool polygonOffset = false;
    float offsetFactor = 0;
    float offsetUnits = 0;
    bool texturing = false;
    GLuint texture = 0;
    bool lighting = false;
    uint32_t lightsVersion = 0;
    BlendMode blend = BlendMode::kOff;
    GLenum blendSource = GL_ONE;
    GLenum blendDestination = GL_ZERO;

    bool operator==(const BatchKey& o) const;
    bool operator!=(const BatchKey& o) const { return !(*this == o); }
};

constexpr int kMaterialSlots = 4;
// 16-bit indices, which every WebGL 1 implementation takes.
constexpr size_t kMaxBatchVertices = 65536;

struct Batch {
    BatchKey key;
    Matrix projection = Identity();
    Light lights[kMaxLights];
    float modelAmbient[4] = {0, 0, 0, 0};
    Material materials[kMaterialSlots];
    int materialCount = 0;
    std::vector<GpuVertex> vertices;
    std::vector<uint16_t> indices;

    bool Empty() const { return indices.empty(); }
    void Reset();
    // The slot holding `material`, added if there is room; -1 when the batch has no room left.
    int SlotFor(const Material& material);
};

} // namespace gl11
