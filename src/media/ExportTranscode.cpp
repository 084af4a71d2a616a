#include "media/ExportWriters.h"

#include "media/AudioFormat.h"
#include "media/FrameSize.h"
#include "media/MediaChain.h"

#include <algorithm>
#include <optional>

namespace MediaKit {

namespace {
std::optional<Size> boxOf(Preset preset)
{
    switch (preset) {
    case Preset::size640x480: return Size{640, 480};
    case Preset::size1280x720: return Size{1280, 720};
    case Preset::size1920x1080: return Size{1920, 1080};
    default: return std::nullopt;
    }
}

std::string ratio(AVRational r)
{
    return std::to_string(r.num) + "/" + std::to_string(r.den);
}

// How the pictures are brought to the encoder: the filter chain and the size and pixel
// aspect it delivers.
struct VideoPlan {
    std::string filters;
    Size size;
    AVRational sar{1, 1};
    bool upright = false;
};

VideoPlan planVideo(const AVStream* st, Preset preset, const ExportOptions& options, const std::string& trim)
{
    VideoPlan plan;
    plan.filters = trim;
    plan.size = {st->codecpar->width, st->codecpar->height};
    if (st->codecpar->sample_aspect_ratio.num > 0) plan.sar = st->codecpar->sample_aspect_ratio;
    if (const auto& crop = options.crop) {
        const int degrees = rotation(st);
        plan.filters += uprightFilters(degrees);
        if (degrees % 180 == 90) {
            std::swap(plan.size.width, plan.size.height);
            plan.sar = {plan.sar.den, plan.sar.num};
        }
        // The rectangle is kept inside the picture and at least 2 × 2.
        const int x = std::clamp(crop->x, 0, plan.size.width - 2), y = std::clamp(crop->y, 0, plan.size.height - 2);
        const int w = std::clamp(crop->width, 2, plan.size.width - x), h = std::clamp(crop->height, 2, plan.size.height - y);
        plan.filters += "crop=" + std::to_string(w) + ":" + std::to_string(h) + ":" + std::to_string(x) + ":" + std::to_string(y) + ",";
        plan.size = {w, h};
        plan.upright = true;
    }
    if (const auto box = boxOf(preset)) {
        // Pixels that are not square are made square on the way into the box.
        plan.size = fitInBox({static_cast<int>(plan.size.width * av_q2d(plan.sar) + 0.5), plan.size.height}, *box);
        plan.sar = {1, 1};
    } else {
        plan.size = evenSize(plan.size);
    }
    plan.filters += "scale=" + std::to_string(plan.size.width) + ":" + std::to_string(plan.size.height) + ",setsar=" + ratio(plan.sar) + ",format=yuv420p";
    return plan;
}

EncoderSetup videoEncoder(const Input& input, const AVStream* st, Preset preset, const VideoPlan& plan)
{
    const bool hevc = preset == Preset::hevcHighestQuality;
    const AVCodecParameters* par = st->codecpar;
    const AVRational rate = av_guess_frame_rate(input.context(), const_cast<AVStream*>(st), nullptr);
    EncoderSetup setup{hevc ? "libx265" : "libx264", [=](AVCodecContext* c) {
                           c->width = plan.size.width;
                           c->height = plan.size.height;
                           c->sample_aspect_ratio = plan.sar;
                           c->pix_fmt = AV_PIX_FMT_YUV420P;
                           c->time_base = st->time_base;
                           if (rate.num > 0 && rate.den > 0) c->framerate = rate;
                           c->color_primaries = par->color_primaries;
                           c->color_trc = par->color_trc;
                           if (par->color_space != AVCOL_SPC_RGB) c->colorspace = par->color_space;
                           // Apple's players only take HEVC tagged this way.
                           if (hevc) c->codec_tag = MKTAG('h', 'v', 'c', '1');
                       },
                       {{"crf", hevc ? "24" : preset == Preset::highestQuality ? "18" : "20"}, {"preset", "medium"}}};
    if (hevc) setup.options.emplace_back("x265-params", "log-level=none");
    return setup;
}

std::string trimFilters(const std::optional<TimeRange>& range, bool audio)
{
    if (!range) return {};
    const std::string start = std::to_string(range->start);
    const std::string a = audio ? "a" : "";
    return a + "trim=start=" + start + ":end=" + std::to_string(range->end) + "," + a + "setpts=PTS-" + start + "/TB,";
}
}

AVCodecID videoCodecOf(Preset preset)
{
    return preset == Preset::hevcHighestQuality ? AV_CODEC_ID_HEVC : AV_CODEC_ID_H264;
}

void transcode(Input& input, const std::vector<int>& streams, const Path& out, FileType type, Preset preset, const ExportOptions& options)
{
    Muxer muxer(out, containerOf(type));
    std::vector<std::unique_ptr<EncodeChain>> chains;
    for (int s : streams) {
        const AVStream* in = input.stream(s);
        if (in->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            const VideoPlan plan = planVideo(in, preset, options, trimFilters(options.timeRange, false));
            chains.push_back(std::make_unique<EncodeChain>(input, s, muxer, videoEncoder(input, in, preset, plan), plan.filters));
            if (!plan.upright) copyRotation(in, chains.back()->outputStream());
        } else {
            const AudioEncoding aac{"aac", AV_SAMPLE_FMT_FLTP, preset == Preset::appleM4A ? 256000 : 192000};
            const AudioShape shape = shapeFor(aac, in->codecpar);
            chains.push_back(std::make_unique<EncodeChain>(input, s, muxer, audioEncoder(aac, shape), trimFilters(options.timeRange, true) + audioFilter(aac, shape)));
        }
        if (!options.stripMetadata) av_dict_copy(&chains.back()->outputStream()->metadata, in->metadata, 0);
    }
    if (!options.stripMetadata) av_dict_copy(&muxer.context()->metadata, input.context()->metadata, 0);
    muxer.start(true);

    const auto& range = options.timeRange;
    if (range) input.seek(range->start);
    // Decoders hold frames back, so reading goes on a little past the range's end.
    readPackets(input, streams, range ? range->start : 0, range ? range->end : untilTheEnd, 1.0, [&](AVPacket* p) {
        for (auto& chain : chains) {
            if (chain->inputStream() == p->stream_index) chain->send(p);
        }
    });
    for (auto& chain : chains) chain->finish();
    muxer.finish();
}

}
