#pragma once
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
}

#include <memory>
#include <string>

// Owning handles for the FFmpeg objects the media kit uses, and the few helpers every part
// of the kit needs. Everything FFmpeg allocates is freed by one of these, on every path.
namespace Av {
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct CodecFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct GraphFree {
    void operator()(AVFilterGraph* g) const { avfilter_graph_free(&g); }
};
struct InputClose {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
// Closes the output file, if it was opened, and frees the context.
struct OutputFree {
    void operator()(AVFormatContext* c) const;
};

using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;
using Codec = std::unique_ptr<AVCodecContext, CodecFree>;
using Graph = std::unique_ptr<AVFilterGraph, GraphFree>;
using InputContext = std::unique_ptr<AVFormatContext, InputClose>;
using OutputContext = std::unique_ptr<AVFormatContext, OutputFree>;

// New empty objects; throw std::bad_alloc when FFmpeg cannot allocate.
Frame frame();
Packet packet();

// Options handed to FFmpeg calls that take an AVDictionary**; whatever the call leaves in it
// is freed with the object.
class Options {
public:
    Options() = default;
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;
    ~Options() { av_dict_free(&dict_); }
    Options& set(const char* key, const std::string& value);
    AVDictionary** get() { return &dict_; }

private:
    AVDictionary* dict_ = nullptr;
};

// FFmpeg's own description of an error code ("Invalid data found when processing input").
std::string describe(int code);
// Silences FFmpeg's logging once per process: failures reach the user as KError sentences,
// never as library chatter on the terminal.
void start();
// A path FFmpeg reads as a plain file whatever its name: "file:" and the absolute path, so a
// name with a colon is never taken for a protocol.
std::string fileUrl(const std::string& path);
// Seconds as a time in the given time base, and back.
int64_t toTime(double seconds, AVRational base);
double toSeconds(int64_t time, AVRational base);
}
