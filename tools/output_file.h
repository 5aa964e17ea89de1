// One output file being written, as its OutputTarget says: under a temporary name that Commit
// renames into place, straight into a device or FIFO, or through an open file descriptor. Every
// failure names the file and the system's reason.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/output_path.h"

class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Removes the temporary file of an output that was never committed.
    ~OutputFile();

    bool Open(const std::string& name, std::string* error);
    // Standard output, through a copy of its descriptor.
    bool OpenStandardOutput(std::string* error);

    bool Write(const void* data, size_t size, std::string* error);
    // Completes the file: closes it, and renames the temporary file over the destination.
    bool Commit(std::string* error);
    // Gives the output up, removing the temporary file.
    void Discard();

    // The name the user gave, for messages.
    const std::string& Name() const { return target_.name; }

  private:
    std::string Failure(const std::string& reason) const;
    bool WriteOut(const char* bytes, size_t size, std::string* error);
    bool Flush(std::string* error);

    OutputTarget target_;
    std::string temporary_; // empty when written in place
    int fd_ = -1;
    // libpng hands over a PNG in pieces of a few bytes to a few kilobytes; they are gathered
    // into fewer, larger writes.
    std::vector<char> buffer_;
};
