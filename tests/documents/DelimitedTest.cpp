#include "TestSupport.h"

#include "documents/SpreadsheetOps.h"

using SpreadsheetOps::delimited;
using SpreadsheetOps::parseDelimited;
using TestSupport::errorOf;

TEST(DelimitedTest, Parsing)
{
    const std::vector<std::pair<std::string, Table>> cases = {
        {"", {}},
        {"a,b\n", {{"a", "b"}}},
        {"a,b\n\n", {{"a", "b"}, {""}}},
        {"a\n\nb", {{"a"}, {""}, {"b"}}},
        {"a\r\nb", {{"a"}, {"b"}}},
        {"a\rb", {{"a"}, {"b"}}},
        {"a,", {{"a", ""}}},
        {"\"x\"\"y\",z", {{"x\"y", "z"}}},
        {"\"line\nbreak\",z", {{"line\nbreak", "z"}}},
        {"\"crlf\r\ninside\"", {{"crlf\ninside"}}},
        {"ab\"c,d", {{"ab\"c", "d"}}},
        {"\"ab\"c,d", {{"abc", "d"}}},
        {"\"\",x", {{"", "x"}}},
        // An unterminated quote takes the rest of the text.
        {"a,\"open\nb,c\n", {{"a", "open\nb,c\n"}}},
        // A combining acute accent after a comma or a quote makes one character with it.
        {"a,\u0301b,c", {{"a,\u0301b", "c"}}},
        {"\"\u0301x\",y", {{"\"\u0301x\"", "y"}}},
        {"\"\u00e9,\"\u00e9", {{"\u00e9,\u00e9"}}},
        {"\u043f\u0440\u0438,\u0432\u0435\u0442", {{"\u043f\u0440\u0438", "\u0432\u0435\u0442"}}},
    };
    for (const auto& [text, table] : cases) EXPECT_EQ(parseDelimited(text, ','), table) << text;
    EXPECT_EQ(parseDelimited("a\tb,c", '\t'), (Table{{"a", "b,c"}}));
}

TEST(DelimitedTest, WriterQuotesWhatAReaderWouldSplit)
{
    EXPECT_EQ(delimited({}, ","), "\n");
    EXPECT_EQ(delimited({{"a", "b"}, {"c"}}, ","), "a,b\nc\n");
    EXPECT_EQ(delimited({{"x,y", "say \"hi\"", "two\nlines", "cr\ronly"}}, ","), "\"x,y\",\"say \"\"hi\"\"\",\"two\nlines\",\"cr\ronly\"\n");
    EXPECT_EQ(delimited({{"x,y", "t\tab"}}, "\t"), "x,y\t\"t\tab\"\n");
    const Table round = {{"a", "\"q\"", "multi\nline", ""}, {"", "x,y", "cr\rinside"}};
    EXPECT_EQ(parseDelimited(delimited(round, ","), ','), round);
    EXPECT_EQ(parseDelimited(delimited(round, "\t"), '\t'), round);
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

TEST(DelimitedTest, LargeInputs)
{
    // One 32 MB field parses in one pass.
    std::string text = "head\n\"";
    text.append(32 << 20, 'x');
    text += "\",tail\n";
    const Table table = parseDelimited(text, ',');
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[1][0].size(), std::size_t(32) << 20);
    EXPECT_EQ(table[1][1], "tail");
    // 20 MB of commas would be 20 million empty cells, a gigabyte once built.
    EXPECT_EQ(errorOf([] { parseDelimited(std::string(20'000'000, ','), ','); }), "This spreadsheet is too large to open: it spans more than 20 million cells.");
}
