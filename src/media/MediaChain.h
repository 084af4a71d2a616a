#pragma once
#include "media/MediaCodec.h"
#include "media/MediaFilter.h"
#include "media/MediaInput.h"
#include "media/MediaMuxer.h"

#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace MediaKit {
// What an encoder is opened with: its name, the parameters set on its context, and its
// private options.
struct EncoderSetup {
    const char* name;
    std::function<void(AVCodecContext*)> configure;
    std::vector<std::pair<const char*, std::string>> options;
};

// One output stream re-encoded from one input stream: decoder → filters → encoder → muxer.
// The filter chain is built from the first decoded frame (and again if the stream changes
// shape) and must deliver frames of the encoder's size and format.
class EncodeChain {
public:
    EncodeChain(const Input& input, int stream, Muxer& muxer, const EncoderSetup& encoder, std::string filters);
    int inputStream() const { return input_; }
    AVStream* outputStream() const;
    void send(const AVPacket* packet);
    // Drains decoder, filters and encoder.
    void finish();
    long long framesWritten() const { return written_; }

private:
    void encode(AVFrame* frame);

    int input_;
    Muxer& muxer_;
    Decoder decoder_;
    std::unique_ptr<Encoder> encoder_;
    std::unique_ptr<FrameFilter> filter_;
    int output_ = -1;
    std::int64_t lastPts_ = std::numeric_limits<std::int64_t>::min();
    long long written_ = 0;
};

// Reads packets from where the input stands and hands those of `streams` to handle, until
// the end of the file or until every one of those streams has passed until + margin seconds.
// Reports the share of from…until done (of the file's duration when until is infinite).
void readPackets(Input& input, const std::vector<int>& streams, double from, double until, double margin, const PacketSink& handle);
inline constexpr double untilTheEnd = std::numeric_limits<double>::infinity();
}
