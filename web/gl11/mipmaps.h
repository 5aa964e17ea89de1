// The mipmap chain that gluBuild2DMipmaps makes from an RGBA image whose sides are powers of two:
// each level halves the one above with a box filter, every channel the rounded mean of a 2 x 2
// block (of a pair of pixels once one side is down to 1), down to 1 x 1.
#pragma once

#include <cstdint>
#include <vector>

namespace gl11 {

struct MipLevel {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

bool IsPowerOfTwo(int n);
// Level 0 is a copy of the image; empty when a side is not a power of two.
std::vector<MipLevel> BuildMipmaps(const uint8_t* rgba, int width, int height);

} // namespace gl11
