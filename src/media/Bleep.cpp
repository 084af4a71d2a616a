#include "media/MediaTools.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Progress.h"
#include "core/Tools.h"
#include "media/AudioConvert.h"
#include "media/MediaOps.h"
#include "media/StreamCheck.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <set>

namespace MediaOps {

namespace {
// Stems match their longer forms too ("motherf" catches every spelling that follows).
constexpr std::array<const char*, 19> wordList = {"fuck", "shit",    "bitch", "cunt",  "asshole", "bastard", "dick",
                                                  "cock", "pussy",   "motherf", "whore", "slut",  "twat",   "wank",
                                                  "bollock", "prick", "douche", "goddamn", "bullshit"};
// Widens each bleep so that the word's edges are covered too.
constexpr double padding = 0.05;
// Listening is most of the work; the mix that follows is quick.
constexpr double listeningShare = 0.9;

std::string threeDecimals(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}
}

bool isProfane(const std::string& word)
{
    std::string lower = word;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.find('*') != std::string::npos) return true;
    return std::any_of(wordList.begin(), wordList.end(), [&](const char* entry) { return lower.find(entry) != std::string::npos; });
}

std::string bleepGraph(const std::vector<Speech::Word>& words)
{
    std::string ranges;
    for (const Speech::Word& word : words) {
        if (!ranges.empty()) ranges += "+";
        ranges += "between(t," + threeDecimals(std::max(word.start - padding, 0.0)) + "," + threeDecimals(word.start + word.duration + padding) + ")";
    }
    return "[0:a]volume=0:enable='" + ranges + "'[muted];" + "sine=frequency=1000:sample_rate=44100,volume=0.25,volume=0:enable='not(" + ranges +
           ")'[tone];" + "[muted][tone]amix=inputs=2:duration=first:normalize=0[out]";
}

Bleeped bleep(const Path& url)
{
    if (!Tools::ffmpeg()) throw KError("Bleep needs ffmpeg — install it with: sudo apt install ffmpeg");
    requireSound(url);
    Speech::Recognizer recognizer;
    std::vector<Speech::Word> heard;
    {
        const Progress::Sink whole = Progress::current();
        const Progress::Scope listening([whole](double fraction) {
            if (whole) whole(fraction * listeningShare);
        });
        MediaKit::readSamples(url, Speech::sampleRate, 1, [&](const std::int16_t* samples, int frames) { recognizer.feed(samples, frames); });
        heard = recognizer.finish();
    }
    std::vector<Speech::Word> matched;
    std::copy_if(heard.begin(), heard.end(), std::back_inserter(matched), [](const Speech::Word& word) { return isProfane(word.text); });
    if (matched.empty()) return {};

    static const std::set<std::string> kept = {"mp3", "m4a", "wav", "flac", "aiff", "ogg", "opus"};
    const std::string ext = kept.count(lowerExt(url)) ? lowerExt(url) : "m4a";
    Args args = {"-filter_complex", bleepGraph(matched), "-map", "[out]"};
    const Args codec = audioCodecArgs(ext);
    args.insert(args.end(), codec.begin(), codec.end());
    Progress::report(listeningShare);
    const Path out = Output::produce(url, ext, "bleeped", [&](const Path& to) { ffmpeg(url, to, args); });
    return {out, static_cast<int>(matched.size())};
}

}
