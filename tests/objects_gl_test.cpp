// The object classes against a real OpenGL context: what their steps and draws leave in OpenGL's
// state, and where their geometry lands on screen.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/gl.h"
#include "scene/carz.h"
#include "scene/cloud.h"
#include "scene/floor.h"
#include "scene/lampje.h"
#include "scene/moverz.h"
#include "scene/world.h"
#include "tests/object_test_support.h"
#include "tools/headless_context.h"

namespace {

constexpr int kSize = 128;

class GlTest : public ScriptedTest {
  protected:
    // The context stays up until the process ends. Tearing it down unloads Mesa's driver, and
    // LeakSanitizer then reports the driver's still-referenced blocks as leaks.
    static void SetUpTestSuite() {
        if (context_ != nullptr) {
            return;
        }
        context_ = new HeadlessContext();
        std::string error;
        created_ = context_->Create(kSize, kSize, &error);
        error_ = error;
    }
    void SetUp() override {
        ScriptedTest::SetUp();
        ASSERT_TRUE(created_) << "no headless OpenGL context: " << error_;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glViewport(0, 0, kSize, kSize);
    }
    void TearDown() override {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        ScriptedTest::TearDown();
    }

    static HeadlessContext* context_;
    static bool created_;
    static std::string error_;
};
HeadlessContext* GlTest::context_ = nullptr;
bool GlTest::created_ = false;
std::string GlTest::error_;

using Matrix = std::array<GLfloat, 16>;

Matrix ModelView() {
    Matrix m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

std::array<GLfloat, 4> Light(GLenum light, GLenum parameter) {
    std::array<GLfloat, 4> v{-7, -7, -7, -7};
    glGetLightfv(light, parameter, v.data());
    return v;
}

std::array<GLfloat, 4> CurrentColor() {
    std::array<GLfloat, 4> c{};
    glGetFloatv(GL_CURRENT_COLOR, c.data());
    return c;
}

// What a draw covers in a top view of the world rectangle [left, right] x [bottom, top]: the
// bounding box of the lit pixels in world units, the highest surface in it, and its colour.
struct Footprint {
    bool any = false;
    float minX = 0, maxX = 0, minY = 0, maxY = 0;
    float topZ = 0;
    std::array<int, 4> centre{}; // RGBA at the view's centre
    float pixel = 0;             // world units per pixel, for tolerances
};

Footprint TopView(float left, float right, float bottom, float top, float zLow, float zHigh,
                  const std::function<void()>& draw) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Eye z equals world z with an identity model-view: zHigh lands at depth 0, zLow at 1.
    glOrtho(left, right, bottom, top, -zHigh, -zLow);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw();
    glFinish();
    std::vector<unsigned char> rgba(kSize * kSize * 4);
    std::vector<float> depth(kSize * kSize);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glReadPixels(0, 0, kSize, kSize, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glDisable(GL_DEPTH_TEST);

    Footprint f;
    f.pixel = (right - left) / kSize;
    const float pixelY = (top - bottom) / kSize;
    float nearest = 1.0f;
    for (int row = 0; row < kSize; ++row) {
        for (int col = 0; col < kSize; ++col) {
            const unsigned char* p = &rgba[(row * kSize + col) * 4];
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) {
                continue;
            }
            const float x = left + (col + 0.5f) * f.pixel, y = bottom + (row + 0.5f) * pixelY;
            if (!f.any) {
                f.minX = f.maxX = x;
                f.minY = f.maxY = y;
            }
            f.any = true;
            f.minX = std::min(f.minX, x);
            f.maxX = std::max(f.maxX, x);
            f.minY = std::min(f.minY, y);
            f.maxY = std::max(f.maxY, y);
            nearest = std::min(nearest, depth[row * kSize + col]);
        }
    }
    f.topZ = zHigh - nearest * (zHigh - zLow);
    const unsigned char* c = &rgba[((kSize / 2) * kSize + kSize / 2) * 4];
    f.centre = {c[0], c[1], c[2], c[3]};
    return f;
}

// Pixel centres lie half a pixel inside the true edges.
void ExpectSpan(float lowSeen, float highSeen, float low, float high, float pixel,
                const char* what) {
    EXPECT_NEAR(lowSeen, low + pixel / 2, pixel) << what << " low edge";
    EXPECT_NEAR(highSeen, high - pixel / 2, pixel) << what << " high edge";
}

struct OwnedBox {
    Carz box;
    ~OwnedBox() { delete[] box.corners; }
};

// ----------------------------------------------------------------------------------------------
// Lights

TEST_F(GlTest, LightStepSendsPositionDirectionCutoffAndSpecular) {
    for (int index = 0; index < 4; ++index) {
        ScriptRandom({10, 20, 30, 40, 60, 70, 80, 99, 25, 50, 75, 0});
        Lampje l;
        // A fixed spot direction, so that its value is known whatever the segment's frame.
        for (int k = 0; k < 3; ++k) {
            l.dirStart[k] = l.dirTarget[k] = static_cast<float>(10 * (k + 1) * (index + 1));
        }
        ScriptRandom({0, 17}); // first step: life resets to 4027, the constructor's colour shows
        l.CalcLampje(index);
        const GLenum light = GL_LIGHT0 + index;
        const auto position = Light(light, GL_POSITION);
        EXPECT_EQ(position[0], l.posCurrent[0]);
        EXPECT_EQ(position[1], l.posCurrent[1]);
        EXPECT_EQ(position[2], l.posCurrent[2]);
        EXPECT_EQ(position[3], 1.0f) << "a positional light";
        const auto direction = Light(light, GL_SPOT_DIRECTION);
        for (int k = 0; k < 3; ++k) {
            EXPECT_FLOAT_EQ(direction[k], l.dirCurrent[k]) << index;
        }
        EXPECT_EQ(Light(light, GL_SPOT_CUTOFF)[0], 1.0f);
        const auto specular = Light(light, GL_SPECULAR);
        EXPECT_EQ(specular[0], 0.25f);
        EXPECT_EQ(specular[1], 0.50f);
        EXPECT_EQ(specular[2], 0.75f);
        EXPECT_EQ(specular[3], 1.0f);
        // The scratch vector is left holding the last vector sent: the colour.
        EXPECT_EQ(lposition[0], 0.25f);
        EXPECT_EQ(lposition[2], 0.75f);
        EXPECT_EQ(lposition[3], 1.0f);

        // A steady light with a picked cutoff and colour.
        l.life = 3500;
        l.mode = 1;
        l.cutoff = 47;
        l.color[0] = 0.01f;
        ScriptRandom({1});
        l.CalcLampje(index);
        EXPECT_EQ(Light(light, GL_SPOT_CUTOFF)[0], 47.0f);
        EXPECT_EQ(Light(light, GL_SPECULAR)[0], 0.01f);
    }
}

TEST_F(GlTest, LightIndexFourStepsLikeThreeButLeavesOpenGLAlone) {
    // Mark every light OpenGL has (at least eight) so that any change shows.
    GLint lights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &lights);
    ASSERT_GE(lights, 8);
    const GLfloat mark[4] = {0.125f, 0.25f, 0.375f, 1.0f};
    for (int i = 0; i < lights; ++i) {
        glLightfv(GL_LIGHT0 + i, GL_POSITION, mark);
        glLightfv(GL_LIGHT0 + i, GL_SPECULAR, mark);
        glLightf(GL_LIGHT0 + i, GL_SPOT_CUTOFF, 33.0f);
    }
    ScriptRandom({5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    Lampje three;
    Lampje four = three;
    float scratch[4];
    std::memcpy(scratch, lposition, sizeof scratch);
    // Enough steps to pass a retarget, ignition, flicker, a pick and steady light; the same draws
    // for both.
    for (int step = 0; step < 400; ++step) {
        const uint64_t seed = 1000 + step;
        Srand(static_cast<uint32_t>(seed));
        three.CalcLampje(3);
        Srand(static_cast<uint32_t>(seed));
        four.CalcLampje(4);
        ASSERT_EQ(std::memcmp(&three, &four, sizeof three), 0) << "step " << step;
        if (step == 150) {
            three.life = four.life = 4003;
        }
    }
    for (int i = 0; i < lights; ++i) {
        if (i == 3) {
            continue;
        }
        EXPECT_EQ(Light(GL_LIGHT0 + i, GL_POSITION)[1], 0.25f) << i;
        EXPECT_EQ(Light(GL_LIGHT0 + i, GL_SPECULAR)[2], 0.375f) << i;
        EXPECT_EQ(Light(GL_LIGHT0 + i, GL_SPOT_CUTOFF)[0], 33.0f) << i;
    }
    EXPECT_NE(Light(GL_LIGHT3, GL_SPOT_CUTOFF)[0], 33.0f) << "index 3 does reach OpenGL";
    // Index 4 writes nothing, not even the scratch vector: sending is all that uses it.
    Lampje alone = four;
    std::memcpy(lposition, scratch, sizeof scratch);
    alone.CalcLampje(4);
    EXPECT_EQ(std::memcmp(lposition, scratch, sizeof scratch), 0);
}

// ----------------------------------------------------------------------------------------------
// Static boxes

OwnedBox* MakeBox(int shape, int translucent) {
    // Column 20, row 10: centre (12000, -28000); no jitter; height 2000; scale 2.5; stretch 100;
    // colour (0, 254, 60).
    ScriptRandom({20, 10, 5000, 5000, 4000, 600, 30, 0, 254, 60, translucent, shape});
    auto* b = new OwnedBox();
    b->box.SetupCarz();
    return b;
}

TEST_F(GlTest, BoxDrawLeavesBlendingOffAndRestoresItsState) {
    for (int translucent : {0, 1}) {
        std::unique_ptr<OwnedBox> b(MakeBox(2, translucent));
        for (bool blendBefore : {false, true}) {
            if (blendBefore) {
                glEnable(GL_BLEND);
            } else {
                glDisable(GL_BLEND);
            }
            glTranslatef(1, 2, 3);
            glRotatef(30, 0, 0, 1);
            const Matrix before = ModelView();
            b->box.DrawCarz();
            EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE) << translucent << blendBefore;
            EXPECT_EQ(ModelView(), before);
            EXPECT_EQ(glIsEnabled(GL_VERTEX_ARRAY), GL_FALSE);
            EXPECT_EQ(glIsEnabled(GL_NORMAL_ARRAY), GL_FALSE);
            glLoadIdentity();
        }
        // The colour goes to OpenGL unscaled, 0..254 rather than 0..1.
        const auto color = CurrentColor();
        EXPECT_EQ(color[0], 0.0f);
        EXPECT_EQ(color[1], 254.0f);
        EXPECT_EQ(color[2], 60.0f);
    }
}

TEST_F(GlTest, BoxesAreDrawnWhereTheirCornersSay) {
    // The cell is centred at (12000, -28000); a side is 25 * 2.5 = 62.5, a long axis 6250.
    struct Case {
        int shape;
        float halfX, halfY, top;
    };
    const Case cases[] = {
        {0, 6250, 62.5f, 2062.5f}, {1, 62.5f, 6250, 2062.5f}, {2, 62.5f, 62.5f, 6250}};
    for (const Case& k : cases) {
        std::unique_ptr<OwnedBox> b(MakeBox(k.shape, 0));
        const float view = k.halfX > 100 || k.halfY > 100 ? 8000 : 100;
        const Footprint f = TopView(12000 - view, 12000 + view, -28000 - view, -28000 + view, -1000,
                                    8000, [&] { b->box.DrawCarz(); });
        ASSERT_TRUE(f.any) << k.shape;
        ExpectSpan(f.minX, f.maxX, 12000 - k.halfX, 12000 + k.halfX, f.pixel, "x");
        ExpectSpan(f.minY, f.maxY, -28000 - k.halfY, -28000 + k.halfY, f.pixel, "y");
        EXPECT_NEAR(f.topZ, k.top, 9000.0f / 65535 * 4) << k.shape;
    }
}

TEST_F(GlTest, TranslucentBoxIsBlendedAndOpaqueOneIsNot) {
    for (int translucent : {0, 1}) {
        std::unique_ptr<OwnedBox> b(MakeBox(2, translucent));
        glBlendFunc(GL_ONE, GL_ONE);
        const Footprint f = TopView(11900, 12100, -28100, -27900, -1000, 8000, [&] {
            // A red backdrop below the box, drawn without depth so the box always covers it.
            glDisable(GL_DEPTH_TEST);
            glColor3f(0.5f, 0, 0);
            glRectf(11900, -28100, 12100, -27900);
            glEnable(GL_DEPTH_TEST);
            b->box.DrawCarz();
        });
        EXPECT_NEAR(f.centre[0], translucent ? 128 : 0, 1) << translucent;
        EXPECT_EQ(f.centre[1], 255);
        glBlendFunc(GL_ONE, GL_ZERO);
    }
}

// ----------------------------------------------------------------------------------------------
// Traffic

TEST_F(GlTest, MoverIsDrawnOnItsLaneAndRestoresItsState) {
    // Scale 2 * 25 = 50 across (r = 0 -> 3.0; so 75 either side), height scale 3 (75 up and down).
    ScriptRandom({0, 0, 200, 100, 50, 0, 100}); // heading +x, speed 20, lane offset 100
    Moverz m;
    m.x = 3990;
    m.y = 8000;
    m.travelled = 3990;
    ScriptRandom({1}); // the corner turns it to +y: lane (100, 0)
    m.CalcMoverz();
    ASSERT_EQ(m.heading, 2);
    ASSERT_EQ(m.x, 4000.0f);
    ASSERT_EQ(m.laneX, 100.0f);

    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    const Footprint f = TopView(3900, 4300, 7800, 8200, -1000, 1000, [&] { m.DrawMoverz(); });
    ASSERT_TRUE(f.any);
    ExpectSpan(f.minX, f.maxX, 4100 - 75, 4100 + 75, f.pixel, "x");
    ExpectSpan(f.minY, f.maxY, 8000 - 75, 8000 + 75, f.pixel, "y");
    EXPECT_NEAR(f.topZ, 175, 2000.0f / 65535 * 4);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_TRUE) << "movers leave blending as they find it";
    glDisable(GL_BLEND);

    glTranslatef(5, 6, 7);
    const Matrix before = ModelView();
    m.DrawMoverz();
    EXPECT_EQ(ModelView(), before);
    EXPECT_EQ(glIsEnabled(GL_VERTEX_ARRAY), GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_NORMAL_ARRAY), GL_FALSE);
    const auto color = CurrentColor();
    EXPECT_EQ(color[0], 200.0f);
    EXPECT_EQ(color[1], 100.0f);
    EXPECT_EQ(color[2], 50.0f);
}

// ----------------------------------------------------------------------------------------------
// Ground tiles and clouds

TEST_F(GlTest, GroundTileQuadSitsAtItsHeightWithItsScale) {
    // x = y = (1000 - 35000) * 2 = -68000; z = (599 - 300) / 10 - 500, so the quad is at 29.9;
    // scales 100 and 10 (raised from 9.95); colour (200, 100, 50).
    ScriptRandom({1000, 1000, 599, 10000, 8199, 200, 100, 50});
    Floor tile;
    glTranslatef(1, 1, 1);
    const Matrix before = ModelView();
    tile.DrawFloor();
    EXPECT_EQ(ModelView(), before);
    const auto color = CurrentColor();
    EXPECT_FLOAT_EQ(color[0], 200 / 255.0f);
    EXPECT_FLOAT_EQ(color[1], 100 / 255.0f);
    EXPECT_FLOAT_EQ(color[2], 50 / 255.0f);
    EXPECT_EQ(color[3], 1.0f);

    const Footprint f =
        TopView(-76000, -60000, -68800, -67200, -100, 100, [&] { tile.DrawFloor(); });
    ASSERT_TRUE(f.any);
    ExpectSpan(f.minX, f.maxX, -68000 - 5000, -68000 + 5000, f.pixel, "x");
    ExpectSpan(f.minY, f.maxY, -68000 - 500, -68000 + 500, 1600.0f / kSize, "y");
    EXPECT_NEAR(f.topZ, 29.9f, 200.0f / 65535 * 4);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

TEST_F(GlTest, CloudIsWhiteAtItsHeightAndRestoresTheMatrix) {
    // x = -4466, y = -70000, z = 32767 % 70000 + 8000 = 40767, scales 250 and 569.98, speed 4.
    ScriptRandom({32767, 0, 32767, 0, 15999, 0});
    Cloud c;
    glColor3f(0, 0, 0);
    glTranslatef(1, 1, 1);
    const Matrix before = ModelView();
    c.DrawCloud();
    EXPECT_EQ(ModelView(), before);
    const auto color = CurrentColor();
    EXPECT_EQ(color[0], 1.0f);
    EXPECT_EQ(color[1], 1.0f);
    EXPECT_EQ(color[2], 1.0f);
    EXPECT_EQ(color[3], 1.0f);

    const Footprint f = TopView(-4466 - 16000, -4466 + 16000, -70000 - 32000, -70000 + 32000, 41000,
                                41500, [&] { c.DrawCloud(); });
    ASSERT_TRUE(f.any);
    ExpectSpan(f.minX, f.maxX, -4466 - 12500, -4466 + 12500, f.pixel, "x");
    ExpectSpan(f.minY, f.maxY, -70000 - 28499, -70000 + 28499, 64000.0f / kSize, "y");
    EXPECT_NEAR(f.topZ, 41267, 500.0f / 65535 * 4);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

} // namespace
