#include "tools/capture_options.h"

#include <cstring>

#include "common/long_option.h"
#include "common/whole_number.h"
#include "tools/frame_pattern.h"
#include "tools/video_encoder.h"

const char kCaptureUsage[] =
    "usage: zorvik-capture [options]\n"
    "Renders the zorvik city without a window.\n"
    "\n"
    "  --frames N       frames to render (default 1), at most 4294967295\n"
    "  --size WxH       image size (default 1280x720)\n"
    "  --seed S         the seed of the animation's random source, 0 to 4294967295 (default:\n"
    "  --time S         the calendar time in seconds, as the animation takes it); the same S\n"
    "                   gives the same pictures. The two names are one option; the animation\n"
    "                   program takes --seed too\n"
    "  --out FILE.png   write the last frame; with --every, a pattern such as shots/%06d.png\n"
    "  --every K        write every K-th frame (frames count from 1) to the --out pattern;\n"
    "                   K is at most --frames\n"
    "  --raw [FILE]     write every frame as raw top-down RGBA bytes to FILE, or to standard\n"
    "                   output without FILE or with -\n"
    "  --video FILE     encode every frame into FILE with ffmpeg (60 frames per second, yuv420p,\n"
    "                   so an even width and height); the extension picks the container:\n"
    "                   .mkv (also a name without one), .mp4, .webm, .mov, .avi, .nut, .ts,\n"
    "                   .m2ts, .mts, .flv, .mpg, .mpeg, .ogv, .wmv, .asf, .gif, .apng, .webp\n"
    "                   or .y4m; one file, never pictures or a playlist with segments\n"
    "  --texture FILE   write the 128x128 glow texture as a PNG\n"
    "  --bench          print timing figures after the run (on standard error when standard\n"
    "                   output carries the frames)\n"
    "  --help           show this help\n"
    "Every option that takes a value also takes it after an equals sign (--frames=600).\n"
    "\n"
    "A regular file is replaced only once it is complete; a character device such as /dev/null\n"
    "or a FIFO is written straight into; a symbolic link is followed and stays a link.\n"
    "Exit status: 0 done, 1 failed while running, 2 unusable arguments or outputs (checked\n"
    "before anything is rendered). A signal that ends programs (SIGINT, SIGTERM, SIGQUIT, ...)\n"
    "removes unfinished files and ends the encoder, then ends the program by the same signal\n"
    "(a shell shows 130, 143, 131, ...).\n";

namespace {

bool ParseSize(const char* text, int* width, int* height) {
    const char* x = std::strchr(text, 'x');
    if (x == nullptr) {
        return false;
    }
    const std::string w(text, x);
    long wv = 0, hv = 0;
    if (!ParseWholeNumber(w.c_str(), 1, 65536, &wv) || !ParseWholeNumber(x + 1, 1, 65536, &hv)) {
        return false;
    }
    *width = static_cast<int>(wv);
    *height = static_cast<int>(hv);
    return true;
}

bool ParseNumber(const std::string& option, const char* text, long min, long max, long* value,
                 std::string* error) {
    if (!ParseWholeNumber(text, min, max, value)) {
        *error = option + " needs " + DescribeWholeNumberRange(min, max) + ", not '" + text + "'";
        return false;
    }
    return true;
}

bool ParseFileName(const std::string& option, const char* text, std::string* value,
                   std::string* error) {
    if (*text == '\0') {
        *error = option + " needs a file name";
        return false;
    }
    *value = text;
    return true;
}

} // namespace

bool ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions* options,
                         std::string* error) {
    *options = CaptureOptions{};
    for (int i = 1; i < argc; ++i) {
        // "--name=value" is "--name value", for every option that takes a value.
        const LongOption option = SplitLongOption(argv[i]);
        const std::string& arg = option.name;
        const std::string& inlineValue = option.inlineValue;
        const bool hasInlineValue = option.hasInlineValue;
        auto value = [&](const char** out) {
            if (hasInlineValue) {
                *out = inlineValue.c_str();
                return true;
            }
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            *out = argv[++i];
            return true;
        };
        auto noValue = [&] {
            if (hasInlineValue) {
                *error = arg + " takes no value, not '" + argv[i] + "'";
                return false;
            }
            return true;
        };
        const char* v = nullptr;
        if (arg == "--help" || arg == "-h") {
            if (!noValue()) {
                return false;
            }
            options->help = true;
        } else if (arg == "--raw") {
            options->raw = true;
            // The file is optional: taken from "--raw=FILE", or from the next argument unless
            // that is another option. "-" is standard output.
            std::string file;
            if (hasInlineValue) {
                file = inlineValue;
            } else if (i + 1 < argc &&
                       (argv[i + 1][0] != '-' || std::strcmp(argv[i + 1], "-") == 0)) {
                file = argv[++i];
            } else {
                file = "-";
            }
            if (file.empty()) {
                *error = "--raw needs a file name, or - for standard output";
                return false;
            }
            options->rawFile = file == "-" ? "" : file;
        } else if (arg == "--bench") {
            if (!noValue()) {
                return false;
            }
            options->bench = true;
        } else if (arg == "--frames") {
            if (!value(&v)) {
                return false;
            }
            if (!ParseWholeNumber(v, 1, kMaxCaptureFrames, &options->frames)) {
                *error = arg + " needs " + DescribeWholeNumberRange(1, kMaxCaptureFrames) +
                         " (over two years of the animation at 60 frames per second; no run "
                         "could finish more), not '" +
                         v + "'";
                return false;
            }
        } else if (arg == "--size") {
            if (!value(&v)) {
                return false;
            }
            if (!ParseSize(v, &options->width, &options->height)) {
                *error = std::string("--size needs WIDTHxHEIGHT such as 1280x720, each from 1 to "
                                     "65536, not '") +
                         v + "'";
                return false;
            }
        } else if (arg == "--seed" || arg == "--time") {
            long seed = 0;
            if (!value(&v) || !ParseNumber(arg, v, 0, 0xFFFFFFFFL, &seed, error)) {
                return false;
            }
            options->seedGiven = true;
            options->seed = seed;
        } else if (arg == "--every") {
            // No run is longer than kMaxCaptureFrames: a larger K would write no frame of any.
            if (!value(&v) || !ParseNumber(arg, v, 1, kMaxCaptureFrames, &options->every, error)) {
                return false;
            }
        } else if (arg == "--out") {
            if (!value(&v) || !ParseFileName(arg, v, &options->out, error)) {
                return false;
            }
        } else if (arg == "--video") {
            if (!value(&v) || !ParseFileName(arg, v, &options->video, error)) {
                return false;
            }
        } else if (arg == "--texture") {
            if (!value(&v) || !ParseFileName(arg, v, &options->texture, error)) {
                return false;
            }
        } else {
            *error = "unknown option '" + std::string(argv[i]) + "' (see --help)";
            return false;
        }
    }
    if (options->help) {
        return true;
    }
    if (options->every > 0) {
        if (options->out.empty()) {
            *error = "--every needs an --out pattern such as shots/%06d.png";
            return false;
        }
        if (!IsFramePattern(options->out)) {
            *error = "--every needs --out to be a pattern with one frame number such as "
                     "shots/%06d.png, not '" +
                     options->out + "'";
            return false;
        }
        std::string problem;
        if (!CheckFramePattern(options->out, &problem)) {
            *error = "--out: " + problem;
            return false;
        }
        if (options->every > options->frames) {
            *error = "--every " + std::to_string(options->every) + " writes no frame of a run of " +
                     std::to_string(options->frames) + "; give --frames " +
                     std::to_string(options->every) + " or more";
            return false;
        }
    } else if (!options->out.empty() && IsFramePattern(options->out)) {
        *error = "--out '" + options->out + "' is a pattern; give --every K to write a series";
        return false;
    }
    // "-" is standard output for --raw; a video there would need a muxer that never seeks back
    // and a reader that expects one, so it is refused rather than written to a file named "-".
    if (options->video == "-") {
        *error = "--video cannot write to standard output ('-'); give a file name, or ./- for a "
                 "file of that name (--raw - streams the frames)";
        return false;
    }
    if (!options->video.empty() && VideoMuxerFor(options->video) == nullptr) {
        *error = "--video '" + options->video +
                 "': its extension names no container that ffmpeg writes as one video file "
                 "(pictures go to --out); give one of " +
                 VideoExtensions() + ", or none for Matroska";
        return false;
    }
    // The encoder is given 4:2:0 frames (yuv420p), whose colours are sampled once per 2 x 2
    // pixels: an odd side has no whole sample at its edge, and the encoders refuse it.
    if (!options->video.empty() && (options->width % 2 != 0 || options->height % 2 != 0)) {
        *error = "--video needs an even width and height (its frames are yuv420p); give --size " +
                 std::to_string(options->width + options->width % 2) + "x" +
                 std::to_string(options->height + options->height % 2) + ", not " +
                 std::to_string(options->width) + "x" + std::to_string(options->height);
        return false;
    }
    if (options->raw && !options->video.empty()) {
        *error = "--raw and --video both want every frame; give one of them";
        return false;
    }
    if (options->out.empty() && !options->raw && options->video.empty() &&
        options->texture.empty() && !options->bench) {
        *error = "nothing to write: give --out, --raw, --video, --texture or --bench";
        return false;
    }
    return true;
}

bool WritesFrame(const CaptureOptions& options, long frame) {
    if (options.out.empty()) {
        return false;
    }
    if (options.every > 0) {
        return frame % options.every == 0;
    }
    return frame == options.frames;
}
