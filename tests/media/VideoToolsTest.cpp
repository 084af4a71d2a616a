#include "MediaSamples.h"

#include "TestSupport.h"
#include "media/ImageOps.h"
#include "media/MediaTools.h"

using namespace MediaSamples;
using TestSupport::errorOf;
using TestSupport::listFolder;
using TestSupport::Names;

namespace {
// Mean difference per channel value of two pictures of the same size.
double difference(const Path& a, const Path& b) { return (ImageOps::load(a).image - ImageOps::load(b).image).abs().avg(); }
}

class VideoToolsTest : public TestSupport::FreshHomeWithFiles {};

TEST_F(VideoToolsTest, FitSplitsTheBudgetAndRefusesUnwatchableRates)
{
    makeClip(dir / "long.mp4", 60, "128x96", 0, {"-c:v", "mpeg4", "-q:v", "1"});
    ASSERT_GT(std::filesystem::file_size(dir / "long.mp4"), 1'000'000u);
    const FakeFfmpeg fake;
    const TestSupport::PrivateTemp temp;

    EXPECT_EQ(MediaOps::fitVideo(dir / "long.mp4", 25'000'000), std::nullopt);
    // 133.3 kbit/s of budget, 128 after the margin: too little for 96 of audio, so 48 and 80.
    const Path out = MediaOps::fitVideo(dir / "long.mp4", 1'000'000).value();
    EXPECT_EQ(out, dir / "long (1 MB).mp4");
    Names pass2 = fake.args();
    for (size_t i = 1; i < pass2.size(); ++i) {
        if (pass2[i - 1] == "-passlogfile") pass2[i] = "<log>";
    }
    EXPECT_EQ(pass2, (Names{"-y", "-hide_banner", "-loglevel", "error", "-i", (dir / "long.mp4").string(), "-vf", "scale=-2:'min(480,ih)'", "-c:v",
                            "libx264", "-preset", "medium", "-b:v", "80k", "-pass", "2", "-passlogfile", "<log>", "-pix_fmt", "yuv420p", "-c:a", "aac",
                            "-b:a", "48k", "-movflags", "+faststart", out.string()}));
    EXPECT_EQ(fake.calls(), 2u);

    // 64 kbit/s leaves 16 for the picture.
    EXPECT_EQ(errorOf([&] { MediaOps::fitVideo(dir / "long.mp4", 500'000); }), "This video is too long to fit in 0 MB at watchable quality");
    EXPECT_EQ(fake.calls(), 2u);
    EXPECT_EQ(listFolder(dir.path()), (Names{"long (1 MB).mp4", "long.mp4"}));
    EXPECT_EQ(listFolder(temp.dir.path()), Names{});
}

TEST_F(VideoToolsTest, TrimCopiesNativeVideoAndNeedsFfmpegForTheRest)
{
    ToolsScope absent(false);
    makeClip(dir / "clip.MOV", 2);
    makeClip(dir / "clip.mkv", 1);
    const Probe trimmed = probe(MediaOps::trim(dir / "clip.MOV", 0, 0.5));
    EXPECT_EQ(codecs(trimmed), "h264,aac");
    EXPECT_NEAR(seconds(trimmed), 0.5, 0.05);
    EXPECT_EQ(errorOf([&] { MediaOps::trim(dir / "clip.mkv", 0, 0.5); }), "Trimming .mkv needs ffmpeg");
    EXPECT_EQ(listFolder(dir.path()), (Names{"clip (trimmed).mov", "clip.MOV", "clip.mkv"}));
}

TEST_F(VideoToolsTest, FrameGrabTakesOneSecondOrHalfAShorterClip)
{
    ToolsScope present(true);
    struct Case { const char* name; double length, at; };
    for (const Case& c : {Case{"short.mp4", 1, 0.5}, Case{"long.mp4", 10, 1}}) {
        const Path clip = makeClip(dir / c.name, c.length);
        const Path frame = MediaOps::frameGrab(clip);
        const auto reference = [&](double at, const std::string& name) {
            MediaSamples::ffmpeg({"-ss", std::to_string(at), "-i", clip.string(), "-frames:v", "1", (dir / name).string()});
            return dir / name;
        };
        const double right = difference(frame, reference(c.at, "right.png"));
        EXPECT_LT(right, difference(frame, reference(c.at - 0.2, "early.png"))) << c.name;
        EXPECT_LT(right, difference(frame, reference(c.at + 0.2, "late.png"))) << c.name;
    }
    makeClip(dir / "song.m4a", 1, "", 1);
    EXPECT_EQ(errorOf([&] { MediaOps::frameGrab(dir / "song.m4a"); }), "This video has no frames");
    EXPECT_FALSE(std::filesystem::exists(dir / "song (frame).png"));
}
