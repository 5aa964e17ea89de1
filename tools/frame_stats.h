// Per-frame timings of a capture run, summarised for --bench.
#pragma once

#include <vector>

struct FrameStats {
    std::vector<double> simulation; // ms per frame
    std::vector<double> submission;
    std::vector<double> finish;
    std::vector<double> readback;
    std::vector<double> frame;
};

// The p-th percentile (0..100) by the nearest-rank method; 0 for no samples.
double Percentile(std::vector<double> samples, double p);
