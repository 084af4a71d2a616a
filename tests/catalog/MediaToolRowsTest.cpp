#include "TestSupport.h"
#include "catalog/Catalog.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace TestSupport;

using MediaToolRows = FreshHomeWithFiles;

TEST_F(MediaToolRows, FfmpegUnlocksItsTools)
{
    struct Case {
        const char* file;
        bool ffmpeg;
        Names titles;
    };
    const Case cases[] = {
        {"clip.mkv", false, {"Compress", "720p", "Audio", "Mute", "Frame", "GIF", "Metadata", "Zip"}},
        {"clip.mp4", false, {"Compress", "Trim", "720p", "Audio", "Mute", "Frame", "GIF", "Metadata", "Zip"}},
        {"clip.mp4", true, {"Compress", "Trim", "Crop", "Fit 10 MB", "Fit 25 MB", "720p", "Audio", "Mute", "Frame", "GIF", "Metadata", "Zip"}},
        {"song.ogg", false, {"Compress", "Metadata", "Channels", "Zip"}},
        {"song.mp3", true, {"Compress", "Metadata", "Normalize", "Visualize", "Trim", "Channels", "Bleep", "Zip"}},
    };
    for (const Case& c : cases) {
        setenv("VARNOLT_TOOL_DIRS", c.ffmpeg ? "/usr/bin" : dir.path().c_str(), 1);
        const Paths files = {dir / c.file};
        EXPECT_EQ(titles(Catalog::toolOptions(Catalog::kindOf(files), files)), c.titles) << c.file;
    }
    unsetenv("VARNOLT_TOOL_DIRS");
}
