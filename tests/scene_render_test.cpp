// Renders chosen frames of the whole animation headless, from a fixed seed, and compares them with
// reference images kept beside the tests.
//
// Tolerance: the scene's state is bit-exact (every position and colour comes from the fixed seed
// and 32-bit float arithmetic), so what may differ between machines is only the rasteriser's own
// rounding: llvmpipe's vector width, or another Mesa version's edge and interpolation rules. That
// shows as small colour differences and as single pixels along polygon edges flipping. A pixel
// counts as different when a channel is off by more than 8 of 255, and at most 1% of the pixels may
// be different; a misplaced object, a wrong material, a changed pass order or a missing texture
// changes far more (tens of percent), as the control at the end of the test confirms.
#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/gl.h"
#include "scene/random.h"
#include "scene/scene.h"
#include "tools/headless_context.h"
#include "tools/png_file.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 180;
// A seed whose camera has climbed high above the city by frame 600 and looks down onto it, so the
// last reference shows the city as a whole, with a coloured spot light on it; frames 1 and 60 are
// close-ups near the origin.
constexpr uint32_t kSeed = 1765432138;
constexpr int kChannelTolerance = 8;
constexpr double kMaxDifferentShare = 0.01;

using Image = std::vector<unsigned char>;

Image ReadBack() {
    Image bottomUp(kWidth * kHeight * 4), image(kWidth * kHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    for (int y = 0; y < kHeight; ++y) {
        std::copy_n(&bottomUp[(kHeight - 1 - y) * kWidth * 4], kWidth * 4, &image[y * kWidth * 4]);
    }
    for (size_t i = 3; i < image.size(); i += 4) {
        image[i] = 255; // alpha is never shown; keep the reference pictures opaque
    }
    return image;
}

bool ReadPng(const std::string& path, Image* image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    if (png.width != kWidth || png.height != kHeight) {
        png_image_free(&png);
        return false;
    }
    image->resize(PNG_IMAGE_SIZE(png));
    return png_image_finish_read(&png, nullptr, image->data(), 0, nullptr) != 0;
}

// Share of pixels whose colour differs by more than the tolerance in any channel. Alpha is left
// out: the frame's blending writes it, but nothing shows it.
double DifferentShare(const Image& a, const Image& b) {
    long different = 0;
    for (size_t i = 0; i < a.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(a[i + c] - b[i + c]) > kChannelTolerance) {
                ++different;
                break;
            }
        }
    }
    return static_cast<double>(different) / (kWidth * kHeight);
}

double LitShare(const Image& image) {
    long lit = 0;
    for (size_t i = 0; i < image.size(); i += 4) {
        lit += image[i] + image[i + 1] + image[i + 2] > 24;
    }
    return static_cast<double>(lit) / (kWidth * kHeight);
}

// The scene on a headless context of the test's size, with the shell's records, from kSeed.
struct HeadlessScene {
    HeadlessContext context;
    Keys keys{};
    Application application{nullptr, "OpenGL", FALSE};
    GL_Window window{};

    bool Start(std::string* error) {
        if (!context.Create(kWidth, kHeight, error)) {
            return false;
        }
        window.keys = &keys;
        window.application = &application;
        window.width = kWidth;
        window.height = kHeight;
        window.bitsPerPixel = 32;
        if (Initialize(&window, &keys) != TRUE) {
            *error = "Initialize failed";
            return false;
        }
        Srand(kSeed);
        return true;
    }
};

} // namespace

TEST(SceneRender, FramesMatchTheReferenceImages) {
    HeadlessScene scene;
    std::string error;
    ASSERT_TRUE(scene.Start(&error)) << error;

    const bool update = std::getenv("ZORVIK_UPDATE_REFERENCES") != nullptr;
    std::vector<Image> frames;
    for (int frame = 1; frame <= 600; ++frame) {
        Update(16);
        Draw();
        if (frame != 1 && frame != 60 && frame != 600) {
            continue;
        }
        frames.push_back(ReadBack());
        char name[64];
        std::snprintf(name, sizeof name, "/frame_%04d.png", frame);
        const std::string path = std::string(ZORVIK_REFERENCES) + name;
        if (update) {
            ASSERT_TRUE(WritePng(path, kWidth, kHeight, frames.back().data(), &error)) << error;
            continue;
        }
        Image reference;
        ASSERT_TRUE(ReadPng(path, &reference)) << "cannot read " << path;
        EXPECT_LE(DifferentShare(frames.back(), reference), kMaxDifferentShare) << path;
        // The city is there: a clear share of the picture is lit, not a black frame.
        EXPECT_GT(LitShare(frames.back()), 0.05) << path;
    }
    // The animation moves, and the tolerance is far below what a wrong frame looks like: even the
    // two later frames are told apart.
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_GT(DifferentShare(frames[1], frames[2]), 10 * kMaxDifferentShare);
    EXPECT_GT(DifferentShare(frames[0], frames[1]), 10 * kMaxDifferentShare);
}

namespace {

// The moving objects and the random source, to run the same stretch of animation twice.
struct AnimationState {
    Camera camera = Zenith[0];
    std::vector<Lampje> lights{licht, licht + kLights};
    std::vector<Cloud> clouds{cloudz, cloudz + kClouds};
    std::vector<Moverz> movers{mover, mover + kMovers};
    uint32_t random = RandState();

    void Restore() const {
        Zenith[0] = camera;
        std::copy(lights.begin(), lights.end(), licht);
        std::copy(clouds.begin(), clouds.end(), cloudz);
        std::copy(movers.begin(), movers.end(), mover);
        Srand(random);
    }
};

} // namespace

// A steady pace runs several steps before a frame, or none: the frame drawn must be exactly the
// one that drawing after every step would have ended with, and a frame without a step must show
// the same picture again.
TEST(SceneRender, StepsThenOneDrawEqualsDrawingEveryStep) {
    HeadlessScene scene;
    std::string error;
    ASSERT_TRUE(scene.Start(&error)) << error;
    for (int frame = 0; frame < 40; ++frame) {
        Draw(); // off the first close-up, so that every step visibly moves the picture
    }

    for (uint32_t k : {1u, 2u, 7u}) {
        const AnimationState start;
        for (uint32_t i = 0; i < k; ++i) {
            Draw();
        }
        const Image everyStep = ReadBack();
        const AnimationState end;

        start.Restore();
        DrawSteps(k);
        const Image stepsThenDraw = ReadBack();
        EXPECT_EQ(stepsThenDraw, everyStep) << k << " steps";
        EXPECT_EQ(RandState(), end.random) << k << " steps";
        EXPECT_EQ(mover[kMovers - 1].x, end.movers.back().x) << k << " steps";

        DrawSteps(0);
        EXPECT_EQ(ReadBack(), everyStep) << "the same state drawn again after " << k << " steps";
        EXPECT_EQ(RandState(), end.random) << "a frame without a step draws no random number";
    }

    // The control: a frame one step further is a different picture.
    const Image before = ReadBack();
    DrawSteps(1);
    EXPECT_NE(ReadBack(), before);
}
