#include "tools/capture_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tools/output_path.h"

const char kCaptureUsage[] =
    "usage: zorvik-capture [options]\n"
    "Renders the zorvik city without a window.\n"
    "\n"
    "  --frames N       frames to render (default 1)\n"
    "  --size WxH       image size (default 1280x720)\n"
    "  --time T         calendar time in seconds that seeds the animation (default: now);\n"
    "                   the same T gives the same pictures\n"
    "  --out FILE.png   write the last frame; with --every, a pattern such as shots/%06d.png\n"
    "  --every K        write every K-th frame (frames count from 1) to the --out pattern\n"
    "  --raw            write every frame to stdout as raw top-down RGBA bytes\n"
    "  --video FILE     encode every frame into FILE with ffmpeg (60 frames per second)\n"
    "  --texture FILE   write the 128x128 glow texture as a PNG\n"
    "  --bench          print timing figures after the run\n"
    "  --help           show this help\n";

namespace {

bool ParseLong(const char* text, long* value) {
    if (text == nullptr || *text == '\0') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0') {
        return false;
    }
    *value = parsed;
    return true;
}

bool ParseSize(const char* text, int* width, int* height) {
    const char* x = std::strchr(text, 'x');
    if (x == nullptr) {
        return false;
    }
    const std::string w(text, x);
    long wv = 0, hv = 0;
    if (!ParseLong(w.c_str(), &wv) || !ParseLong(x + 1, &hv)) {
        return false;
    }
    if (wv < 1 || hv < 1 || wv > 65536 || hv > 65536) {
        return false;
    }
    *width = static_cast<int>(wv);
    *height = static_cast<int>(hv);
    return true;
}

} // namespace

bool ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions* options,
                         std::string* error) {
    *options = CaptureOptions{};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char** out) {
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            *out = argv[++i];
            return true;
        };
        const char* v = nullptr;
        if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--raw") {
            options->raw = true;
        } else if (arg == "--bench") {
            options->bench = true;
        } else if (arg == "--frames") {
            if (!value(&v)) {
                return false;
            }
            if (!ParseLong(v, &options->frames) || options->frames <= 0) {
                *error = std::string("--frames needs a whole number above 0, not '") + v + "'";
                return false;
            }
        } else if (arg == "--size") {
            if (!value(&v)) {
                return false;
            }
            if (!ParseSize(v, &options->width, &options->height)) {
                *error = std::string("--size needs WIDTHxHEIGHT such as 1280x720, not '") + v + "'";
                return false;
            }
        } else if (arg == "--time") {
            if (!value(&v)) {
                return false;
            }
            long t = 0;
            if (!ParseLong(v, &t) || t < 0 || t > 0xFFFFFFFFL) {
                *error =
                    std::string("--time needs whole seconds from 0 to 4294967295, not '") + v + "'";
                return false;
            }
            options->timeGiven = true;
            options->time = t;
        } else if (arg == "--every") {
            if (!value(&v)) {
                return false;
            }
            if (!ParseLong(v, &options->every) || options->every <= 0) {
                *error = std::string("--every needs a whole number above 0, not '") + v + "'";
                return false;
            }
        } else if (arg == "--out") {
            if (!value(&v)) {
                return false;
            }
            options->out = v;
        } else if (arg == "--video") {
            if (!value(&v)) {
                return false;
            }
            options->video = v;
        } else if (arg == "--texture") {
            if (!value(&v)) {
                return false;
            }
            options->texture = v;
        } else {
            *error = "unknown option '" + arg + "' (see --help)";
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
    } else if (!options->out.empty() && IsFramePattern(options->out)) {
        *error = "--out '" + options->out + "' is a pattern; give --every K to write a series";
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
