#include "web/gl11/renderer.h"

#include <webgl/webgl1.h>

#include <emscripten/console.h>
#include <emscripten/html5_webgl.h>

#include <cmath>

#include "web/gl11/shaders.h"

namespace gl11 {

namespace {

enum Attribute { kEye, kNormal, kTexCoord, kColor, kStyle };

GLuint Compile(GLenum type, const char* defines, const char* source, std::string* why) {
    const GLuint shader = emscripten_glCreateShader(type);
    const char* sources[2] = {defines, source};
    emscripten_glShaderSource(shader, 2, sources, nullptr);
    emscripten_glCompileShader(shader);
    GLint ok = 0;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        *why = std::string("the shader does not compile: ") + log;
        emscripten_glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// The vertex shader and the fragment shader with `defines` in front, linked; 0 with the reason.
GLuint Link(const char* defines, std::string* why) {
    const GLuint vertex = Compile(GL_VERTEX_SHADER, "", kVertexShader, why);
    const GLuint fragment =
        vertex != 0 ? Compile(GL_FRAGMENT_SHADER, defines, kFragmentShader, why) : 0;
    if (fragment == 0) {
        if (vertex != 0) {
            emscripten_glDeleteShader(vertex);
        }
        return 0;
    }
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, vertex);
    emscripten_glAttachShader(program, fragment);
    emscripten_glBindAttribLocation(program, kEye, "a_eye");
    emscripten_glBindAttribLocation(program, kNormal, "a_normal");
    emscripten_glBindAttribLocation(program, kTexCoord, "a_texCoord");
    emscripten_glBindAttribLocation(program, kColor, "a_color");
    emscripten_glBindAttribLocation(program, kStyle, "a_style");
    emscripten_glLinkProgram(program);
    emscripten_glDeleteShader(vertex);
    emscripten_glDeleteShader(fragment);
    GLint ok = 0;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        emscripten_glGetProgramInfoLog(program, sizeof log, nullptr, log);
        *why = std::string("the shader program does not link: ") + log;
        emscripten_glDeleteProgram(program);
        return 0;
    }
    return program;
}

GLenum WebGlWrap(GLint wrap) {
    // WebGL has no border colour, so OpenGL 1.1's GL_CLAMP clamps to the edge.
    return wrap == GL_CLAMP ? GL_CLAMP_TO_EDGE : GL_REPEAT;
}

} // namespace

bool Renderer::UseProgram(int variant, std::string* why) {
    Program& p = programs_[variant];
    if (p.id == 0 && !p.failed) {
        std::string defines = depth16_ ? "#define DEPTH16\n" : "";
        if ((variant & kTextured) != 0) {
            defines += "#define TEXTURED\n";
        }
        if ((variant & kSourceAlphaOne) != 0) {
            defines += "#define SOURCE_ALPHA_ONE\n";
        }
        p.id = Link(defines.c_str(), why);
        p.failed = p.id == 0;
        p.uniforms.clear();
        if (p.id != 0) {
            program_ = &p;
            emscripten_glUseProgram(p.id);
            if ((variant & kTextured) != 0) {
                emscripten_glUniform1i(Uniform("u_texture"), 0);
            }
        }
    }
    if (p.id == 0) {
        return false;
    }
    if (program_ != &p) {
        program_ = &p;
        emscripten_glUseProgram(p.id);
    }
    return true;
}

bool Renderer::Create(std::string* why) {
    for (Program& p : programs_) {
        p = Program();
    }
    program_ = nullptr;
    // Without the extension (rare) the depth keeps the context's own bits.
    depth16_ = emscripten_webgl_enable_extension(emscripten_webgl_get_current_context(),
                                                 "EXT_frag_depth") == EM_TRUE;
    // The boxes' variant, built now so that a context that cannot run the layer is told at once.
    if (!UseProgram(kSourceAlphaOne, why)) {
        programs_[kSourceAlphaOne] = Program();
        return false;
    }

    emscripten_glGenBuffers(1, &vertexBuffer_);
    emscripten_glGenBuffers(1, &indexBuffer_);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    const GLsizei stride = sizeof(GpuVertex);
    const struct {
        Attribute index;
        GLint size;
        GLenum type;
        GLboolean normalized;
        size_t offset;
    } layout[] = {{kEye, 3, GL_FLOAT, GL_FALSE, offsetof(GpuVertex, eye)},
                  {kNormal, 3, GL_FLOAT, GL_FALSE, offsetof(GpuVertex, normal)},
                  {kTexCoord, 2, GL_FLOAT, GL_FALSE, offsetof(GpuVertex, texCoord)},
                  {kColor, 4, GL_UNSIGNED_BYTE, GL_TRUE, offsetof(GpuVertex, color)},
                  {kStyle, 1, GL_FLOAT, GL_FALSE, offsetof(GpuVertex, style)}};
    for (const auto& a : layout) {
        emscripten_glEnableVertexAttribArray(a.index);
        emscripten_glVertexAttribPointer(a.index, a.size, a.type, a.normalized, stride,
                                         reinterpret_cast<const void*>(a.offset));
    }
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    for (auto& entry : textures_) {
        for (size_t level = 0; level < entry.second.levels.size(); ++level) {
            Upload(&entry.second, static_cast<int>(level));
        }
    }
    return true;
}

void Renderer::Forget() {
    for (Program& p : programs_) {
        p = Program();
    }
    program_ = nullptr;
    vertexBuffer_ = 0;
    indexBuffer_ = 0;
    for (auto& entry : textures_) {
        entry.second.id = 0;
    }
}

int Renderer::Uniform(const char* name) {
    auto found = program_->uniforms.find(name);
    if (found != program_->uniforms.end()) {
        return found->second;
    }
    const int location = emscripten_glGetUniformLocation(program_->id, name);
    program_->uniforms[name] = location;
    return location;
}

void Renderer::Clear(GLbitfield mask, const float color[4], const GLint* scissor) {
    if (!Ready()) {
        return;
    }
    Scissor(scissor);
    emscripten_glClearColor(color[0], color[1], color[2], color[3]);
    emscripten_glDepthMask(GL_TRUE);
    emscripten_glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

bool Renderer::Texture::Complete() const {
    if (levels.empty() || levels[0].empty()) {
        return false;
    }
    const bool mipmapped = minFilter != GL_NEAREST && minFilter != GL_LINEAR;
    if (!mipmapped) {
        return true;
    }
    // Every level down to 1 x 1, each half the one above.
    int w = widths[0];
    int h = heights[0];
    for (size_t level = 1;; ++level) {
        if (w == 1 && h == 1) {
            return true;
        }
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
        if (level >= levels.size() || levels[level].empty() || widths[level] != w ||
            heights[level] != h) {
            return false;
        }
    }
}

void Renderer::TexImage(GLuint name, int level, int width, int height, const uint8_t* rgba) {
    Texture& texture = textures_[name];
    if (texture.levels.size() <= static_cast<size_t>(level)) {
        texture.levels.resize(level + 1);
        texture.widths.resize(level + 1);
        texture.heights.resize(level + 1);
    }
    texture.levels[level].assign(rgba, rgba + static_cast<size_t>(width) * height * 4);
    texture.widths[level] = width;
    texture.heights[level] = height;
    Upload(&texture, level);
}

void Renderer::TexParameter(GLuint name, GLenum parameter, GLint value) {
    Texture& texture = textures_[name];
    switch (parameter) {
    case GL_TEXTURE_MIN_FILTER:
        texture.minFilter = value;
        break;
    case GL_TEXTURE_MAG_FILTER:
        texture.magFilter = value;
        break;
    case GL_TEXTURE_WRAP_S:
        texture.wrapS = value;
        break;
    default:
        texture.wrapT = value;
        break;
    }
    if (Ready() && texture.id != 0) {
        emscripten_glBindTexture(GL_TEXTURE_2D, texture.id);
        ApplyParameters(texture);
    }
}

void Renderer::Upload(Texture* texture, int level) {
    if (!Ready()) {
        return;
    }
    if (texture->id == 0) {
        emscripten_glGenTextures(1, &texture->id);
        emscripten_glBindTexture(GL_TEXTURE_2D, texture->id);
        ApplyParameters(*texture);
    }
    emscripten_glBindTexture(GL_TEXTURE_2D, texture->id);
    emscripten_glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, texture->widths[level],
                            texture->heights[level], 0, GL_RGBA, GL_UNSIGNED_BYTE,
                            texture->levels[level].data());
}

void Renderer::ApplyParameters(const Texture& texture) {
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, texture.minFilter);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, texture.magFilter);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, WebGlWrap(texture.wrapS));
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, WebGlWrap(texture.wrapT));
}

GLuint Renderer::Bind(Texture* texture) {
    if (!texture->Complete() || texture->id == 0) {
        return 0;
    }
    emscripten_glActiveTexture(GL_TEXTURE0);
    emscripten_glBindTexture(GL_TEXTURE_2D, texture->id);
    return texture->id;
}

void Renderer::SetLights(const Batch& batch, const Faults& faults) {
    float ambient[8][4], diffuse[8][4], specular[8][4], position[8][4], spot[8][4],
        attenuation[8][4], hasSpot[8];
    int count = 0;
    for (int i = 0; i < kMaxLights; ++i) {
        const Light& light = batch.lights[i];
        if (!light.enabled || i == faults.dropLight) {
            continue;
        }
        for (int k = 0; k < 4; ++k) {
            ambient[count][k] = light.ambient[k];
            diffuse[count][k] = light.diffuse[k];
            specular[count][k] = light.specular[k];
            position[count][k] = light.position[k];
        }
        // A zero direction stays zero: no point lies in its cone.
        const float* d = light.spotDirection;
        const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        const float scale = length > 0.0f ? 1.0f / length : 0.0f;
        for (int k = 0; k < 3; ++k) {
            spot[count][k] = d[k] * scale;
        }
        spot[count][3] =
            static_cast<float>(std::cos(static_cast<double>(light.spotCutoff) * M_PI / 180.0));
        for (int k = 0; k < 3; ++k) {
            attenuation[count][k] = light.attenuation[k];
        }
        attenuation[count][3] = light.spotExponent;
        hasSpot[count] = light.spotCutoff != 180.0f ? 1.0f : 0.0f;
        ++count;
    }
    emscripten_glUniform1i(Uniform("u_lightCount"), count);
    emscripten_glUniform4fv(Uniform("u_modelAmbient"), 1, batch.modelAmbient);
    if (count == 0) {
        return;
    }
    emscripten_glUniform4fv(Uniform("u_lightAmbient"), count, &ambient[0][0]);
    emscripten_glUniform4fv(Uniform("u_lightDiffuse"), count, &diffuse[0][0]);
    emscripten_glUniform4fv(Uniform("u_lightSpecular"), count, &specular[0][0]);
    emscripten_glUniform4fv(Uniform("u_lightPosition"), count, &position[0][0]);
    emscripten_glUniform4fv(Uniform("u_lightSpot"), count, &spot[0][0]);
    emscripten_glUniform4fv(Uniform("u_lightAttenuation"), count, &attenuation[0][0]);
    emscripten_glUniform1fv(Uniform("u_lightHasSpot"), count, hasSpot);
}

void Renderer::Scissor(const GLint* box) {
    if (box == nullptr) {
        emscripten_glDisable(GL_SCISSOR_TEST);
        return;
    }
    emscripten_glEnable(GL_SCISSOR_TEST);
    emscripten_glScissor(box[0], box[1], box[2], box[3]);
}

void Renderer::Draw(const Batch& batch, const Faults& faults) {
    const BatchKey& key = batch.key;
    if (!Ready() || batch.Empty() || (key.texturing && faults.dropTextured)) {
        return;
    }
    bool texturing = false;
    if (key.texturing) {
        auto found = textures_.find(key.texture);
        texturing = found != textures_.end() && Bind(&found->second) != 0;
    }
    const bool sourceAlphaOne = key.blend == BlendMode::kSourceAlphaOne;
    const int variant = (texturing ? kTextured : 0) | (sourceAlphaOne ? kSourceAlphaOne : 0);
    std::string why;
    const bool failedBefore = programs_[variant].failed;
    if (!UseProgram(variant, &why)) {
        if (!failedBefore) {
            emscripten_console_errorf("OpenGL 1.1 layer: %s", why.c_str());
        }
        return;
    }
    Scissor(key.scissorTest ? key.scissor : nullptr);
    emscripten_glViewport(key.viewport[0], key.viewport[1], key.viewport[2], key.viewport[3]);
    if (key.depthTest) {
        emscripten_glEnable(GL_DEPTH_TEST);
    } else {
        emscripten_glDisable(GL_DEPTH_TEST);
    }
    if (key.polygonOffset) {
        emscripten_glEnable(GL_POLYGON_OFFSET_FILL);
        emscripten_glPolygonOffset(key.offsetFactor, key.offsetUnits);
    } else {
        emscripten_glDisable(GL_POLYGON_OFFSET_FILL);
    }
    switch (key.blend) {
    case BlendMode::kOff:
        emscripten_glDisable(GL_BLEND);
        break;
    case BlendMode::kSourceAlphaOne:
        emscripten_glEnable(GL_BLEND);
        emscripten_glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BlendMode::kFunction:
        emscripten_glEnable(GL_BLEND);
        emscripten_glBlendFunc(key.blendSource, key.blendDestination);
        break;
    }
    emscripten_glUniformMatrix4fv(Uniform("u_projection"), 1, GL_FALSE, batch.projection.m);
    emscripten_glUniform1i(Uniform("u_lighting"), key.lighting);
    if (key.lighting) {
        SetLights(batch, faults);
        float ambient[kMaterialSlots][4], diffuse[kMaterialSlots][4], specular[kMaterialSlots][4],
            emission[kMaterialSlots][4], shininess[kMaterialSlots];
        for (int s = 0; s < batch.materialCount; ++s) {
            const Material& m = batch.materials[s];
            for (int k = 0; k < 4; ++k) {
                ambient[s][k] = m.ambient[k];
                diffuse[s][k] = m.diffuse[k];
                specular[s][k] = m.specular[k];
                emission[s][k] = m.emission[k];
            }
            shininess[s] = m.shininess;
        }
        const int n = batch.materialCount;
        emscripten_glUniform4fv(Uniform("u_materialAmbient"), n, &ambient[0][0]);
        emscripten_glUniform4fv(Uniform("u_materialDiffuse"), n, &diffuse[0][0]);
        emscripten_glUniform4fv(Uniform("u_materialSpecular"), n, &specular[0][0]);
        emscripten_glUniform4fv(Uniform("u_materialEmission"), n, &emission[0][0]);
        emscripten_glUniform1fv(Uniform("u_materialShininess"), n, shininess);
    }
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    emscripten_glBufferData(GL_ARRAY_BUFFER, batch.vertices.size() * sizeof(GpuVertex),
                            batch.vertices.data(), GL_STREAM_DRAW);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER, batch.indices.size() * sizeof(uint16_t),
                            batch.indices.data(), GL_STREAM_DRAW);
    emscripten_glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(batch.indices.size()),
                              GL_UNSIGNED_SHORT, nullptr);
}

} // namespace gl11
