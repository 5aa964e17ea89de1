#include "web/gl11/mipmaps.h"

namespace gl11 {

bool IsPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

namespace {

MipLevel Halve(const MipLevel& above) {
    MipLevel level;
    level.width = above.width > 1 ? above.width / 2 : 1;
    level.height = above.height > 1 ? above.height / 2 : 1;
    level.rgba.resize(static_cast<size_t>(level.width) * level.height * 4);
    // Neighbours in x and y; a side already at 1 pairs a pixel with itself, so the mean of the
    // remaining pair comes out.
    const int dx = above.width > 1 ? 4 : 0;
    const int dy = above.height > 1 ? above.width * 4 : 0;
    for (int y = 0; y < level.height; ++y) {
        for (int x = 0; x < level.width; ++x) {
            const int sx = above.width > 1 ? 2 * x : x;
            const int sy = above.height > 1 ? 2 * y : y;
            const uint8_t* s = above.rgba.data() + (static_cast<size_t>(sy) * above.width + sx) * 4;
            uint8_t* d = level.rgba.data() + (static_cast<size_t>(y) * level.width + x) * 4;
            for (int c = 0; c < 4; ++c) {
                const unsigned sum = s[c] + s[c + dx] + s[c + dy] + s[c + dx + dy];
                d[c] = static_cast<uint8_t>((sum + 2) / 4);
            }
        }
    }
    return level;
}

} // namespace

std::vector<MipLevel> BuildMipmaps(const uint8_t* rgba, int width, int height) {
    std::vector<MipLevel> levels;
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height)) {
        return levels;
    }
    MipLevel base;
    base.width = width;
    base.height = height;
    base.rgba.assign(rgba, rgba + static_cast<size_t>(width) * height * 4);
    levels.push_back(std::move(base));
    while (levels.back().width > 1 || levels.back().height > 1) {
        levels.push_back(Halve(levels.back()));
    }
    return levels;
}

} // namespace gl11
