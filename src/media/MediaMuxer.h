#pragma once
#include "core/Paths.h"
#include "media/AvHandles.h"

#include <string>

namespace MediaKit {
// Whether a container ("mp4", "ipod"…) can hold a stream of this codec.
bool containerAccepts(const char* format, AVCodecID codec);

// Writes one output file in a named container ("mp4", "mov", "ipod", "wav", "gif"…). The
// file is opened when the header is written. Failures read "Couldn't write <name>: <reason>"
// unless the caller names its own sentences for failing to create and to write the file.
class Muxer {
public:
    struct Messages {
        std::string create;
        std::string write;
    };
    Muxer(const Path& out, const char* format, Messages messages = {});
    AVFormatContext* context() const { return ctx_.get(); }
    // A new stream with the encoder's parameters and time base.
    AVStream* addStream(const AVCodecContext* encoder);
    // A new stream copying an input stream's parameters (stream copy).
    AVStream* addStream(const AVStream* copyOf);
    // Opens the file and writes the header; fastStart moves the index to the front.
    void start(bool fastStart);
    // Writes a packet whose timestamps are in `from`, for output stream `stream`.
    void write(AVPacket* packet, int stream, AVRational from);
    // Writes the trailer and closes the file.
    void finish();

private:
    [[noreturn]] void failed(int rc, const std::string& message) const;

    std::string name_;
    Messages messages_;
    std::string url_;
    Av::OutputContext ctx_;
};
}

namespace MediaKit {
// Carries the rotation an input stream is shown with over to an output stream.
void copyRotation(const AVStream* from, AVStream* to);
}
