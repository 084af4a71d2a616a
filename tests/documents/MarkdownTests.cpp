#include "documents/Markdown.h"
#include "documents/MarkdownConvert.h"
#include "TestSupport.h"
#include "XmlCheck.h"

#include <random>

using Markdown::inlineHTML;
using Markdown::toHTML;
using namespace TestSupport;

using Cases = std::vector<std::pair<std::string, std::string>>;

TEST(Markdown, BlocksFollowTheFirstRuleThatApplies)
{
    const Cases cases = {
        {"", ""},
        {"one\r\n  two  ", "<p>one two</p>"},
        {"## Head *x*\n####### seven\n#nospace", "<h2>Head <em>x</em></h2>\n<p>####### seven #nospace</p>"},
        {"- a\ntext", "<ul>\n<li>a</li>\n</ul>\n<p>text</p>"},
        {"* a\n  + b\n7) c\n9. d", "<ul>\n<li>a</li>\n<li>b</li>\n</ul>\n<ol>\n<li>c</li>\n<li>d</li>\n</ol>"},
        {"***\n* * *\n___\n-- -", "<hr/>\n<ul>\n<li><em> </em></li>\n</ul>\n<hr/>\n<p>-- -</p>"},
        {"> one\n>two\npara", "<blockquote><p>one</p></blockquote>\n<blockquote><p>two</p></blockquote>\n<p>para</p>"},
        // A lone carriage return is not a line break.
        {"a\rb", "<p>a\rb</p>"},
        {"para\n```c++\n  if (a < b && c > d)\n\n```\nafter", "<p>para</p>\n<pre><code>  if (a &lt; b &amp;&amp; c &gt; d)\n</code></pre>\n<p>after</p>"},
        {"- item\n```\n# not a heading", "<ul>\n<li>item</li>\n</ul>\n<pre><code># not a heading</code></pre>"},
        {"```", "<pre><code></code></pre>"},
    };
    for (const auto& [markdown, html] : cases) EXPECT_EQ(toHTML(markdown), html) << markdown;
}

// A document of every construct, written before links and attributes were made safe: what
// people write must come out byte for byte as it always did.
TEST(Markdown, OrdinaryDocumentConvertsAsItAlwaysDid)
{
    TempDir dir;
    const Path data = Path(VARNOLT_TEST_DATA) / "documents";
    std::filesystem::copy_file(data / "guide.md", dir / "guide.md");
    EXPECT_EQ(readFile(MarkdownConvert::convert(dir / "guide.md", "html")), readFile(data / "guide.html"));
}

// Text is decoded as QString decodes UTF-8, whatever the bytes.
TEST(Markdown, MalformedBytesDecodeAsQtDoes)
{
    const std::vector<std::string> texts = {"\xEF\xBB\xBF" "bom", "a\xEF\xBB\xBF", "caf\xC3\xA9 \xF0\x9D\x9F\x99", "x\xFFy", "cut\xC3", "\xC0\xAFover",
                                            "\xED\xA0\x80sur", "\xF4\x90\x80\x80" "big", "\xE2\x82"};
    for (const std::string& text : texts) EXPECT_EQ(toHTML(text), "<p>" + QString::fromUtf8(text).toStdString() + "</p>") << text;
}

TEST(Markdown, InlineRulesRunInOrderOverEscapedText)
{
    const Cases cases = {
        {"`**x**`", "<code><strong>x</strong></code>"},
        {"![alt text](a.png) and ![](b.png)", "<img alt=\"alt text\" src=\"a.png\"/> and <img alt=\"\" src=\"b.png\"/>"},
        {"[a b](http://x?a=1&b=2) [](empty) [c](has space)", "<a href=\"http://x?a=1&amp;b=2\">a b</a> [](empty) [c](has space)"},
        {"[x [y](u) [z](v)", "<a href=\"u\">x [y</a> <a href=\"v\">z</a>"},
        {"2*3*4 snake_case_name a*b", "2*3*4 snake_case_name a*b"},
        {"café_x_ _é_", "café_x_ <em>é</em>"},
        // Quotes cannot end an attribute early.
        {"![x\" onerror=\"alert(document.domain)\" y=\"](nothere.png)",
         "<img alt=\"x&quot; onerror=&quot;alert(document.domain)&quot; y=&quot;\" src=\"nothere.png\"/>"},
        {"[a](x\"y)", "<a href=\"x&quot;y\">a</a>"},
        // Only relative targets and the common schemes become links.
        {"[a](javascript:alert(1)) [b](JavaScript:x) [c](data:text/html,x) [d](\x01javascript:x)",
         "[a](javascript:alert(1)) [b](JavaScript:x) [c](data:text/html,x) [d](\x01javascript:x)"},
        {"[a](page.html?at=a:b) [b](#top) [c](//cdn.example.org/x) [d](tel:+123)",
         "<a href=\"page.html?at=a:b\">a</a> <a href=\"#top\">b</a> <a href=\"//cdn.example.org/x\">c</a> <a href=\"tel:+123\">d</a>"},
        // Markers inside attributes, or across the end of an element, stay as they are.
        {"![a](x**b**y) ![`x`](a.png)", "<img alt=\"a\" src=\"x**b**y\"/> <img alt=\"x\" src=\"a.png\"/>"},
        {"`a **b` c** *a `b* c` `[a` b](x)", "<code>a **b</code> c** *a <code>b* c</code> <code>[a</code> b](x)"},
        {"**a [b** c](d)", "**a <a href=\"d\">b** c</a>"},
    };
    for (const auto& [markdown, html] : cases) EXPECT_EQ(inlineHTML(markdown), html) << markdown;
}

// Whatever the text, the fragment nests properly and keeps "<" out of attributes: the EPUB
// chapter made from it must parse as XML.
TEST(Markdown, AnyTextGivesWellFormedMarkup)
{
    const std::string alphabet = "*_~`[]()!<>&\"': /#ab\n";
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int i = std::uniform_int_distribution(1, 40)(random); i > 0; --i) text += alphabet[random() % alphabet.size()];
        ASSERT_TRUE(wellFormedXml("<body>" + toHTML(text) + "</body>")) << text;
    }
}

// Inputs that make the plain patterns rescan the rest of the line from every marker; if
// that came back, each call here would take minutes instead of milliseconds.
TEST(Markdown, RepeatedMarkersStayLinear)
{
    const int n = 200000;
    const auto repeat = [](const std::string& piece, int times) {
        std::string text;
        while (times-- > 0) text += piece;
        return text;
    };
    const std::vector<std::string> hostile = {repeat("[", n), repeat("[", n) + "](x y", repeat("[", n) + "]()", repeat("![a", n / 4), repeat("[a](", n / 4),
                                              repeat("](](", n / 4), repeat("*", n), repeat("_", n), repeat("`", n), repeat("~", n), repeat("*a", n / 2),
                                              repeat("_a", n / 2), "`a" + repeat("[", n) + "` ](x)", repeat("`a*` ", n / 8)};
    for (int round = 0; round < 5; ++round) {
        for (const std::string& line : hostile) EXPECT_FALSE(inlineHTML(line).empty());
    }
    EXPECT_EQ(inlineHTML(repeat("[a](b)", n / 8)), repeat("<a href=\"b\">a</a>", n / 8));
}

TEST(Markdown, TitlesPagesAndSplitting)
{
    EXPECT_EQ(MarkdownConvert::title("/x/report.tar.md"), "report");
    EXPECT_EQ(MarkdownConvert::title("/x/notes.v2.markdown"), "notes.v2");
    EXPECT_NE(Markdown::page("A & <B>", "").find("<title>A &amp; &lt;B&gt;</title>"), std::string::npos);
    const QRegularExpression columns("\\t| {2,}");
    EXPECT_EQ(Markdown::components("one  two\tthree", columns), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(Markdown::components("a b\t", columns), (std::vector<std::string>{"a b", ""}));
    EXPECT_EQ(Markdown::components("\t\tx", columns), (std::vector<std::string>{"", "", "x"}));
}
