// The shell's own drawing, read back from a real (off-screen) OpenGL context: the viewport and
// projection of ReshapeGL, and the rate overlay.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "common/gl.h"
#include "shell/rate_overlay.h"
#include "shell/win32/window.h"
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

TEST_F(ShellReshape, RateOverlayDrawsItsFontAndLeavesTheStateAsItWas) {
    // Every character of the overlay's texts is in the font.
    for (const std::string& text :
         {RateOverlayText(false, 0, 0), RateOverlayText(true, 59.9, 60)}) {
        for (char c : text) {
            bool lit = c == ' ';
            for (int row = 0; row < kGlyphHeight && !lit; ++row) {
                for (int column = 0; column < kGlyphWidth; ++column) {
                    lit = lit || GlyphPixel(c, column, row);
                }
            }
            EXPECT_TRUE(lit) << "'" << c << "' has no glyph";
        }
    }
    EXPECT_EQ(RateOverlayText(true, 59.94, 60), "59.9 frames/s  60.0 steps/s");

    // The scene's state, as a frame leaves it.
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 4, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    GLfloat projection[16], modelView[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);

    DrawRateOverlayInViewport("8");

    // At 64 lines a font pixel is one pixel, 4 pixels in from the top-left corner; '8' is lit in
    // the middle of its top row and dark at its corners.
    unsigned char pixels[64 * 64 * 4];
    glReadPixels(0, 0, 64, 64, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    auto at = [&](int x, int yFromTop) { return pixels[((63 - yFromTop) * 64 + x) * 4]; };
    EXPECT_EQ(at(4 + 2, 4), 255);
    EXPECT_EQ(at(4 + 0, 4), 0);
    EXPECT_EQ(at(4 + 0, 5), 255);
    EXPECT_EQ(at(4 + 2, 7), 255) << "the middle bar";
    EXPECT_EQ(at(40, 40), 0) << "nothing drawn outside the corner";

    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    ExpectViewport(64, 64);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    EXPECT_EQ(std::memcmp(after, projection, sizeof after), 0);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(std::memcmp(after, modelView, sizeof after), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
