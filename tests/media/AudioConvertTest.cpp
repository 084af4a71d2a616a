#include "MediaSamples.h"

#include "TestSupport.h"
#include "core/Output.h"
#include "media/AudioConvert.h"
#include "media/MediaOps.h"

#include <algorithm>
#include <cstdlib>

using namespace MediaSamples;

class AudioConvertTest : public TestSupport::FreshHomeWithFiles {};

TEST_F(AudioConvertTest, RowsWriteTheirFormatAndKeepLengthAndChannels)
{
    const Path deep = makeClip(dir / "deep.wav", 1, "", 2, {"-ar", "48000", "-c:a", "pcm_s24le"});
    const Path surround = makeClip(dir / "surround.flac", 0.5, "", 6);
    const Path film = makeClip(dir / "film.mov", 0.5, "160x120", 2);
    struct Case { Path source; MediaOps::Args row; std::string ext, codec, channels, sampleFormat; };
    const auto& rows = MediaOps::afconvertArgs();
    MediaOps::Args mono = rows.at("m4a");
    mono.insert(mono.end(), {"-c", "1"});
    const Case cases[] = {
        {deep, rows.at("m4a"), "m4a", "aac", "2", "fltp"},
        {deep, rows.at("wav"), "wav", "pcm_s16le", "2", "s16"},
        {deep, rows.at("aiff"), "aiff", "pcm_s16be", "2", "s16"},
        {deep, rows.at("flac"), "flac", "flac", "2", "s32"},  // 24 bits kept
        {deep, mono, "m4a", "aac", "1", "fltp"},
        {surround, rows.at("m4a"), "m4a", "aac", "6", "fltp"},
        {film, rows.at("wav"), "wav", "pcm_s16le", "2", "s16"},
    };
    for (const Case& c : cases) {
        const Path out = Output::url(c.source, c.ext, "out");
        MediaOps::afconvert(c.source, out, c.row);
        const Probe p = probe(out);
        SCOPED_TRACE(c.source.filename().string() + " → " + c.codec + " " + c.channels);
        EXPECT_EQ(codecs(p), c.codec);
        EXPECT_EQ(field(p, 0, "channels"), c.channels);
        EXPECT_EQ(field(p, 0, "sample_fmt"), c.sampleFormat);
        EXPECT_NEAR(seconds(p), seconds(probe(c.source)), 0.025);
    }
    EXPECT_EQ(MediaOps::channelCount(surround), 6);
    const Path muted = makeClip(dir / "muted.mov", 0.3, "160x120", 0);
    EXPECT_EQ(TestSupport::errorOf([&] { MediaOps::afconvert(muted, dir / "muted.wav", rows.at("wav")); }), "muted.mov has no sound to convert");
    EXPECT_FALSE(std::filesystem::exists(dir / "muted.wav"));
}

TEST_F(AudioConvertTest, SpeechSamplesAreSixteenKilohertzMono)
{
    const Path song = makeClip(dir / "song.m4a", 1.5, "", 2);
    std::vector<std::int16_t> samples;
    MediaKit::readSamples(song, 16000, 1, [&](const std::int16_t* s, int frames) { samples.insert(samples.end(), s, s + frames); });
    EXPECT_NEAR(static_cast<double>(samples.size()), 1.5 * 16000, 1024);
    EXPECT_GT(std::abs(*std::max_element(samples.begin(), samples.end(), [](auto a, auto b) { return std::abs(a) < std::abs(b); })), 3000);
}
