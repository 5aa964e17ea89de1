// The layer's shaders: OpenGL 1.1's per-vertex lighting, texturing in the modulate mode, and the
// colour written for the blend mode of the batch. The fragment shader is compiled once for each
// combination of TEXTURED and SOURCE_ALPHA_ONE that is drawn.
#pragma once

namespace gl11 {

extern const char kVertexShader[];
extern const char kFragmentShader[];

} // namespace gl11
