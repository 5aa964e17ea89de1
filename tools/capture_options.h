// The command line of zorvik-capture.
#pragma once

#include <cstdint>
#include <string>

// The most frames a run takes: 2^32 - 1, what a 32-bit frame counter holds, which is over two
// years of the animation at its 60 frames per second. A longer run would never be seen to end.
constexpr long kMaxCaptureFrames = 4294967295L;

struct CaptureOptions {
    long frames = 1;
    int width = 1280;
    int height = 720;
    bool seedGiven = false;
    int64_t seed = 0;    // seeds the random source; by default the calendar time in seconds
    std::string out;     // last frame, or a pattern with --every
    long every = 0;      // 0: only the last frame
    bool raw = false;    // every frame as raw RGBA bytes...
    std::string rawFile; // ...into this file, or to standard output when empty
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
