#pragma once
#include "media/AvHandles.h"

#include <functional>
#include <string>

namespace MediaKit {
class Input;
using FrameSink = std::function<void(AVFrame*)>;
using PacketSink = std::function<void(AVPacket*)>;

// Decodes one stream of an input. Frames handed out carry their best timestamp as pts, in
// the stream's time base, and are only valid inside the sink.
class Decoder {
public:
    // threads 0 lets FFmpeg choose; a single frame is found fastest with 1. Throws KError when
    // the stream's format cannot be decoded here.
    Decoder(const Input& input, int stream, int threads = 0);
    AVCodecContext* context() const { return ctx_.get(); }
    // Decodes a packet, or drains the decoder when packet is null. Throws the input's
    // "damaged" error for data that does not decode.
    void decode(const AVPacket* packet, const FrameSink& sink);

private:
    std::string damaged_;
    Av::Codec ctx_;
    Av::Frame frame_;
};

// An encoder opened with parameters set by configure and private options (crf, preset…).
class Encoder {
public:
    Encoder(const char* name, const std::function<void(AVCodecContext*)>& configure, Av::Options& options);
    AVCodecContext* context() const { return ctx_.get(); }
    // Encodes a frame, or drains the encoder when frame is null; packets carry the encoder's
    // time base.
    void encode(const AVFrame* frame, const PacketSink& sink);

private:
    std::string name_;
    Av::Codec ctx_;
    Av::Packet packet_;
};
}
