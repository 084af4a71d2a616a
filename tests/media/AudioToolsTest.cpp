#include "MediaSamples.h"

#include "TestSupport.h"
#include "media/MediaTools.h"

#include <functional>
#include <regex>

using namespace MediaSamples;
using TestSupport::errorOf;
using TestSupport::listFolder;
using TestSupport::Names;

namespace {
// ffmpeg's mean volume in dB of the sound between from and to seconds, after an optional filter.
double meanVolume(const Path& file, double from, double to, const std::string& filter = "")
{
    std::string chain = "atrim=" + std::to_string(from) + ":" + std::to_string(to) + (filter.empty() ? "" : "," + filter) + ",volumedetect";
    const auto run = TestSupport::runProgram("/usr/bin/ffmpeg", {"-hide_banner", "-i", file.string(), "-af", chain, "-f", "null", "-"});
    std::smatch found;
    if (!std::regex_search(run.err, found, std::regex("mean_volume: (-?[0-9.]+|-inf) dB"))) return 0;
    return found[1] == "-inf" ? -200 : std::stod(found[1]);
}
}

class AudioToolsTest : public TestSupport::FreshHomeWithFiles {};

TEST_F(AudioToolsTest, NormalizeKeepsCommonFormatsAndMakesTheRestM4A)
{
    const FakeFfmpeg fake;
    struct Case { const char* source; const char* output; Names codec; };
    const Case cases[] = {
        {"song.mp3", "song (normalized).mp3", {"-c:a", "libmp3lame", "-q:a", "2"}},
        {"song.ogg", "song (normalized).m4a", {"-c:a", "aac", "-b:a", "256k"}},
    };
    for (const Case& c : cases) {
        const Path out = MediaOps::normalize(file(c.source));
        EXPECT_EQ(out, dir / c.output);
        Names expected = {"-y", "-hide_banner", "-loglevel", "error", "-i", (dir / c.source).string(), "-vn", "-af", "loudnorm=I=-16:TP=-1.5:LRA=11"};
        expected.insert(expected.end(), c.codec.begin(), c.codec.end());
        expected.push_back(out.string());
        EXPECT_EQ(fake.args(), expected) << c.source;
    }
}

TEST_F(AudioToolsTest, VideoWithoutSoundIsRefusedWithoutOutput)
{
    ToolsScope present(true);
    makeClip(dir / "silent.mp4", 1, "160x120", 0);
    const std::pair<const char*, std::function<void()>> tools[] = {
        {"extract", [&] { MediaOps::extractAudio(dir / "silent.mp4"); }},
        {"compress", [&] { MediaOps::compressAudio(dir / "silent.mp4"); }},
        {"channels", [&] { MediaOps::toggleChannels(dir / "silent.mp4"); }},
        {"visualize", [&] { MediaOps::visualize(dir / "silent.mp4"); }},
        {"bleep", [&] { MediaOps::bleep(dir / "silent.mp4"); }},
    };
    for (const auto& [name, run] : tools) EXPECT_EQ(errorOf(run), "silent.mp4 has no sound") << name;
    EXPECT_EQ(listFolder(dir.path()), Names{"silent.mp4"});
}

TEST_F(AudioToolsTest, BleepCoversTheHeardWordWithATone)
{
    if (!std::filesystem::exists("/usr/share/pocketsphinx/model/en-us/en-us.lm.bin") || !std::filesystem::exists("/usr/bin/espeak-ng"))
        GTEST_SKIP() << "speech model or espeak-ng missing";
    ToolsScope present(true);
    ASSERT_EQ(TestSupport::runProgram("/usr/bin/espeak-ng", {"-w", (dir / "a.wav").string(), "good morning everyone"}).status, 0);
    ASSERT_EQ(TestSupport::runProgram("/usr/bin/espeak-ng", {"-w", (dir / "b.wav").string(), "that is bullshit"}).status, 0);
    // The word sits in the second half of the second phrase, which starts at 1.78 s.
    const double wordFrom = 2.2, wordTo = 2.55;
    MediaSamples::ffmpeg({"-i", (dir / "a.wav").string(), "-i", (dir / "b.wav").string(), "-filter_complex",
                          "[0:a]apad=pad_dur=0.4[a];[a][1:a]concat=n=2:v=0:a=1", "-c:a", "pcm_s16le", (dir / "talk.wav").string()});
    MediaSamples::ffmpeg({"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=30", "-i", (dir / "talk.wav").string(), "-shortest", "-c:v", "libx264", "-preset",
                          "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", (dir / "talk.mp4").string()});

    struct Case { const char* source; const char* output; const char* codec; };
    for (const Case& c : {Case{"talk.wav", "talk (bleeped).wav", "pcm_s16le"}, Case{"talk.mp4", "talk (bleeped).m4a", "aac"}}) {
        const MediaOps::Bleeped bleeped = MediaOps::bleep(dir / c.source);
        ASSERT_TRUE(bleeped.output) << c.source;
        EXPECT_EQ(*bleeped.output, dir / c.output);
        EXPECT_EQ(bleeped.count, 1) << c.source;
        EXPECT_EQ(codecs(probe(*bleeped.output)), c.codec);
    }

    const Path in = dir / "talk.wav", out = dir / "talk (bleeped).wav";
    const std::string tone = "bandpass=f=1000:width_type=q:w=8";
    // ffmpeg's sine is at 1/8 of full scale, a quarter of it -33 dB; the speech underneath is gone.
    EXPECT_NEAR(meanVolume(out, wordFrom, wordTo, tone), -33, 1.5);
    EXPECT_NEAR(meanVolume(out, wordFrom, wordTo), -33, 1);
    EXPECT_LT(meanVolume(in, wordFrom, wordTo, tone), -25);
    // The first phrase is untouched.
    EXPECT_NEAR(meanVolume(out, 0, 1.3), meanVolume(in, 0, 1.3), 0.3);
    EXPECT_NEAR(meanVolume(out, 0, 1.3, tone), meanVolume(in, 0, 1.3, tone), 0.3);
}
