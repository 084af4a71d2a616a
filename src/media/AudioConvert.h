#pragma once
#include "core/Paths.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace MediaKit {
// Converts the sound of source (its main audio stream; video files too) into out, by an
// afconvert argument list: "-f" file format (m4af, WAVE, AIFF, flac), "-d" data format (aac,
// LEI16, BEI16, flac), "-b" bit rate in bits per second, "-c" channel count. Reports progress.
// Throws "<name> has no sound to convert" or the read or write failure; the caller owns out.
void convertAudio(const Path& source, const Path& out, const std::vector<std::string>& afconvertArgs);

// Decodes the main audio stream of source to interleaved signed 16-bit samples at this rate
// and channel count (16000 and 1 for speech recognition), handing them on in blocks of frames.
using SampleSink = std::function<void(const std::int16_t* samples, int frames)>;
void readSamples(const Path& source, int sampleRate, int channels, const SampleSink& sink);
}
