#include "media/AudioFormat.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <cstring>

namespace MediaKit {

namespace {
std::string layoutName(int channels)
{
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, channels);
    char name[64] = {};
    av_channel_layout_describe(&layout, name, sizeof name);
    av_channel_layout_uninit(&layout);
    return name;
}

bool takesRate(const AVCodec* codec, int rate)
{
    if (!codec->supported_samplerates) return rate > 0;
    for (const int* r = codec->supported_samplerates; *r; ++r) {
        if (*r == rate) return true;
    }
    return false;
}
}

AudioShape shapeFor(const AudioEncoding& encoding, const AVCodecParameters* source, int channels)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(encoding.encoder);
    AudioShape shape{source->sample_rate, channels > 0 ? channels : source->ch_layout.nb_channels};
    if (!codec || !takesRate(codec, shape.sampleRate)) shape.sampleRate = 48000;
    // AAC and FLAC have no channel configurations past 7.1.
    const bool upToEight = std::strcmp(encoding.encoder, "aac") == 0 || std::strcmp(encoding.encoder, "flac") == 0;
    if (shape.channels < 1 || (upToEight && shape.channels > 8)) shape.channels = 2;
    return shape;
}

EncoderSetup audioEncoder(const AudioEncoding& encoding, AudioShape shape)
{
    return {encoding.encoder, [encoding, shape](AVCodecContext* c) {
                c->sample_rate = shape.sampleRate;
                av_channel_layout_default(&c->ch_layout, shape.channels);
                c->sample_fmt = encoding.sampleFormat;
                c->bit_rate = encoding.bitRate;
                if (encoding.bitsPerSample > 0) c->bits_per_raw_sample = encoding.bitsPerSample;
                c->time_base = {1, shape.sampleRate};
            }, {}};
}

std::string audioFilter(const AudioEncoding& encoding, AudioShape shape)
{
    return std::string("aformat=sample_fmts=") + av_get_sample_fmt_name(encoding.sampleFormat) + ":sample_rates=" + std::to_string(shape.sampleRate) +
           ":channel_layouts=" + layoutName(shape.channels);
}

}
