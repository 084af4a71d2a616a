#include "media/MediaChain.h"

#include "core/Progress.h"

#include <algorithm>
#include <cmath>

namespace MediaKit {

EncodeChain::EncodeChain(const Input& input, int stream, Muxer& muxer, const EncoderSetup& setup, std::string filters)
    : input_(stream), muxer_(muxer), decoder_(input, stream)
{
    Av::Options options;
    for (const auto& [key, value] : setup.options) options.set(key, value);
    encoder_ = std::make_unique<Encoder>(setup.name, [&](AVCodecContext* c) {
        setup.configure(c);
        if (muxer.context()->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }, options);
    output_ = muxer.addStream(encoder_->context())->index;
    const AVCodecContext* enc = encoder_->context();
    const bool fixedFrames = enc->codec_type == AVMEDIA_TYPE_AUDIO && !(enc->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    filter_ = std::make_unique<FrameFilter>(input.stream(stream)->time_base, std::move(filters), fixedFrames ? enc->frame_size : 0);
}

AVStream* EncodeChain::outputStream() const
{
    return muxer_.context()->streams[output_];
}

void EncodeChain::send(const AVPacket* packet)
{
    decoder_.decode(packet, [this](AVFrame* f) { filter_->push(f, [this](AVFrame* out) { encode(out); }); });
}

void EncodeChain::encode(AVFrame* frame)
{
    AVCodecContext* enc = encoder_->context();
    if (frame->pts != AV_NOPTS_VALUE) frame->pts = av_rescale_q(frame->pts, filter_->outputTimeBase(), enc->time_base);
    // Encoders refuse repeated or backward timestamps; a damaged stream can have them.
    if (enc->codec_type == AVMEDIA_TYPE_VIDEO) {
        if (frame->pts == AV_NOPTS_VALUE || frame->pts <= lastPts_) return;
        lastPts_ = frame->pts;
        frame->pict_type = AV_PICTURE_TYPE_NONE;
    }
    encoder_->encode(frame, [this, enc](AVPacket* p) { muxer_.write(p, output_, enc->time_base); });
    ++written_;
}

void EncodeChain::finish()
{
    send(nullptr);
    filter_->finish([this](AVFrame* f) { encode(f); });
    encoder_->encode(nullptr, [this](AVPacket* p) { muxer_.write(p, output_, encoder_->context()->time_base); });
}

void readPackets(Input& input, const std::vector<int>& streams, double from, double until, double margin, const PacketSink& handle)
{
    const double end = std::isfinite(until) ? until : input.duration();
    const double span = end - from;
    double reported = -1;
    std::vector<bool> passed(input.context()->nb_streams, false);
    size_t open = streams.size();
    Av::Packet packet = Av::packet();
    while (open > 0 && input.read(packet.get())) {
        const int index = packet->stream_index;
        if (std::find(streams.begin(), streams.end(), index) == streams.end()) {
            av_packet_unref(packet.get());
            continue;
        }
        const AVStream* st = input.stream(index);
        const std::int64_t stamp = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
        const double at = Av::toSeconds(stamp, st->time_base);
        if (stamp != AV_NOPTS_VALUE && at > until + margin) {
            if (!passed[index]) --open;
            passed[index] = true;
        }
        if (span > 0 && at - from - reported * span >= span / 200) {
            reported = (at - from) / span;
            Progress::report(reported);
        }
        handle(packet.get());
        av_packet_unref(packet.get());
    }
}

}
