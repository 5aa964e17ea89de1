// The viewport and projection of ReshapeGL, read back from a real (off-screen) OpenGL context.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "common/gl.h"
#include "shell/window.h"
#include "tools/headless_context.h"

namespace {

class ShellReshape : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        if (!context.Create(64, 64, &error)) {
            GTEST_SKIP() << "no off-screen OpenGL context: " << error;
        }
    }

    static void ExpectPerspective(double aspect) {
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        const double f = 1.0 / std::tan(25.0 * M_PI / 180.0); // half of the 50-degree view
        const double nearPlane = 5.0, farPlane = 2000.0;
        const double expected[16] = {f / aspect,
                                     0,
                                     0,
                                     0,
                                     0,
                                     f,
                                     0,
                                     0,
                                     0,
                                     0,
                                     (farPlane + nearPlane) / (nearPlane - farPlane),
                                     -1,
                                     0,
                                     0,
                                     2 * farPlane * nearPlane / (nearPlane - farPlane),
                                     0};
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(m[i], expected[i], 1e-4 * std::fabs(expected[i]) + 1e-6) << "element " << i;
        }
    }
    static void ExpectViewport(int width, int height) {
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], 0);
        EXPECT_EQ(viewport[1], 0);
        EXPECT_EQ(viewport[2], width);
        EXPECT_EQ(viewport[3], height);
    }

    HeadlessContext context;
};

TEST_F(ShellReshape, SetsViewportAndA50DegreeProjectionAndLeavesAResetModelView) {
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, 3);
    glMatrixMode(GL_TEXTURE);

    ReshapeGL(1280, 720);

    ExpectViewport(1280, 720);
    ExpectPerspective(1280.0 / 720.0);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(modelView[i], i % 5 == 0 ? 1.0f : 0.0f) << "element " << i;
    }
}

TEST_F(ShellReshape, ZeroHeightIsTreatedAsOne) {
    ReshapeGL(640, 0);
    ExpectViewport(640, 1);
    ExpectPerspective(640.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
