// The layer's one shader program: OpenGL 1.1's per-vertex lighting, texturing in the modulate
// mode, and the colour written for the blend mode of the batch.
#pragma once

namespace gl11 {

extern const char kVertexShader[];
extern const char kFragmentShader[];

} // namespace gl11
