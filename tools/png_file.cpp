#include "tools/png_file.h"

#include <png.h>

#include <csetjmp>
#include <vector>

#include "tools/output_file.h"

namespace {

// Where libpng's output and its complaints go: the first failure is kept, with the file's name
// and the system's reason, and libpng prints nothing of its own.
struct Sink {
    OutputFile* file;
    std::string error;
};

void WriteData(png_structp png, png_bytep data, png_size_t size) {
    Sink* sink = static_cast<Sink*>(png_get_io_ptr(png));
    if (!sink->file->Write(data, size, &sink->error)) {
        png_longjmp(png, 1);
    }
}

void FlushData(png_structp) {}

void OnError(png_structp png, png_const_charp message) {
    Sink* sink = static_cast<Sink*>(png_get_error_ptr(png));
    if (sink->error.empty()) {
        sink->error = "cannot write '" + sink->file->Name() + "': libpng: " + message;
    }
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

bool WriteRows(Sink* sink, int width, int height, const unsigned char* rgba) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, sink, OnError, OnWarning);
    if (png == nullptr) {
        sink->error = "cannot write '" + sink->file->Name() + "': libpng: out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        sink->error = "cannot write '" + sink->file->Name() + "': libpng: out of memory";
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
    png_set_write_fn(png, sink, WriteData, FlushData);
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
    OutputFile file;
    if (!file.Open(path, error)) {
        return false;
    }
    Sink sink{&file, ""};
    if (!WriteRows(&sink, width, height, rgba)) {
        *error = sink.error;
        return false;
    }
    return file.Commit(error);
}
