#include "media/MediaFilter.h"

#include "core/Errors.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
}

namespace MediaKit {

namespace {
std::string sourceArguments(const AVFrame* f, AVRational tb, bool audio)
{
    const std::string base = "time_base=" + std::to_string(tb.num) + "/" + std::to_string(tb.den);
    if (!audio) {
        const AVRational sar = f->sample_aspect_ratio.num > 0 ? f->sample_aspect_ratio : AVRational{1, 1};
        return base + ":video_size=" + std::to_string(f->width) + "x" + std::to_string(f->height) + ":pix_fmt=" + std::to_string(f->format) +
               ":pixel_aspect=" + std::to_string(sar.num) + "/" + std::to_string(sar.den);
    }
    AVChannelLayout layout{};
    if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) av_channel_layout_default(&layout, f->ch_layout.nb_channels);
    else av_channel_layout_copy(&layout, &f->ch_layout);
    char described[128] = {};
    av_channel_layout_describe(&layout, described, sizeof described);
    av_channel_layout_uninit(&layout);
    return base + ":sample_rate=" + std::to_string(f->sample_rate) + ":sample_fmt=" + av_get_sample_fmt_name(AVSampleFormat(f->format)) +
           ":channel_layout=" + described;
}

// Failing to build a graph from our own descriptions is a fault of this program, not the file.
[[noreturn]] void broken(const std::string& description, int rc)
{
    throw std::logic_error("filter graph \"" + description + "\": " + Av::describe(rc));
}
}

FilterGraph::FilterGraph(const AVFrame* sample, AVRational timeBase, const std::string& description, int frameSize)
    : audio_(sample->sample_rate > 0), width_(sample->width), height_(sample->height), format_(sample->format),
      sampleRate_(sample->sample_rate), channels_(sample->ch_layout.nb_channels), graph_(avfilter_graph_alloc()), out_(Av::frame())
{
    if (!graph_) throw std::bad_alloc();
    const std::string args = sourceArguments(sample, timeBase, audio_);
    int rc = avfilter_graph_create_filter(&source_, avfilter_get_by_name(audio_ ? "abuffer" : "buffer"), "in", args.c_str(), nullptr, graph_.get());
    if (rc < 0) broken(args, rc);
    rc = avfilter_graph_create_filter(&sink_, avfilter_get_by_name(audio_ ? "abuffersink" : "buffersink"), "out", nullptr, nullptr, graph_.get());
    if (rc < 0) broken(description, rc);

    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    outputs->name = av_strdup("in");
    outputs->filter_ctx = source_;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = sink_;
    rc = avfilter_graph_parse_ptr(graph_.get(), description.empty() ? (audio_ ? "anull" : "null") : description.c_str(), &inputs, &outputs, nullptr);
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    if (rc < 0 || (rc = avfilter_graph_config(graph_.get(), nullptr)) < 0) broken(description, rc);
    if (audio_ && frameSize > 0) av_buffersink_set_frame_size(sink_, static_cast<unsigned>(frameSize));
}

bool FilterGraph::fits(const AVFrame* f) const
{
    if (audio_) return f->sample_rate == sampleRate_ && f->format == format_ && f->ch_layout.nb_channels == channels_;
    return f->width == width_ && f->height == height_ && f->format == format_;
}

void FilterGraph::push(AVFrame* frame, const FrameSink& sink)
{
    int rc = av_buffersrc_add_frame_flags(source_, frame, AV_BUFFERSRC_FLAG_KEEP_REF);
    if (rc < 0) broken("feeding a frame", rc);
    for (;;) {
        rc = av_buffersink_get_frame(sink_, out_.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return;
        if (rc < 0) broken("reading a frame", rc);
        sink(out_.get());
        av_frame_unref(out_.get());
    }
}

AVRational FilterGraph::outputTimeBase() const
{
    return av_buffersink_get_time_base(sink_);
}

FrameFilter::FrameFilter(AVRational timeBase, std::string description, int frameSize)
    : timeBase_(timeBase), description_(std::move(description)), frameSize_(frameSize)
{
}

void FrameFilter::push(AVFrame* frame, const FrameSink& sink)
{
    if (graph_ && !graph_->fits(frame)) graph_->push(nullptr, sink);
    if (!graph_ || !graph_->fits(frame)) graph_ = std::make_unique<FilterGraph>(frame, timeBase_, description_, frameSize_);
    graph_->push(frame, sink);
}

void FrameFilter::finish(const FrameSink& sink)
{
    if (graph_) graph_->push(nullptr, sink);
}

std::string uprightFilters(int degrees)
{
    switch (degrees) {
    case 90: return "transpose=clock,";
    case 180: return "hflip,vflip,";
    case 270: return "transpose=cclock,";
    default: return {};
    }
}

}
