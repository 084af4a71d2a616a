#include "TestSupport.h"
#include "documents/SubtitleOps.h"

using namespace TestSupport;
using SubtitleOps::format;
using SubtitleOps::parseTime;
using Subtitles = FreshHomeWithFiles;

TEST(SubtitleTimes, ParseAndFormat)
{
    EXPECT_EQ(parseTime("00:01:02,5"), 62.5);
    EXPECT_EQ(parseTime(" 01:02.250\t"), 62.25);
    EXPECT_EQ(parseTime("123:00:00,000"), 123 * 3600.0);
    EXPECT_EQ(parseTime("0:1.5:0"), 90.0);
    for (const char* bad : {"", "12", "1:2:3:4", "a:00", "-1:00", "1e3:00", "inf:00", "nan:00", "1:2:3,4,5", "99999999999999999999:00:00"}) {
        EXPECT_FALSE(parseTime(bad)) << bad;
    }
    EXPECT_EQ(format(3599.9996, ","), "01:00:00,000");
    EXPECT_EQ(format(62.25, "."), "00:01:02.250");
    EXPECT_EQ(format(360000 + 3723.0045, ","), "101:02:03,005");
    EXPECT_EQ(format(-5, "."), "00:00:00.000");
}

// Each file in expected/ is named "<source> to <format>" and holds what converting the source
// gives: text that looks like markup, broken or glued blocks, cues without text, any encoding.
TEST_F(Subtitles, ConvertBetweenFormats)
{
    const Path data = Path(VARNOLT_TEST_DATA) / "documents/subtitles";
    const auto expected = listFolder(data / "expected");
    ASSERT_EQ(expected.size(), 16u);
    for (const std::string& name : expected) {
        const std::string source = name.substr(0, name.find(" to ")), ext = name.substr(name.find(" to ") + 4);
        std::filesystem::copy_file(data / source, dir / source);
        const Path out = SubtitleOps::convert(dir / source, ext);
        EXPECT_EQ(out.parent_path(), dir.path());
        EXPECT_EQ(readFile(out), readFile(data / "expected" / name)) << name;
    }

    file("empty.vtt", "WEBVTT\n\n");
    const auto before = listFolder(dir.path());
    EXPECT_EQ(errorOf([&] { SubtitleOps::convert(dir / "empty.vtt", "srt"); }), "No subtitles found in empty.vtt");
    EXPECT_EQ(listFolder(dir.path()), before);
}
