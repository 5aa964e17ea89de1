// zorvik-capture: renders the city without a window, to PNG files, raw video or ffmpeg, and
// measures how fast it does so. It drives the scene as the animation's shell does: the objects
// are built by static construction, Initialize runs once with a window record of the chosen size,
// then every frame is one Update, one step of the animation and its drawing (together what Draw
// does, timed apart here), and the image is read back after each frame.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

#include "common/gl.h"
#include "common/scene_record.h"
#include "common/standard_descriptors.h"
#include "scene/random.h"
#include "scene/scene.h"
#include "scene/texture.h"
#include "scene/world.h"
#include "tools/capture_options.h"
#include "tools/capture_outputs.h"
#include "tools/frame_pattern.h"
#include "tools/frame_stats.h"
#include "tools/headless_context.h"
#include "tools/interrupt_cleanup.h"
#include "tools/output_file.h"
#include "tools/png_file.h"
#include "tools/progress_bar.h"
#include "tools/video_encoder.h"

namespace {

using Clock = std::chrono::steady_clock;

// Taken before any other static constructor (the scene's objects included), as the process start.
__attribute__((init_priority(101))) const Clock::time_point g_processStart = Clock::now();

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

int Fail(int code, const std::string& message) {
    std::fprintf(stderr, "zorvik-capture: %s\n", message.c_str());
    return code;
}

void PrintFigure(FILE* out, const char* name, double value, const char* unit) {
    std::fprintf(out, "%s: %.3f %s\n", name, value, unit);
}

void PrintBench(FILE* out, const FrameStats& stats, double loopMs, double firstDrawMs) {
    std::fprintf(out, "renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::fprintf(out, "frames: %zu frames\n", stats.frame.size());
    PrintFigure(out, "fps", stats.frame.size() / (loopMs / 1000.0), "frames/s");
    const struct {
        const char* name;
        const std::vector<double>* samples;
    } series[] = {{"frame", &stats.frame},
                  {"simulation", &stats.simulation},
                  {"submission", &stats.submission},
                  {"finish", &stats.finish},
                  {"readback", &stats.readback}};
    for (const auto& s : series) {
        PrintFigure(out, (std::string(s.name) + "_median").c_str(), Percentile(*s.samples, 50),
                    "ms");
        PrintFigure(out, (std::string(s.name) + "_p90").c_str(), Percentile(*s.samples, 90), "ms");
    }
    PrintFigure(out, "first_draw", firstDrawMs, "ms");
}

// OpenGL's rows run bottom-up; files and video want the top row first. The frame's blending leaves
// arbitrary values in the alpha channel, which the animation never shows: pictures are opaque.
void FlipToTopDownOpaque(const std::vector<unsigned char>& bottomUp, int height, size_t rowBytes,
                         std::vector<unsigned char>* image) {
    for (int y = 0; y < height; ++y) {
        std::copy_n(bottomUp.data() + static_cast<size_t>(height - 1 - y) * rowBytes, rowBytes,
                    image->data() + static_cast<size_t>(y) * rowBytes);
    }
    for (size_t i = 3; i < image->size(); i += 4) {
        (*image)[i] = 255;
    }
}

bool WriteTexture(const std::string& path, std::string* error) {
    FillDegreeTables();
    GenerateGlowImage();
    return WritePng(path, texo, texo, mtex, error);
}

} // namespace

int main(int argc, char** argv) {
    // Before anything opens a file that could take the place of a closed one.
    unsigned closedAtStart = 0;
    if (!ReopenClosedStandardDescriptors(&closedAtStart)) {
        return kExitFailure;
    }
    CaptureOptions options;
    std::string error;
    if (!ParseCaptureOptions(argc, argv, &options, &error)) {
        return Fail(kExitUsage, error);
    }
    if (options.help) {
        std::fputs(kCaptureUsage, stdout);
        return 0;
    }
    // First, before the rendering context starts its threads: they must not take the signals.
    StartInterruptCleanup();
    CaptureOutputs outputs;
    if (!CheckCaptureOutputs(options, closedAtStart, &outputs, &error)) {
        return Fail(kExitUsage, error);
    }
    if (!options.video.empty() && !FfmpegInstalled()) {
        return Fail(kExitFailure, "--video needs ffmpeg, which is not installed "
                                  "(apt-get install ffmpeg), or use --raw and encode yourself");
    }
    std::signal(SIGPIPE, SIG_IGN);

    if (!options.texture.empty() && !WriteTexture(options.texture, &error)) {
        return Fail(kExitFailure, error);
    }
    const bool renders =
        !options.out.empty() || options.raw || !options.video.empty() || options.bench;
    if (!renders) {
        return 0;
    }

    HeadlessContext context;
    if (!context.Create(options.width, options.height, &error)) {
        return Fail(context.SizeRefused() ? kExitUsage : kExitFailure,
                    "cannot create the rendering context: " + error);
    }

    Keys keys{};
    Application application{nullptr, "OpenGL", FALSE};
    GL_Window window{};
    FillSceneRecords(&window, &keys, &application, options.width, options.height);

    Initialize(&window, &keys);
    // Initialize seeds from the clock; the seed it took is replaced at once by the chosen one,
    // before anything draws from it.
    const auto seed = options.seedGiven ? options.seed : static_cast<int64_t>(std::time(nullptr));
    Srand(static_cast<uint32_t>(seed));

    VideoEncoder encoder;
    if (!options.video.empty() &&
        !encoder.Start(options.video, options.width, options.height, &error)) {
        return Fail(kExitFailure, error);
    }
    OutputFile raw;
    if (options.raw && !(options.rawFile.empty() ? raw.OpenStandardOutput(&error)
                                                 : raw.Open(options.rawFile, &error))) {
        return Fail(kExitFailure, error);
    }

    const size_t frameBytes = static_cast<size_t>(options.width) * options.height * 4;
    std::vector<unsigned char> pixels(frameBytes), image(frameBytes);
    const size_t rowBytes = static_cast<size_t>(options.width) * 4;
    FrameStats stats;
    ProgressBar progress(options.frames);
    double firstDrawMs = 0.0;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    const auto loopStart = Clock::now();
    auto previousTick = loopStart;
    bool ok = true;
    for (long frame = 1; frame <= options.frames && ok; ++frame) {
        const auto start = Clock::now();
        Update(static_cast<uint32_t>(Milliseconds(previousTick, start)));
        previousTick = start;
        if (frame == 1) {
            firstDrawMs = Milliseconds(g_processStart, Clock::now());
        }
        // The frame's step and its drawing, timed apart: the same frame as Draw() gives.
        StepZorvik();
        const auto stepped = Clock::now();
        DrawSteps(0);
        const auto submitted = Clock::now();
        glFinish();
        const auto finished = Clock::now();
        glReadPixels(0, 0, options.width, options.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        FlipToTopDownOpaque(pixels, options.height, rowBytes, &image);
        const auto readBack = Clock::now();

        // Kept only for the figures: a long run without them stays flat in memory.
        if (options.bench) {
            stats.simulation.push_back(Milliseconds(start, stepped));
            stats.submission.push_back(Milliseconds(stepped, submitted));
            stats.finish.push_back(Milliseconds(submitted, finished));
            stats.readback.push_back(Milliseconds(finished, readBack));
            stats.frame.push_back(Milliseconds(start, readBack));
        }

        if (WritesFrame(options, frame)) {
            const std::string path =
                options.every > 0 ? ExpandFramePattern(options.out, frame) : options.out;
            ok = WritePng(path, options.width, options.height, image.data(), &error);
        }
        if (ok && options.raw) {
            ok = raw.Write(image.data(), frameBytes, &error);
        }
        if (ok && !options.video.empty()) {
            ok = encoder.Write(image, &error);
        }
        progress.Update(frame);
    }
    const double loopMs = Milliseconds(loopStart, Clock::now());
    progress.Finish();
    Deinitialize();

    if (ok && !options.video.empty()) {
        ok = encoder.Finish(&error);
    }
    if (ok && options.raw) {
        ok = raw.Commit(&error);
    }
    if (!ok) {
        return Fail(kExitFailure, error);
    }
    if (options.bench) {
        PrintBench(outputs.standardOutputCarriesData ? stderr : stdout, stats, loopMs, firstDrawMs);
    }
    return 0;
}
