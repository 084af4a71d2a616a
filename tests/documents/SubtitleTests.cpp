#include "TestSupport.h"
#include "core/Errors.h"
#include "documents/SubtitleOps.h"

#include <gtest/gtest.h>

using namespace TestSupport;
using SubtitleOps::format;
using SubtitleOps::parseTime;

namespace {
class Subtitles : public FreshHome {
protected:
    std::string convert(const std::string& name, const std::string& bytes, const std::string& ext)
    {
        writeFile(dir_ / name, bytes);
        const Path out = SubtitleOps::convert(dir_ / name, ext);
        EXPECT_EQ(out.parent_path(), dir_.path());
        return readFile(out);
    }
    TempDir dir_;
};

std::string utf16le(const std::u16string& text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += char(c & 0xFF);
        bytes += char(c >> 8);
    }
    return bytes;
}
}

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

TEST_F(Subtitles, SrtAndVttConvertBothWays)
{
    const std::string srt = "1\n00:00:01,000 --> 00:00:02,500\nHello\nthere\n\n7\n00:00:03,000 --> 00:00:04,000\n\n\n";
    const std::string vtt = convert("movie.srt", srt, "vtt");
    EXPECT_EQ(vtt, "WEBVTT\n\n00:00:01.000 --> 00:00:02.500\nHello\nthere\n\n00:00:03.000 --> 00:00:04.000\n\n");
    EXPECT_EQ(convert("back.vtt", vtt, "srt"), "1\n00:00:01,000 --> 00:00:02,500\nHello\nthere\n\n2\n00:00:03,000 --> 00:00:04,000\n\n");
    EXPECT_EQ(convert("styled.vtt", "WEBVTT\n\nNOTE a note\n\nintro\n00:01.000 --> 00:02.000 position:10% align:start\n<v Bob>Hi <i>you</i></v>\n", "srt"),
              "1\n00:00:01,000 --> 00:00:02,000\n<v Bob>Hi <i>you</i></v>\n");
    EXPECT_EQ(convert("styled 2.vtt", "WEBVTT\n\n00:01.000 --> 00:02.000\n<v Bob>Hi <i>you</i></v>\n\n00:03.000 --> 00:04.000\n", "txt"), "Hi you\n\n");
}

TEST_F(Subtitles, BadInputIsSkippedDecodedOrRefused)
{
    EXPECT_EQ(convert("odd.srt", "1\n00:00:01,000 --> 00:00:02,000 --> 3\nA\n\n2\nxx --> 00:00:04,000\nB\n\n3\n00:00:05,000 --> 00:00:06,000\nC\n", "vtt"),
              "WEBVTT\n\n00:00:05.000 --> 00:00:06.000\nC\n");
    writeFile(dir_ / "empty.vtt", "WEBVTT\n\n");
    EXPECT_EQ(errorOf([&] { SubtitleOps::convert(dir_ / "empty.vtt", "srt"); }), "No subtitles found in empty.vtt");
    EXPECT_EQ(listFolder(dir_.path()), (std::vector<std::string>{"empty.vtt", "odd.srt", "odd.vtt"}));

    // Byte-order marks, UTF-16, Latin-1 and CR-only line ends.
    const std::string expected = "WEBVTT\n\n00:00:01.000 --> 00:00:02.000\nCafé\n";
    EXPECT_EQ(convert("bom.srt", "\xEF\xBB\xBF" "00:00:01,000 --> 00:00:02,000\nCafé\n", "vtt"), expected);
    EXPECT_EQ(convert("utf16.srt", utf16le(u"1\r\n00:00:01,000 --> 00:00:02,000\r\nCafé\r\n"), "vtt"), expected);
    EXPECT_EQ(convert("latin1.srt", "1\n00:00:01,000 --> 00:00:02,000\nCaf\xE9\n", "vtt"), expected);
    EXPECT_EQ(convert("mac.srt", "1\r00:00:01,000 --> 00:00:02,000\rCafé\r\r", "vtt"), expected);
    // A cue without text and without its blank line must not swallow the next cue.
    EXPECT_EQ(convert("gap.srt", "1\n00:00:01,000 --> 00:00:02,000\n2\n00:00:03,000 --> 00:00:04,000\nSecond\n \n3\n00:00:05,000 --> 00:00:06,000\nThird\n", "srt"),
              "1\n00:00:01,000 --> 00:00:02,000\n\n\n2\n00:00:03,000 --> 00:00:04,000\nSecond\n\n3\n00:00:05,000 --> 00:00:06,000\nThird\n");
    EXPECT_EQ(convert("long.srt", "1\n100:00:00,000 --> 123:45:06,789\nLate\n", "vtt"), "WEBVTT\n\n100:00:00.000 --> 123:45:06.789\nLate\n");
}
