#include "documents/Markdown.h"

#include <gtest/gtest.h>

using Markdown::inlineHTML;
using Markdown::toHTML;

TEST(Markdown, BlocksFollowTheFirstRuleThatApplies)
{
    EXPECT_EQ(toHTML(""), "");
    EXPECT_EQ(toHTML("one\r\n  two  "), "<p>one two</p>");
    EXPECT_EQ(toHTML("## Head *x*\n####### seven\n#nospace"), "<h2>Head <em>x</em></h2>\n<p>####### seven #nospace</p>");
    EXPECT_EQ(toHTML("- a\ntext"), "<ul>\n<li>a</li>\n</ul>\n<p>text</p>");
    EXPECT_EQ(toHTML("* a\n  + b\n7) c\n9. d"), "<ul>\n<li>a</li>\n<li>b</li>\n</ul>\n<ol>\n<li>c</li>\n<li>d</li>\n</ol>");
    EXPECT_EQ(toHTML("***\n* * *\n___\n-- -"), "<hr/>\n<ul>\n<li><em> </em></li>\n</ul>\n<hr/>\n<p>-- -</p>");
    EXPECT_EQ(toHTML("> one\n>two\npara"), "<blockquote><p>one</p></blockquote>\n<blockquote><p>two</p></blockquote>\n<p>para</p>");
    // A lone carriage return is not a line break.
    EXPECT_EQ(toHTML("a\rb"), "<p>a\rb</p>");
}

TEST(Markdown, FencedCodeKeepsItsLinesEscaped)
{
    EXPECT_EQ(toHTML("para\n```c++\n  if (a < b && c > d)\n\n```\nafter"),
              "<p>para</p>\n<pre><code>  if (a &lt; b &amp;&amp; c &gt; d)\n</code></pre>\n<p>after</p>");
    EXPECT_EQ(toHTML("- item\n```\n# not a heading"), "<ul>\n<li>item</li>\n</ul>\n<pre><code># not a heading</code></pre>");
    EXPECT_EQ(toHTML("```"), "<pre><code></code></pre>");
}

TEST(Markdown, InlineRulesRunInOrderOverEscapedText)
{
    EXPECT_EQ(inlineHTML(std::string("a < b & \"c\" > d")), "a &lt; b &amp; \"c\" &gt; d");
    EXPECT_EQ(inlineHTML(std::string("`**x**`")), "<code><strong>x</strong></code>");
    EXPECT_EQ(inlineHTML(std::string("![alt text](a.png) and ![](b.png)")), "<img alt=\"alt text\" src=\"a.png\"/> and <img alt=\"\" src=\"b.png\"/>");
    EXPECT_EQ(inlineHTML(std::string("[a b](http://x?a=1&b=2) [](empty) [c](has space)")),
              "<a href=\"http://x?a=1&amp;b=2\">a b</a> [](empty) [c](has space)");
    EXPECT_EQ(inlineHTML(std::string("[x [y](u) [z](v)")), "<a href=\"u\">x [y</a> <a href=\"v\">z</a>");
    EXPECT_EQ(inlineHTML(std::string("**b** __c__ *i* _j_ ~~d~~")), "<strong>b</strong> <strong>c</strong> <em>i</em> <em>j</em> <del>d</del>");
    EXPECT_EQ(inlineHTML(std::string("2*3*4 snake_case_name a*b")), "2*3*4 snake_case_name a*b");
    EXPECT_EQ(inlineHTML(std::string("café_x_ _é_")), "café_x_ <em>é</em>");
}

// Inputs that make the plain patterns rescan the rest of the line from every marker; if
// that came back, each call here would take minutes instead of milliseconds.
TEST(Markdown, RepeatedMarkersStayLinear)
{
    const auto repeat = [](const std::string& piece, int times) {
        std::string text;
        for (int i = 0; i < times; ++i) text += piece;
        return text;
    };
    const int n = 200000;
    const std::vector<std::string> hostile = {repeat("[", n), repeat("[", n) + "](x y", repeat("[", n) + "]()", repeat("![a", n / 4), repeat("[a](", n / 4),
                                              repeat("](](", n / 4), repeat("*", n), repeat("_", n), repeat("`", n), repeat("~", n), repeat("*a", n / 2),
                                              repeat("_a", n / 2)};
    for (int round = 0; round < 5; ++round) {
        for (const std::string& line : hostile) EXPECT_FALSE(inlineHTML(line).empty());
    }
    EXPECT_EQ(inlineHTML(repeat("[a](b)", n / 8)), repeat("<a href=\"b\">a</a>", n / 8));
}

TEST(Markdown, PageWrapsTheFragmentAndSplitKeepsEmptyPieces)
{
    const std::string page = Markdown::page("A & <B>", "<p>x</p>");
    EXPECT_TRUE(page.starts_with("<!doctype html>\n<html><head><meta charset=\"utf-8\"><title>A &amp; &lt;B&gt;</title>\n<style>\nbody{"));
    EXPECT_TRUE(page.ends_with("</style></head><body>\n<p>x</p>\n</body></html>"));
    // The column split keeps empty pieces.
    const QRegularExpression columns("\\t| {2,}");
    EXPECT_EQ(Markdown::components("one  two\tthree", columns), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(Markdown::components("a b\t", columns), (std::vector<std::string>{"a b", ""}));
    EXPECT_EQ(Markdown::components("\t\tx", columns), (std::vector<std::string>{"", "", "x"}));
}
