#include "tools/png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "tools/output_path.h"

namespace {

bool WriteRows(FILE* file, int width, int height, const unsigned char* rgba) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows[static_cast<size_t>(y)] =
            const_cast<png_bytep>(rgba + static_cast<size_t>(y) * static_cast<size_t>(width) * 4);
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    // Fast compression: a capture of many frames is dominated by encoding otherwise.
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WritePng(const std::string& path, int width, int height, const unsigned char* rgba,
              std::string* error) {
    const std::string temporary = TemporaryNameFor(path);
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot write '" + path + "'";
        return false;
    }
    const bool written = WriteRows(file, width, height, rgba);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(temporary.c_str());
        *error = "writing '" + path + "' failed";
        return false;
    }
    return CommitFile(temporary, path, error);
}
