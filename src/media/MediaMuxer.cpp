#include "media/MediaMuxer.h"

#include "core/Errors.h"

namespace MediaKit {

Muxer::Muxer(const Path& out, const char* format, Messages messages)
    : name_(out.filename().string()), messages_(std::move(messages)), url_(Av::fileUrl(out))
{
    Av::start();
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, format, url_.c_str()) < 0 || !raw) throw std::bad_alloc();
    ctx_.reset(raw);
}

bool containerAccepts(const char* format, AVCodecID codec)
{
    const AVOutputFormat* container = av_guess_format(format, nullptr, nullptr);
    return container && avformat_query_codec(container, codec, FF_COMPLIANCE_NORMAL) == 1;
}

AVStream* Muxer::addStream(const AVCodecContext* encoder)
{
    AVStream* st = avformat_new_stream(ctx_.get(), nullptr);
    if (!st || avcodec_parameters_from_context(st->codecpar, encoder) < 0) throw std::bad_alloc();
    st->time_base = encoder->time_base;
    return st;
}

AVStream* Muxer::addStream(const AVStream* copyOf)
{
    AVStream* st = avformat_new_stream(ctx_.get(), nullptr);
    if (!st || avcodec_parameters_copy(st->codecpar, copyOf->codecpar) < 0) throw std::bad_alloc();
    st->time_base = copyOf->time_base;
    st->disposition = copyOf->disposition;
    // A codec tag is kept only where the container knows it for that codec.
    const AVCodecParameters* in = copyOf->codecpar;
    unsigned int tag = 0;
    const AVCodecTag* const* tags = ctx_->oformat->codec_tag;
    const bool keepTag = !tags || av_codec_get_id(tags, in->codec_tag) == in->codec_id || !av_codec_get_tag2(tags, in->codec_id, &tag);
    st->codecpar->codec_tag = keepTag ? in->codec_tag : 0;
    return st;
}

void Muxer::start(bool fastStart)
{
    if (!(ctx_->oformat->flags & AVFMT_NOFILE)) {
        const int rc = avio_open(&ctx_->pb, url_.c_str(), AVIO_FLAG_WRITE);
        if (rc < 0) failed(rc, messages_.create);
    }
    Av::Options options;
    if (fastStart) options.set("movflags", "+faststart");
    const int rc = avformat_write_header(ctx_.get(), options.get());
    if (rc < 0) failed(rc, messages_.write);
}

void Muxer::write(AVPacket* packet, int stream, AVRational from)
{
    packet->stream_index = stream;
    av_packet_rescale_ts(packet, from, ctx_->streams[stream]->time_base);
    const int rc = av_interleaved_write_frame(ctx_.get(), packet);
    if (rc < 0) failed(rc, messages_.write);
}

void Muxer::finish()
{
    int rc = av_write_trailer(ctx_.get());
    if (rc < 0) failed(rc, messages_.write);
    if (ctx_->pb) {
        rc = avio_closep(&ctx_->pb);
        if (rc < 0) failed(rc, messages_.write);
    }
}

void Muxer::failed(int rc, const std::string& message) const
{
    throw KError(message.empty() ? "Couldn't write " + name_ + ": " + Av::describe(rc) : message);
}

}

namespace MediaKit {

void copyRotation(const AVStream* from, AVStream* to)
{
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(from, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix) return;
    uint8_t* copy = av_stream_new_side_data(to, AV_PKT_DATA_DISPLAYMATRIX, size);
    if (!copy) throw std::bad_alloc();
    std::copy(matrix, matrix + size, copy);
}

}
