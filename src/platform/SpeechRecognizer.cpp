#include "platform/SpeechRecognizer.h"

#include "core/Errors.h"

#include <pocketsphinx.h>

#include <filesystem>
#include <set>

namespace Speech {

namespace {
const char* const modelDir = "/usr/share/pocketsphinx/model/en-us";
const char* const unavailable = "Speech recognition isn't available — install it with: sudo apt install pocketsphinx-en-us";
// PocketSphinx counts 100 frames a second.
constexpr double frameSeconds = 0.01;
// Noise is heard as one long made-up word; no real word lasts this long.
constexpr double longestWord = 1.2;

bool isMarker(const std::string& word)
{
    static const std::set<std::string> markers = {"<s>", "</s>", "<sil>", "[NOISE]", "[SPEECH]"};
    return markers.count(word) > 0;
}
}

struct Recognizer::Decoder {
    ps_decoder_t* ps = nullptr;
    ~Decoder()
    {
        if (ps) ps_free(ps);
    }
};

Recognizer::Recognizer() : decoder_(std::make_unique<Decoder>())
{
    const std::string dir = modelDir;
    const std::string hmm = dir + "/en-us", lm = dir + "/en-us.lm.bin", dict = dir + "/cmudict-en-us.dict";
    std::error_code ec;
    if (!std::filesystem::is_directory(hmm, ec) || !std::filesystem::exists(lm, ec) || !std::filesystem::exists(dict, ec)) throw KError(unavailable);
    // Silence stays in: removing it would shift frame numbers off the recording's clock.
    // One pass of the tree search only: the flat-lexicon pass and the lattice search after it
    // double the work, and on spoken tests they found no more of the listed words (one fewer).
    cmd_ln_t* config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.c_str(), "-lm", lm.c_str(), "-dict", dict.c_str(), "-remove_silence",
                                   "no", "-fwdflat", "no", "-bestpath", "no", "-logfn", "/dev/null", nullptr);
    if (!config) throw KError(unavailable);
    decoder_->ps = ps_init(config);
    cmd_ln_free_r(config);
    if (!decoder_->ps || ps_start_utt(decoder_->ps) < 0) throw KError(unavailable);
}

Recognizer::~Recognizer() = default;

void Recognizer::feed(const std::int16_t* samples, int count)
{
    if (ps_process_raw(decoder_->ps, samples, count, FALSE, FALSE) < 0) throw KError("Speech recognition failed on this recording");
}

std::vector<Word> Recognizer::finish()
{
    if (ps_end_utt(decoder_->ps) < 0) throw KError("Speech recognition failed on this recording");
    std::vector<Word> words;
    for (ps_seg_t* seg = ps_seg_iter(decoder_->ps); seg; seg = ps_seg_next(seg)) {
        const std::string text = ps_seg_word(seg);
        int first = 0, last = 0;
        ps_seg_frames(seg, &first, &last);
        const double start = first * frameSeconds, duration = (last + 1 - first) * frameSeconds;
        if (isMarker(text) || duration > longestWord) continue;
        words.push_back({text, start, duration});
    }
    return words;
}

}
