#include "media/MediaCodec.h"

#include "core/Errors.h"
#include "media/MediaInput.h"

namespace MediaKit {

Decoder::Decoder(const Input& input, int stream, int threads) : damaged_(input.damaged()), frame_(Av::frame())
{
    const AVStream* st = input.stream(stream);
    const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
    if (!codec) {
        throw KError(input.name() + " uses a format that can't be decoded here (" + avcodec_get_name(st->codecpar->codec_id) + ")");
    }
    ctx_.reset(avcodec_alloc_context3(codec));
    if (!ctx_ || avcodec_parameters_to_context(ctx_.get(), st->codecpar) < 0) throw std::bad_alloc();
    ctx_->pkt_timebase = st->time_base;
    ctx_->thread_count = threads;
    // Also bounds frames whose size only the coded data reveals.
    ctx_->max_pixels = maxFramePixels;
    if (avcodec_open2(ctx_.get(), codec, nullptr) < 0) throw KError(damaged_);
}

void Decoder::decode(const AVPacket* packet, const FrameSink& sink)
{
    const int sent = avcodec_send_packet(ctx_.get(), packet);
    if (sent < 0 && sent != AVERROR_EOF) throw KError(damaged_);
    for (;;) {
        const int rc = avcodec_receive_frame(ctx_.get(), frame_.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return;
        if (rc < 0) throw KError(damaged_);
        frame_->pts = frame_->best_effort_timestamp;
        sink(frame_.get());
        av_frame_unref(frame_.get());
    }
}

Encoder::Encoder(const char* name, const std::function<void(AVCodecContext*)>& configure, Av::Options& options)
    : name_(name), packet_(Av::packet())
{
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec) throw KError("This system's FFmpeg libraries have no " + name_ + " encoder");
    ctx_.reset(avcodec_alloc_context3(codec));
    if (!ctx_) throw std::bad_alloc();
    configure(ctx_.get());
    const int rc = avcodec_open2(ctx_.get(), codec, options.get());
    if (rc < 0) throw KError("The " + name_ + " encoder couldn't start: " + Av::describe(rc));
}

void Encoder::encode(const AVFrame* frame, const PacketSink& sink)
{
    const int sent = avcodec_send_frame(ctx_.get(), frame);
    if (sent < 0 && sent != AVERROR_EOF) throw KError("The " + name_ + " encoder failed: " + Av::describe(sent));
    for (;;) {
        const int rc = avcodec_receive_packet(ctx_.get(), packet_.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return;
        if (rc < 0) throw KError("The " + name_ + " encoder failed: " + Av::describe(rc));
        sink(packet_.get());
        av_packet_unref(packet_.get());
    }
}

}
