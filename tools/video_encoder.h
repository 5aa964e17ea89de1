// Video through an ffmpeg process that reads raw RGBA frames on its standard input. The file is
// written as OutputFile writes (see output_path.h): a regular file under a temporary name renamed
// into place once ffmpeg has finished it, a device or FIFO straight.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "tools/output_path.h"

// Whether an ffmpeg program is on the PATH.
bool FfmpegInstalled();

// The ffmpeg muxer that writes a video named `name` as that one file, picked by the name's
// extension in any case: Matroska for a name without one; null for any other extension. ffmpeg
// itself would take a picture's extension for a series of pictures (expanding a %d in the name,
// or failing at the second frame) and a streaming playlist's for segments written beside it.
const char* VideoMuxerFor(const std::string& name);

// The extensions that VideoMuxerFor takes, for messages: ".mkv, .mp4, ...".
std::string VideoExtensions();

class VideoEncoder {
  public:
    VideoEncoder() = default;
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;
    // Ends an ffmpeg still running and removes its unfinished file.
    ~VideoEncoder();

    bool Start(const std::string& name, int width, int height, std::string* error);
    // Hands one frame of width × height × 4 bytes to ffmpeg. When ffmpeg has stopped, the error
    // is its own reason.
    bool Write(const std::vector<unsigned char>& frame, std::string* error);
    // Lets ffmpeg finish the file, then puts it in place. ffmpeg's messages make the error.
    bool Finish(std::string* error);

  private:
    // Closes ffmpeg's input, waits for it, and puts the file in place if it is `complete` and
    // ffmpeg reported no failure; removes it otherwise.
    bool End(bool complete, std::string* error);
    // Waits for ffmpeg to end and returns its wait status.
    int Reap();
    // Whether ffmpeg wrote anything where it was told to, as far as can be seen: a file to be
    // renamed into place is not empty, an open file's offset has moved. A device or FIFO tells
    // nothing.
    bool WroteSomething() const;
    std::string Messages() const;
    void RemoveTemporary();

    OutputTarget target_;
    std::string temporary_; // ffmpeg's file when it is renamed into place afterwards
    std::string url_;       // what ffmpeg was told to write
    pid_t pid_ = -1;
    off_t startOffset_ = -1; // of the open file written through a descriptor, if it has one
    int pipe_ = -1;
    int log_ = -1; // ffmpeg's standard error
};
