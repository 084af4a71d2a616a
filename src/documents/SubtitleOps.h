#pragma once
#include "core/Paths.h"

#include <optional>
#include <string>
#include <vector>

// SubRip and WebVTT subtitles: a tolerant reader for both and writers for SRT, VTT and text.
namespace SubtitleOps {
struct Cue {
    double start = 0;
    double end = 0;
    // The cue's lines joined with line feeds, trimmed.
    std::string text;
};

// The cues of an SRT or VTT file in file order. Throws KError "No subtitles found in <name>"
// when no block has a usable timing line.
std::vector<Cue> parse(const Path& file);
// "01:02,5" or "00:01:02.250" → seconds; none for anything else.
std::optional<double> parseTime(const std::string& text);
// Seconds → "HH:MM:SS<sep>mmm", hours not limited to two digits.
std::string format(double seconds, const std::string& sep);
// Writes the cues as "srt", "vtt" or (anything else) plain text next to the source.
Path convert(const Path& source, const std::string& ext);
}
