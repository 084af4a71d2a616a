#include "media/MediaFrames.h"

#include "core/Errors.h"
#include "media/FrameSize.h"
#include "media/ImageVips.h"
#include "media/MediaChain.h"

#include <cmath>
#include <vector>

namespace MediaKit {

namespace {
const char* const noFrames = "This video has no frames";

int pictureStream(const Input& input)
{
    const int stream = input.bestVideo();
    if (stream < 0) throw KError(noFrames);
    return stream;
}

ImageOps::Image toImage(const AVFrame* rgb)
{
    const int w = rgb->width, h = rgb->height;
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y) std::copy_n(rgb->data[0] + static_cast<ptrdiff_t>(y) * rgb->linesize[0], w * 3, pixels.data() + static_cast<size_t>(y) * w * 3);
    ImageVips::start();
    VipsImage* image = vips_image_new_from_memory_copy(pixels.data(), pixels.size(), w, h, 3, VIPS_FORMAT_UCHAR);
    if (!image) throw std::bad_alloc();
    return ImageOps::Image(image);
}
}

ImageOps::Image frameAt(const Path& source, double seconds)
{
    Input input(source);
    const int stream = pictureStream(input);
    const AVStream* st = input.stream(stream);
    // One thread hands out the first frame soonest.
    Decoder decoder(input, stream, 1);
    if (seconds > 0) input.seek(seconds);
    const std::int64_t target = Av::toTime(seconds, st->time_base);
    Av::Frame shown = Av::frame();
    bool found = false, done = false;
    const FrameSink take = [&](AVFrame* f) {
        if (done || (found && f->pts > target)) {
            done = true;
            return;
        }
        av_frame_unref(shown.get());
        if (av_frame_ref(shown.get(), f) < 0) throw std::bad_alloc();
        found = true;
        done = f->pts >= target;
    };
    Av::Packet packet = Av::packet();
    while (!done && input.read(packet.get())) {
        if (packet->stream_index == stream) decoder.decode(packet.get(), take);
        av_packet_unref(packet.get());
    }
    if (!done) decoder.decode(nullptr, take);
    if (!found) throw KError(noFrames);

    FilterGraph upright(shown.get(), st->time_base, uprightFilters(rotation(st)) + "scale=iw*sar:ih,setsar=1,format=rgb24");
    std::optional<ImageOps::Image> image;
    const FrameSink keep = [&](AVFrame* f) { image = toImage(f); };
    upright.push(shown.get(), keep);
    upright.push(nullptr, keep);
    if (!image) throw KError(noFrames);
    return *image;
}

void makeGIF(const Path& source, const Path& out, double fps, int maxSide, double maxDuration)
{
    Input input(source);
    const long long frames = static_cast<long long>(std::floor(fps * std::min(maxDuration, input.duration())));
    if (frames < 1) throw KError(noFrames);
    const int stream = pictureStream(input);
    const AVStream* st = input.stream(stream);
    const int degrees = rotation(st);
    const AVRational sar = st->codecpar->sample_aspect_ratio.num > 0 ? st->codecpar->sample_aspect_ratio : AVRational{1, 1};
    Size shown{static_cast<int>(st->codecpar->width * av_q2d(sar) + 0.5), st->codecpar->height};
    if (degrees % 180 == 90) shown = {shown.height, shown.width};
    const Size size = fitInSquare(shown, maxSide);
    const AVRational rate = av_d2q(fps, 1000);

    Muxer muxer(out, "gif", {"Couldn't create GIF", "Couldn't write GIF"});
    const EncoderSetup gif{"gif", [size](AVCodecContext* c) {
                               c->width = size.width;
                               c->height = size.height;
                               c->pix_fmt = AV_PIX_FMT_PAL8;
                               c->time_base = {1, 100};
                           }, {}};
    const std::string filters = uprightFilters(degrees) + "fps=" + std::to_string(rate.num) + "/" + std::to_string(rate.den) +
                                ",trim=end_frame=" + std::to_string(frames) + ",scale=" + std::to_string(size.width) + ":" + std::to_string(size.height) +
                                ":flags=lanczos,setsar=1,split[a][b];[a]palettegen[p];[b][p]paletteuse";
    EncodeChain chain(input, stream, muxer, gif, filters);
    muxer.start(false);
    readPackets(input, {stream}, 0, frames / fps, 1.0, [&](AVPacket* p) { chain.send(p); });
    chain.finish();
    if (chain.framesWritten() == 0) throw KError(noFrames);
    muxer.finish();
}

}
