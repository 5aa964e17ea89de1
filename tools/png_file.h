// PNG output through libpng.
#pragma once

#include <string>

// Writes `rgba` (height rows of width RGBA pixels, the first row being the image's top) to `path`
// as an 8-bit RGBA PNG. The file appears under its name only once complete.
bool WritePng(const std::string& path, int width, int height, const unsigned char* rgba,
              std::string* error);
