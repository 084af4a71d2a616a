#include "TestSupport.h"
#include "catalog/Catalog.h"
#include "documents/EPUB.h"
#include "documents/Markdown.h"
#include "documents/MarkdownConvert.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
Names convertTitles(const Paths& files)
{
    return titles(Catalog::convertOptions(Catalog::kindOf(files), files));
}

using ConvertRowsTest = FreshHome;
}

TEST_F(ConvertRowsTest, SubtitleAndMarkdownTargets)
{
    using Titles = std::vector<std::string>;
    EXPECT_EQ(convertTitles({"/x/movie.srt"}), (Titles{"VTT", "TXT"}));
    EXPECT_EQ(convertTitles({"/x/a.SRT", "/x/b.vtt"}), (Titles{"TXT"}));
    EXPECT_EQ(MarkdownConvert::title("/x/report.tar.md"), "report");
    EXPECT_EQ(MarkdownConvert::title("/x/notes.v2.markdown"), "notes.v2");
}

TEST_F(ConvertRowsTest, CommandLineConvertsMarkdownAndSubtitles)
{
    TempDir dir;
    const std::string markdown = "# Hi\n\nSome *text* & more.\n";
    writeFile(dir / "notes.md", markdown);
    writeFile(dir / "notes.html", "taken");
    writeFile(dir / "-movie.srt", "1\n00:00:01,000 --> 00:00:02,000\nHello\n");

    const CommandResult html = runVarnolt({"--run", "convert", "html", (dir / "notes.md").string()});
    EXPECT_EQ(html.status, 0) << html.out << html.err;
    EXPECT_EQ(html.out, (dir / "notes 2.html").string() + "\n");
    EXPECT_EQ(readFile(dir / "notes 2.html"), Markdown::page("notes", Markdown::toHTML(markdown)));

    const CommandResult epub = runVarnolt({"--run", "convert", "epub", (dir / "notes.md").string()});
    EXPECT_EQ(epub.status, 0) << epub.out << epub.err;
    EXPECT_NE(EPUB::readHTML(dir / "notes.epub").find("<h1>Hi</h1>\n<p>Some <em>text</em> &amp; more.</p>"), std::string::npos);

    const CommandResult vtt = runVarnolt({"--run", "convert", "vtt", "./-movie.srt"}, {}, dir.path());
    EXPECT_EQ(vtt.status, 0) << vtt.out << vtt.err;
    EXPECT_EQ(readFile(dir / "-movie.vtt"), "WEBVTT\n\n00:00:01.000 --> 00:00:02.000\nHello\n");

    writeFile(dir / "empty.srt", "nothing here\n");
    const CommandResult failed = runVarnolt({"--run", "convert", "vtt", (dir / "empty.srt").string()});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "ERROR: No subtitles found in empty.srt\n");
    EXPECT_EQ(listFolder(dir.path()), (std::vector<std::string>{"-movie.srt", "-movie.vtt", "empty.srt", "notes 2.html", "notes.epub", "notes.html", "notes.md"}));
}
