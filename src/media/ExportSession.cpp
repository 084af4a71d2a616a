#include "media/ExportSession.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "media/ExportWriters.h"
#include "media/MediaMuxer.h"

#include <algorithm>

namespace MediaKit {

namespace {
bool isAudio(const Input& input, int stream)
{
    return input.stream(stream)->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
}
}

const char* containerOf(FileType type)
{
    switch (type) {
    case FileType::mpeg4: return "mp4";
    case FileType::quickTimeMovie: return "mov";
    case FileType::appleM4V:
    case FileType::appleM4A: return "ipod";
    }
    return "mp4";
}

ExportSession::ExportSession(const Path& source, Preset preset, ExportOptions options)
    : input_(std::make_unique<Input>(source)), preset_(preset), options_(options)
{
    const int video = input_->bestVideo(), audio = input_->bestAudio();
    if (preset == Preset::passthrough) {
        for (unsigned i = 0; i < input_->context()->nb_streams; ++i) {
            const AVStream* st = input_->stream(static_cast<int>(i));
            const AVMediaType kind = st->codecpar->codec_type;
            if ((kind == AVMEDIA_TYPE_VIDEO || kind == AVMEDIA_TYPE_AUDIO) && !(st->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
                streams_.push_back(static_cast<int>(i));
            }
        }
    } else {
        if (video >= 0 && preset != Preset::appleM4A) streams_.push_back(video);
        if (audio >= 0) streams_.push_back(audio);
    }
    if (options.mute) std::erase_if(streams_, [&](int s) { return isAudio(*input_, s); });
    const bool cropping = options.crop.has_value();
    const bool hasVideo = std::any_of(streams_.begin(), streams_.end(), [&](int s) { return !isAudio(*input_, s); });
    if (streams_.empty() || (cropping && (preset == Preset::passthrough || !hasVideo))) {
        throw KError("This file can't be exported with that preset");
    }
}

ExportSession::~ExportSession() = default;

std::vector<int> ExportSession::streamsFor(FileType type) const
{
    std::vector<int> kept = streams_;
    // An .m4a file holds sound only.
    if (type == FileType::appleM4A) std::erase_if(kept, [&](int s) { return !isAudio(*input_, s); });
    return kept;
}

bool ExportSession::supports(FileType type) const
{
    const std::vector<int> kept = streamsFor(type);
    if (kept.empty()) return false;
    // AAC alone goes only into .m4a, and re-encoded video never does; a copy may go anywhere.
    if (preset_ == Preset::appleM4A && type != FileType::appleM4A) return false;
    if (preset_ != Preset::appleM4A && preset_ != Preset::passthrough && type == FileType::appleM4A) return false;
    return std::all_of(kept.begin(), kept.end(), [&](int s) {
        const bool audio = isAudio(*input_, s);
        const AVCodecID codec = preset_ == Preset::passthrough ? input_->stream(s)->codecpar->codec_id
                                : audio                         ? AV_CODEC_ID_AAC
                                                                : videoCodecOf(preset_);
        return containerAccepts(containerOf(type), codec);
    });
}

void ExportSession::write(const Path& out, FileType type)
{
    Output::Pending pending(out);
    if (!supports(type)) throw KError("Can't export this file as ." + lowerExt(out));
    if (used_) input_->seek(0);
    used_ = true;
    if (preset_ == Preset::passthrough) remux(*input_, streamsFor(type), out, type, options_);
    else transcode(*input_, streamsFor(type), out, type, preset_, options_);
    pending.keep();
}

}
