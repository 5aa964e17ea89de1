// The command line of zorvik-capture.
#pragma once

#include <cstdint>
#include <string>

struct CaptureOptions {
    long frames = 1;
    int width = 1280;
    int height = 720;
    bool timeGiven = false;
    int64_t time = 0;    // seconds of calendar time that seed the random source
    std::string out;     // last frame, or a pattern with --every
    long every = 0;      // 0: only the last frame
    bool raw = false;    // every frame to stdout
    std::string video;   // every frame through ffmpeg into this file
    std::string texture; // the glow image
    bool bench = false;
    bool help = false;
};

extern const char kCaptureUsage[];

// Parses argv. Returns false with a one-line reason in `error` when the arguments are unusable.
bool ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions* options,
                         std::string* error);

// Whether a frame (counted from 1) is to be written to --out.
bool WritesFrame(const CaptureOptions& options, long frame);
