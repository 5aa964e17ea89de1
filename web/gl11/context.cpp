#include "web/gl11/context.h"

#include <emscripten/console.h>

#include <algorithm>
#include <cmath>

namespace gl11 {

namespace {

// OpenGL's minimum depths of the matrix stacks and the attribute stack.
constexpr size_t kModelviewDepth = 32;
constexpr size_t kProjectionDepth = 2;
constexpr size_t kAttribDepth = 16;

// The two triangles of a quad (v0, v1, v2, v3), split along the diagonal from v1 to v3 as Mesa's
// draw module splits them: shading across a quad whose corners are lit differently depends on it.
constexpr int kQuadTriangles[6] = {0, 1, 3, 1, 2, 3};

uint8_t ToByte(float c) {
    const float clamped = std::min(std::max(c, 0.0f), 1.0f);
    return static_cast<uint8_t>(std::lround(clamped * 255.0f));
}

// The vertices of each triangle of a primitive of `count` vertices, as positions in the draw's
// order, and for each triangle the vertex whose colour a flat-shaded primitive takes.
void Triangulate(GLenum mode, size_t count, std::vector<uint32_t>* corners,
                 std::vector<uint32_t>* provoking) {
    auto triangle = [&](size_t a, size_t b, size_t c, size_t p) {
        corners->insert(corners->end(), {static_cast<uint32_t>(a), static_cast<uint32_t>(b),
                                         static_cast<uint32_t>(c)});
        provoking->push_back(static_cast<uint32_t>(p));
    };
    switch (mode) {
    case GL_QUADS:
        for (size_t q = 0; q + 3 < count; q += 4) {
            for (int t = 0; t < 6; t += 3) {
                triangle(q + kQuadTriangles[t], q + kQuadTriangles[t + 1],
                         q + kQuadTriangles[t + 2], q + 3);
            }
        }
        break;
    case GL_TRIANGLES:
        for (size_t i = 0; i + 2 < count; i += 3) {
            triangle(i, i + 1, i + 2, i + 2);
        }
        break;
    case GL_TRIANGLE_STRIP:
        for (size_t i = 0; i + 2 < count; ++i) {
            if (i % 2 == 0) {
                triangle(i, i + 1, i + 2, i + 2);
            } else {
                triangle(i + 1, i, i + 2, i + 2);
            }
        }
        break;
    case GL_TRIANGLE_FAN:
        for (size_t i = 1; i + 1 < count; ++i) {
            triangle(0, i, i + 1, i + 1);
        }
        break;
    default: // GL_POLYGON: a fan, flat-shaded with its first vertex
        for (size_t i = 1; i + 1 < count; ++i) {
            triangle(0, i, i + 1, 0);
        }
        break;
    }
}

} // namespace

Context& Gl() {
    static Context context;
    return context;
}

Context::Context() : modelview_{Identity()}, projection_{Identity()} {}

void Context::Error(GLenum error, const char* function) {
    if (error_ == GL_NO_ERROR) {
        error_ = error;
    }
    const uint64_t kind =
        (static_cast<uint64_t>(error) << 32) ^ reinterpret_cast<uintptr_t>(function);
    if (std::find(reported_.begin(), reported_.end(), kind) == reported_.end()) {
        reported_.push_back(kind);
        emscripten_console_errorf("OpenGL 1.1 layer: %s: error 0x%04x (only the first is reported)",
                                  function, error);
    }
}

void Context::SetCapability(GLenum cap, bool on, const char* function) {
    if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + kMaxLights) {
        state_.lights[cap - GL_LIGHT0].enabled = on;
        LightsChanged();
        return;
    }
    switch (cap) {
    case GL_LIGHTING:
        state_.lighting = on;
        break;
    case GL_DEPTH_TEST:
        state_.depthTest = on;
        break;
    case GL_BLEND:
        state_.blend = on;
        break;
    case GL_TEXTURE_2D:
        state_.texture2D = on;
        break;
    case GL_POLYGON_OFFSET_FILL:
        state_.polygonOffsetFill = on;
        break;
    case GL_SCISSOR_TEST:
        state_.scissorTest = on;
        break;
    default:
        Error(GL_INVALID_ENUM, function);
        break;
    }
}

void Context::SetClientState(GLenum array, bool on, const char* function) {
    switch (array) {
    case GL_VERTEX_ARRAY:
        vertexArray_.enabled = on;
        break;
    case GL_NORMAL_ARRAY:
        normalArray_.enabled = on;
        break;
    case GL_TEXTURE_COORD_ARRAY:
        texCoordArray_.enabled = on;
        break;
    case GL_COLOR_ARRAY:
        colorArray_.enabled = on;
        break;
    default:
        Error(GL_INVALID_ENUM, function);
        break;
    }
}

void Context::Viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (width < 0 || height < 0) {
        Error(GL_INVALID_VALUE, "glViewport");
        return;
    }
    state_.viewport[0] = x;
    state_.viewport[1] = y;
    state_.viewport[2] = width;
    state_.viewport[3] = height;
}

void Context::Scissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (width < 0 || height < 0) {
        Error(GL_INVALID_VALUE, "glScissor");
        return;
    }
    state_.scissor[0] = x;
    state_.scissor[1] = y;
    state_.scissor[2] = width;
    state_.scissor[3] = height;
}

void Context::Clear(GLbitfield mask) {
    if ((mask & ~(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)) != 0) {
        Error(GL_INVALID_VALUE, "glClear");
        return;
    }
    Flush();
    renderer_.Clear(mask, state_.clearColor, state_.scissorTest ? state_.scissor : nullptr);
}

void Context::Flush() {
    if (!batch_.Empty()) {
        renderer_.Draw(batch_, faults_);
    }
    batch_.Reset();
}

void Context::Changed() {
    if (state_.matrixMode == GL_PROJECTION) {
        ++projectionVersion_;
    } else {
        normalMatrixValid_ = false;
    }
}

void Context::MatrixMode(GLenum mode) {
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION) {
        Error(GL_INVALID_ENUM, "glMatrixMode");
        return;
    }
    state_.matrixMode = mode;
}

void Context::Push() {
    const size_t depth = state_.matrixMode == GL_PROJECTION ? kProjectionDepth : kModelviewDepth;
    if (stack().size() >= depth) {
        Error(GL_STACK_OVERFLOW, "glPushMatrix");
        return;
    }
    stack().push_back(stack().back());
}

void Context::Pop() {
    if (stack().size() <= 1) {
        Error(GL_STACK_UNDERFLOW, "glPopMatrix");
        return;
    }
    stack().pop_back();
    Changed();
}

void Context::PushAttrib() {
    if (attribStack_.size() >= kAttribDepth) {
        Error(GL_STACK_OVERFLOW, "glPushAttrib");
        return;
    }
    attribStack_.push_back(state_);
}

void Context::PopAttrib() {
    if (attribStack_.empty()) {
        Error(GL_STACK_UNDERFLOW, "glPopAttrib");
        return;
    }
    // The version stays ahead of every batch made meanwhile, so the restored lights end them.
    const uint32_t version = state_.lightsVersion + 1;
    state_ = attribStack_.back();
    state_.lightsVersion = version;
    attribStack_.pop_back();
}

void Context::Light(GLenum light, GLenum parameter, const GLfloat* values, int given) {
    if (light < GL_LIGHT0 || light >= GL_LIGHT0 + kMaxLights) {
        Error(GL_INVALID_ENUM, "glLight");
        return;
    }
    gl11::Light& l = state_.lights[light - GL_LIGHT0];
    const bool vector = parameter == GL_AMBIENT || parameter == GL_DIFFUSE ||
                        parameter == GL_SPECULAR || parameter == GL_POSITION ||
                        parameter == GL_SPOT_DIRECTION;
    if (vector && given == 1) {
        Error(GL_INVALID_ENUM, "glLightf");
        return;
    }
    switch (parameter) {
    case GL_AMBIENT:
        std::copy_n(values, 4, l.ambient);
        break;
    case GL_DIFFUSE:
        std::copy_n(values, 4, l.diffuse);
        break;
    case GL_SPECULAR:
        std::copy_n(values, 4, l.specular);
        break;
    case GL_POSITION:
        // Fixed in eye coordinates by the model-view matrix of this moment.
        TransformPoint(modelview_.back(), values, l.position);
        break;
    case GL_SPOT_DIRECTION:
        TransformDirection(modelview_.back(), values, l.spotDirection);
        break;
    case GL_SPOT_EXPONENT:
        if (values[0] < 0 || values[0] > 128) {
            Error(GL_INVALID_VALUE, "glLight");
            return;
        }
        l.spotExponent = values[0];
        break;
    case GL_SPOT_CUTOFF:
        if ((values[0] < 0 || values[0] > 90) && values[0] != 180) {
            Error(GL_INVALID_VALUE, "glLight");
            return;
        }
        l.spotCutoff = values[0];
        break;
    case GL_CONSTANT_ATTENUATION:
    case GL_LINEAR_ATTENUATION:
    case GL_QUADRATIC_ATTENUATION:
        if (values[0] < 0) {
            Error(GL_INVALID_VALUE, "glLight");
            return;
        }
        l.attenuation[parameter - GL_CONSTANT_ATTENUATION] = values[0];
        break;
    default:
        Error(GL_INVALID_ENUM, "glLight");
        return;
    }
    LightsChanged();
}

void Context::MaterialValue(GLenum face, GLenum parameter, const GLfloat* values) {
    if (face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) {
        Error(GL_INVALID_ENUM, "glMaterialfv");
        return;
    }
    for (Material* m : {&state_.front, &state_.back}) {
        if ((m == &state_.front && face == GL_BACK) || (m == &state_.back && face == GL_FRONT)) {
            continue;
        }
        switch (parameter) {
        case GL_AMBIENT:
            std::copy_n(values, 4, m->ambient);
            break;
        case GL_DIFFUSE:
            std::copy_n(values, 4, m->diffuse);
            break;
        case GL_AMBIENT_AND_DIFFUSE:
            std::copy_n(values, 4, m->ambient);
            std::copy_n(values, 4, m->diffuse);
            break;
        case GL_SPECULAR:
            std::copy_n(values, 4, m->specular);
            break;
        case GL_EMISSION:
            std::copy_n(values, 4, m->emission);
            break;
        case GL_SHININESS:
            if (values[0] < 0 || values[0] > 128) {
                Error(GL_INVALID_VALUE, "glMaterialfv");
                return;
            }
            m->shininess = values[0];
            break;
        default:
            Error(GL_INVALID_ENUM, "glMaterialfv");
            return;
        }
    }
}

void Context::TexImage(GLenum target, GLint level, GLint components, GLsizei width, GLsizei height,
                       GLenum format, GLenum type, const void* pixels) {
    if (target != GL_TEXTURE_2D) {
        Error(GL_INVALID_ENUM, "glTexImage2D");
        return;
    }
    // The layer keeps RGBA bytes, the only kind of image the scene has.
    if ((components != GL_RGBA && components != 4) || format != GL_RGBA ||
        type != GL_UNSIGNED_BYTE || pixels == nullptr) {
        Error(GL_INVALID_ENUM, "glTexImage2D");
        return;
    }
    if (level < 0 || width < 1 || height < 1) {
        Error(GL_INVALID_VALUE, "glTexImage2D");
        return;
    }
    Flush();
    renderer_.TexImage(state_.texture, level, width, height, static_cast<const uint8_t*>(pixels));
}

void Context::TexParameter(GLenum target, GLenum parameter, GLint value) {
    if (target != GL_TEXTURE_2D) {
        Error(GL_INVALID_ENUM, "glTexParameteri");
        return;
    }
    bool valid = false;
    switch (parameter) {
    case GL_TEXTURE_MIN_FILTER:
        valid = value == GL_NEAREST || value == GL_LINEAR || value == GL_NEAREST_MIPMAP_NEAREST ||
                value == GL_LINEAR_MIPMAP_NEAREST || value == GL_NEAREST_MIPMAP_LINEAR ||
                value == GL_LINEAR_MIPMAP_LINEAR;
        break;
    case GL_TEXTURE_MAG_FILTER:
        valid = value == GL_NEAREST || value == GL_LINEAR;
        break;
    case GL_TEXTURE_WRAP_S:
    case GL_TEXTURE_WRAP_T:
        valid = value == GL_CLAMP || value == GL_REPEAT;
        break;
    default:
        break;
    }
    if (!valid) {
        Error(GL_INVALID_ENUM, "glTexParameteri");
        return;
    }
    Flush();
    renderer_.TexParameter(state_.texture, parameter, value);
}

void Context::Begin(GLenum mode) {
    if (inBegin_) {
        Error(GL_INVALID_OPERATION, "glBegin");
        return;
    }
    inBegin_ = true;
    beginMode_ = mode;
    immediate_.clear();
}

void Context::Vertex(float x, float y, float z) {
    if (!inBegin_) {
        return; // outside glBegin/glEnd a vertex has no effect
    }
    ImmediateVertex v{{x, y, z}, {}};
    std::copy_n(state_.color, 4, v.color);
    immediate_.push_back(v);
}

void Context::End() {
    if (!inBegin_) {
        Error(GL_INVALID_OPERATION, "glEnd");
        return;
    }
    inBegin_ = false;
    if (!Drawable(beginMode_, "glEnd")) {
        return;
    }
    std::vector<uint32_t> order(immediate_.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<uint32_t>(i);
    }
    Source source;
    source.immediate = &immediate_;
    Submit(beginMode_, source, order);
}

void Context::DrawArrays(GLenum mode, GLint first, GLsizei count) {
    if (first < 0 || count < 0) {
        Error(GL_INVALID_VALUE, "glDrawArrays");
        return;
    }
    if (!Drawable(mode, "glDrawArrays") || !vertexArray_.enabled) {
        return;
    }
    std::vector<uint32_t> order(count);
    for (GLsizei i = 0; i < count; ++i) {
        order[i] = static_cast<uint32_t>(first + i);
    }
    Submit(mode, Source{}, order);
}

void Context::DrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    if (count < 0) {
        Error(GL_INVALID_VALUE, "glDrawElements");
        return;
    }
    if (type != GL_UNSIGNED_BYTE && type != GL_UNSIGNED_SHORT && type != GL_UNSIGNED_INT) {
        Error(GL_INVALID_ENUM, "glDrawElements");
        return;
    }
    if (!Drawable(mode, "glDrawElements") || !vertexArray_.enabled) {
        return;
    }
    std::vector<uint32_t> order(count);
    for (GLsizei i = 0; i < count; ++i) {
        switch (type) {
        case GL_UNSIGNED_BYTE:
            order[i] = static_cast<const uint8_t*>(indices)[i];
            break;
        case GL_UNSIGNED_SHORT:
            order[i] = static_cast<const uint16_t*>(indices)[i];
            break;
        default:
            order[i] = static_cast<const uint32_t*>(indices)[i];
            break;
        }
    }
    Submit(mode, Source{}, order);
}

bool Context::Drawable(GLenum mode, const char* function) {
    if (mode != GL_QUADS && mode != GL_TRIANGLES && mode != GL_TRIANGLE_STRIP &&
        mode != GL_TRIANGLE_FAN && mode != GL_POLYGON) {
        // Points and lines are OpenGL's but not the layer's: zorvik draws none.
        Error(GL_INVALID_ENUM, function);
        return false;
    }
    if (state_.polygonModeFront != GL_FILL || state_.polygonModeBack != GL_FILL) {
        Error(GL_INVALID_OPERATION, function);
        return false;
    }
    return true;
}

BatchKey Context::CurrentKey() const {
    BatchKey key;
    std::copy_n(state_.viewport, 4, key.viewport);
    key.projectionVersion = projectionVersion_;
    key.scissorTest = state_.scissorTest;
    if (key.scissorTest) {
        std::copy_n(state_.scissor, 4, key.scissor);
    }
    key.depthTest = state_.depthTest;
    key.polygonOffset = state_.polygonOffsetFill;
    if (key.polygonOffset) {
        key.offsetFactor = state_.offsetFactor;
        key.offsetUnits = state_.offsetUnits;
    }
    key.texturing = state_.texture2D;
    key.texture = key.texturing ? state_.texture : 0;
    key.lighting = state_.lighting;
    key.lightsVersion = key.lighting ? state_.lightsVersion : 0;
    const bool sourceAlphaOne =
        state_.blendSource == GL_SRC_ALPHA && state_.blendDestination == GL_ONE;
    if (sourceAlphaOne) {
        key.blend = BlendMode::kSourceAlphaOne;
    } else if (state_.blend) {
        key.blend = BlendMode::kFunction;
        key.blendSource = state_.blendSource;
        key.blendDestination = state_.blendDestination;
    }
    return key;
}

void Context::Fill(const Source& source, uint32_t index, int slot, GpuVertex* out) {
    float position[4] = {0, 0, 0, 1};
    float normal[3] = {0, 0, 1}; // the current normal, never changed by the scene
    float texCoord[2] = {0, 0};
    const float* color = state_.color;
    if (source.immediate != nullptr) {
        const ImmediateVertex& v = (*source.immediate)[index];
        std::copy_n(v.position, 3, position);
        color = v.color;
    } else {
        const float* p = vertexArray_.Element(static_cast<int>(index));
        std::copy_n(p, vertexArray_.size, position);
        if (normalArray_.enabled) {
            std::copy_n(normalArray_.Element(static_cast<int>(index)), 3, normal);
        }
        if (texCoordArray_.enabled && state_.texture2D) {
            std::copy_n(texCoordArray_.Element(static_cast<int>(index)), 2, texCoord);
        }
    }
    float eye[4];
    TransformPoint(modelview_.back(), position, eye);
    if (eye[3] != 1.0f && eye[3] != 0.0f) {
        for (int k = 0; k < 3; ++k) {
            eye[k] /= eye[3];
        }
    }
    std::copy_n(eye, 3, out->eye);
    if (state_.lighting) {
        if (!normalMatrixValid_) {
            NormalMatrix(modelview_.back(), normalMatrix_);
            normalMatrixValid_ = true;
        }
        TransformNormal(normalMatrix_, normal, out->normal);
    } else {
        std::fill_n(out->normal, 3, 0.0f);
    }
    std::copy_n(texCoord, 2, out->texCoord);
    for (int k = 0; k < 4; ++k) {
        out->color[k] = ToByte(color[k]);
    }
    out->style = static_cast<float>(2 * slot + (state_.blend ? 1 : 0));
}

void Context::Submit(GLenum mode, const Source& source, const std::vector<uint32_t>& order) {
    std::vector<uint32_t> corners;
    std::vector<uint32_t> provoking;
    Triangulate(mode, order.size(), &corners, &provoking);
    if (corners.empty()) {
        return;
    }
    // Flat shading matters only without lighting (the rate overlay): each triangle then gets
    // vertices of its own, coloured like its provoking vertex.
    const bool flat = state_.shadeModel == GL_FLAT && !state_.lighting;
    uint32_t low = *std::min_element(order.begin(), order.end());
    uint32_t high = *std::max_element(order.begin(), order.end());
    const size_t needed = flat ? corners.size() : high - low + 1;
    if (needed > kMaxBatchVertices) {
        Error(GL_OUT_OF_MEMORY, "glDrawElements");
        return;
    }

    const BatchKey key = CurrentKey();
    if (!batch_.Empty() &&
        (key != batch_.key || batch_.vertices.size() + needed > kMaxBatchVertices)) {
        Flush();
    }
    int slot = 0;
    if (state_.lighting) {
        slot = batch_.SlotFor(state_.front);
        if (slot < 0) {
            Flush();
            slot = batch_.SlotFor(state_.front);
        }
    }
    if (batch_.Empty()) {
        batch_.key = key;
        batch_.projection = projection_.back();
        std::copy_n(state_.lights, kMaxLights, batch_.lights);
        std::copy_n(state_.modelAmbient, 4, batch_.modelAmbient);
    }

    const size_t base = batch_.vertices.size();
    if (flat) {
        batch_.vertices.resize(base + corners.size());
        for (size_t i = 0; i < corners.size(); ++i) {
            GpuVertex* v = &batch_.vertices[base + i];
            Fill(source, order[corners[i]], slot, v);
            GpuVertex p;
            Fill(source, order[provoking[i / 3]], slot, &p);
            std::copy_n(p.color, 4, v->color);
            batch_.indices.push_back(static_cast<uint16_t>(base + i));
        }
        return;
    }
    batch_.vertices.resize(base + (high - low + 1));
    for (uint32_t index = low; index <= high; ++index) {
        Fill(source, index, slot, &batch_.vertices[base + index - low]);
    }
    for (uint32_t corner : corners) {
        batch_.indices.push_back(static_cast<uint16_t>(base + order[corner] - low));
    }
}

} // namespace gl11
