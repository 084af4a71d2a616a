#include "TestSupport.h"

#include "documents/SpreadsheetOps.h"

using SpreadsheetOps::delimited;
using SpreadsheetOps::parseDelimited;

TEST(DelimitedTest, LinesAndFinalLineFeeds)
{
    EXPECT_TRUE(parseDelimited("", ',').empty());
    EXPECT_EQ(parseDelimited("a,b\n", ','), (Table{{"a", "b"}}));
    EXPECT_EQ(parseDelimited("a,b\n\n", ','), (Table{{"a", "b"}, {""}}));
    EXPECT_EQ(parseDelimited("a\n\nb", ','), (Table{{"a"}, {""}, {"b"}}));
    EXPECT_EQ(parseDelimited("a\r\nb", ','), (Table{{"a"}, {"b"}}));
    EXPECT_EQ(parseDelimited("a\rb", ','), (Table{{"a"}, {"b"}}));
    EXPECT_EQ(parseDelimited("a,", ','), (Table{{"a", ""}}));
    EXPECT_EQ(parseDelimited("a\tb,c", '\t'), (Table{{"a", "b,c"}}));
}

TEST(DelimitedTest, Quotes)
{
    EXPECT_EQ(parseDelimited("\"x\"\"y\",z", ','), (Table{{"x\"y", "z"}}));
    EXPECT_EQ(parseDelimited("\"line\nbreak\",z", ','), (Table{{"line\nbreak", "z"}}));
    EXPECT_EQ(parseDelimited("\"crlf\r\ninside\"", ','), (Table{{"crlf\ninside"}}));
    EXPECT_EQ(parseDelimited("ab\"c,d", ','), (Table{{"ab\"c", "d"}}));
    EXPECT_EQ(parseDelimited("\"ab\"c,d", ','), (Table{{"abc", "d"}}));
    EXPECT_EQ(parseDelimited("\"a,b\"", ','), (Table{{"a,b"}}));
    EXPECT_EQ(parseDelimited("\"\",x", ','), (Table{{"", "x"}}));
    // An unterminated quote takes the rest of the text.
    EXPECT_EQ(parseDelimited("a,\"open\nb,c\n", ','), (Table{{"a", "open\nb,c\n"}}));
    // A combining acute accent after a comma or a quote makes one character with it.
    EXPECT_EQ(parseDelimited("a,\u0301b,c", ','), (Table{{"a,\u0301b", "c"}}));
    EXPECT_EQ(parseDelimited("\"\u0301x\",y", ','), (Table{{"\"\u0301x\"", "y"}}));
    EXPECT_EQ(parseDelimited("\"\u00e9,\"\u00e9", ','), (Table{{"\u00e9,\u00e9"}}));
    EXPECT_EQ(parseDelimited("\u043f\u0440\u0438,\u0432\u0435\u0442", ','), (Table{{"\u043f\u0440\u0438", "\u0432\u0435\u0442"}}));
}

TEST(DelimitedTest, WriterQuotesOnlyWhatItMust)
{
    EXPECT_EQ(delimited({}, ","), "\n");
    EXPECT_EQ(delimited({{"a", "b"}, {"c"}}, ","), "a,b\nc\n");
    EXPECT_EQ(delimited({{"x,y", "say \"hi\"", "two\nlines", "cr\ronly"}}, ","), "\"x,y\",\"say \"\"hi\"\"\",\"two\nlines\",cr\ronly\n");
    EXPECT_EQ(delimited({{"x,y", "t\tab"}}, "\t"), "x,y\t\"t\tab\"\n");
    const Table round = {{"a", "\"q\"", "multi\nline", ""}, {"", "x,y"}};
    EXPECT_EQ(parseDelimited(delimited(round, ","), ','), round);
}

TEST(DelimitedTest, Trimming)
{
    Table t = {{"a", "", " "}, {"b", "c", ""}, {" \t", "\u00a0"}, {}};
    SpreadsheetOps::trim(t);
    EXPECT_EQ(t, (Table{{"a", ""}, {"b", "c"}}));
    Table keep = {{"x"}, {"", "", "  y  "}, {"z"}};
    SpreadsheetOps::trim(keep);
    EXPECT_EQ(keep, (Table{{"x"}, {"", "", "  y  "}, {"z"}}));
}

TEST(DelimitedTest, HugeSingleFieldParsesInOnePass)
{
    std::string text = "head\n\"";
    text.append(100 << 20, 'x');
    text += "\",tail\n";
    const Table table = parseDelimited(text, ',');
    ASSERT_EQ(table.size(), 2u);
    ASSERT_EQ(table[1].size(), 2u);
    EXPECT_EQ(table[1][0].size(), std::size_t(100) << 20);
    EXPECT_EQ(table[1][1], "tail");
}
