#pragma once
#include "media/MediaCodec.h"

#include <memory>
#include <string>

namespace MediaKit {
// A libavfilter graph with one input and one output, built for frames shaped like a sample
// frame (size and pixel format, or sample rate, format and channels).
class FilterGraph {
public:
    // description is a filter chain in FFmpeg's syntax ("transpose=clock,format=rgb24");
    // frameSize, for audio, makes every output frame but the last that many samples long.
    FilterGraph(const AVFrame* sample, AVRational timeBase, const std::string& description, int frameSize = 0);
    // Whether frames like this one fit the graph; a stream that changes shape needs a new one.
    bool fits(const AVFrame* frame) const;
    // Feeds a frame, or the end when frame is null, and passes on every frame that is ready.
    void push(AVFrame* frame, const FrameSink& sink);
    AVRational outputTimeBase() const;

private:
    bool audio_;
    int width_ = 0, height_ = 0, format_ = -1, sampleRate_ = 0, channels_ = 0;
    Av::Graph graph_;
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    Av::Frame out_;
};

// A stream's frames through a filter graph built from its first frame and built again
// whenever the frames change shape (a stream may change its size or sample rate part-way).
class FrameFilter {
public:
    FrameFilter(AVRational timeBase, std::string description, int frameSize = 0);
    void push(AVFrame* frame, const FrameSink& sink);
    // Drains the graph at the end of the stream.
    void finish(const FrameSink& sink);
    // The time base of the frames handed out; valid once a frame has been pushed.
    AVRational outputTimeBase() const { return graph_->outputTimeBase(); }

private:
    AVRational timeBase_;
    std::string description_;
    int frameSize_;
    std::unique_ptr<FilterGraph> graph_;
};

// The filters that turn pictures rotated by degrees (0, 90, 180, 270) upright, ending in a
// comma when there are any.
std::string uprightFilters(int degrees);
}
