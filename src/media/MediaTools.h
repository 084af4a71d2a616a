#pragma once
#include "core/Paths.h"
#include "platform/SpeechRecognizer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The video and audio operations of the tools page. Each writes one new file beside its
// source (named by Output) and leaves nothing behind when it fails. Native sources go through
// the media kit in process; the rest, and work the kit does not do, through ffmpeg.
namespace MediaOps {

// Video
Path compressVideo(const Path& url);
// At most 720 lines high, never enlarged.
Path downscaleVideo(const Path& url);
// The picture without its sound.
Path mute(const Path& url);
// The part from `from` to `to` seconds, copied where the container allows.
Path trim(const Path& url, double from, double to);

// A rectangle in the pixels of the upright picture, origin at the top left.
struct CropRect {
    double x = 0, y = 0, width = 0, height = 0;
};
// ffmpeg's crop filter for the rectangle: whole pixels, even width and height.
std::string cropFilter(const CropRect& rect);
// Throws "Cropping video needs ffmpeg — install it with: sudo apt install ffmpeg" without it.
Path cropVideo(const Path& url, const CropRect& rect);

// Re-encodes the video in two passes until it is at most maxBytes, in up to three attempts;
// none when the source already fits (nothing is written).
std::optional<Path> fitVideo(const Path& url, std::int64_t maxBytes);
// The file without its tags and chapters, streams copied where possible.
Path stripMetadata(const Path& url);
// A PNG of the picture at one second, or half-way through a shorter clip.
Path frameGrab(const Path& url);

// Audio
// ffmpegArgs(ext) without the "-vn" that every audio row begins with, for lists carrying their own.
std::vector<std::string> audioCodecArgs(const std::string& ext);
Path extractAudio(const Path& url);
Path compressAudio(const Path& url);
// EBU R128 loudness normalisation to -16 LUFS.
Path normalize(const Path& url);
// Mono becomes stereo; anything else becomes mono.
Path toggleChannels(const Path& url);
// A 1280×720 waveform video of the sound.
Path visualize(const Path& url);

// Bleep: profanity heard by speech recognition is silenced and covered by a 1 kHz tone.
struct Bleeped {
    std::optional<Path> output;  // none when nothing matched
    int count = 0;
};
Bleeped bleep(const Path& url);

// Whether a recognised word is to be bleeped (a listed word or stem, or a masked word).
bool isProfane(const std::string& word);
// The ffmpeg filter graph that bleeps these words, each widened by 50 ms on both sides.
std::string bleepGraph(const std::vector<Speech::Word>& words);
}
