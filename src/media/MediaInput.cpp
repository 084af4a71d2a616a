#include "media/MediaInput.h"

#include "core/Errors.h"

extern "C" {
#include <libavutil/display.h>
}

#include <cmath>
#include <filesystem>

namespace MediaKit {

namespace {
bool isCoverPicture(const AVStream* st)
{
    return st->disposition & AV_DISPOSITION_ATTACHED_PIC;
}

int best(AVFormatContext* ctx, AVMediaType type)
{
    const int index = av_find_best_stream(ctx, type, -1, -1, nullptr, 0);
    if (index >= 0 && !isCoverPicture(ctx->streams[index])) return index;
    // The best stream may be a cover picture; any real one of the type will do.
    for (unsigned i = 0; i < ctx->nb_streams; ++i) {
        const AVStream* st = ctx->streams[i];
        if (st->codecpar->codec_type == type && !isCoverPicture(st)) return static_cast<int>(i);
    }
    return -1;
}
}

Input::Input(const Path& path) : name_(path.filename().string())
{
    Av::start();
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) == 0 && !ec) {
        throw KError(name_ + " is empty");
    }
    AVFormatContext* raw = nullptr;
    const int opened = avformat_open_input(&raw, Av::fileUrl(path).c_str(), nullptr, nullptr);
    if (opened < 0) {
        if (opened == AVERROR(ENOENT) || opened == AVERROR(EACCES) || opened == AVERROR(EISDIR)) {
            throw KError("Couldn't read " + name_ + ": " + Av::describe(opened));
        }
        throw KError("Couldn't read " + name_ + " — it is damaged, incomplete or not a video or audio file");
    }
    ctx_.reset(raw);
    // Headers that already state a frame size are judged before stream probing decodes anything.
    checkFrameSizes();
    std::vector<Av::Options> limits(ctx_->nb_streams);
    std::vector<AVDictionary*> options(ctx_->nb_streams);
    for (unsigned i = 0; i < ctx_->nb_streams; ++i) {
        limits[i].set("max_pixels", std::to_string(maxFramePixels));
        options[i] = *limits[i].get();
    }
    const int found = avformat_find_stream_info(ctx_.get(), options.empty() ? nullptr : options.data());
    for (size_t i = 0; i < options.size(); ++i) *limits[i].get() = options[i];
    if (found < 0 || (bestVideo() < 0 && bestAudio() < 0)) {
        throw KError("Couldn't read " + name_ + " — it is damaged, incomplete or not a video or audio file");
    }
    checkFrameSizes();
    if (ctx_->start_time != AV_NOPTS_VALUE) start_ = ctx_->start_time;
    packetsRead_.assign(ctx_->nb_streams, 0);
}

void Input::checkFrameSizes() const
{
    for (unsigned i = 0; i < ctx_->nb_streams; ++i) {
        const AVCodecParameters* par = ctx_->streams[i]->codecpar;
        if (par->codec_type != AVMEDIA_TYPE_VIDEO || isCoverPicture(ctx_->streams[i])) continue;
        const std::int64_t w = par->width, h = par->height;
        if (w > maxFrameSide || h > maxFrameSide || w * h > maxFramePixels) {
            throw KError(name_ + " has frames of " + std::to_string(w) + " × " + std::to_string(h) + " pixels, too large to convert");
        }
    }
}

int Input::bestVideo() const
{
    return best(ctx_.get(), AVMEDIA_TYPE_VIDEO);
}

int Input::bestAudio() const
{
    return best(ctx_.get(), AVMEDIA_TYPE_AUDIO);
}

double Input::duration() const
{
    if (ctx_->duration != AV_NOPTS_VALUE && ctx_->duration > 0) return Av::toSeconds(ctx_->duration, AV_TIME_BASE_Q);
    double longest = 0;
    for (unsigned i = 0; i < ctx_->nb_streams; ++i) {
        const AVStream* st = ctx_->streams[i];
        if (st->duration != AV_NOPTS_VALUE) longest = std::max(longest, Av::toSeconds(st->duration, st->time_base));
    }
    return longest;
}

std::string Input::damaged() const
{
    return name_ + " is damaged or incomplete and can't be read to the end";
}

bool Input::read(AVPacket* packet)
{
    for (;;) {
        const int rc = av_read_frame(ctx_.get(), packet);
        if (rc == AVERROR(EAGAIN)) continue;
        if (rc == AVERROR_EOF) {
            checkComplete();
            return false;
        }
        if (rc < 0 || (packet->flags & AV_PKT_FLAG_CORRUPT)) throw KError(damaged());
        break;
    }
    const AVStream* st = ctx_->streams[packet->stream_index];
    const std::int64_t shift = av_rescale_q(start_, AV_TIME_BASE_Q, st->time_base);
    if (packet->pts != AV_NOPTS_VALUE) packet->pts -= shift;
    if (packet->dts != AV_NOPTS_VALUE) packet->dts -= shift;
    ++packetsRead_[packet->stream_index];
    return true;
}

// An index that lists more samples than the file holds means the data was cut off.
void Input::checkComplete() const
{
    if (!fromStart_) return;
    for (unsigned i = 0; i < ctx_->nb_streams; ++i) {
        if (ctx_->streams[i]->nb_frames > 0 && packetsRead_[i] > 0 && packetsRead_[i] < ctx_->streams[i]->nb_frames) {
            throw KError(damaged());
        }
    }
}

void Input::seek(double seconds)
{
    const std::int64_t target = start_ + Av::toTime(std::max(seconds, 0.0), AV_TIME_BASE_Q);
    if (av_seek_frame(ctx_.get(), -1, target, AVSEEK_FLAG_BACKWARD) < 0 && seconds > 0) {
        // Files without an index can still be read from the start; frames before the
        // target are then skipped by the caller.
        av_seek_frame(ctx_.get(), -1, start_, AVSEEK_FLAG_BACKWARD);
    }
    fromStart_ = seconds <= 0;
    packetsRead_.assign(ctx_->nb_streams, 0);
}

int rotation(const AVStream* stream)
{
    const auto* matrix = reinterpret_cast<const int32_t*>(av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
    if (!matrix) return 0;
    const double counterClockwise = av_display_rotation_get(matrix);
    if (std::isnan(counterClockwise)) return 0;
    int degrees = static_cast<int>(std::lround(-counterClockwise / 90.0)) * 90 % 360;
    if (degrees < 0) degrees += 360;
    return degrees;
}

}
