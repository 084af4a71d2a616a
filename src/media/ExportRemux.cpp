#include "media/ExportWriters.h"

#include "media/MediaChain.h"

namespace MediaKit {

void remux(Input& input, const std::vector<int>& streams, const Path& out, FileType type, const ExportOptions& options)
{
    Muxer muxer(out, containerOf(type));
    std::vector<int> outputOf(input.context()->nb_streams, -1);
    for (int s : streams) {
        const AVStream* in = input.stream(s);
        AVStream* copy = muxer.addStream(in);
        copyRotation(in, copy);
        if (!options.stripMetadata) av_dict_copy(&copy->metadata, in->metadata, 0);
        outputOf[s] = copy->index;
    }
    if (!options.stripMetadata) av_dict_copy(&muxer.context()->metadata, input.context()->metadata, 0);
    muxer.start(true);

    const auto range = options.timeRange;
    const double from = range ? range->start : 0, until = range ? range->end : untilTheEnd;
    if (range) input.seek(from);
    // A copied video must begin on a key frame; the frames before the range's start that it
    // brings along are hidden by the container's edit list.
    std::vector<bool> begun(input.context()->nb_streams, false);
    readPackets(input, streams, from, until, 0, [&](AVPacket* p) {
        const int s = p->stream_index;
        const AVStream* in = input.stream(s);
        const AVRational tb = in->time_base;
        const bool video = in->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
        if (range) {
            const std::int64_t stamp = p->dts != AV_NOPTS_VALUE ? p->dts : p->pts;
            if (stamp != AV_NOPTS_VALUE && Av::toSeconds(stamp, tb) >= until) return;
            if (!video && p->pts != AV_NOPTS_VALUE && Av::toSeconds(p->pts + p->duration, tb) <= from) return;
        }
        if (video && !begun[s]) {
            if (!(p->flags & AV_PKT_FLAG_KEY)) return;
            begun[s] = true;
        }
        const std::int64_t shift = range ? Av::toTime(from, tb) : 0;
        if (p->pts != AV_NOPTS_VALUE) p->pts -= shift;
        if (p->dts != AV_NOPTS_VALUE) p->dts -= shift;
        p->pos = -1;
        muxer.write(p, outputOf[s], tb);
    });
    muxer.finish();
}

}
