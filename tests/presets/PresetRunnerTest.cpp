#include "ImageSamples.h"
#include "MediaSamples.h"
#include "TestSupport.h"

#include "presets/PresetRunner.h"
#include "presets/PresetStore.h"

using namespace TestSupport;

namespace {
Preset jpgPreset(const std::string& name, std::int64_t maxDimension, bool strip)
{
    return {.name = name, .format = "jpg", .maxDimension = maxDimension, .stripMetadata = strip};
}
}

class PresetRunnerTest : public FreshHomeWithFiles {};

TEST_F(PresetRunnerTest, ImagesShrinkToTheLongestSideButNeverGrow)
{
    const struct { int width, height; std::int64_t maxDimension; int outWidth, outHeight; } cases[] = {
        {3200, 1600, 1600, 1600, 800}, {1200, 800, 1600, 1200, 800}, {800, 1200, 0, 800, 1200}};
    for (const auto& c : cases) {
        const Path source = dir / ("cat " + std::to_string(c.width) + ".png");
        ImageSamples::save(ImageSamples::noise(c.width, c.height), source);
        const Path out = PresetRunner::run(jpgPreset("Web", c.maxDimension, true), source);
        EXPECT_EQ(out, dir / ("cat " + std::to_string(c.width) + " (Web).jpg"));
        const auto image = ImageSamples::open(out);
        EXPECT_EQ(std::pair(image.width(), image.height()), std::pair(c.outWidth, c.outHeight));
    }
}

TEST_F(PresetRunnerTest, MetadataIsKeptUnlessThePresetStripsIt)
{
    const Path photo = ImageSamples::cameraPhoto(dir.path());
    const auto kept = ImageSamples::tags(PresetRunner::run(jpgPreset("Keep", 0, false), photo));
    EXPECT_EQ(kept.count("Make") ? kept.at("Make") : "", "Canon");
    EXPECT_EQ(kept.count("GPSLatitude") ? kept.at("GPSLatitude") : "", "48.85");
    const auto stripped = ImageSamples::tags(PresetRunner::run(jpgPreset("Strip", 0, true), photo));
    EXPECT_FALSE(stripped.count("Make") || stripped.count("GPSLatitude") || stripped.count("Keywords"));
}

TEST_F(PresetRunnerTest, AFailedRunLeavesNothingBehind)
{
    const Path broken = file("broken.png", "not a picture");
    EXPECT_NE(errorOf([&] { PresetRunner::run(jpgPreset("Web", 0, false), broken); }), "no error");
    EXPECT_EQ(listFolder(dir.path()), Names{"broken.png"});
}

TEST_F(PresetRunnerTest, MediaPresetsBuildTheirFfmpegAndInProcessArgumentLists)
{
    using Args = std::vector<std::string>;
    const Preset mp4{.kind = Preset::Kind::video, .format = "mp4", .maxHeight = 720, .videoQuality = Preset::VideoQuality::small};
    EXPECT_EQ(PresetRunner::videoArgs(mp4), (Args{"-c:v", "libx264", "-crf", "30", "-preset", "medium", "-pix_fmt", "yuv420p", "-vf", "scale=-2:'min(720,ih)'",
                                                  "-c:a", "aac", "-b:a", "128k", "-movflags", "+faststart"}));
    const Preset mp3{.kind = Preset::Kind::audio, .format = "mp3", .bitrate = 128, .mono = true};
    EXPECT_EQ(PresetRunner::audioArgs(mp3), (Args{"-vn", "-c:a", "libmp3lame", "-b:a", "128k", "-ac", "1"}));
    const Preset m4a{.kind = Preset::Kind::audio, .format = "m4a", .bitrate = 96, .mono = true};
    EXPECT_EQ(PresetRunner::afconvertArgs(m4a), (Args{"-f", "m4af", "-d", "aac", "-b", "96000", "-c", "1"}));
}

// Each road on real clips, with the ffmpeg program and without it; what it wrote is read back
// by ffprobe, and a refused conversion leaves nothing behind.
TEST_F(PresetRunnerTest, MediaPresetsConvertWithAndWithoutFfmpeg)
{
    const Path clip = MediaSamples::makeClip(dir / "clip.mp4", 1, "160x120", 2);
    const Path mkv = MediaSamples::makeClip(dir / "clip.mkv", 1, "160x120", 2);
    const Path tone = MediaSamples::makeClip(dir / "tone.wav", 1, "", 2);
    const struct { bool ffmpeg; Preset::Kind kind; std::string format; std::int64_t maxHeight; bool mute; Path source;
                   std::string codecs, height, channels, error; } cases[] = {
        {true, Preset::Kind::video, "mp4", 90, false, clip, "h264,aac", "90", "", ""},
        {true, Preset::Kind::video, "webm", 0, true, mkv, "vp9", "120", "", ""},
        {false, Preset::Kind::video, "mov", 0, true, clip, "hevc", "120", "", ""},
        {false, Preset::Kind::video, "gif", 60, false, clip, "gif", "45", "", ""},
        {false, Preset::Kind::video, "webm", 0, false, clip, "", "", "", ".webm needs ffmpeg — install it with: sudo apt install ffmpeg"},
        {false, Preset::Kind::video, "mp4", 0, false, mkv, "", "", "", "This video needs ffmpeg — install it with: sudo apt install ffmpeg"},
        {true, Preset::Kind::audio, "mp3", 0, false, tone, "mp3", "", "1", ""},
        {false, Preset::Kind::audio, "m4a", 0, false, tone, "aac", "", "1", ""},
        {false, Preset::Kind::audio, "opus", 0, false, tone, "", "", "", ".opus needs ffmpeg — install it with: sudo apt install ffmpeg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format + (c.ffmpeg ? " with ffmpeg" : " without ffmpeg"));
        const MediaSamples::ToolsScope tools(c.ffmpeg);
        const Preset p{.name = "Small", .kind = c.kind, .format = c.format, .maxHeight = c.maxHeight, .mute = c.mute, .mono = true};
        if (!c.error.empty()) {
            EXPECT_EQ(errorOf([&] { PresetRunner::run(p, c.source); }), c.error);
            EXPECT_EQ(listFolder(dir.path()), (Names{"clip.mkv", "clip.mp4", "tone.wav"}));
            continue;
        }
        const Path out = PresetRunner::run(p, c.source);
        const auto probe = MediaSamples::probe(out);
        EXPECT_EQ(MediaSamples::codecs(probe), c.codecs);
        // Only what a case names is checked.
        EXPECT_EQ(c.height.empty() ? "" : MediaSamples::field(probe, 0, "height"), c.height);
        EXPECT_EQ(c.channels.empty() ? "" : MediaSamples::field(probe, 0, "channels"), c.channels);
        std::filesystem::remove(out);
    }
}
