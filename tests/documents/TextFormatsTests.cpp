#include "TestSupport.h"
#include "documents/DOCX.h"
#include "documents/DocumentOps.h"
#include "documents/Markdown.h"
#include "documents/ODT.h"
#include "documents/RTF.h"
#include "documents/XmlStream.h"

#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
std::string markdownOf(const std::string& html)
{
    return Markdown::fromAttributed(*DocumentOps::html(html));
}

std::string rtfMarkdown(const std::string& rtf)
{
    return Markdown::fromAttributed(*RTF::read(rtf));
}

std::string rtfText(const std::string& rtf)
{
    return RTF::read(rtf)->toPlainText().toStdString();
}
}

TEST(StyledTextToMarkdown, RunsHeadingsListsAndTables)
{
    const struct {
        const char* html;
        const char* markdown;
    } cases[] = {
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
    for (const auto& c : cases) EXPECT_EQ(markdownOf(c.html), c.markdown) << c.html;
}

TEST(RTFRead, TextStylesAndEncodings)
{
    const struct {
        const char* rtf;
        const char* text;
    } cases[] = {
        {R"({\rtf1\ansi\ansicpg1252 Caf\'e9 \u8364? ok\par next})", "Caf\xC3\xA9 \xE2\x82\xAC ok\nnext"},
        {R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8})", "\xD0\x9F\xD1\x80\xD0\xB8"},
        {R"({\rtf1{\fonttbl{\f0\fcharset128 MS Gothic;}}\f0 \'82\'a0})", "\xE3\x81\x82"},
        {R"({\rtf1\uc2 \u26085\'93\'fa!})", "\xE6\x97\xA5!"},
        {R"({\rtf1 {\*\unknown hidden}{\info{\title t}}shown\tab x\line y})", "shown\tx\ny"},
        {R"({\rtf1 unbalanced}}} text {{{)", "unbalanced text "},
        {R"({\rtf1 a\bin999999999 )", "a"},
        {R"({\rtf1 before{\pict\bin4 }}}}} after})", "before after"},
    };
    for (const auto& c : cases) EXPECT_EQ(rtfText(c.rtf), c.text) << c.rtf;

    EXPECT_EQ(rtfMarkdown(R"({\rtf1{\colortbl;\red255\green0\blue0;}Body {\b bold} {\i\cf1 red} {\field{\*\fldinst{HYPERLINK "https://x.org"}}{\fldrslt{\b site}}}\par )"
                          R"({\pntext 1.\tab}\ls1 item\par\pard {\listtext \u8226?\tab}\ls2 dot\par\pard\fs40 Head\par})"),
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
    const std::string w = R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";
    DOCX::Parts parts;
    parts.styles = "<w:styles " + w + R"(><w:style w:styleId="H"><w:name w:val="heading 2"/><w:pPr><w:numPr><w:numId w:val="9"/></w:numPr></w:pPr></w:style>)"
                   R"(<w:style w:styleId="Strong"><w:name w:val="Strong"/><w:rPr><w:b/></w:rPr></w:style></w:styles>)";
    parts.numbering = "<w:numbering " + w + R"(><w:abstractNum w:abstractNumId="0"><w:lvl w:ilvl="0"><w:numFmt w:val="decimal"/></w:lvl></w:abstractNum>)"
                      R"(<w:abstractNum w:abstractNumId="1"><w:lvl w:ilvl="0"><w:numFmt w:val="bullet"/></w:lvl></w:abstractNum>)"
                      R"(<w:num w:numId="1"><w:abstractNumId w:val="0"/></w:num><w:num w:numId="2"><w:abstractNumId w:val="1"/></w:num></w:numbering>)";
    parts.relationships = R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="l1" Target="https://x.org/" TargetMode="External"/></Relationships>)";
    parts.document = "<w:document " + w + R"(><w:body>)"
                     R"(<w:p><w:pPr><w:pStyle w:val="H"/><w:numPr><w:ilvl w:val="0"/><w:numId w:val="1"/></w:numPr></w:pPr><w:r><w:t>Numbered heading</w:t></w:r></w:p>)"
                     R"(<w:p><w:r><w:t xml:space="preserve">Text </w:t></w:r><w:r><w:rPr><w:rStyle w:val="Strong"/></w:rPr><w:t>strong</w:t></w:r>)"
                     R"(<w:r><w:drawing><w:t>picture text</w:t></w:drawing></w:r><w:r><w:rPr><w:i/><w:b w:val="0"/></w:rPr><w:t xml:space="preserve"> it</w:t></w:r>)"
                     R"(<w:hyperlink r:id="l1"><w:r><w:t>link</w:t></w:r></w:hyperlink><w:r><w:br/><w:t>next</w:t></w:r></w:p>)"
                     R"(<w:p><w:pPr><w:numPr><w:ilvl w:val="0"/><w:numId w:val="1"/></w:numPr></w:pPr><w:r><w:t>one</w:t></w:r></w:p>)"
                     R"(<w:p><w:pPr><w:numPr><w:ilvl w:val="1"/><w:numId w:val="2"/></w:numPr></w:pPr><w:r><w:t>dot</w:t></w:r></w:p>)"
                     R"(<w:tbl><w:tr><w:tc><w:p><w:r><w:t>a</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>b</w:t></w:r></w:p></w:tc></w:tr></w:tbl>)"
                     R"(</w:body></w:document>)";
    EXPECT_EQ(Markdown::fromAttributed(*DOCX::parse(parts)), "## Numbered heading\n\nText **strong** *it*[link](https://x.org/) next\n\n1. one\n  - dot\n\n| a | b |\n| --- | --- |\n");

    // Entity expansion is refused by expat; an external entity is never fetched.
    DOCX::Parts laughs;
    laughs.document = R"(<!DOCTYPE d [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">)"
                      R"(<!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;"><!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;"><!ENTITY f "&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;">)"
                      R"(<!ENTITY g "&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;"><!ENTITY h "&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;">]><w:document )" +
                      w + "><w:body><w:p><w:r><w:t>&h;</w:t></w:r></w:p></w:body></w:document>";
    EXPECT_THROW(DOCX::parse(laughs), XmlStream::Malformed);
    DOCX::Parts external;
    external.document = R"(<!DOCTYPE d [<!ENTITY x SYSTEM "file:///etc/hostname">]><w:document )" + w + "><w:body><w:p><w:r><w:t>a&x;b</w:t></w:r></w:p></w:body></w:document>";
    EXPECT_EQ(DOCX::parse(external)->toPlainText().toStdString(), "ab");
}

TEST(ODTParse, SpansListsAndTables)
{
    const std::string ns = R"(xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" )"
                           R"(xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" )"
                           R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:xlink="http://www.w3.org/1999/xlink" xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0")";
    const std::string content = "<office:document-content " + ns + R"(><office:automatic-styles>)"
                                R"(<style:style style:name="B" style:parent-style-name="Strong"><style:text-properties fo:font-style="italic"/></style:style>)"
                                R"(<text:list-style style:name="N"><text:list-level-style-number text:level="1"/></text:list-style></office:automatic-styles>)"
                                R"(<office:body><office:text><text:h text:outline-level="1">Title</text:h>)"
                                R"(<text:p>A<text:s text:c="2"/><text:span text:style-name="B">both</text:span> <text:a xlink:href="https://x.org">link</text:a>)"
                                R"(<draw:frame><draw:text-box><text:p>boxed</text:p></draw:text-box></draw:frame> end</text:p>)"
                                R"(<text:list text:style-name="N"><text:list-item><text:p>one</text:p></text:list-item></text:list>)"
                                R"(<table:table><table:table-row><table:table-cell><text:p>c</text:p></table:table-cell></table:table-row></table:table>)"
                                R"(</office:text></office:body></office:document-content>)";
    const std::string styles = "<office:document-styles " + ns + R"(><office:styles><style:style style:name="Strong"><style:text-properties fo:font-weight="bold"/></style:style></office:styles></office:document-styles>)";
    EXPECT_EQ(Markdown::fromAttributed(*ODT::parse(content, styles)), "# Title\n\nA  ***both*** [link](https://x.org) end\n\n1. one\n\n| c |\n| --- |\n");
    EXPECT_THROW(ODT::parse("<office:document-content " + ns + "><text:p>", ""), XmlStream::Malformed);
}
