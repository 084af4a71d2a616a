#include "TestSupport.h"
#include "documents/DOCX.h"
#include "documents/DocumentOps.h"
#include "documents/Markdown.h"
#include "documents/ODT.h"
#include "documents/RTF.h"
#include "documents/XmlStream.h"

#include <QTextBlock>
#include <QTextDocument>

using namespace TestSupport;

namespace {
std::string rtfText(const std::string& rtf)
{
    return RTF::read(rtf)->toPlainText().toStdString();
}
}

TEST(StyledTextToMarkdown, RunsHeadingsListsAndTables)
{
    const std::pair<const char*, const char*> cases[] = {
        {"<p>Plain <b><i>both</i></b> and <a href=\"https://x.org/a\"><b>link</b></a>.</p>", "Plain ***both*** and [**link**](https://x.org/a).\n"},
        {"<p>Body text here for the tally.</p><p><span style=\"font-size:20pt\">Big</span></p>", "Body text here for the tally.\n\n# Big\n"},
        {"<p>Body text here for the tally.</p><p><span style=\"font-size:16pt\">Mid</span></p>", "Body text here for the tally.\n\n## Mid\n"},
        {"<p>Body text here for the tally.</p><p><span style=\"font-size:14pt\">Small</span></p>", "Body text here for the tally.\n\n### Small\n"},
        {"<p>Body text here for the tally.</p><p><span style=\"font-size:13pt\">Same</span></p>", "Body text here for the tally.\n\nSame\n"},
        {"<h1>Title <i>x</i></h1><p>Some text.</p>", "# Title x\n\nSome text.\n"},
        {"<ul><li>one</li><li>two<ul><li>deep</li></ul></li></ul><ol><li>first</li></ol><p>after</p>", "- one\n- two\n  - deep\n1. first\n\nafter\n"},
        {"<p>\xE2\x80\xA2 bullet typed by hand</p>", "- bullet typed by hand\n"},
        {"<table><tr><td>a</td><td><b>b</b></td></tr><tr><td>c|d</td><td></td></tr></table>", "| a | **b** |\n| --- | --- |\n| c\\|d |  |\n"},
        {"", "\n"},
    };
    for (const auto& [html, markdown] : cases) EXPECT_EQ(Markdown::fromAttributed(*DocumentOps::html(html)), markdown) << html;
}

TEST(RTFRead, TextStylesAndEncodings)
{
    const std::pair<const char*, const char*> cases[] = {
        {R"({\rtf1\ansi\ansicpg1252 Caf\'e9 \u8364? ok\par next})", "Caf\xC3\xA9 \xE2\x82\xAC ok\nnext"},
        {R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8})", "\xD0\x9F\xD1\x80\xD0\xB8"},
        {R"({\rtf1{\fonttbl{\f0\fcharset128 MS Gothic;}}\f0 \'82\'a0})", "\xE3\x81\x82"},
        {R"({\rtf1\uc2 \u26085\'93\'fa!})", "\xE6\x97\xA5!"},
        {R"({\rtf1 {\*\unknown hidden}{\info{\title t}}shown\tab x\line y})", "shown\tx\ny"},
        {R"({\rtf1 unbalanced}}} text {{{)", "unbalanced text "},
        {R"({\rtf1 a\bin999999999 )", "a"},
        {R"({\rtf1 before{\pict\bin4 }}}}} after})", "before after"},
    };
    for (const auto& [rtf, text] : cases) EXPECT_EQ(rtfText(rtf), text) << rtf;

    EXPECT_EQ(Markdown::fromAttributed(*RTF::read(R"({\rtf1{\colortbl;\red255\green0\blue0;}Body {\b bold} {\i\cf1 red} {\field{\*\fldinst{HYPERLINK "https://x.org"}}{\fldrslt{\b site}}}\par )"
                          R"({\pntext 1.\tab}\ls1 item\par\pard {\listtext \u8226?\tab}\ls2 dot\par\pard\fs40 Head\par})")),
              "Body **bold** *red* [**site**](https://x.org)\n\n1. item\n- dot\n\n# Head\n");

    const std::string deep = "{\\rtf1 " + std::string(100000, '{') + "deep" + std::string(100000, '}') + "}";
    EXPECT_EQ(rtfText(deep), "deep");
    EXPECT_THROW(RTF::read("PK\3\4 not rtf"), RTF::NotRTF);
}

TEST(RTFWrite, ReadsBackWhatWasWritten)
{
    const auto document = DocumentOps::html("<h2>Heading</h2><p>Na\xC3\xAFve <b>bold</b> <i>it</i> <u>under</u> <s>gone</s> <span style=\"color:#ff0000\">red</span> "
                                            "{brace} \\slash \xF0\x9F\x98\x80 <a href=\"https://x.org/?q=1\">link</a></p>"
                                            "<ul><li>dot</li></ul><ol><li>num</li></ol><table><tr><td>c1</td><td>c2</td></tr></table>");
    const std::string rtf = RTF::write(*document);
    for (unsigned char c : rtf) ASSERT_LT(c, 0x80);
    const auto back = RTF::read(rtf);
    EXPECT_EQ(Markdown::fromAttributed(*back), "## Heading\n\nNa\xC3\xAFve **bold** *it* under gone red {brace} \\slash \xF0\x9F\x98\x80 [link](https://x.org/?q=1)\n\n- dot\n1. num\n\n| c1 | c2 |\n| --- | --- |\n");
    bool red = false, underline = false, strike = false;
    for (QTextBlock block = back->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            red |= it.fragment().text() == "red" && f.foreground().color() == QColor(255, 0, 0);
            underline |= it.fragment().text() == "under" && f.fontUnderline();
            strike |= it.fragment().text() == "gone" && f.fontStrikeOut();
        }
    }
    EXPECT_TRUE(red && underline && strike);
}

TEST(DOCXParse, StylesListsLinksAndHostileXml)
{
    const Path data = Path(VARNOLT_TEST_DATA) / "documents", word = data / "docx-parts/word";
    const DOCX::Parts parts{readFile(word / "document.xml"), readFile(word / "_rels/document.xml.rels"), readFile(word / "styles.xml"),
                            readFile(word / "numbering.xml")};
    EXPECT_EQ(Markdown::fromAttributed(*DOCX::parse(parts)), "## Numbered heading\n\nText **strong** *it*[link](https://x.org/) next\n\n1. one\n  - dot\n\n| a | b |\n| --- | --- |\n");
    // Entity expansion is refused by expat; an external entity is never fetched.
    EXPECT_THROW(DOCX::parse({readFile(data / "docx-laughs.xml")}), XmlStream::Malformed);
    EXPECT_EQ(DOCX::parse({readFile(data / "docx-external.xml")})->toPlainText().toStdString(), "ab");
}

TEST(ODTParse, SpansListsAndTables)
{
    const Path parts = Path(VARNOLT_TEST_DATA) / "documents/odt-parts";
    const std::string content = readFile(parts / "content.xml");
    EXPECT_EQ(Markdown::fromAttributed(*ODT::parse(content, readFile(parts / "styles.xml"))), "# Title\n\nA  ***both*** [link](https://x.org) end\n\n1. one\n\n| c |\n| --- |\n");
    EXPECT_THROW(ODT::parse(content.substr(0, content.find("<text:p>") + 8), ""), XmlStream::Malformed);
}
