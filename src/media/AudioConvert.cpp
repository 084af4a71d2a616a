#include "media/AudioConvert.h"

#include "core/Errors.h"
#include "media/AudioFormat.h"
#include "media/MediaChain.h"

#include <stdexcept>

namespace MediaKit {

namespace {
// What an afconvert argument list asks for.
struct Row {
    const char* container = nullptr;
    AudioEncoding encoding{nullptr, AV_SAMPLE_FMT_NONE};
    int channels = 0;
};

Row readRow(const std::vector<std::string>& args, const AVCodecParameters* source)
{
    std::string file, data;
    Row row;
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        const std::string& key = args[i];
        const std::string& value = args[i + 1];
        if (key == "-f") file = value;
        else if (key == "-d") data = value;
        else if (key == "-b") row.encoding.bitRate = std::stoll(value);
        else if (key == "-c") row.channels = std::stoi(value);
        else throw std::invalid_argument("afconvert option " + key);
    }
    if (file == "m4af") row.container = "ipod";
    else if (file == "WAVE") row.container = "wav";
    else if (file == "AIFF") row.container = "aiff";
    else if (file == "flac") row.container = "flac";
    else throw std::invalid_argument("afconvert file format " + file);

    // FLAC keeps a source's extra bits; the PCM rows are 16-bit by definition.
    const int bits = source->bits_per_raw_sample > 0 ? source->bits_per_raw_sample : source->bits_per_coded_sample;
    if (data == "aac") row.encoding = {"aac", AV_SAMPLE_FMT_FLTP, row.encoding.bitRate};
    else if (data == "LEI16") row.encoding = {"pcm_s16le", AV_SAMPLE_FMT_S16};
    else if (data == "BEI16") row.encoding = {"pcm_s16be", AV_SAMPLE_FMT_S16};
    else if (data == "flac") row.encoding = bits > 16 ? AudioEncoding{"flac", AV_SAMPLE_FMT_S32, 0, 24} : AudioEncoding{"flac", AV_SAMPLE_FMT_S16};
    else throw std::invalid_argument("afconvert data format " + data);
    return row;
}

int soundOf(const Input& input)
{
    const int stream = input.bestAudio();
    if (stream < 0) throw KError(input.name() + " has no sound to convert");
    return stream;
}
}

void convertAudio(const Path& source, const Path& out, const std::vector<std::string>& afconvertArgs)
{
    Input input(source);
    const int stream = soundOf(input);
    const Row row = readRow(afconvertArgs, input.stream(stream)->codecpar);
    const AudioShape shape = shapeFor(row.encoding, input.stream(stream)->codecpar, row.channels);
    Muxer muxer(out, row.container);
    EncodeChain chain(input, stream, muxer, audioEncoder(row.encoding, shape), audioFilter(row.encoding, shape));
    muxer.start(false);
    readPackets(input, {stream}, 0, untilTheEnd, 0, [&](AVPacket* p) { chain.send(p); });
    chain.finish();
    muxer.finish();
}

void readSamples(const Path& source, int sampleRate, int channels, const SampleSink& sink)
{
    Input input(source);
    const int stream = soundOf(input);
    Decoder decoder(input, stream);
    const AudioEncoding pcm{"pcm_s16le", AV_SAMPLE_FMT_S16};
    FrameFilter filter(input.stream(stream)->time_base, audioFilter(pcm, {sampleRate, channels}));
    const FrameSink deliver = [&](AVFrame* f) { sink(reinterpret_cast<const std::int16_t*>(f->data[0]), f->nb_samples); };
    const FrameSink decoded = [&](AVFrame* f) { filter.push(f, deliver); };
    readPackets(input, {stream}, 0, untilTheEnd, 0, [&](AVPacket* p) { decoder.decode(p, decoded); });
    decoder.decode(nullptr, decoded);
    filter.finish(deliver);
}

}
