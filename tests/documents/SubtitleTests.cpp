#include "TestSupport.h"
#include "core/Errors.h"
#include "documents/SubtitleOps.h"

#include <gtest/gtest.h>

using namespace TestSupport;
using SubtitleOps::format;
using SubtitleOps::parseTime;

namespace {
struct Case {
    std::string name;
    std::string bytes;
    std::string ext;
    std::string expected;
};

class Subtitles : public FreshHomeWithFiles {};

const std::string cafe = "WEBVTT\n\n00:00:01.000 --> 00:00:02.000\nCafé\n";
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

TEST_F(Subtitles, ConvertBetweenFormats)
{
    const std::vector<Case> cases = {
        {"movie.srt", "1\n00:00:01,000 --> 00:00:02,500\nHello\nthere\n\n7\n00:00:03,000 --> 00:00:04,000\n\n\n", "vtt",
         "WEBVTT\n\n00:00:01.000 --> 00:00:02.500\nHello\nthere\n\n00:00:03.000 --> 00:00:04.000\n\n"},
        {"back.vtt", "WEBVTT\n\n00:00:01.000 --> 00:00:02.500\nHello\n\n00:00:03.000 --> 00:00:04.000\n\n", "srt",
         "1\n00:00:01,000 --> 00:00:02,500\nHello\n\n2\n00:00:03,000 --> 00:00:04,000\n\n"},
        {"styled.vtt", "WEBVTT\n\nNOTE a note\n\nintro\n00:01.000 --> 00:02.000 position:10% align:start\n<v Bob>Hi <i>you</i></v>\n", "srt",
         "1\n00:00:01,000 --> 00:00:02,000\n<v Bob>Hi <i>you</i></v>\n"},
        {"styled.vtt", "WEBVTT\n\n00:01.000 --> 00:02.000\n<v Bob>Hi <i>you</i></v>\n\n00:03.000 --> 00:04.000\n", "txt", "Hi you\n\n"},
        // Text that looks like markup but is not must survive every format.
        {"maths.srt", "1\n00:00:01,000 --> 00:00:02,000\nif a < b and c > d then\nx --> y <font color=\"red\">red</font> <i>it</i> <00:00:01.500>z\n", "vtt",
         "WEBVTT\n\n00:00:01.000 --> 00:00:02.000\nif a &lt; b and c > d then\nx --&gt; y red <i>it</i> <00:00:01.500>z\n"},
        {"maths.srt", "1\n00:00:01,000 --> 00:00:02,000\nif a < b and c > d then <i>it</i>\n", "txt", "if a < b and c > d then it\n"},
        {"maths.vtt", "WEBVTT\n\n00:01.000 --> 00:02.000\nif a &lt; b &amp;&amp; <i>c</i>\n", "txt", "if a < b && c\n"},
        {"maths.vtt", "WEBVTT\n\n00:01.000 --> 00:02.000\nif a &lt; b --&gt; c\n", "srt", "1\n00:00:01,000 --> 00:00:02,000\nif a < b --> c\n"},
        // Broken blocks are skipped; a good cue glued to a broken one is not.
        {"odd.srt", "1\n00:00:01,000 --> 00:00:02,000 --> 3\nA\n\n2\nxx --> 00:00:04,000\nB\n\n3\n00:00:05,000 --> 00:00:06,000\nC\n", "vtt",
         "WEBVTT\n\n00:00:05.000 --> 00:00:06.000\nC\n"},
        {"glued.srt", "1\nxx --> 00:00:02,000\nA\n2\n00:00:03,000 --> 00:00:04,000\nLast\n", "srt", "1\n00:00:03,000 --> 00:00:04,000\nLast\n"},
        // A cue without text and without its blank line must not swallow the next cue.
        {"gap.srt", "1\n00:00:01,000 --> 00:00:02,000\n2\n00:00:03,000 --> 00:00:04,000\nSecond\n \n3\n00:00:05,000 --> 00:00:06,000\nThird\n", "srt",
         "1\n00:00:01,000 --> 00:00:02,000\n\n\n2\n00:00:03,000 --> 00:00:04,000\nSecond\n\n3\n00:00:05,000 --> 00:00:06,000\nThird\n"},
        {"long.srt", "1\n100:00:00,000 --> 123:45:06,789\nLate\n", "vtt", "WEBVTT\n\n100:00:00.000 --> 123:45:06.789\nLate\n"},
        // Byte-order marks, UTF-16, Latin-1 and CR-only line ends.
        {"bom.srt", "\xEF\xBB\xBF" "00:00:01,000 --> 00:00:02,000\nCafé\n", "vtt", cafe},
        {"utf16.srt", readFile(Path(VARNOLT_TEST_DATA) / "documents/utf16.srt"), "vtt", cafe},
        {"latin1.srt", "1\n00:00:01,000 --> 00:00:02,000\nCaf\xE9\n", "vtt", cafe},
        {"mac.srt", "1\r00:00:01,000 --> 00:00:02,000\rCafé\r\r", "vtt", cafe},
    };
    for (const auto& [name, bytes, ext, expected] : cases) {
        const Path source = file(name, bytes);
        const Path out = SubtitleOps::convert(source, ext);
        EXPECT_EQ(out.parent_path(), dir.path());
        EXPECT_EQ(readFile(out), expected) << name << " → " << ext;
        std::filesystem::remove(out);
    }

    file("empty.vtt", "WEBVTT\n\n");
    const auto before = listFolder(dir.path());
    EXPECT_EQ(errorOf([&] { SubtitleOps::convert(dir / "empty.vtt", "srt"); }), "No subtitles found in empty.vtt");
    EXPECT_EQ(listFolder(dir.path()), before);
}
