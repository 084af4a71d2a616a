#pragma once
#include "core/Paths.h"
#include "media/AvHandles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace MediaKit {
// Frames larger than this are refused from the file's header, before any decoder allocates a
// picture: a few bytes of header can claim 100000 × 100000 pixels. The limit is above DCI 8K
// (8192 × 4320).
inline constexpr std::int64_t maxFramePixels = 40'000'000;
inline constexpr int maxFrameSide = 16384;

// An opened media file: its streams, and its packets in file order with timestamps shifted so
// that the file starts at zero. Every failure is a KError that names the file.
class Input {
public:
    // Throws "<name> is empty", "Couldn't read <name> — …", or the frame-size refusal.
    explicit Input(const Path& path);

    AVFormatContext* context() const { return ctx_.get(); }
    AVStream* stream(int index) const { return ctx_->streams[index]; }
    // The main video stream (a cover picture is not video), or -1.
    int bestVideo() const;
    // The main audio stream, or -1.
    int bestAudio() const;
    // Seconds; 0 when the file does not say.
    double duration() const;
    const std::string& name() const { return name_; }

    // The next packet; false at the end of the file. Throws "<name> is damaged or incomplete…"
    // when the file breaks off or cannot be read further.
    bool read(AVPacket* packet);
    // Moves to the key frame at or before seconds; 0 rewinds to the start.
    void seek(double seconds);
    // The error for data that cannot be decoded or a file that ends before its index does.
    std::string damaged() const;

private:
    void checkFrameSizes() const;
    void checkComplete() const;

    std::string name_;
    Av::InputContext ctx_;
    std::int64_t start_ = 0;  // the file's first timestamp, in AV_TIME_BASE units
    std::vector<std::int64_t> packetsRead_;
    bool fromStart_ = true;
};

// Degrees clockwise (0, 90, 180 or 270) that turn the stream's pictures upright.
int rotation(const AVStream* stream);
}
