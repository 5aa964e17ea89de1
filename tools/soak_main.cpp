// zorvik-soak: runs the scene for a long time and checks that it stays sound. First millions of
// frames of the per-frame steps on the CPU alone, then thousands of rendered headless frames;
// every object's invariants are checked along the way and memory use must stay flat.
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "common/gl.h"
#include "common/long_option.h"
#include "common/scene_record.h"
#include "common/standard_descriptors.h"
#include "common/whole_number.h"
#include "scene/random.h"
#include "scene/scene.h"
#include "tools/headless_context.h"
#include "tools/scene_invariants.h"

namespace {

using Clock = std::chrono::steady_clock;

// Growth of the resident set that still counts as flat: allocator and driver caches settle in
// steps of a few pages.
constexpr long kFlatCpuBytes = 256 * 1024;
constexpr long kFlatRenderBytes = 4 * 1024 * 1024;

long ResidentBytes() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (f != nullptr) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

constexpr char kUsage[] = "usage: zorvik-soak [--cpu-frames N] [--render-frames N]\n"
                          "Steps the scene N frames on the CPU (default 10000000), then renders\n"
                          "N frames headless (default 10000), checking its invariants and that\n"
                          "memory stays flat. Exit status: 0 passed, 1 failed, 2 bad arguments.\n";

// Reads the command line into the two counts; false, having said why on stderr, when it is
// unusable.
bool ParseArguments(int argc, char** argv, long* cpuFrames, long* renderFrames, bool* help) {
    for (int i = 1; i < argc; ++i) {
        // "--name=value" is "--name value", as for the capture tool and the animation.
        const LongOption option = SplitLongOption(argv[i]);
        const std::string& arg = option.name;
        const bool hasInlineValue = option.hasInlineValue;
        long* count = arg == "--cpu-frames"      ? cpuFrames
                      : arg == "--render-frames" ? renderFrames
                                                 : nullptr;
        if ((arg == "--help" || arg == "-h") && !hasInlineValue) {
            *help = true;
            continue;
        }
        if (count == nullptr) {
            std::fprintf(stderr, "zorvik-soak: unknown option '%s'\n%s", argv[i], kUsage);
            return false;
        }
        if (!hasInlineValue && i + 1 >= argc) {
            std::fprintf(stderr, "zorvik-soak: %s needs a value\n", argv[i]);
            return false;
        }
        const char* value = hasInlineValue ? option.inlineValue.c_str() : argv[++i];
        if (!ParseWholeNumber(value, 0, LONG_MAX, count)) {
            std::fprintf(stderr, "zorvik-soak: %s needs %s, not '%s'\n", arg.c_str(),
                         DescribeWholeNumberRange(0, LONG_MAX).c_str(), value);
            return false;
        }
    }
    return true;
}

bool Check(long frame, const char* phase) {
    std::string problem;
    if (!CheckSceneInvariants(&problem)) {
        std::fprintf(stderr, "zorvik-soak: %s frame %ld: %s\n", phase, frame, problem.c_str());
        return false;
    }
    return true;
}

bool Flat(const char* phase, long before, long after, long allowed) {
    std::printf("%s_rss_start: %.1f MiB\n%s_rss_end: %.1f MiB\n", phase, before / 1048576.0, phase,
                after / 1048576.0);
    if (after - before > allowed) {
        std::fprintf(stderr, "zorvik-soak: %s memory grew by %ld bytes\n", phase, after - before);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // Before anything opens a file that could take the place of a closed one: the driver's
    // device, or /proc/self/statm, would otherwise receive the figures printed to stdout.
    unsigned closedAtStart = 0;
    if (!ReopenClosedStandardDescriptors(&closedAtStart)) {
        return 1;
    }
    long cpuFrames = 10000000, renderFrames = 10000;
    int width = 160, height = 90;
    bool help = false;
    if (!ParseArguments(argc, argv, &cpuFrames, &renderFrames, &help)) {
        return 2;
    }
    if (help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Srand(1765432100u);

    // Phase 1: the per-frame steps alone.
    const auto cpuStart = Clock::now();
    long rssBefore = 0;
    for (long frame = 1; frame <= cpuFrames; ++frame) {
        StepZorvik();
        if (frame % 1000 == 0 && !Check(frame, "cpu")) {
            return 1;
        }
        if (frame == 1000) {
            rssBefore = ResidentBytes();
        }
    }
    if (cpuFrames > 0) {
        const double seconds = Seconds(cpuStart);
        std::printf("cpu_frames: %ld frames\ncpu_time: %.1f s\ncpu_rate: %.0f frames/s\n",
                    cpuFrames, seconds, cpuFrames / seconds);
        if (!Check(cpuFrames, "cpu") ||
            (cpuFrames >= 1000 && !Flat("cpu", rssBefore, ResidentBytes(), kFlatCpuBytes))) {
            return 1;
        }
    }

    // Phase 2: whole rendered frames, as the animation runs them.
    if (renderFrames > 0) {
        HeadlessContext context;
        std::string error;
        if (!context.Create(width, height, &error)) {
            std::fprintf(stderr, "zorvik-soak: %s\n", error.c_str());
            return 1;
        }
        Keys keys{};
        GL_Window window{};
        FillSceneRecords(&window, &keys, nullptr, width, height);
        Initialize(&window, &keys);
        const auto renderStart = Clock::now();
        // The driver's working memory grows with what the camera has seen until it settles, so
        // memory is compared over the second half of the run: a leak per frame shows there too.
        const long warmUp =
            renderFrames / 2 > 100 ? renderFrames / 2 : std::min(renderFrames, 100L);
        for (long frame = 1; frame <= renderFrames; ++frame) {
            Update(16);
            Draw();
            glFinish();
            if (frame == warmUp) {
                rssBefore = ResidentBytes();
            }
            if (frame % 1000 == 0) {
                std::fprintf(stderr, "render frame %ld: %.1f MiB\n", frame,
                             ResidentBytes() / 1048576.0);
            }
            if (frame % 100 == 0 && !Check(frame, "render")) {
                return 1;
            }
        }
        const double seconds = Seconds(renderStart);
        std::printf("render_frames: %ld frames\nrender_time: %.1f s\nrender_rate: %.1f frames/s\n",
                    renderFrames, seconds, renderFrames / seconds);
        if (glGetError() != GL_NO_ERROR) {
            std::fprintf(stderr, "zorvik-soak: OpenGL reported an error\n");
            return 1;
        }
        if (!Check(renderFrames, "render") ||
            !Flat("render", rssBefore, ResidentBytes(), kFlatRenderBytes)) {
            return 1;
        }
        Deinitialize();
    }
    std::printf("soak: passed\n");
    return 0;
}
