#include "MediaSamples.h"

#include "TestSupport.h"
#include "media/ImageOps.h"
#include "media/MediaFrames.h"
#include "media/MediaOps.h"

using namespace MediaSamples;
using TestSupport::errorOf;

namespace {
bool red(const ImageOps::Image& image, int x, int y)
{
    const auto p = image.getpoint(x, y);
    return p[0] > 180 && p[1] < 80 && p[2] < 80;
}
}

class MediaFramesTest : public TestSupport::FreshHomeWithFiles {};

TEST_F(MediaFramesTest, FramesAreTheUprightPictureShownAtThatTime)
{
    ToolsScope absent(false);
    // Blue with a red mark in the top left corner for half a second, then all red; a key frame
    // every 8 frames, so that finding a time means decoding on from one.
    const Path clip = dir / "clip.mp4";
    std::filesystem::copy_file(Path(VARNOLT_TEST_DATA) / "media/two-colours.mp4", clip);
    EXPECT_TRUE(red(MediaOps::firstFrame(clip), 120, 100));
    EXPECT_FALSE(red(MediaKit::frameAt(clip, 0.45), 120, 100));

    // Turned a quarter, the mark moves to the corner where ffmpeg shows it too.
    const Path turned = MediaSamples::turned(clip, dir / "turned.mov", 90);
    ffmpeg({"-ss", "0.2", "-i", turned.string(), "-frames:v", "1", (dir / "ffmpeg.png").string()});
    const ImageOps::Image ours = MediaKit::frameAt(turned, 0.2), theirs = ImageOps::load(dir / "ffmpeg.png").image.copy_memory();
    EXPECT_EQ(ours.width(), 120);
    int marked = 0;
    for (const auto& [x, y] : {std::pair{10, 10}, {110, 10}, {10, 150}, {110, 150}}) {
        EXPECT_EQ(red(ours, x, y), red(theirs, x, y)) << x << "," << y;
        marked += red(ours, x, y);
    }
    EXPECT_EQ(marked, 1);

    const Path other = makeClip(dir / "other.mkv", 1);
    EXPECT_EQ(errorOf([&] { MediaOps::firstFrame(other); }), "This needs ffmpeg — install it with: sudo apt install ffmpeg");
    ToolsScope present(true);
    EXPECT_EQ(MediaOps::firstFrame(other).width(), 160);
    EXPECT_EQ(errorOf([&] { MediaOps::firstFrame(makeClip(dir / "blink.mkv", 0.2)); }), "This video has no frames");
}

TEST_F(MediaFramesTest, GIFsHaveAFrameEveryTwelfthOfASecondAndLoop)
{
    makeClip(dir / "clip.mp4", 3, "640x480", 0);
    const Path gif = MediaOps::convert(dir / "clip.mp4", "gif");
    const Probe p = probe(gif);
    EXPECT_EQ(field(p, 0, "nb_frames"), "36");
    EXPECT_EQ(field(p, 0, "width") + "x" + field(p, 0, "height"), "480x360");
    EXPECT_NE(TestSupport::readFile(gif).find("NETSCAPE2.0"), std::string::npos);

    makeClip(dir / "blink.mov", 0.05, "160x120", 0);
    makeClip(dir / "song.m4a", 0.5, "", 1);
    const auto before = TestSupport::listFolder(dir.path());
    EXPECT_EQ(errorOf([&] { MediaOps::convert(dir / "blink.mov", "gif"); }), "This video has no frames");
    EXPECT_EQ(errorOf([&] { MediaOps::makeGIF(dir / "song.m4a", dir / "song.gif", 12, 480, 20); }), "This video has no frames");
    EXPECT_EQ(TestSupport::listFolder(dir.path()), before);
}

TEST_F(MediaFramesTest, DurationAndChannelsFallBackToWhatIsKnown)
{
    const Path clip = makeClip(dir / "clip.mkv", 1.5, "160x120", 2);
    const Path notes = file("notes.mp4", "not a film");
    for (bool tools : {false, true}) {
        ToolsScope scope(tools);
        EXPECT_NEAR(MediaOps::duration(clip), 1.5, 0.05);
        EXPECT_EQ(MediaOps::channelCount(clip), 2);
        EXPECT_EQ(MediaOps::duration(notes), 0);
        EXPECT_EQ(MediaOps::channelCount(notes), 2);
    }
}
