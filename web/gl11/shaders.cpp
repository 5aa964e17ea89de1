#include "web/gl11/shaders.h"

namespace gl11 {

// Lighting as OpenGL 1.1 computes it for one-sided lighting with the viewer at infinity: the
// emission, the light model's ambient and, for each enabled light, its ambient, diffuse and
// specular terms scaled by the distance attenuation and the spot factor. The colour is clamped
// at the vertex and then interpolated; the alpha is the material's diffuse alpha. Normals are
// used as given (no normalisation is enabled).
const char kVertexShader[] = R"(
precision highp float;
attribute vec3 a_eye;
attribute vec3 a_normal;
attribute vec2 a_texCoord;
attribute vec4 a_color;
attribute float a_style;

uniform mat4 u_projection;
uniform bool u_lighting;
uniform int u_lightCount;
uniform vec4 u_modelAmbient;
uniform vec4 u_lightAmbient[8];
uniform vec4 u_lightDiffuse[8];
uniform vec4 u_lightSpecular[8];
uniform vec4 u_lightPosition[8];
uniform vec4 u_lightSpot[8];        // unit direction (zero if given as zero), cos(cut-off)
uniform vec4 u_lightAttenuation[8]; // constant, linear, quadratic, spot exponent
uniform float u_lightHasSpot[8];    // 0 for a cut-off of 180 degrees
uniform vec4 u_materialAmbient[4];
uniform vec4 u_materialDiffuse[4];
uniform vec4 u_materialSpecular[4];
uniform vec4 u_materialEmission[4];
uniform float u_materialShininess[4];

varying vec4 v_color;
varying vec2 v_texCoord;
varying float v_blended;

vec4 Lit(vec3 v, vec3 n, int slot) {
    vec4 ambient = u_materialAmbient[slot];
    vec4 diffuse = u_materialDiffuse[slot];
    vec4 specular = u_materialSpecular[slot];
    float shininess = u_materialShininess[slot];
    vec3 c = u_materialEmission[slot].rgb + ambient.rgb * u_modelAmbient.rgb;
    for (int i = 0; i < 8; ++i) {
        if (i >= u_lightCount) {
            break;
        }
        vec4 p = u_lightPosition[i];
        vec3 k = u_lightAttenuation[i].xyz;
        bool attenuated = u_lightHasSpot[i] != 0.0 || k != vec3(1.0, 0.0, 0.0);
        vec3 l;
        float attenuation = 1.0;
        if (p.w != 0.0) {
            vec3 d = p.xyz / p.w - v;
            float distance = length(d);
            l = d / distance;
            attenuation = 1.0 / (k.x + k.y * distance + k.z * distance * distance);
        } else {
            l = normalize(p.xyz);
        }
        if (u_lightHasSpot[i] != 0.0) {
            float s = dot(-l, u_lightSpot[i].xyz);
            float exponent = u_lightAttenuation[i].w;
            attenuation *= s >= u_lightSpot[i].w ? (exponent == 0.0 ? 1.0 : pow(s, exponent)) : 0.0;
        }
        float nl = dot(n, l);
        vec3 term = ambient.rgb * u_lightAmbient[i].rgb +
                    max(nl, 0.0) * diffuse.rgb * u_lightDiffuse[i].rgb;
        // A light behind the surface adds no highlight.
        if (nl > 0.0) {
            float f;
            if (shininess != 0.0) {
                f = pow(max(dot(n, normalize(l + vec3(0.0, 0.0, 1.0))), 0.0), shininess);
            } else if (attenuated) {
                // Mesa's fixed-function pipeline, which the native program draws with on Linux,
                // raises n.l to the power n.l here instead of taking the exponent 0 (a highlight
                // of 1): the browser shows the highlights the native program shows.
                f = pow(nl, nl);
            } else {
                f = 1.0;
            }
            term += f * specular.rgb * u_lightSpecular[i].rgb;
        }
        c += attenuation * term;
    }
    return vec4(clamp(c, 0.0, 1.0), clamp(diffuse.a, 0.0, 1.0));
}

void main() {
    int slot = int(floor(a_style * 0.5 + 0.25));
    v_blended = a_style - 2.0 * float(slot);
    v_color = u_lighting ? Lit(a_eye, a_normal, slot) : a_color;
    v_texCoord = a_texCoord;
    gl_Position = u_projection * vec4(a_eye, 1.0);
}
)";

// Texturing and the blend mode are compiled in, not chosen by uniforms at run time: a software
// WebGL (SwiftShader) runs both sides of a branch for every fragment, so an untextured box would
// still pay for a filtered texture fetch, and boxes close to the camera are most of the picture.
//
// DEPTH16: the native program asks for a 16-bit depth buffer, and WebGL gives 24 bits. Surfaces
// closer together than 16 bits can tell apart (far beams against the boxes behind them) are then
// drawn the other way round: the depth is rounded to 16 bits here, as the native buffer stores it.
const char kFragmentShader[] = R"(
#ifdef DEPTH16
#extension GL_EXT_frag_depth : enable
#endif
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
varying vec4 v_color;
varying float v_blended;
#ifdef TEXTURED
uniform sampler2D u_texture;
varying vec2 v_texCoord;
#endif

void main() {
#ifdef DEPTH16
    gl_FragDepthEXT = floor(gl_FragCoord.z * 65535.0 + 0.5) / 65535.0;
#endif
    vec4 c = v_color;
#ifdef TEXTURED
    c *= texture2D(u_texture, v_texCoord);
#endif
#ifdef SOURCE_ALPHA_ONE
    gl_FragColor = v_blended > 0.5 ? vec4(c.rgb * c.a, 0.0) : vec4(c.rgb, 1.0);
#else
    gl_FragColor = c;
#endif
}
)";

} // namespace gl11
