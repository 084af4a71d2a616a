#include "media/AvHandles.h"

#include "core/Paths.h"

#include <mutex>
#include <new>

namespace Av {

void OutputFree::operator()(AVFormatContext* c) const
{
    if (c && !(c->oformat->flags & AVFMT_NOFILE)) avio_closep(&c->pb);
    avformat_free_context(c);
}

Frame frame()
{
    AVFrame* f = av_frame_alloc();
    if (!f) throw std::bad_alloc();
    return Frame(f);
}

Packet packet()
{
    AVPacket* p = av_packet_alloc();
    if (!p) throw std::bad_alloc();
    return Packet(p);
}

Options& Options::set(const char* key, const std::string& value)
{
    av_dict_set(&dict_, key, value.c_str(), 0);
    return *this;
}

std::string describe(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

void start()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

std::string fileUrl(const std::string& path)
{
    return "file:" + absoluteNormal(path).string();
}

int64_t toTime(double seconds, AVRational base)
{
    return av_rescale_q(static_cast<int64_t>(seconds * AV_TIME_BASE + (seconds < 0 ? -0.5 : 0.5)), AV_TIME_BASE_Q, base);
}

double toSeconds(int64_t time, AVRational base)
{
    return time == AV_NOPTS_VALUE ? 0 : static_cast<double>(time) * av_q2d(base);
}

}
