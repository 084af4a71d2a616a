#pragma once
#include "media/MediaChain.h"

#include <string>

namespace MediaKit {
// How sound is encoded: the encoder, its sample format and, where it matters, the bit rate
// and the bits per sample actually stored.
struct AudioEncoding {
    const char* encoder;
    AVSampleFormat sampleFormat;
    std::int64_t bitRate = 0;
    int bitsPerSample = 0;
};

// The sample rate and channel count the encoder writes for this source: the source's own
// where the encoder takes them (channels, when not 0, asks for that many), else 48 kHz and
// stereo.
struct AudioShape {
    int sampleRate = 0;
    int channels = 0;
};
AudioShape shapeFor(const AudioEncoding& encoding, const AVCodecParameters* source, int channels = 0);

EncoderSetup audioEncoder(const AudioEncoding& encoding, AudioShape shape);
// The filter that brings decoded sound to the encoder's format, rate and channels.
std::string audioFilter(const AudioEncoding& encoding, AudioShape shape);
}
