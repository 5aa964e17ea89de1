// The scene's lifecycle and frame on a real headless OpenGL context.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <vector>

#include "common/gl.h"
#include "scene/random.h"
#include "scene/scene.h"
#include "scene/texture.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/request_recorder.h"
#include "tools/headless_context.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 180;

struct ShellRecords {
    Keys keys{};
    Application application{nullptr, "OpenGL", FALSE};
    GL_Window window{};
    ShellRecords() {
        window.keys = &keys;
        window.application = &application;
        window.width = kWidth;
        window.height = kHeight;
        window.bitsPerPixel = 32;
        window.isVisible = 1;
    }
};

void ExpectVector(GLenum query, GLenum light, const float expected[4]) {
    GLfloat v[4];
    glGetLightfv(light, query, v);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i], expected[i]) << "light " << light - GL_LIGHT0 << " component " << i;
    }
}

void ExpectMaterial(const float ambientAndDiffuse[4], const float specular[4]) {
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        GLfloat a[4], d[4], s[4];
        glGetMaterialfv(face, GL_AMBIENT, a);
        glGetMaterialfv(face, GL_DIFFUSE, d);
        glGetMaterialfv(face, GL_SPECULAR, s);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(a[i], ambientAndDiffuse[i]) << i;
            EXPECT_EQ(d[i], ambientAndDiffuse[i]) << i;
            EXPECT_EQ(s[i], specular[i]) << i;
        }
    }
}

GLint Integer(GLenum what) {
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

class SceneFrame : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        context_ = new HeadlessContext;
        std::string error;
        ASSERT_TRUE(context_->Create(kWidth, kHeight, &error)) << error;
        records_ = new ShellRecords;
        ASSERT_TRUE(Initialize(&records_->window, &records_->keys));
    }
    static void TearDownTestSuite() {
        delete context_;
        delete records_;
    }
    static HeadlessContext* context_;
    static ShellRecords* records_;
};
HeadlessContext* SceneFrame::context_ = nullptr;
ShellRecords* SceneFrame::records_ = nullptr;

} // namespace

TEST_F(SceneFrame, InitializeSetsTheWholeState) {
    EXPECT_EQ(g_window, &records_->window);
    EXPECT_EQ(g_keys, &records_->keys);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);

    // 85 degrees, the window's aspect, near 4, far 100000.
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double f = 1.0 / std::tan(85.0 / 2 * M_PI / 180);
    const double aspect = static_cast<double>(kWidth) / kHeight;
    EXPECT_NEAR(projection[0], f / aspect, 1e-5);
    EXPECT_NEAR(projection[5], f, 1e-5);
    EXPECT_NEAR(projection[10], (100000.0 + 4) / (4 - 100000.0), 1e-5);
    EXPECT_NEAR(projection[14], 2 * 100000.0 * 4 / (4 - 100000.0), 1e-3);
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);

    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    const float black[4] = {0, 0, 0, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(glIsEnabled(GL_LIGHT0 + i));
        ExpectVector(GL_AMBIENT, GL_LIGHT0 + i, black);
        ExpectVector(GL_DIFFUSE, GL_LIGHT0 + i, black);
    }
    EXPECT_EQ(Integer(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    GLfloat factor = 0, units = 0;
    glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &factor);
    glGetFloatv(GL_POLYGON_OFFSET_UNITS, &units);
    EXPECT_EQ(factor, -1.0f);
    EXPECT_EQ(units, -2.0f);

    // The default texture object holds the glow image with its mipmaps and two filters.
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), 0);
    std::vector<unsigned char> level0(128 * 128 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, level0.data());
    EXPECT_EQ(std::memcmp(level0.data(), mtex, level0.size()), 0);
    GLint width7 = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 7, GL_TEXTURE_WIDTH, &width7);
    EXPECT_EQ(width7, 1) << "mipmaps down to 1 x 1";
    GLint mag = 0, min = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    EXPECT_EQ(mag, GL_LINEAR);
    EXPECT_EQ(min, GL_LINEAR_MIPMAP_NEAREST);

    // Every box has its world-space corners: its top edge from corner 0 to corner 1 runs along x
    // and is centred on the box's reference point, whatever the shape.
    for (const Carz& box : kar) {
        ASSERT_NEAR((box.corners[0] + box.corners[3]) / 2, box.x, 0.01f);
        ASSERT_NEAR((box.corners[1] + box.corners[7]) / 2, box.y, 0.01f);
    }
}

// A window resized, maximised or restored keeps the city's own view, for its new shape; the same
// size gives exactly the projection Initialize set, so the frames of an unresized window stay
// what they were.
TEST_F(SceneFrame, ReshapeKeepsTheScenesViewForTheNewSize) {
    GLdouble initial[16], projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, initial);
    const struct {
        int32_t width, height;
    } sizes[] = {{kWidth + 1, kHeight}, {1920, 1080}, {640, 0}, {kWidth, kHeight}};
    const double f = 1.0 / std::tan(85.0 / 2 * M_PI / 180);
    for (const auto& size : sizes) {
        glMatrixMode(GL_TEXTURE);
        Reshape(size.width, size.height);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], size.width);
        EXPECT_EQ(viewport[3], size.height);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        const double aspect = static_cast<double>(size.width) / (size.height > 0 ? size.height : 1);
        EXPECT_NEAR(projection[0], f / aspect, 1e-5) << size.width << "x" << size.height;
        EXPECT_NEAR(projection[10], (100000.0 + 4) / (4 - 100000.0), 1e-5);
        EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    }
    EXPECT_EQ(std::memcmp(projection, initial, sizeof initial), 0);
}

TEST_F(SceneFrame, EachPassSetsItsMaterialAndState) {
    glDisable(GL_DEPTH_TEST);
    DrawGlowPass();
    const float glowAd[4] = {0.9f, 0.9f, 0.9f, 0.8f}, glowSp[4] = {0.901f, 0.901f, 0.901f, 0.9f};
    ExpectMaterial(glowAd, glowSp);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST)) << "the glow pass neither tests nor writes depth";
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE);

    DrawBoxPass();
    const float boxAd[4] = {0.2f, 0.2f, 0.2f, 0.95f}, boxSp[4] = {0.4201f, 0.4201f, 0.4201f, 0.93f};
    ExpectMaterial(boxAd, boxSp);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint modes[2];
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(modes[1], GL_FILL);

    DrawTrafficPass();
    const float carAd[4] = {0.102f, 0.102f, 0.102f, 0.3f},
                carSp[4] = {0.101f, 0.101f, 0.101f, 0.6303f};
    ExpectMaterial(carAd, carSp);
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "traffic is opaque";
    EXPECT_EQ(Integer(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A step draws the camera's numbers first, then lights 0 to 3, then the movers in index order.
// Replaying those steps on copies in that order must end exactly where the step ends, and a frame
// is exactly one such step.
TEST_F(SceneFrame, FrameStepsInCameraLightsMoversOrder) {
    for (int frame = 0; frame < 3; ++frame) {
        Camera camera = Zenith[0];
        std::vector<Lampje> lights(licht, licht + kLights);
        std::vector<Moverz> movers(mover, mover + kMovers);
        std::vector<Cloud> clouds(cloudz, cloudz + kClouds);
        const uint32_t state = RandState();
        const uint64_t before = RandDrawCount();
        camera.CalcCamera();
        for (Lampje& light : lights) {
            light.StepLampje();
        }
        for (Moverz& m : movers) {
            m.CalcMoverz();
        }
        for (Cloud& c : clouds) {
            c.CalcCloud();
        }
        const uint32_t expectedState = RandState();
        const uint64_t expectedDraws = RandDrawCount() - before;
        Srand(state);
        const uint64_t frameStart = RandDrawCount();

        if (frame == 1) {
            StepZorvik();
        } else {
            Draw();
        }

        EXPECT_EQ(RandDrawCount() - frameStart, expectedDraws);
        EXPECT_EQ(RandState(), expectedState);
        EXPECT_EQ(std::memcmp(Zenith[0].eyeCurrent, camera.eyeCurrent, sizeof camera.eyeCurrent),
                  0);
        for (int i = 0; i < kLights; ++i) {
            EXPECT_EQ(licht[i].life, lights[i].life);
            EXPECT_EQ(licht[i].cutoff, lights[i].cutoff);
        }
        for (int i = 0; i < kMovers; ++i) {
            ASSERT_EQ(mover[i].x, movers[i].x) << i;
            ASSERT_EQ(mover[i].y, movers[i].y) << i;
            ASSERT_EQ(mover[i].heading, movers[i].heading) << i;
        }
        for (int i = 0; i < kClouds; ++i) {
            ASSERT_EQ(cloudz[i].x, clouds[i].x) << i;
        }
    }
}

// Frames and re-initialisation allocate nothing: the scene's only heap memory is the corner arrays
// made at construction.
TEST_F(SceneFrame, FramesAndInitializeAllocateNothing) {
    // The counts are process-wide, the driver's own C++ included: let it compile what these
    // frames need first.
    for (int i = 0; i < 3; ++i) {
        Draw();
    }
    ASSERT_TRUE(Initialize(&records_->window, &records_->keys));
    const AllocationCounts before = CountedAllocations();
    for (int i = 0; i < 10; ++i) {
        Update(16);
        Draw();
    }
    ASSERT_TRUE(Initialize(&records_->window, &records_->keys));
    const AllocationCounts after = CountedAllocations();
    EXPECT_EQ(after.objects, before.objects);
    EXPECT_EQ(after.arrays, before.arrays);
}

TEST_F(SceneFrame, EscAndF1BecomeRequestsWithoutClearingTheFlags) {
    RecordedRequests().clear();
    Update(16);
    EXPECT_TRUE(RecordedRequests().empty());

    records_->keys.keyDown[27] = 1;
    records_->keys.keyDown[112] = 1;
    Update(16);
    ASSERT_EQ(RecordedRequests().size(), 2u);
    EXPECT_EQ(RecordedRequests()[0].name, "TerminateApplication");
    EXPECT_EQ(RecordedRequests()[1].name, "ToggleFullscreen");
    EXPECT_EQ(RecordedRequests()[0].window, &records_->window);
    EXPECT_EQ(records_->keys.keyDown[27], 1);

    RecordedRequests().clear();
    records_->keys.keyDown[27] = 0;
    records_->keys.keyDown[65] = 1;
    Update(0xFFFFFFFFu);
    ASSERT_EQ(RecordedRequests().size(), 1u);
    EXPECT_EQ(RecordedRequests()[0].name, "ToggleFullscreen");
    records_->keys = Keys{};
}

// As after F1: a new context, Initialize again. OpenGL state is rebuilt and the generator reseeded,
// while the objects carry on from where they were.
TEST_F(SceneFrame, SecondInitializeRebuildsStateButNotObjects) {
    for (int i = 0; i < 5; ++i) {
        Draw();
    }
    const Camera camera = Zenith[0];
    const Lampje light = licht[2];
    const Moverz m = mover[700];
    const float cloudX = cloudz[5].x;
    std::vector<float> corners(kar[6219].corners, kar[6219].corners + 24);

    context_->Destroy();
    std::string error;
    ASSERT_TRUE(context_->Create(kWidth, kHeight, &error)) << error;
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING)) << "a fresh context";

    Srand(12345);
    const auto before = static_cast<uint32_t>(std::time(nullptr));
    ASSERT_TRUE(Initialize(&records_->window, &records_->keys));
    const auto after = static_cast<uint32_t>(std::time(nullptr));
    // Reseeded from the clock: the state is the current second.
    EXPECT_GE(RandState(), before);
    EXPECT_LE(RandState(), after);

    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_EQ(std::memcmp(&Zenith[0], &camera, sizeof camera), 0);
    EXPECT_EQ(std::memcmp(&licht[2], &light, sizeof light), 0);
    EXPECT_EQ(std::memcmp(&mover[700], &m, sizeof m), 0);
    EXPECT_EQ(cloudz[5].x, cloudX);
    EXPECT_EQ(std::vector<float>(kar[6219].corners, kar[6219].corners + 24), corners);

    // The camera glides on from the same point.
    const float eyeBefore[3] = {Zenith[0].eyeCurrent[0], Zenith[0].eyeCurrent[1],
                                Zenith[0].eyeCurrent[2]};
    Draw();
    const float step =
        std::hypot(Zenith[0].eyeCurrent[0] - eyeBefore[0], Zenith[0].eyeCurrent[1] - eyeBefore[1],
                   Zenith[0].eyeCurrent[2] - eyeBefore[2]);
    EXPECT_LT(step, 100.0f);
}
