// PNG output through libpng.
#pragma once

#include <string>

// Writes `rgba` (height rows of width RGBA pixels, the first row being the image's top) to `path`
// as an 8-bit RGBA PNG, as OutputFile writes: a regular file appears under its name only once
// complete; a device or FIFO is written into. A failure names the file and the reason.
bool WritePng(const std::string& path, int width, int height, const unsigned char* rgba,
              std::string* error);
