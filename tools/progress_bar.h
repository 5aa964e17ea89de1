// A one-line progress bar on stderr for long captures, shown only on a terminal.
#pragma once

#include <chrono>

class ProgressBar {
  public:
    explicit ProgressBar(long total);
    // Reports that `done` frames are finished; draws at most ten times a second, and only once
    // the run has lasted a second.
    void Update(long done);
    // Clears the line if anything was drawn.
    void Finish();

  private:
    long total_;
    bool enabled_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
};
