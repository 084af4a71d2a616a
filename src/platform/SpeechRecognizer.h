#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// English speech recognition on PocketSphinx, fed 16 kHz mono 16-bit audio block by block so
// that a long recording is never held whole.
namespace Speech {
inline constexpr int sampleRate = 16000;

// One heard word; times in seconds from the start of the audio.
struct Word {
    std::string text;
    double start = 0;
    double duration = 0;
};

class Recognizer {
public:
    // Loads the installed en-US model; throws "Speech recognition isn't available — install it
    // with: sudo apt install pocketsphinx-en-us" when it is missing or does not load.
    Recognizer();
    ~Recognizer();
    Recognizer(const Recognizer&) = delete;
    Recognizer& operator=(const Recognizer&) = delete;

    void feed(const std::int16_t* samples, int count);
    // The words heard, in order; empty when the audio holds no speech.
    std::vector<Word> finish();

private:
    struct Decoder;
    std::unique_ptr<Decoder> decoder_;
};
}
