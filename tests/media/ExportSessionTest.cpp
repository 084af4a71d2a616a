#include "MediaSamples.h"

#include "TestSupport.h"
#include "core/Output.h"
#include "core/Progress.h"
#include "media/MediaOps.h"

using namespace MediaSamples;
using MediaKit::ExportOptions;
using MediaKit::FileType;
using MediaKit::Preset;
using TestSupport::errorOf;

namespace {
const double aFrame = 1.0 / 30;

// Exports source to a reserved name next to it and returns what ffprobe reads there.
Probe exported(const Path& source, Preset preset, FileType type, const ExportOptions& options = {})
{
    static const std::map<FileType, std::string> exts = {
        {FileType::mpeg4, "mp4"}, {FileType::quickTimeMovie, "mov"}, {FileType::appleM4V, "m4v"}, {FileType::appleM4A, "m4a"}};
    const Path out = Output::url(source, exts.at(type), "out");
    MediaOps::exportMedia(source, out, preset, type, options);
    return probe(out);
}
}

class ExportSessionTest : public TestSupport::FreshHomeWithFiles {};

TEST_F(ExportSessionTest, PresetsWriteTheirCodecsSizesAndTags)
{
    const Path clip = makeClip(dir / "clip.mov", 1, "320x240", 2, {"-metadata", "title=Holiday"});
    const Path wide = makeClip(dir / "wide.mov", 0.3, "1280x720", 1);
    struct Case { Path source; Preset preset; FileType type; std::string codecs, size; };
    const Case cases[] = {
        {clip, Preset::highestQuality, FileType::mpeg4, "h264,aac", "320x240"},
        {clip, Preset::hevcHighestQuality, FileType::quickTimeMovie, "hevc,aac", "320x240"},
        {clip, Preset::size1920x1080, FileType::appleM4V, "h264,aac", "320x240"},
        {wide, Preset::size640x480, FileType::mpeg4, "h264,aac", "640x360"},
        {clip, Preset::appleM4A, FileType::appleM4A, "aac", "x"},
        {clip, Preset::passthrough, FileType::mpeg4, "h264,aac", "320x240"},
        {clip, Preset::passthrough, FileType::appleM4A, "aac", "x"},
    };
    for (const Case& c : cases) {
        const Probe p = exported(c.source, c.preset, c.type);
        SCOPED_TRACE(c.source.filename().string() + " → " + c.codecs + " " + c.size);
        EXPECT_EQ(codecs(p), c.codecs);
        EXPECT_EQ(field(p, 0, "width") + "x" + field(p, 0, "height"), c.size);
        EXPECT_NEAR(seconds(p), c.source == clip ? 1.0 : 0.3, aFrame + 0.025);
        EXPECT_EQ(p.count("format.tags.title") ? p.at("format.tags.title") : "", c.source == clip ? "Holiday" : "");
        if (c.codecs.starts_with("hevc")) EXPECT_EQ(field(p, 0, "codec_tag_string"), "hvc1");
    }
}

TEST_F(ExportSessionTest, RefusesWhatItCannotWriteAndLeavesNothing)
{
    makeClip(dir / "clip.mov", 0.3, "160x120", 1);
    makeClip(dir / "pcm.mov", 0.3, "160x120", 1, {"-c:a", "pcm_s16le"});
    makeClip(dir / "silent.mp4", 0.3, "160x120", 0);
    makeClip(dir / "song.m4a", 0.3, "", 1);
    const auto names = TestSupport::listFolder(dir.path());
    struct Case { const char* source; Preset preset; FileType type; bool mute; std::optional<MediaKit::Rect> crop; const char* error; };
    const Case cases[] = {
        {"clip.mov", Preset::appleM4A, FileType::mpeg4, false, {}, "Can't export this file as .mp4"},
        {"clip.mov", Preset::hevcHighestQuality, FileType::appleM4V, false, {}, "Can't export this file as .m4v"},
        {"clip.mov", Preset::highestQuality, FileType::appleM4A, false, {}, "Can't export this file as .m4a"},
        {"pcm.mov", Preset::passthrough, FileType::mpeg4, false, {}, "Can't export this file as .mp4"},
        {"silent.mp4", Preset::appleM4A, FileType::appleM4A, false, {}, "This file can't be exported with that preset"},
        {"song.m4a", Preset::passthrough, FileType::quickTimeMovie, true, {}, "This file can't be exported with that preset"},
        {"clip.mov", Preset::passthrough, FileType::quickTimeMovie, false, MediaKit::Rect{0, 0, 8, 8}, "This file can't be exported with that preset"},
    };
    for (const Case& c : cases) {
        const ExportOptions options{.mute = c.mute, .crop = c.crop};
        EXPECT_EQ(errorOf([&] { exported(dir / c.source, c.preset, c.type, options); }), c.error) << c.source;
    }
    EXPECT_EQ(TestSupport::listFolder(dir.path()), names);
}

TEST_F(ExportSessionTest, OddSourcesComeOutPlayable)
{
    struct Case { const char* name; std::string size; int channels; std::vector<std::string> extra; std::string codecs, outSize; };
    const Case cases[] = {
        {"odd.mov", "321x241", 1, {"-pix_fmt", "yuv444p"}, "h264,aac", "320x240"},
        {"deep.mov", "160x120", 1, {"-pix_fmt", "yuv420p10le"}, "h264,aac", "160x120"},
        {"song.m4a", "", 2, {}, "aac", "x"},
        {"silent.mp4", "160x120", 0, {}, "h264", "160x120"},
        {"turned.mp4", "160x120", 1, {}, "h264,aac", "160x120"},
    };
    for (const Case& c : cases) {
        Path source = makeClip(dir / c.name, 0.5, c.size, c.channels, c.extra);
        if (source.filename() == "turned.mp4") source = turned(source, dir / "turned.mov", 90);
        const Probe in = probe(source);
        const Probe out = exported(source, Preset::highestQuality, FileType::mpeg4);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(codecs(out), c.codecs);
        EXPECT_EQ(field(out, 0, "width") + "x" + field(out, 0, "height"), c.outSize);
        EXPECT_NEAR(seconds(out), seconds(in), aFrame + 0.025);
        EXPECT_EQ(field(out, 0, "side_data_list.side_data.0.rotation"), field(in, 0, "side_data_list.side_data.0.rotation"));
        EXPECT_EQ(field(out, 0, "pix_fmt"), c.size.empty() ? "" : "yuv420p");
    }
    // Frames at irregular times are neither repeated nor dropped.
    const Path vfr = makeClip(dir / "vfr.mp4", 1, "160x120", 0, {"-vf", "setpts='if(lt(N,10),N,N*3)/30/TB'", "-vsync", "vfr"});
    EXPECT_EQ(field(exported(vfr, Preset::highestQuality, FileType::mpeg4), 0, "nb_frames"), field(probe(vfr), 0, "nb_frames"));
}

TEST_F(ExportSessionTest, TrimsMutesStripsAndCrops)
{
    const Path clip = turned(makeClip(dir / "upright.mov", 3, "160x120", 1, {"-metadata", "title=Holiday", "-g", "15"}), dir / "clip.mov", 90);
    for (Preset preset : {Preset::passthrough, Preset::highestQuality}) {
        const Probe trimmed = exported(clip, preset, FileType::quickTimeMovie, {.timeRange = MediaKit::TimeRange{1, 2}});
        EXPECT_NEAR(seconds(trimmed), 1.0, aFrame + 0.025);
        EXPECT_EQ(codecs(trimmed), "h264,aac");
    }
    EXPECT_EQ(codecs(exported(clip, Preset::passthrough, FileType::quickTimeMovie, {.mute = true})), "h264");
    const Probe stripped = exported(clip, Preset::passthrough, FileType::quickTimeMovie, {.stripMetadata = true});
    EXPECT_EQ(stripped.count("format.tags.title"), 0u);
    EXPECT_EQ(field(stripped, 0, "side_data_list.side_data.0.rotation"), "90");

    // A crop is given in upright pixels, and the result is stored upright.
    const Probe cropped = exported(clip, Preset::highestQuality, FileType::mpeg4, {.crop = MediaKit::Rect{10, 20, 100, 61}});
    EXPECT_EQ(field(cropped, 0, "width") + "x" + field(cropped, 0, "height"), "100x60");
    EXPECT_EQ(field(cropped, 0, "side_data_list.side_data.0.rotation"), "");
}

TEST_F(ExportSessionTest, ReportsProgressAndCleansUpAfterADamagedSource)
{
    const Path clip = makeClip(dir / "clip.mp4", 2, "160x120", 1, {"-movflags", "+faststart"});
    std::vector<double> fractions;
    {
        Progress::Scope scope([&](double f) { fractions.push_back(f); });
        exported(clip, Preset::highestQuality, FileType::quickTimeMovie);
    }
    ASSERT_GT(fractions.size(), 5u);
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
    EXPECT_GT(fractions.back(), 0.9);

    // The index at the front still lists the samples the cut took away.
    const std::string whole = TestSupport::readFile(clip);
    TestSupport::writeFile(dir / "cut.mp4", whole.substr(0, whole.size() / 2));
    const auto before = TestSupport::listFolder(dir.path());
    for (Preset preset : {Preset::passthrough, Preset::highestQuality}) {
        EXPECT_EQ(errorOf([&] { exported(dir / "cut.mp4", preset, FileType::mpeg4); }), "cut.mp4 is damaged or incomplete and can't be read to the end");
    }
    EXPECT_EQ(TestSupport::listFolder(dir.path()), before);
    EXPECT_EQ(TestSupport::readFile(dir / "cut.mp4"), whole.substr(0, whole.size() / 2));
}
