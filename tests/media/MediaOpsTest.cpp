#include "MediaSamples.h"

#include "TestSupport.h"
#include "core/Output.h"
#include "media/MediaOps.h"

using namespace MediaSamples;
using TestSupport::errorOf;
using TestSupport::Names;

class MediaOpsTest : public TestSupport::FreshHomeWithFiles {};

TEST_F(MediaOpsTest, TargetsFollowTheSourceAndWhetherFfmpegIsThere)
{
    struct Case { const char* file; bool ffmpeg; Names expected; };
    const Case cases[] = {
        {"clip.MOV", false, {"mp4", "gif", "m4a"}},
        {"clip.MOV", true, {"mp4", "gif", "m4a", "mkv", "webm", "avi", "wmv", "mp3", "wav"}},
        {"clip.mkv", false, {}},
        {"clip.mkv", true, {"mp4", "mov", "webm", "avi", "wmv", "gif", "mp3", "m4a", "wav"}},
        {"song.aif", false, {"m4a", "wav", "flac"}},
        {"song.aif", true, {"m4a", "wav", "flac", "mp3", "ogg", "opus", "wma"}},
        {"song.wav", true, {"m4a", "aiff", "flac", "mp3", "ogg", "opus", "wma"}},
        {"song.ogg", false, {}},
    };
    for (const Case& c : cases) {
        ToolsScope tools(c.ffmpeg);
        const Path file = dir / c.file;
        const bool video = lowerExt(file) == "mov" || lowerExt(file) == "mkv";
        EXPECT_EQ(video ? MediaOps::videoTargets(file) : MediaOps::audioTargets(file), c.expected) << c.file << " ffmpeg " << c.ffmpeg;
    }
}

TEST_F(MediaOpsTest, FfmpegGetsTheRowsArgumentsAndPathsItCannotTakeForOptions)
{
    const FakeFfmpeg fake;
    const auto argsOf = [&](const std::string& name, const std::string& ext) {
        EXPECT_EQ(MediaOps::convert(file(name), ext), dir / (Path(name).stem().string() + "." + ext));
        return fake.args();
    };
    const std::string in = (dir / "-clip.mkv").string();
    EXPECT_EQ(argsOf("-clip.mkv", "3gp"), (Names{"-y", "-hide_banner", "-loglevel", "error", "-i", in, (dir / "-clip.3gp").string()}));
    // Without libvorbis, ogg falls back to Opus.
    EXPECT_EQ(argsOf("song.wav", "ogg"), (Names{"-y", "-hide_banner", "-loglevel", "error", "-i", (dir / "song.wav").string(), "-vn", "-c:a",
                                                "libopus", "-b:a", "160k", (dir / "song.ogg").string()}));
    ToolsScope real(true);
    EXPECT_EQ(MediaOps::ffmpegArgs("ogg"), (Names{"-vn", "-c:a", "libvorbis", "-q:a", "5"}));
}

TEST_F(MediaOpsTest, NativeSourcesConvertInProcessAndTheRestNeedFfmpeg)
{
    ToolsScope absent(false);
    makeClip(dir / "clip.MOV");
    makeClip(dir / "song.wav", 1, "", 2);

    const Probe mp4 = probe(MediaOps::convert(dir / "clip.MOV", "mp4"));
    EXPECT_EQ(codecs(mp4), "h264,aac");
    EXPECT_NEAR(seconds(mp4), 1.0, 1.0 / 30 + 0.03);
    const Probe m4a = probe(MediaOps::convert(dir / "song.wav", "m4a"));
    EXPECT_EQ(codecs(m4a), "aac");
    EXPECT_EQ(field(m4a, 0, "channels"), "2");

    for (const auto& [name, ext] : {std::pair{"clip.MOV", "mkv"}, {"song.wav", "mp3"}}) {
        EXPECT_EQ(errorOf([&] { MediaOps::convert(dir / name, ext); }), "This needs ffmpeg — install it with: sudo apt install ffmpeg") << name;
    }
    EXPECT_EQ(TestSupport::listFolder(dir.path()), (Names{"clip.MOV", "clip.mp4", "song.m4a", "song.wav"}));
}

TEST_F(MediaOpsTest, FfmpegFailuresReachTheUserAndLeaveNothing)
{
    ToolsScope present(true);
    file("notes.mkv", "not a video at all");
    const std::string error = errorOf([&] { MediaOps::convert(dir / "notes.mkv", "mp4"); });
    EXPECT_EQ(error.rfind("ffmpeg: ", 0), 0u) << error;
    EXPECT_EQ(TestSupport::listFolder(dir.path()), Names{"notes.mkv"});
}

TEST_F(MediaOpsTest, CommandLineListsAndConvertsVideo)
{
    makeClip(dir / "clip.mp4", 0.5);
    makeClip(dir / "-clip.mkv", 0.5);
    const std::map<std::string, std::string> noTools = {{"VARNOLT_TOOL_DIRS", (dir / "none").string()}};
    auto result = TestSupport::runVarnolt({"--list", "clip.mp4"}, noTools, dir.path());
    // The native targets close the page, after any presets.
    EXPECT_NE(result.out.find(" MOV, GIF, M4A\n⌘"), std::string::npos) << result.out;

    const std::map<std::string, std::string> tools = {{"VARNOLT_TOOL_DIRS", "/usr/bin"}};
    result = TestSupport::runVarnolt({"--run", "convert", "webm", "-clip.mkv"}, tools, dir.path());
    ASSERT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(result.out, (dir / "-clip.webm").string() + "\n");
    EXPECT_EQ(codecs(probe(dir / "-clip.webm")), "vp9,opus");
}
