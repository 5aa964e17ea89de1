#include "tools/progress_bar.h"

#include <cstdio>
#include <unistd.h>

namespace {
constexpr int kBarWidth = 40;
}

ProgressBar::ProgressBar(long total)
    : total_(total), enabled_(isatty(STDERR_FILENO) != 0), start_(std::chrono::steady_clock::now()),
      lastDraw_(start_) {}

void ProgressBar::Update(long done) {
    if (!enabled_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < std::chrono::seconds(1) ||
        (drawn_ && now - lastDraw_ < std::chrono::milliseconds(100) && done < total_)) {
        return;
    }
    lastDraw_ = now;
    drawn_ = true;
    const int filled = static_cast<int>(kBarWidth * done / total_);
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = done / seconds;
    std::fprintf(stderr, "\r[%.*s%*s] %ld/%ld frames, %.1f frames/s ", filled,
                 "########################################", kBarWidth - filled, "", done, total_,
                 rate);
    std::fflush(stderr);
}

void ProgressBar::Finish() {
    if (drawn_) {
        std::fprintf(stderr, "\r%*s\r", kBarWidth + 48, "");
        std::fflush(stderr);
    }
}
